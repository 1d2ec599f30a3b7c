// A set of files is replaced all together or not at all, whichever step of the file system
// fails.
#include "logging/log_saving.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// An in-memory file system whose n-th write, move or removal fails.
class StepFailingFiles final : public LogFiles {
public:
    std::map<std::wstring, std::string> files;
    int failWrite = 0; // 1-based; 0: none fails
    std::set<int> failMoves;
    int failRemove = 0;
    int writes = 0;
    int moves = 0;
    int removes = 0;

    bool FolderExists(const std::wstring&) override { return true; }
    bool CreateFolder(const std::wstring&) override { return true; }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    WriteResult WriteNewFile(const std::wstring& path, const std::string& bytes) override {
        WriteResult result;
        if (files.count(path) != 0) {
            result.alreadyExists = true;
            return result;
        }
        result.created = true;
        files[path] = bytes;
        result.complete = ++writes != failWrite;
        if (!result.complete) {
            files[path] = bytes.substr(0, bytes.size() / 2); // the disk filled up
            result.error = 112;
        }
        return result;
    }
    bool MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) override {
        if (failMoves.count(++moves) != 0 || files.count(from) == 0) {
            error = 32; // in use by another program
            return false;
        }
        std::string moved = files.at(from);
        files.erase(from);
        files[to] = std::move(moved);
        return true;
    }
    void RemoveFile(const std::wstring& path) override {
        if (++removes != failRemove) {
            files.erase(path);
        }
    }
};

const std::wstring kHtml = L"C:\\logs\\Board00007.html";
const std::wstring kCsv = L"C:\\logs\\Board00007.csv";
const std::wstring kTrace = L"C:\\logs\\Board00007.trace";
const std::wstring kLog = L"C:\\logs\\Board00007.log";

const std::map<std::wstring, std::string> kEarlier = {
    {kHtml, "old html"}, {kCsv, "old csv"}, {kLog, "old log"}, {L"C:\\logs\\other.txt", "x"}};

std::vector<FileContent> NewSet() {
    // The trace is new; the other three replace earlier files.
    return {{kHtml, "new html"}, {kCsv, "new csv"}, {kLog, "new log"}, {kTrace, "new trace"}};
}

} // namespace

TEST(FileSet, AFailureAtAnyStepLeavesEveryEarlierFileAsItWas) {
    const std::vector<FileContent> set = NewSet();
    // Four temporary writes; three moves aside, four into place; three removals.
    for (int step = 1; step <= 7; ++step) {
        StepFailingFiles writeFails;
        writeFails.files = kEarlier;
        writeFails.failWrite = step;
        const FileSetResult written = ReplaceFileSet(writeFails, set);
        if (step <= 4) {
            EXPECT_EQ(written, FileSetResult::Unchanged) << "write " << step;
            EXPECT_EQ(writeFails.files, kEarlier) << "write " << step;
        }

        StepFailingFiles moveFails;
        moveFails.files = kEarlier;
        moveFails.failMoves = {step};
        EXPECT_FALSE(WriteFilesWhole(moveFails, set)) << "move " << step;
        EXPECT_EQ(moveFails.files, kEarlier) << "move " << step;
    }

    StepFailingFiles fine;
    fine.files = kEarlier;
    ASSERT_EQ(ReplaceFileSet(fine, set), FileSetResult::Written);
    std::map<std::wstring, std::string> expected = {{L"C:\\logs\\other.txt", "x"}};
    for (const FileContent& content : set) {
        expected[content.path] = content.bytes;
    }
    EXPECT_EQ(fine.files, expected);

    // An earlier file that cannot be deleted after the new set is in place stays beside it
    // under its spare name; the new set is complete all the same.
    StepFailingFiles removeFails;
    removeFails.files = kEarlier;
    removeFails.failRemove = 1;
    EXPECT_EQ(ReplaceFileSet(removeFails, set), FileSetResult::Written);
    EXPECT_EQ(removeFails.files.at(kHtml), "new html");
    EXPECT_EQ(removeFails.files.size(), expected.size() + 1);
}

TEST(FileSet, AnEarlierFileThatCannotBeMovedBackIsNamed) {
    StepFailingFiles files;
    files.files = kEarlier;
    // Moves: html, csv, log aside (1-3), html and csv into place (4, 5), log into place fails
    // (6); the new html and csv are removed and the earlier files moved back: html fails (7).
    files.failMoves = {6, 7};
    std::vector<std::wstring> stranded;
    EXPECT_EQ(ReplaceFileSet(files, NewSet(), &stranded), FileSetResult::Damaged);
    ASSERT_EQ(stranded.size(), 1u);
    EXPECT_EQ(files.files.count(kHtml), 0u);
    EXPECT_EQ(files.files.at(stranded[0]), "old html");
    EXPECT_EQ(files.files.at(kCsv), "old csv");
    EXPECT_EQ(files.files.at(kLog), "old log");
    EXPECT_EQ(files.files.count(kTrace), 0u);
    EXPECT_EQ(files.files.size(), kEarlier.size());
}
