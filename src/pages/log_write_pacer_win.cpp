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
    posted_ = ::PostMessageW(window_, UWM_WRITE_LOG, 0, 0) != FALSE;
    if (!posted_) {
        log_.WriteQueuedLines();
    }
}

void LogWritePacer::OnWriteLog() {
    posted_ = false;
    if (log_.Queued().DueForWrite(!inbox_.Empty(), ElapsedMilliseconds())) {
        log_.WriteQueuedLines();
    } else if (!log_.Queued().Empty()) {
        // Behind the waiting records' notice; their handling may write first.
        PostOrWrite();
    }
}
