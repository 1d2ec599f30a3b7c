#pragma once
// Putting a set of files in place together (a log, or the files of a report): either every
// file of the set has its new content, or every file is as it was before. The file system is
// reached through LogFiles, so every step can be made to fail in the tests.
#include <cstdint>
#include <string>
#include <vector>

// The file operations of a save.
class LogFiles {
public:
    struct WriteResult {
        bool created = false;       // the file was created (and is to be removed on failure)
        bool alreadyExists = false; // creation failed because the name is taken
        bool complete = false;      // every byte was written and the file was closed
        std::uint32_t error = 0;    // platform error of the failed step
    };

    virtual ~LogFiles() = default;
    virtual bool FolderExists(const std::wstring& folder) = 0;
    // One level only.
    virtual bool CreateFolder(const std::wstring& folder) = 0;
    // A file exists when its attributes can be opened for reading.
    virtual bool FileExists(const std::wstring& path) = 0;
    // Creates the file only if the name is free and writes the bytes in one go.
    virtual WriteResult WriteNewFile(const std::wstring& path, const std::string& bytes) = 0;
    // Moves the file `from` onto `to`, replacing an existing `to`. A read-only file is
    // neither replaced nor moved, and a folder is never moved.
    virtual bool MoveOver(const std::wstring& from, const std::wstring& to,
                          std::uint32_t& error) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
};

struct FileContent {
    std::wstring path;
    std::string bytes;
};

enum class FileSetResult {
    Written,   // every file has its new content
    Unchanged, // nothing was written: every file is as it was
    // Nothing new is in place, but an earlier file could not be moved back to its name: it
    // is kept under the name given in `stranded`.
    Damaged,
};

// Writes each content completely to a temporary file beside its target, then moves the
// earlier files that stand at the targets aside, puts the new ones in their place and only
// then deletes the earlier ones. A failure at any step undoes the steps before it.
FileSetResult ReplaceFileSet(LogFiles& files, const std::vector<FileContent>& contents,
                             std::vector<std::wstring>* stranded = nullptr);

// ReplaceFileSet; true when every file was written.
bool WriteFilesWhole(LogFiles& files, const std::vector<FileContent>& contents);
