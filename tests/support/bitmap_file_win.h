#pragma once
// Saves 32-bit top-down pixels as a .bmp file, so a test's drawing can be looked at.
#include <windows.h>

#include <filesystem>
#include <vector>

bool WriteBmp(const std::filesystem::path& path, int width, int height,
              const std::vector<DWORD>& pixels);
