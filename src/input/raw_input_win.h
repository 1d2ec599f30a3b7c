#pragma once
// Raw keyboard input: the registration, and the reading of one WM_INPUT record.
#include "input/raw_decoder.h"

#include <windows.h>

// The raw input registration flags: no legacy key messages, no application hotkeys,
// application command keys still handled, and input in the background too, so that a key
// held here and released in another window does not stay held (every other background
// record is ignored).
constexpr DWORD kRawInputFlags =
    RIDEV_NOLEGACY | RIDEV_NOHOTKEYS | RIDEV_APPKEYS | RIDEV_INPUTSINK; // 0x730

// The fields decoding needs from a keyboard record.
RawKeyRecord ToRawKeyRecord(const RAWINPUT& record);

// Reads the record behind a WM_INPUT handle; false when it cannot be read or is no keyboard
// record.
bool ReadKeyboardRecord(LPARAM rawInputHandle, RAWINPUT& record);

// Registers target for raw keyboard input with kRawInputFlags, or removes the registration
// (target null). 0 on success, else the error code.
DWORD RegisterKeyboardInput(HWND target);

// Whether a window of this process is the foreground window: the user is typing here.
bool ThisProcessHasTheForeground();
