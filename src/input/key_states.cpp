#include "input/key_states.h"

#include "base/diagnostic_log.h"

namespace {

constexpr const wchar_t* kAlreadyPressed = L"NotifyPressed:  key already pressed.\n";
constexpr const wchar_t* kNotPressed =
    L"NotifyReleased:  Invalid state, key hasn't been pressed!\n";
constexpr const wchar_t* kAlreadyReleased =
    L"NotifyReleased:  Invalid state, key is already released.\n";
constexpr const wchar_t* kFaultInvalid = L"NotifyFault:  Invalid state.\n";

} // namespace

KeyTransition TransitionFor(std::int32_t state, KeyNotification notification) {
    // A key left out of the test stays out, whatever it does.
    if (state == Skipped) {
        return {state, nullptr};
    }
    switch (notification) {
    case KeyNotification::Pressed:
        switch (state) {
        case Unpressed:
        case Pressed:
            return {Depressed, nullptr};
        case Depressed:
        case AlarmDepressed:
            return {state, kAlreadyPressed};
        case Alarm:
            return {AlarmDepressed, nullptr};
        default:
            return {state, L"NotifyPressed:  Invalid state.\n"};
        }
    case KeyNotification::Released:
        switch (state) {
        case Unpressed:
            return {state, kNotPressed};
        case Depressed:
            return {Pressed, nullptr};
        case Pressed:
        case Alarm:
            return {state, kAlreadyReleased};
        case AlarmDepressed:
            return {Alarm, nullptr};
        default:
            return {state, L"NotifyReleased:  Invalid state.\n"};
        }
    case KeyNotification::Fault:
        switch (state) {
        case Depressed:
            return {AlarmDepressed, nullptr};
        case Pressed:
            return {Alarm, nullptr};
        case AlarmDepressed:
        case Alarm:
            return {state, nullptr};
        default:
            return {state, kFaultInvalid};
        }
    }
    return {state, nullptr};
}

ScanCode SubstitutePauseBreak(const KeyboardLayout& layout, ScanCode code) {
    if (code == kScanCodePause && !layout.hasPause) {
        return kScanCodeBreak;
    }
    if (code == kScanCodeBreak && !layout.hasBreak) {
        return kScanCodePause;
    }
    return code;
}

void NotifyKey(KeyboardLayout& layout, KeyView* view, ScanCode code, KeyNotification notification) {
    LayoutKey* key = layout.FindKey(SubstitutePauseBreak(layout, code));
    if (key == nullptr) {
        return;
    }
    const KeyTransition transition = TransitionFor(key->state, notification);
    if (transition.message != nullptr) {
        LogMessage(transition.message);
    }
    key->state = transition.state;
    // Redrawn even when the state stayed, so the view never lags behind the model.
    if (view != nullptr) {
        view->RedrawKey(*key);
    }
}
