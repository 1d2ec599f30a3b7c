#include "input/raw_input_win.h"

#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "input/elapsed_clock.h"

namespace {

constexpr UINT kKeyboardRecordSize = sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD);

bool RegisterKeyboard(DWORD flags, HWND target) {
    RAWINPUTDEVICE device{};
    device.usUsagePage = 1; // generic desktop
    device.usUsage = 6;     // keyboard
    device.dwFlags = flags;
    device.hwndTarget = target;
    if (!::RegisterRawInputDevices(&device, 1, sizeof(device))) {
        LogMessage(L"   Failed (%08x).\n", static_cast<unsigned>(::GetLastError()));
        return false;
    }
    return true;
}

} // namespace

RawKeyRecord ToRawKeyRecord(const RAWINPUT& record) {
    const RAWKEYBOARD& keyboard = record.data.keyboard;
    return RawKeyRecord{
        keyboard.MakeCode, keyboard.Flags, keyboard.VKey,
        static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(record.header.hDevice))};
}

RawInputReader::RawInputReader(HWND target, KeyEventQueue& queue, DeviceIdentifier identifyDevice,
                               RawKeyDecoder* decoder)
    : target_(target), queue_(queue), identifyDevice_(std::move(identifyDevice)),
      decoder_(decoder != nullptr ? decoder : &ownDecoder_) {}

LRESULT RawInputReader::OnInput(WPARAM inputCode, LPARAM rawInputHandle) {
    RAWINPUT record{};
    UINT size = sizeof(record);
    const UINT read = ::GetRawInputData(reinterpret_cast<HRAWINPUT>(rawInputHandle), RID_INPUT,
                                        &record, &size, sizeof(RAWINPUTHEADER));
    if (read == static_cast<UINT>(-1) || read < kKeyboardRecordSize ||
        record.header.dwType != RIM_TYPEKEYBOARD) {
        return 0;
    }
    OnRecord(record, GET_RAWINPUT_CODE_WPARAM(inputCode) == RIM_INPUTSINK);
    return 0;
}

void RawInputReader::OnRecord(const RAWINPUT& record, bool background) {
    const std::int64_t time = ElapsedMicroseconds();
    const RawKeyRecord keyRecord = ToRawKeyRecord(record);
    if (background && !decoder_->TakesBackgroundRecord(keyRecord)) {
        return;
    }
    if (keep_) {
        keep_(keyRecord, time);
    }
    const DecodeResult result =
        decoder_->Process(keyRecord, time, queue_, [this, &record](const RawKeyRecord&) {
            if (identifyDevice_) {
                identifyDevice_(record);
            }
        });
    if (result.message == KeyMessage::None) {
        return;
    }
    ::PostMessageW(target_, result.message == KeyMessage::Break ? UWM_KEY_BREAK : UWM_KEY_MAKE,
                   static_cast<WPARAM>(result.index), 0);
}

void RawInputReader::DecodeWaitingInput() {
    // PeekMessageW may deliver sent messages; one of them must not start a second drain.
    if (draining_ || target_ == nullptr) {
        return;
    }
    draining_ = true;
    MSG message;
    while (::PeekMessageW(&message, target_, WM_INPUT, WM_INPUT, PM_REMOVE | PM_NOYIELD)) {
        OnInput(message.wParam, message.lParam);
    }
    draining_ = false;
}

bool RawInputReader::KeyInputWaiting() const {
    if (target_ == nullptr) {
        return false;
    }
    MSG message;
    return ::PeekMessageW(&message, target_, UWM_KEY_MAKE, UWM_KEY_BREAK,
                          PM_NOREMOVE | PM_NOYIELD) ||
           ::PeekMessageW(&message, target_, WM_INPUT, WM_INPUT, PM_NOREMOVE | PM_NOYIELD);
}

bool RawInputReader::EnableRawInput() {
    LogMessage(L"Enabling raw input...\n");
    return RegisterKeyboard(kRawInputFlags, target_);
}

bool RawInputReader::DisableRawInput() {
    LogMessage(L"Disabling raw input...\n");
    return RegisterKeyboard(RIDEV_REMOVE, nullptr);
}
