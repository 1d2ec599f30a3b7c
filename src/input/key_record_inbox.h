#pragma once
// Raw keyboard records on their way from the input thread, which stamps them as they arrive,
// to the window that decodes and handles them. Thread-safe; it grows as needed, so no record
// is ever dropped however long the window is busy.
#include "input/raw_decoder.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

struct StampedKeyRecord {
    RawKeyRecord record;
    std::int64_t timeUs = 0; // when the record arrived (ElapsedMicroseconds scale)
    bool background = false; // another application had the foreground
};

class KeyRecordInbox {
public:
    KeyRecordInbox();
    KeyRecordInbox(const KeyRecordInbox&) = delete;
    KeyRecordInbox& operator=(const KeyRecordInbox&) = delete;

    // Appends a record. True when the reader must be told: nothing was waiting for it
    // since its last TakeAll (or since a failed notice, NoticeFailed).
    bool Put(const StampedKeyRecord& record);
    // The notice Put asked for could not be given: the next Put asks again.
    void NoticeFailed();
    // Every waiting record, oldest first, into taken (its old content is replaced; its
    // storage is reused for the next batch).
    void TakeAll(std::vector<StampedKeyRecord>& taken);
    bool Empty() const;
    // Records handed out by TakeAll so far.
    std::uint64_t Taken() const;
    // Records put so far (taken or waiting); read without waiting for the lock.
    std::uint64_t Arrived() const { return arrived_.load(std::memory_order_acquire); }

private:
    mutable std::mutex lock_;
    std::vector<StampedKeyRecord> waiting_;
    bool noticeGiven_ = false;
    std::uint64_t taken_ = 0;
    std::atomic<std::uint64_t> arrived_{0};
};
