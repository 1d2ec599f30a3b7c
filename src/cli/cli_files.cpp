#include "cli/cli_files.h"

#include "base/utf8.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <cwctype>
#endif

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

std::filesystem::path ArgumentPath(const std::string& argument) {
#ifdef _WIN32
    return std::filesystem::path(ArgumentToWide(argument));
#else
    return std::filesystem::path(argument);
#endif
}

namespace {

std::filesystem::path::string_type FullPath(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    if (error) {
        full = path;
    }
    // Existing folders on the way are resolved (links, "..") and the rest normalised.
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(full, error);
    std::filesystem::path::string_type text =
        error ? full.lexically_normal().native() : resolved.native();
#ifdef _WIN32
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    }
#endif
    return text;
}

} // namespace

bool SameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return false;
    }
    const std::filesystem::path a = ArgumentPath(first);
    const std::filesystem::path b = ArgumentPath(second);
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) {
        return true;
    }
    return FullPath(a) == FullPath(b);
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
