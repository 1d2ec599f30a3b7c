#include "input/key_record_inbox.h"

namespace {

// Room for a long burst before the first growth on the input thread.
constexpr std::size_t kInitialRoom = 4096;

} // namespace

KeyRecordInbox::KeyRecordInbox() {
    waiting_.reserve(kInitialRoom);
}

bool KeyRecordInbox::Put(const StampedKeyRecord& record) {
    const std::lock_guard<std::mutex> guard(lock_);
    waiting_.push_back(record);
    arrived_.fetch_add(1, std::memory_order_release);
    if (noticeGiven_) {
        return false;
    }
    noticeGiven_ = true;
    return true;
}

void KeyRecordInbox::NoticeFailed() {
    const std::lock_guard<std::mutex> guard(lock_);
    noticeGiven_ = false;
}

void KeyRecordInbox::TakeAll(std::vector<StampedKeyRecord>& taken) {
    // taken's storage becomes the inbox's: it gets its room outside the lock.
    taken.clear();
    if (taken.capacity() < kInitialRoom) {
        taken.reserve(kInitialRoom);
    }
    const std::lock_guard<std::mutex> guard(lock_);
    taken.swap(waiting_);
    taken_ += taken.size();
    noticeGiven_ = false;
}

bool KeyRecordInbox::Empty() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return waiting_.empty();
}

std::uint64_t KeyRecordInbox::Taken() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return taken_;
}
