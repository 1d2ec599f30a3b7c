#include "input/key_test_engine.h"

#include "base/diagnostic_log.h"
#include "layouts/layout_selection.h"
#include "settings/app_settings.h"

#include <algorithm>
#include <utility>

namespace {

// Room for the longest fixed part of a line: codes of 16 bits, an interval of 32 bits.
constexpr std::size_t kSuffixSize = 64;

} // namespace

const wchar_t* LockKeyName(LockKey lock) {
    switch (lock) {
    case LockKey::CapsLock:
        return L"Caps Lock";
    case LockKey::NumLock:
        return L"Num Lock";
    case LockKey::ScrollLock:
        return L"Scroll Lock";
    }
    return L"";
}

bool LockKeyOfCode(ScanCode code, LockKey& lock) {
    switch (code) {
    case 0x3A:
    case 0x58:
        lock = LockKey::CapsLock;
        return true;
    case 0x45:
    case 0xC5:
        lock = LockKey::NumLock;
        return true;
    case 0x46:
    case 0xC6:
        lock = LockKey::ScrollLock;
        return true;
    default:
        return false;
    }
}

void FormatKeyLine(BoundedText& out, KeyLineKind kind, const std::wstring& name,
                   std::uint16_t virtualKey, ScanCode code, std::int64_t milliseconds) {
    wchar_t suffixBuffer[kSuffixSize];
    BoundedText suffix(suffixBuffer, kSuffixSize);
    suffix.Append(L" (0x", 4).AppendHex(virtualKey, 2, true);
    suffix.Append(L", BIOS 0x", 9).AppendHex(code, 2, true);
    switch (kind) {
    case KeyLineKind::Down:
        suffix.Append(L") DOWN", 6);
        break;
    case KeyLineKind::Chatter:
        suffix.Append(L") CHATTER DETECTED -> ", 22);
        break;
    case KeyLineKind::Up:
        suffix.Append(L") UP -> ", 8);
        break;
    case KeyLineKind::UpWhileAway:
        suffix.Append(L") UP (released while away)", 26);
        break;
    }
    if (kind == KeyLineKind::Chatter || kind == KeyLineKind::Up) {
        // Printed with %d: an interval of 2^31 ms or more wraps as a 32-bit value would.
        suffix.AppendDecimal(static_cast<std::int32_t>(milliseconds)).Append(L"ms", 2);
    }
    out.AppendPrintable(name.data(),
                        std::min(name.size(), out.Room() - std::min(out.Room(), suffix.Length())));
    out.Append(suffix.Text(), suffix.Length());
}

void FormatOverflowLine(BoundedText& out, std::size_t held) {
    out.Append(L"ROLLOVER OVERFLOW with ", 23)
        .AppendDecimal(static_cast<std::int64_t>(held))
        .Append(L" keys held", 10);
}

void FormatNameField(BoundedText& out, const std::wstring& name) {
    out.Append(L' ').AppendPrintable(name);
}

void FormatCodeField(BoundedText& out, unsigned value) {
    out.AppendDecimal(value, 3).Append(L" (0x", 4).AppendHex(value, 2, false).Append(L')');
}

void FormatHeldKeys(BoundedText& out, const HeldKeys& held, KeyNameTable& names) {
    const std::size_t start = out.Length();
    out.Append(L' ');
    for (ScanCode code : held) {
        out.AppendPrintable(names.Lookup(code)).Append(L"  ", 2);
    }
    out.UpperCaseFrom(start);
}

KeyTestEngine::KeyTestEngine(KeyEventQueue& queue, KeyNameTable& names, const RemapTable& remap,
                             KeyTestPage& page, ThresholdSource threshold)
    : queue_(queue), names_(names), remap_(remap), page_(page), threshold_(std::move(threshold)) {
    if (!threshold_) {
        threshold_ = [] {
            return static_cast<std::uint32_t>(UsableChatterThreshold(Settings().ChatterThreshold));
        };
    }
    buffer_[0] = L'\0';
}

KeyEvent* KeyTestEngine::CompleteCode(std::size_t index) {
    // Indices come from the page's own posts; anything else is not an event of ours.
    if (index >= queue_.size()) {
        return nullptr;
    }
    KeyEvent& event = queue_[index];
    event.code = CompleteScanCode(event.code, event.flags);
    return &event;
}

void KeyTestEngine::WriteCodeFields(int winControl, int biosControl, const KeyEvent& event) {
    BoundedText winCode(buffer_, kFormatBufferSize);
    FormatCodeField(winCode, event.virtualKey);
    page_.SetFieldText(winControl, winCode.Text());
    // The field shows the code without its prefix byte.
    BoundedText biosCode(buffer_, kFormatBufferSize);
    FormatCodeField(biosCode, event.code & 0x10FFu);
    page_.SetFieldText(biosControl, biosCode.Text());
}

void KeyTestEngine::RewriteHeldKeys() {
    BoundedText line(buffer_, kFormatBufferSize);
    FormatHeldKeys(line, held_, names_);
    page_.SetFieldText(kFieldHeldKeys, line.Text());
}

