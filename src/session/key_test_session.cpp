#include "session/key_test_session.h"

#include "base/diagnostic_log.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_fit.h"
#include "settings/app_settings.h"

#include <utility>

KeyTestSession::KeyTestSession(SessionView& view, KeyNameTable& names, const RemapTable& remap,
                               KeyTestEngine::ThresholdSource threshold, KeySizeSource keySize)
    : view_(view), names_(names), keySizeSource_(std::move(keySize)),
      engine_(queue_, names, remap, *this, std::move(threshold)) {}

void KeyTestSession::SetDefaultLayout(std::wstring text, std::wstring name) {
    selector_.SetDefaultLayout(std::move(text), std::move(name));
}

bool KeyTestSession::SelectLayout(const std::wstring& path, std::wstring& lastLayout) {
    loadedEntry_ = -1;
    return selector_.SelectLayout(*this, path, lastLayout);
}

void KeyTestSession::Reload(std::wstring& lastLayout) {
    // A copy: the selection writes the value it reads.
    const std::wstring path = lastLayout;
    SelectLayout(path, lastLayout);
}

int KeyTestSession::CurrentKeySize() const {
    return keySizeSource_ ? keySizeSource_() : Settings().KeyDimensions;
}

bool KeyTestSession::LoadSource(int keySize, KeyboardLayout& layout, KeyNameTable& names,
                                LayoutLoadFailure* failure) const {
    return sourceIsFile_ ? LoadAnyLayoutFile(source_, keySize, layout, names, failure)
                         : ::LoadLayoutText(source_, keySize, layout, names);
}

bool KeyTestSession::LoadLayoutFile(const std::wstring& path) {
    source_ = path;
    sourceIsFile_ = true;
    keySize_ = CurrentKeySize();
    failure_ = {};
    return LoadSource(keySize_, layout_, names_, &failure_);
}

bool KeyTestSession::LoadLayoutString(const std::wstring& text) {
    source_ = text;
    sourceIsFile_ = false;
    keySize_ = CurrentKeySize();
    return LoadSource(keySize_, layout_, names_, nullptr);
}

bool KeyTestSession::FitWithin(int maxWidth, int maxHeight) {
    if (layout_.keys.empty() || (layout_.width <= maxWidth && layout_.height <= maxHeight)) {
        return false;
    }
    // The layout was read once; trial sizes only scale its key units.
    KeyboardLayout trial = layout_;
    const int fitted = FittingKeySize(keySize_, maxWidth, maxHeight, [&trial](int keySize) {
        ScaleLayout(trial, keySize);
        return PixelSize{trial.width, trial.height};
    });
    if (fitted >= keySize_) {
        return false;
    }
    LogMessage(L"Layout drawn with %d-pixel keys to fit the screen (KeyDimensions %d).\n", fitted,
               CurrentKeySize());
    ScaleLayout(layout_, fitted);
    keySize_ = fitted;
    return true;
}

bool KeyTestSession::RestoreKeySize() {
    const int configured = CurrentKeySize();
    if (layout_.keys.empty() || keySize_ == configured) {
        return false;
    }
    ScaleLayout(layout_, configured);
    keySize_ = configured;
    return true;
}

void KeyTestSession::ResetKeyStates() {
    // The figures of a test start afresh with its key states.
    layout_.ResetKeyStates();
    engine_.ResetStatistics();
    view_.DisplayCleared();
}

void KeyTestSession::SetStatusText(int textId, Colour colour) {
    status_.textId = textId;
    status_.colour = colour;
}

void KeyTestSession::ShowStatusCaption(bool visible) {
    status_.visible = visible;
    view_.StatusChanged(status_);
}

void KeyTestSession::ReportLoadFailure(const std::wstring& line) {
    if (reportLoadFailures_) {
        AppendLine(line.c_str(), true);
    }
}

void KeyTestSession::Feed(const RawKeyRecord& record, std::int64_t timeUs, bool background) {
    if (background && !decoder_.TakesBackgroundRecord(record)) {
        return;
    }
    if (decoder_.IsNewDevice(record)) {
        decoder_.SetCurrentDevice(record.device);
    }
    const DecodeResult result = decoder_.Decode(record, timeUs, queue_);
    if (result.message == KeyMessage::Make) {
        engine_.OnKeyMake(result.index);
    } else if (result.message == KeyMessage::Break) {
        engine_.OnKeyBreak(result.index);
    }
}

void KeyTestSession::ReleaseKeysMissedWhileAway(std::int64_t timeUs,
                                                const KeyTestEngine::KeyDownQuery& stillDown) {
    engine_.ReleaseKeysMissedWhileAway(timeUs, stillDown);
    // The decoder's own record of keys seen going down follows the engine's releases.
    decoder_.KeepDownOnly(engine_.Held());
}

void KeyTestSession::Restart() {
    engine_.ForgetAllKeys();
    queue_.clear();
    decoder_ = RawKeyDecoder();
    lines_.clear();
    selector_.ClearKeyboardDisplay(*this);
}

std::vector<SessionLogLine> KeyTestSession::TakeLogLines() {
    std::vector<SessionLogLine> taken;
    taken.swap(lines_);
    return taken;
}

std::vector<ReadoutPart> KeyTestSession::Readout() const {
    return ReadoutParts(Coverage(), engine_.Statistics().Rollover());
}

TestReport KeyTestSession::Report(const ReportContext& context) const {
    return BuildTestReport(layout_, engine_.Statistics(), names_.Entries(), context);
}

void KeyTestSession::SetFieldText(int control, const wchar_t* text) {
    view_.FieldChanged(control, text);
}

void KeyTestSession::AppendLine(const wchar_t* text, bool fault) {
    lines_.push_back({text, fault});
    view_.LogLinesReady();
}

void KeyTestSession::NotifyPressed(ScanCode code) {
    ::NotifyPressed(layout_, this, code);
}

void KeyTestSession::NotifyReleased(ScanCode code) {
    ::NotifyReleased(layout_, this, code);
}

void KeyTestSession::NotifyFault(ScanCode code) {
    ::NotifyFault(layout_, this, code);
}

void KeyTestSession::RedrawKey(LayoutKey& key) {
    view_.KeyChanged(key);
}

void KeyTestSession::RefreshLockIndicator(LockKey lock) {
    view_.LampToRefresh(lock);
}

void KeyTestSession::SetLayoutStatus(int status) {
    // The engine only ever moves the status on after a key press; the selector takes that
    // step and shows the status line when the value changes.
    if (status != selector_.Status()) {
        selector_.OnKeyPress(*this);
    }
}
