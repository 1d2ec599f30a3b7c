// Import from a file among QMK's folders: the default keymap found for a definition without
// labels, and the keyboard's name taken from the parent folders.
#include "layouts/import_file.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Two keys without labels; QMK's revision files often name no keyboard.
const char kUnlabelled[] =
    R"({"layouts": {"LAYOUT_split": {"layout": [{"x": 0, "y": 0}, {"x": 1, "y": 0.25}]}}})";

const char kKeymapC[] = "const uint16_t keymaps[][1][2] = {[0] = LAYOUT_split(KC_Q, KC_W)};";

class ImportFile : public ::testing::Test {
protected:
    void Write(const fs::path& relative, const std::string& bytes) {
        fs::create_directories((folder_.Path() / relative).parent_path());
        WriteFileBytes(folder_.Path() / relative, bytes);
    }
    ImportResult ImportAt(const fs::path& relative) {
        const fs::path path = folder_.Path() / relative;
        return ImportLayoutFile(ReadFileBytes(path), path, ImportOptions());
    }
    TempFolder folder_;
};

} // namespace

TEST_F(ImportFile, DefaultKeymapFromTheParentFoldersAndTheKeyboardsName) {
    Write("keyboards/splitty/rev1/keyboard.json", kUnlabelled);
    Write("keyboards/splitty/keymaps/default/keymap.c", kKeymapC);
    ImportResult result = ImportAt("keyboards/splitty/rev1/keyboard.json");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.keys, 2);
    EXPECT_EQ(result.name, "splitty rev1 LAYOUT_split"); // the folder names
    ASSERT_FALSE(result.notes.empty());
    EXPECT_EQ(result.notes.front(),
              "the layout has no labels: using the default keymap " +
                  (folder_.Path() / "keyboards" / "splitty" / "keymaps" / "default" / "keymap.c")
                      .string());

    // keyboard_name where QMK keeps it; keymap.json before keymap.c, the nearest first.
    Write("keyboards/splitty/info.json", R"({"keyboard_name": "Splitty"})");
    Write("keyboards/splitty/rev1/keymaps/default/keymap.json",
          R"({"layout": "LAYOUT_split", "layers": [["KC_A", "KC_B"]]})");
    result = ImportAt("keyboards/splitty/rev1/keyboard.json");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.name, "Splitty LAYOUT_split");
    EXPECT_NE(result.notes.front().find("rev1"), std::string::npos);
    EXPECT_NE(result.notes.front().find("keymap.json"), std::string::npos);
    EXPECT_NE(result.text.find("0x1E"), std::string::npos);
}

TEST_F(ImportFile, WithoutLabelsOrKeymapTheImportSaysWhatToGive) {
    Write("keyboards/splitty/rev1/keyboard.json", kUnlabelled);
    Write("keymaps/default/keymap.c", kKeymapC); // above keyboards/<name>: not QMK's place
    const ImportResult result = ImportAt("keyboards/splitty/rev1/keyboard.json");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.text.empty());
    EXPECT_EQ(result.error, "the layout has no labels: give its keymap with --keymap "
                            "(keymaps/default/keymap.json or keymap.c)");
}

TEST_F(ImportFile, ADescriptionDroppedIntoTheLayoutFolderFindsItsKeymapBesideIt) {
    Write("layouts/split.json", kUnlabelled);
    Write("layouts/info.json", R"({"keyboard_name": "Another board"})");
    Write("layouts/keymaps/default/keymap.c", kKeymapC);
    const ImportResult result = ImportAt("layouts/split.json");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.name, "split LAYOUT_split"); // its own name, not another file's
    EXPECT_EQ(result.keys, 2);
}
