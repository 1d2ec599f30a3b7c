#pragma once
// The files of the layout folder: .kbl layout text, and .json keyboard descriptions (KLE raw
// data, QMK keyboard definitions) that are converted when they are listed and loaded.
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <string>

// The file ends in .json (any case).
bool IsJsonLayoutFile(const std::wstring& path);

// Loads a .kbl file with the file loader, or converts a .json file and loads the result the
// same way. failure, when given, receives the reason of a failed load.
bool LoadAnyLayoutFile(const std::wstring& path, int keyDimensions, KeyboardLayout& layout,
                       KeyNameTable& names, LayoutLoadFailure* failure = nullptr);

// The name shown in the layout list: a .kbl file's header name; for a .json file the name of
// the converted layout, or the file name when it cannot be converted (choosing it then
// says why).
std::wstring ReadAnyLayoutName(const std::wstring& path);

// The event-log line for a failed load: Layout "<file name>" not loaded: line <N>: <reason>
// (without "line <N>: " when no line is to blame).
std::wstring LayoutFailureLine(const std::wstring& path, const LayoutLoadFailure& failure);
