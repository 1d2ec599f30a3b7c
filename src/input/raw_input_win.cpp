#include "input/raw_input_win.h"

namespace {

constexpr UINT kKeyboardRecordSize = sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD);

} // namespace

RawKeyRecord ToRawKeyRecord(const RAWINPUT& record) {
    const RAWKEYBOARD& keyboard = record.data.keyboard;
    return RawKeyRecord{
        keyboard.MakeCode, keyboard.Flags, keyboard.VKey,
        static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(record.header.hDevice))};
}

bool ReadKeyboardRecord(LPARAM rawInputHandle, RAWINPUT& record) {
    UINT size = sizeof(record);
    const UINT read = ::GetRawInputData(reinterpret_cast<HRAWINPUT>(rawInputHandle), RID_INPUT,
                                        &record, &size, sizeof(RAWINPUTHEADER));
    return read != static_cast<UINT>(-1) && read >= kKeyboardRecordSize &&
           record.header.dwType == RIM_TYPEKEYBOARD;
}

DWORD RegisterKeyboardInput(HWND target) {
    RAWINPUTDEVICE device{};
    device.usUsagePage = 1; // generic desktop
    device.usUsage = 6;     // keyboard
    device.dwFlags = target != nullptr ? kRawInputFlags : RIDEV_REMOVE;
    device.hwndTarget = target;
    if (!::RegisterRawInputDevices(&device, 1, sizeof(device))) {
        const DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    return 0;
}

bool ThisProcessHasTheForeground() {
    HWND foreground = ::GetForegroundWindow();
    if (foreground == nullptr) {
        return false;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(foreground, &process);
    return process == ::GetCurrentProcessId();
}
