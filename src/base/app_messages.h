#pragma once
// Messages the program's own windows send each other (WM_USER = 0x400, WM_APP = 0x8000).

// Posted by the input thread to the keyboard test page: key records wait in its inbox (one
// message for all records that arrive until the page takes them).
inline constexpr unsigned int UWM_KEY_RECORDS = 0x0400 + 101;
// Posted by the keyboard test page to itself: write the queued event log lines once no key
// input is waiting.
inline constexpr unsigned int UWM_WRITE_LOG = 0x0400 + 120;
// Keyboard test page -> main window, posted when a layout selection finished.
inline constexpr unsigned int UWM_LAYOUT_CHANGED = 0x8000 + 200;
// Re-fit the keyboard page, the frame and the main window.
inline constexpr unsigned int UWM_REFLOW_LAYOUT = 0x8000 + 201;
// layout folder watch -> keyboard test page, posted: a file of the layout folder changed
inline constexpr unsigned int UWM_LAYOUT_FOLDER_CHANGED = 0x8000 + 202;
// Keyboard test page -> itself, posted: the Unit box takes the focus unless a unit is under test.
inline constexpr unsigned int UWM_BENCH_FOCUS = 0x8000 + 203;
// An edit box got / lost the focus: remove / restore the raw input registration.
inline constexpr unsigned int UWM_DISABLE_RAW_INPUT = 0x8000 + 300;
inline constexpr unsigned int UWM_ENABLE_RAW_INPUT = 0x8000 + 301;
// Main window -> a tab button: lay out the tab row from this tab on.
inline constexpr unsigned int UWM_LAYOUT_TABS = 0x0400 + 100;
