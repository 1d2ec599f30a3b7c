#include "input/lock_indicators_win.h"
#include "input/worker_thread_win.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Counts how often a thread ran.
class CountingThread final : public SimpleThread {
public:
    ~CountingThread() override { Stop(INFINITE); }
    DWORD Run() override {
        ++runs;
        return SimpleThread::Run();
    }
    std::atomic<int> runs{0};
};

// A thread whose stop handling takes as long as the test says.
class SlowStopThread final : public Thread {
public:
    ~SlowStopThread() override { Stop(INFINITE); }
    std::atomic<int> stopSignals{0};
    DWORD stopDelay = 0;

protected:
    void OnStopSignaled() override {
        Sleep(stopDelay);
        ++stopSignals;
    }
};

// Records each key asked for, on the thread that asked; answers with its toggle bit for
// odd virtual keys.
std::mutex gAskedMutex;
std::vector<std::pair<int, DWORD>> gAsked;

SHORT WINAPI FakeKeyState(int virtualKey) {
    std::lock_guard<std::mutex> lock(gAskedMutex);
    gAsked.emplace_back(virtualKey, GetCurrentThreadId());
    return static_cast<SHORT>(virtualKey & 1);
}

class RecordingLamp final : public LockLamp {
public:
    void SetLit(bool value) override {
        lit = value;
        ++sets;
    }
    void Repaint() override { ++repaints; }
    bool lit = false;
    int sets = 0;
    int repaints = 0;
};

SHORT WINAPI NumLockOnly(int virtualKey) {
    return virtualKey == 0x90 ? 1 : 0;
}

} // namespace

TEST(WorkerThread, StartStopAndRestart) {
    CountingThread thread;
    EXPECT_TRUE(thread.Stop(0)); // nothing started yet
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Start()); // still running
    EXPECT_TRUE(thread.Stop(INFINITE));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(0)); // already ended
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeThread(thread.ThreadHandle(), &exitCode));
    EXPECT_EQ(exitCode, 0u);

    ASSERT_TRUE(thread.Start()); // after the end: a new thread
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(INFINITE));
    EXPECT_EQ(thread.runs.load(), 2);
}

TEST(WorkerThread, StopWithAShortTimeOutFailsAndTheThreadRunsOn) {
    SlowStopThread thread;
    thread.stopDelay = 400;
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Stop(20));
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(INFINITE));
    EXPECT_EQ(thread.stopSignals.load(), 1);
}

TEST(WorkerThread, ThreadWithOnlyTheStopEventEndsOnIt) {
    SlowStopThread thread;
    ASSERT_TRUE(thread.Start());
    // Messages posted to the worker are pumped, not mistaken for the stop event.
    PostThreadMessageW(GetThreadId(thread.ThreadHandle()), WM_USER, 0, 0);
    Sleep(20);
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(thread.stopSignals.load(), 0);
    EXPECT_TRUE(thread.Stop(5000));
    EXPECT_EQ(thread.stopSignals.load(), 1);
}

TEST(ToggleKeyMonitor, QueriesAreAnsweredInOrderOnTheMonitorThread) {
    gAsked.clear();
    ToggleKeyMonitorThread monitor(FakeKeyState);
    ASSERT_TRUE(monitor.Start());
    EXPECT_TRUE(monitor.QueryToggleState(0x91));
    EXPECT_FALSE(monitor.QueryToggleState(0x90));
    EXPECT_FALSE(monitor.QueryToggleState(0x14));
    ASSERT_EQ(gAsked.size(), 3u);
    EXPECT_EQ(gAsked[0].first, 0x91);
    EXPECT_EQ(gAsked[1].first, 0x90);
    EXPECT_EQ(gAsked[2].first, 0x14);
    for (const auto& asked : gAsked) {
        EXPECT_EQ(asked.second, GetThreadId(monitor.ThreadHandle()));
    }
    // Both events are back to not signalled between queries.
    EXPECT_EQ(WaitForSingleObject(monitor.RequestEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(monitor.DoneEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(monitor.Stop(INFINITE));
}

TEST(ToggleKeyMonitor, AMonitorThatIsNotRunningIsNeverWaitedOn) {
    gAsked.clear();
    ToggleKeyMonitorThread monitor(FakeKeyState);
    EXPECT_TRUE(monitor.QueryToggleState(0x91)); // never started: read here
    ASSERT_TRUE(monitor.Start());
    ASSERT_TRUE(monitor.Stop(INFINITE));
    EXPECT_FALSE(monitor.QueryToggleState(0x90)); // ended: read here
    ASSERT_EQ(gAsked.size(), 2u);
    EXPECT_EQ(gAsked[0].second, GetCurrentThreadId());
    EXPECT_EQ(gAsked[1].second, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(monitor.RequestEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(ToggleKeyMonitor, DestroyingARunningMonitorStopsItFirst) {
    auto monitor = std::make_unique<ToggleKeyMonitorThread>(FakeKeyState);
    ASSERT_TRUE(monitor->Start());
    HANDLE thread = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), monitor->ThreadHandle(), GetCurrentProcess(),
                                &thread, 0, FALSE, DUPLICATE_SAME_ACCESS));
    CapturedLog log;
    monitor.reset();
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD exitCode = 1;
    EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
    EXPECT_EQ(exitCode, 0u); // ended on the stop event, not on a failed wait
    EXPECT_EQ(log.Text(), L"");
    CloseHandle(thread);
}

TEST(LockIndicators, StartUpLightsOnlyTheLocksThatAreOn) {
    ToggleKeyMonitorThread monitor(NumLockOnly);
    ASSERT_TRUE(monitor.Start());
    RecordingLamp caps, num, scroll;
    LockIndicators indicators(monitor, caps, num, scroll);
    CapturedLog log;
    indicators.InitLockIndicators();
    EXPECT_EQ(log.Text(), L"Initializing keyboard indicator states...\n");
    EXPECT_TRUE(num.lit);
    EXPECT_EQ(num.repaints, 1);
    EXPECT_FALSE(caps.lit);
    EXPECT_EQ(caps.sets + caps.repaints + scroll.sets + scroll.repaints, 0);

    indicators.RefreshLockIndicator(LockKey::CapsLock);
    indicators.RefreshLockIndicator(LockKey::ScrollLock);
    indicators.RefreshLockIndicator(LockKey::NumLock);
    EXPECT_EQ(caps.sets, 1);
    EXPECT_EQ(caps.repaints, 1);
    EXPECT_FALSE(caps.lit);
    EXPECT_EQ(scroll.repaints, 1);
    EXPECT_TRUE(num.lit);
    EXPECT_EQ(num.repaints, 2);
    EXPECT_TRUE(monitor.Stop(INFINITE));
}
