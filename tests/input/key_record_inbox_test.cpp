#include "input/key_record_inbox.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

StampedKeyRecord Record(std::int64_t time) {
    return StampedKeyRecord{RawKeyRecord{0x1E, 0, 'A', 1}, time, false};
}

} // namespace

TEST(KeyRecordInbox, AsksForOneNoticeUntilTheRecordsAreTaken) {
    KeyRecordInbox inbox;
    EXPECT_TRUE(inbox.Empty());
    EXPECT_TRUE(inbox.Put(Record(1)));
    EXPECT_FALSE(inbox.Put(Record(2)));
    EXPECT_FALSE(inbox.Empty());
    std::vector<StampedKeyRecord> taken;
    inbox.TakeAll(taken);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].timeUs, 1);
    EXPECT_EQ(taken[1].timeUs, 2);
    EXPECT_TRUE(inbox.Empty());
    EXPECT_EQ(inbox.Taken(), 2u);
    EXPECT_EQ(inbox.Arrived(), 2u);
    // Taking an empty inbox gives nothing and asks for no notice.
    inbox.TakeAll(taken);
    EXPECT_TRUE(taken.empty());
    EXPECT_TRUE(inbox.Put(Record(3)));
    // A notice that could not be given is asked for again by the next record.
    inbox.NoticeFailed();
    EXPECT_TRUE(inbox.Put(Record(4)));
    EXPECT_FALSE(inbox.Put(Record(5)));
}

TEST(KeyRecordInbox, LosesNothingWhileTheReaderTakesBatchesFromAnotherThread) {
    KeyRecordInbox inbox;
    constexpr int kRecords = 200000;
    int notices = 0;
    std::thread writer([&] {
        for (int i = 0; i < kRecords; ++i) {
            notices += inbox.Put(Record(i)) ? 1 : 0;
        }
    });
    std::vector<std::int64_t> times;
    std::vector<StampedKeyRecord> batch;
    int batches = 0;
    while (static_cast<int>(times.size()) < kRecords) {
        inbox.TakeAll(batch);
        batches += batch.empty() ? 0 : 1;
        for (const StampedKeyRecord& record : batch) {
            times.push_back(record.timeUs);
        }
    }
    writer.join();
    ASSERT_EQ(times.size(), static_cast<std::size_t>(kRecords));
    for (int i = 0; i < kRecords; ++i) {
        ASSERT_EQ(times[static_cast<std::size_t>(i)], i);
    }
    // One notice per batch at most: never one per record.
    EXPECT_GE(notices, 1);
    EXPECT_LE(notices, batches + 1);
    EXPECT_EQ(inbox.Taken(), static_cast<std::uint64_t>(kRecords));
}
