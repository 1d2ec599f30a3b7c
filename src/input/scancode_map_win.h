#pragma once
// Reads the system-wide key remapping from the registry into a RemapTable.
#include "input/remap_table.h"

#include <windows.h>

// Reads the "Scancode Map" value under HKEY_LOCAL_MACHINE; true when the table then holds
// at least one mapping. A missing value or key empties the table without a message.
bool ReadScancodeMap(RemapTable& table);

// The same from another place (tests).
bool ReadScancodeMapFrom(HKEY root, const wchar_t* path, RemapTable& table);
