#include "pages/log_write_pacer_win.h"

#include "base/app_messages.h"
#include "input/elapsed_clock.h"

void LogWritePacer::ScheduleLogWrite() {
    const LogLineQueue& queued = log_.Queued();
    if (queued.Empty()) {
        return;
    }
    // During a long burst the view still moves at least every delay limit.
    if (queued.DueForWrite(true, ElapsedMilliseconds())) {
        log_.WriteQueuedLines();
        return;
    }
    if (!posted_) {
        PostOrWrite();
    }
}

void LogWritePacer::PostOrWrite() {
    posted_ = ::PostMessageW(input_.Target(), UWM_WRITE_LOG, 0, 0) != FALSE;
    if (!posted_) {
        log_.WriteQueuedLines();
    }
}

void LogWritePacer::StampWaitingInput() {
    // Looking for waiting records is a round trip to the window manager, as long as a key
    // event's work under Wine; one look per tick of the millisecond clock keeps a burst's
    // stamps within that millisecond at a fraction of the cost.
    const std::uint32_t now = ElapsedMilliseconds();
    if (looked_ && now == lastLook_) {
        return;
    }
    looked_ = true;
    lastLook_ = now;
    input_.DecodeWaitingInput();
}

void LogWritePacer::OnWriteLog() {
    posted_ = false;
    // Posted messages come before raw input: records that arrived meanwhile are stamped
    // before the view takes its time.
    input_.DecodeWaitingInput();
    if (log_.Queued().DueForWrite(input_.KeyInputWaiting(), ElapsedMilliseconds())) {
        log_.WriteQueuedLines();
    } else if (!log_.Queued().Empty()) {
        // Behind the waiting key messages; their handling may write first.
        PostOrWrite();
    }
}
