#include "input/raw_decoder.h"

#include "base/diagnostic_log.h"

DecodeResult RawKeyDecoder::Decode(const RawKeyRecord& record, std::int64_t timeUs,
                                   KeyEventQueue& queue) {
    DecodeResult result;

    const bool isBreak = (record.flags & kRawFlagBreak) != 0;
    const bool e0 = (record.flags & kRawFlagE0) != 0;
    const bool e1 = (record.flags & kRawFlagE1) != 0;
    LogMessage(L"OnInput():  Scan code 0x%02x, %ls, Virtual key 0x%02x%ls%ls.\n", record.makeCode,
               isBreak ? L"Up" : L"Down", record.virtualKey, e0 ? L", extended (E0)" : L"",
               e1 ? L", extended (E1)" : L"");

    // Keyboards wrap E0 keys in fake left-shift records; they are no key of their own.
    if (e0 && record.makeCode == 0x2A) {
        LogMessage(L"   Extended LShift make; ignoring.\n");
        return result;
    }
    if (e0 && record.makeCode == 0xAA) {
        LogMessage(L"   Extended LShift break; ignoring.\n");
        return result;
    }

    if (pendingIgnoreCode_ != 0) {
        if (record.makeCode == pendingIgnoreCode_) {
            LogMessage(L"   Ignoring expected 0x%02x event.\n", record.makeCode);
            pendingIgnoreCode_ = 0;
            return result;
        }
        LogMessage(L"   Expected to ignore 0x%02x, does not match 0x%02x, not found.\n",
                   pendingIgnoreCode_, record.makeCode);
        pendingIgnoreCode_ = 0;
    }

    // Pause sends E1 1D 45: the 0x45 that follows is part of it, not Num Lock.
    if (e1 && record.makeCode == 0x1D) {
        pendingIgnoreCode_ = 0x45;
    }

    queue.push_back(KeyEvent{record.makeCode, record.flags, record.virtualKey, timeUs});
    down_.set(CompleteScanCode(record.makeCode, record.flags), !isBreak);
    result.index = queue.size() - 1;
    result.message = isBreak ? KeyMessage::Break : KeyMessage::Make;
    return result;
}

DecodeResult
RawKeyDecoder::Process(const RawKeyRecord& record, std::int64_t timeUs, KeyEventQueue& queue,
                       const std::function<void(const RawKeyRecord&)>& identifyDevice) {
    if (IsNewDevice(record)) {
        if (identifyDevice) {
            identifyDevice(record);
        }
        // Identification is expected to store the handle itself; doing it here as well keeps
        // a failed or missing identification from running again for every record.
        currentDevice_ = record.device;
    }
    return Decode(record, timeUs, queue);
}

bool RawKeyDecoder::TakesBackgroundRecord(const RawKeyRecord& record) const {
    if ((record.flags & kRawFlagBreak) == 0) {
        return false;
    }
    if (pendingIgnoreCode_ != 0 && record.makeCode == pendingIgnoreCode_) {
        return true;
    }
    return IsDown(CompleteScanCode(record.makeCode, record.flags));
}

void RawKeyDecoder::KeepDownOnly(const std::vector<ScanCode>& held) {
    std::bitset<0x10000> kept;
    for (ScanCode code : held) {
        kept.set(code, down_.test(code));
    }
    down_ = kept;
}
