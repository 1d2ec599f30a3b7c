#include "layouts/resource_strings_win.h"

#include "layouts/default_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// Tapwise.exe's own resources, loaded as data.
class ProgramResources {
public:
    ProgramResources() {
        const std::filesystem::path program =
            std::filesystem::path(TAPWISE_BINARY_DIR "/Tapwise.exe").make_preferred();
        module_ = LoadLibraryExW(program.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~ProgramResources() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;
    HMODULE Module() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

} // namespace

TEST(ResourceStrings, EntriesOfAnyLengthAreReadWhole) {
    std::wstring text;
    ASSERT_TRUE(ReadResourceString(64100, text));
    EXPECT_EQ(text, std::wstring(255, L'a')); // fills the first buffer: read again at 512
    ASSERT_TRUE(ReadResourceString(64101, text));
    EXPECT_EQ(text, std::wstring(256, L'b'));
    ASSERT_TRUE(ReadResourceString(64102, text));
    EXPECT_EQ(text, std::wstring(600, L'c'));
    ASSERT_TRUE(ReadResourceString(64106, text));
    EXPECT_EQ(text, L"x");
}

TEST(ResourceStrings, MissingEntryIsFalseAndEmpty) {
    std::wstring text = L"old";
    EXPECT_FALSE(ReadResourceString(64199, text));
    EXPECT_TRUE(text.empty());
}

TEST(ResourceStrings, JoinedEntriesStopAtABlankOneWhenAsked) {
    EXPECT_EQ(ReadJoinedResourceStrings({64103, 64104, 64105}, true), L"First, ");
    EXPECT_EQ(ReadJoinedResourceStrings({64103, 64104, 64105}, false), L"First,    third");
    EXPECT_EQ(ReadJoinedResourceStrings({64103, 64199, 64105}, true), L"First, ");
    EXPECT_EQ(ReadJoinedResourceStrings({64199}, false), L"");
}

TEST(ResourceStrings, ConversionsThroughUtf8) {
    const std::wstring wide = L"104 Key \u00C4\u20AC\U0001F600";
    std::string narrow;
    ASSERT_TRUE(ToNarrow(wide, narrow));
    EXPECT_EQ(narrow, "104 Key \xC3\x84\xE2\x82\xAC\xF0\x9F\x98\x80");
    std::wstring back;
    ASSERT_TRUE(ToWide(narrow, back));
    EXPECT_EQ(back, wide);
    EXPECT_TRUE(ToWide("", back));
    EXPECT_TRUE(back.empty());
    EXPECT_TRUE(ToNarrow(L"", narrow));
    EXPECT_TRUE(narrow.empty());
}

TEST(ResourceStrings, ProgramCarriesTheDefaultLayout) {
    ProgramResources program;
    ASSERT_NE(program.Module(), nullptr) << "Tapwise.exe not built";
    std::wstring first;
    std::wstring second;
    std::wstring blank;
    ASSERT_TRUE(ReadResourceString(160, first, program.Module()));
    ASSERT_TRUE(ReadResourceString(161, second, program.Module()));
    ASSERT_TRUE(ReadResourceString(162, blank, program.Module()));
    EXPECT_EQ(blank, L" ");
    ASSERT_TRUE(ReadResourceString(163, blank, program.Module()));
    EXPECT_EQ(blank, L" ");
    EXPECT_EQ(ReadJoinedResourceStrings({160, 161, 162, 163}, true, program.Module()),
              first + second);
    EXPECT_EQ((first + second).size() % 4, 0u);

    std::wstring text;
    std::wstring name;
    PrepareDefaultLayout(text, name, program.Module());
    EXPECT_EQ(text, DefaultLayoutText());
    EXPECT_EQ(name, L"104 Key ANSI");
}

TEST(ResourceStrings, DamagedDefaultLayoutLeavesTheTextEmpty) {
    // The test program's own 64100.. entries are not base64 of a layout; a module without
    // entries 160 to 163 gives nothing to decode.
    std::wstring text = L"old";
    std::wstring name = L"old";
    PrepareDefaultLayout(text, name, GetModuleHandleW(L"kernel32.dll"));
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(name.empty());
}
