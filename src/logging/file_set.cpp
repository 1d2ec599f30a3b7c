#include "logging/file_set.h"

#include "base/diagnostic_log.h"
#include "logging/event_log.h"

namespace {

// Free names tried beside a target before the step gives up.
constexpr int kSpareNameAttempts = 100;

// A complete copy of bytes under a free temporary name beside path; empty on failure.
std::wstring WriteTemporary(LogFiles& files, const std::wstring& path, const std::string& bytes) {
    for (int attempt = 0; attempt < kSpareNameAttempts; ++attempt) {
        const std::wstring temporary = path + FormatWide(L".%d.tmp", attempt);
        const auto result = files.WriteNewFile(temporary, bytes);
        if (!result.created) {
            if (result.alreadyExists) {
                continue;
            }
            LogMessage(L"Error creating file \"%ls\", 0x%08x\n", temporary.c_str(), result.error);
            return std::wstring();
        }
        if (!result.complete) {
            LogMessage(L"Error writing file \"%ls\", 0x%08x\n", temporary.c_str(), result.error);
            files.RemoveFile(temporary);
            return std::wstring();
        }
        return temporary;
    }
    LogMessage(L"Error creating file \"%ls\", no free temporary name\n", path.c_str());
    return std::wstring();
}

// Moves the file at path to a free name beside it; that name, or empty on failure.
std::wstring MoveAside(LogFiles& files, const std::wstring& path) {
    for (int attempt = 0; attempt < kSpareNameAttempts; ++attempt) {
        const std::wstring aside = path + FormatWide(L".%d.old", attempt);
        if (files.FileExists(aside)) {
            continue;
        }
        std::uint32_t error = 0;
        if (files.MoveOver(path, aside, error)) {
            return aside;
        }
        LogMessage(L"Error moving file \"%ls\" aside, 0x%08x\n", path.c_str(), error);
        return std::wstring();
    }
    LogMessage(L"Error moving file \"%ls\" aside, no free name\n", path.c_str());
    return std::wstring();
}

class FileSetReplacement {
public:
    FileSetReplacement(LogFiles& files, const std::vector<FileContent>& contents)
        : files_(files), contents_(contents), temporaries_(contents.size()),
          asides_(contents.size()) {}

    FileSetResult Run(std::vector<std::wstring>* stranded) {
        for (std::size_t i = 0; i < contents_.size(); ++i) {
            temporaries_[i] = WriteTemporary(files_, contents_[i].path, contents_[i].bytes);
            if (temporaries_[i].empty()) {
                return Undo(stranded);
            }
        }
        for (std::size_t i = 0; i < contents_.size(); ++i) {
            if (!files_.FileExists(contents_[i].path)) {
                continue;
            }
            asides_[i] = MoveAside(files_, contents_[i].path);
            if (asides_[i].empty()) {
                return Undo(stranded);
            }
        }
        for (std::size_t i = 0; i < contents_.size(); ++i) {
            std::uint32_t error = 0;
            if (!files_.MoveOver(temporaries_[i], contents_[i].path, error)) {
                LogMessage(L"Error replacing file \"%ls\", 0x%08x\n", contents_[i].path.c_str(),
                           error);
                return Undo(stranded);
            }
            temporaries_[i].clear();
            placed_.push_back(i);
        }
        // Every new file is in place: the earlier ones go now.
        for (const std::wstring& aside : asides_) {
            if (!aside.empty()) {
                files_.RemoveFile(aside);
            }
        }
        return FileSetResult::Written;
    }

private:
    FileSetResult Undo(std::vector<std::wstring>* stranded) {
        for (std::size_t i : placed_) {
            files_.RemoveFile(contents_[i].path);
        }
        for (const std::wstring& temporary : temporaries_) {
            if (!temporary.empty()) {
                files_.RemoveFile(temporary);
            }
        }
        FileSetResult result = FileSetResult::Unchanged;
        for (std::size_t i = 0; i < contents_.size(); ++i) {
            if (asides_[i].empty()) {
                continue;
            }
            std::uint32_t error = 0;
            if (!files_.MoveOver(asides_[i], contents_[i].path, error)) {
                LogMessage(L"Error moving file \"%ls\" back, 0x%08x; it is kept as \"%ls\"\n",
                           contents_[i].path.c_str(), error, asides_[i].c_str());
                result = FileSetResult::Damaged;
                if (stranded != nullptr) {
                    stranded->push_back(asides_[i]);
                }
            }
        }
        return result;
    }

    LogFiles& files_;
    const std::vector<FileContent>& contents_;
    std::vector<std::wstring> temporaries_; // empty once moved into place
    std::vector<std::wstring> asides_;      // where each earlier file waits; empty: none
    std::vector<std::size_t> placed_;       // targets that hold their new file
};

} // namespace

FileSetResult ReplaceFileSet(LogFiles& files, const std::vector<FileContent>& contents,
                             std::vector<std::wstring>* stranded) {
    return FileSetReplacement(files, contents).Run(stranded);
}

bool WriteFilesWhole(LogFiles& files, const std::vector<FileContent>& contents) {
    return ReplaceFileSet(files, contents) == FileSetResult::Written;
}
