#include "input/scancode_map_win.h"

#include <algorithm>
#include <vector>

namespace {

constexpr wchar_t kKeyboardLayoutKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layout";
constexpr wchar_t kScancodeMapValue[] = L"Scancode Map";

} // namespace

bool ReadScancodeMap(RemapTable& table) {
    return ReadScancodeMapFrom(HKEY_LOCAL_MACHINE, kKeyboardLayoutKey, table);
}

bool ReadScancodeMapFrom(HKEY root, const wchar_t* path, RemapTable& table) {
    table.Clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, kScancodeMapValue, nullptr, &type, nullptr, &size);
    std::vector<BYTE> bytes;
    if (status == ERROR_SUCCESS && type == REG_BINARY) {
        bytes.resize(size);
        status = RegQueryValueExW(key, kScancodeMapValue, nullptr, &type,
                                  bytes.empty() ? nullptr : bytes.data(), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_BINARY) {
        return false;
    }
    return table.ReadScancodeMap(bytes.data(), std::min<std::size_t>(size, bytes.size()));
}
