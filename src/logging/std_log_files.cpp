#include "logging/std_log_files.h"

#include "base/utf8.h"

#include <cstdio>
#include <fstream>
#include <system_error>

std::filesystem::path WidePath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(EncodeUtf8(path));
#endif
}

bool StdLogFiles::FolderExists(const std::wstring& folder) {
    std::error_code error;
    return std::filesystem::is_directory(WidePath(folder), error);
}

bool StdLogFiles::CreateFolder(const std::wstring& folder) {
    std::error_code error;
    return std::filesystem::create_directory(WidePath(folder), error);
}

bool StdLogFiles::FileExists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::exists(WidePath(path), error);
}

LogFiles::WriteResult StdLogFiles::WriteNewFile(const std::wstring& path,
                                                const std::string& bytes) {
    WriteResult result;
    if (FileExists(path)) {
        result.alreadyExists = true;
        return result;
    }
    std::ofstream file(WidePath(path), std::ios::binary | std::ios::trunc);
    if (!file) {
        result.error = 1;
        return result;
    }
    result.created = true;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    result.complete = !file.fail();
    result.error = result.complete ? 0 : 1;
    return result;
}

bool StdLogFiles::MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) {
    std::error_code code;
    // Only files move: a folder standing where a file is to go stays where it is.
    if (std::filesystem::is_directory(WidePath(from), code) ||
        std::filesystem::is_directory(WidePath(to), code)) {
        error = static_cast<std::uint32_t>(std::make_error_code(std::errc::is_a_directory).value());
        return false;
    }
    std::filesystem::rename(WidePath(from), WidePath(to), code);
    error = static_cast<std::uint32_t>(code.value());
    return !code;
}

void StdLogFiles::RemoveFile(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove(WidePath(path), error);
}
