#include "cli/cli_files.h"

#include "base/utf8.h"

#include <filesystem>
#include <fstream>
#include <iterator>

std::wstring ArgumentToWide(const std::string& argument) {
#ifdef _WIN32
    // The C runtime hands arguments over in the ANSI code page.
    try {
        return std::filesystem::path(argument).wstring();
    } catch (const std::exception&) {
        return std::wstring();
    }
#else
    return DecodeUtf8(argument);
#endif
}

bool ReadArgumentBytes(const std::string& argument, std::string& bytes, std::size_t limit) {
    std::error_code error;
    if (std::filesystem::is_directory(argument, error)) {
        return false;
    }
#ifdef _WIN32
    std::ifstream stream(std::filesystem::path(ArgumentToWide(argument)), std::ios::binary);
#else
    std::ifstream stream(argument, std::ios::binary);
#endif
    if (!stream.is_open()) {
        return false;
    }
    if (limit == static_cast<std::size_t>(-1)) {
        bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
        return !stream.bad();
    }
    // Only what is needed to tell that the file is too long is read.
    bytes.resize(limit + 1);
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return !stream.bad();
}