void KeyTestEngine::OnKeyMake(std::size_t index) {
    const KeyEvent* event = CompleteCode(index);
    if (event == nullptr) {
        return;
    }
    const ScanCode code = event->code;
    if (code == kOverrunMakeCode) {
        OnOverflow();
        return;
    }
    const std::int64_t time = event->time;
    KeyTiming& timing = timings_[code];
    const std::wstring& name = names_.Lookup(code);

    BoundedText nameField(buffer_, kFormatBufferSize);
    FormatNameField(nameField, name);
    page_.SetFieldText(kFieldLastDownName, nameField.Text());

    if (timing.phase != KeyTiming::Held) {
        BoundedText line(buffer_, kFormatBufferSize);
        FormatKeyLine(line, KeyLineKind::Down, name, event->virtualKey, code, 0);
        page_.AppendLine(line.Text(), false);
        statistics_.OnPress(code);
    }

    // The exact interval decides; only the line shows it in whole milliseconds. A time that
    // ran backwards (a made-up trace) is no chatter.
    const std::int64_t interval = time - timing.time;
    if (timing.phase == KeyTiming::Released) {
        statistics_.OnGap(interval);
        if (interval >= 0 && interval < ThresholdUsFor(code)) {
            page_.NotifyFault(code);
            LogMessage(L">>> Fault detected, key depressed %dms after release.\n",
                       static_cast<std::int32_t>(WholeMilliseconds(interval)));
            BoundedText line(buffer_, kFormatBufferSize);
            FormatKeyLine(line, KeyLineKind::Chatter, name, event->virtualKey, code,
                          WholeMilliseconds(interval));
            page_.AppendLine(line.Text(), true);
            statistics_.OnChatter(code, time, interval);
        }
    }

    if (timing.phase != KeyTiming::Held) {
        page_.NotifyPressed(code);
        if (std::find(held_.begin(), held_.end(), code) == held_.end()) {
            held_.push_back(code);
        }
        RewriteHeldKeys();
        statistics_.OnHeldKeys(held_);
        timing.phase = KeyTiming::Held;
        timing.time = time;
        timing.virtualKey = event->virtualKey;
    }

    WriteCodeFields(kFieldLastDownWinCode, kFieldLastDownBiosCode, *event);

    LockKey lock;
    if (LockKeyOfCode(remap_.TranslateRemapped(code), lock)) {
        page_.RefreshLockIndicator(lock);
    }

    const int status = page_.GetLayoutStatus();
    const int next = LayoutStatusAfterKeyPress(status);
    if (next != status) {
        page_.SetLayoutStatus(next);
        page_.UpdateLayoutStatus();
    }
}

void KeyTestEngine::OnOverflow() {
    // No key went down: no key state, timing or held key changes, only the line and the count.
    LogMessage(L">>> Rollover overflow with %d keys held.\n", static_cast<int>(held_.size()));
    BoundedText line(buffer_, kFormatBufferSize);
    FormatOverflowLine(line, held_.size());
    page_.AppendLine(line.Text(), true);
    statistics_.OnOverflow(held_.size());
}

std::int64_t KeyTestEngine::SetThresholdUsFor(ScanCode code) const {
    if (!keyThresholdsUs_.empty()) {
        const auto found = keyThresholdsUs_.find(code);
        if (found != keyThresholdsUs_.end()) {
            return found->second;
        }
    }
    return allKeysThresholdUs_ >= 0 ? allKeysThresholdUs_
                                    : static_cast<std::int64_t>(threshold_()) * 1000;
}

void KeyTestEngine::SetThresholds(std::int64_t allKeysUs, std::map<ScanCode, std::int64_t> keysUs) {
    allKeysThresholdUs_ = allKeysUs;
    keyThresholdsUs_ = std::move(keysUs);
}

void KeyTestEngine::OnKeyBreak(std::size_t index) {
    const KeyEvent* event = CompleteCode(index);
    if (event == nullptr) {
        return;
    }
    const ScanCode code = event->code;
    // The overflow's break ends nothing: its make was no key.
    if (code == kOverrunMakeCode) {
        return;
    }
    const std::int64_t time = event->time;

    page_.NotifyReleased(code);

    KeyTiming& timing = timings_[code];
    const std::wstring& name = names_.Lookup(code);
    const std::int64_t duration = time - timing.time;
    BoundedText line(buffer_, kFormatBufferSize);
    FormatKeyLine(line, KeyLineKind::Up, name, event->virtualKey, code,
                  WholeMilliseconds(duration));
    page_.AppendLine(line.Text(), false);
    if (timing.phase == KeyTiming::Held) {
        statistics_.OnRelease(code, duration);
    }

    held_.erase(std::remove(held_.begin(), held_.end(), code), held_.end());
    RewriteHeldKeys();

    timing.phase = KeyTiming::Released;
    timing.time = time;

    BoundedText nameField(buffer_, kFormatBufferSize);
    FormatNameField(nameField, name);
    page_.SetFieldText(kFieldLastUpName, nameField.Text());
    WriteCodeFields(kFieldLastUpWinCode, kFieldLastUpBiosCode, *event);
}

bool KeyTestEngine::IsHeld(ScanCode code) const {
    const auto found = timings_.find(code);
    return found != timings_.end() && found->second.phase == KeyTiming::Held;
}

void KeyTestEngine::ReleaseKeysMissedWhileAway(std::int64_t timeUs, const KeyDownQuery& stillDown) {
    const HeldKeys held = held_;
    for (ScanCode code : held) {
        KeyTiming& timing = timings_[code];
        if (stillDown && stillDown(code, timing.virtualKey)) {
            continue;
        }
        page_.NotifyReleased(code);
        BoundedText line(buffer_, kFormatBufferSize);
        FormatKeyLine(line, KeyLineKind::UpWhileAway, names_.Lookup(code), timing.virtualKey, code,
                      0);
        page_.AppendLine(line.Text(), false);
        held_.erase(std::remove(held_.begin(), held_.end(), code), held_.end());
        RewriteHeldKeys();
        timing.phase = KeyTiming::ReleasedAway;
        timing.time = timeUs;
    }
}

void KeyTestEngine::ForgetAllKeys() {
    timings_.clear();
    held_.clear();
}
