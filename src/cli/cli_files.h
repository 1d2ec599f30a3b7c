#pragma once
// File arguments of the tapwise-cli commands.
#include <filesystem>
#include <string>

// A command-line argument as a wide path or text.
std::wstring ArgumentToWide(const std::string& argument);
// A command-line argument as a path of the platform.
std::filesystem::path ArgumentPath(const std::string& argument);

// The whole content of the file an argument names, or its first limit + 1 bytes when it is
// longer; false for a directory or an unreadable file.
bool ReadArgumentBytes(const std::string& argument, std::string& bytes,
                       std::size_t limit = static_cast<std::size_t>(-1));

// Whether two file arguments name the same file: one file on disk (links and other spellings
// included), or, for files not there yet, one full path once normalised (on Windows whatever
// the letter case). False when either is empty.
bool SameFile(const std::string& first, const std::string& second);
