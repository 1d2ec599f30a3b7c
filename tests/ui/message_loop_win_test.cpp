#include "ui/message_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT kTestMessage = WM_APP + 1;
constexpr UINT kKickMessage = WM_APP + 2;
// Marks the last message of a burst (in wParam: a system timer message with an lParam would
// be taken for a timer callback by the dispatcher).
constexpr WPARAM kLastOfBurst = 99;

// What the loop did, in order: "f<name>:<wParam>" filter asked, "d:<message>:<wParam>"
// dispatched, "idle" idle pass.
std::vector<std::string> g_events;

std::string Hex(UINT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%x", value);
    return text;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP || message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE ||
        message == WM_PAINT || message == 0x0118) {
        g_events.push_back("d:" + Hex(message) + ":" + std::to_string(wParam));
        // The last message of a burst asks for one more message that re-arms the idle pass.
        if (wParam == kLastOfBurst) {
            PostMessageW(window, kKickMessage, 0, 0);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of its own class, so that nothing but the test's messages reach it.
class RecordingWindow {
public:
    RecordingWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TapwiseLoopTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"TapwiseLoopTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        g_events.clear();
    }
    ~RecordingWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        PostMessageW(window_, message, wParam, lParam);
    }

private:
    HWND window_ = nullptr;
};

// Records each message it is asked about and consumes those with the given wParam.
class RecordingFilter : public CMessageFilter {
public:
    RecordingFilter(std::string name, WPARAM consume) : name_(std::move(name)), consume_(consume) {}
    BOOL PreTranslateMessage(MSG* message) override {
        if (message->message != kTestMessage) {
            return FALSE;
        }
        g_events.push_back("f" + name_ + ":" + std::to_string(message->wParam));
        if (removeFrom != nullptr) {
            removeFrom->RemoveMessageFilter(this);
            removeFrom = nullptr;
        }
        return message->wParam == consume_;
    }
    CMessageLoop* removeFrom = nullptr;

private:
    std::string name_;
    WPARAM consume_;
};

class ScriptedIdle : public CIdleHandler {
public:
    explicit ScriptedIdle(const RecordingWindow& window) : window_(window) {}
    BOOL OnIdle() override {
        g_events.push_back("idle");
        ++calls;
        if (calls == 1) {
            // Streams that must not run the idle handlers again; the last one's handler posts
            // the kick message that does.
            window_.Post(WM_MOUSEMOVE);
            window_.Post(WM_NCMOUSEMOVE);
            window_.Post(WM_PAINT);
            window_.Post(0x0118, kLastOfBurst);
        } else {
            PostQuitMessage(1069);
        }
        return FALSE;
    }
    int calls = 0;

private:
    const RecordingWindow& window_;
};

} // namespace

TEST(MessageLoop, FiltersAreAskedNewestFirstAndAConsumedMessageGoesNoFurther) {
    RecordingWindow window;
    CMessageLoop loop;
    RecordingFilter first("1", 2);
    RecordingFilter second("2", 1);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    window.Post(kTestMessage, 1); // consumed by the newest filter
    window.Post(kTestMessage, 2); // passed on, consumed by the older one
    window.Post(kTestMessage, 3); // nobody's: dispatched
    PostQuitMessage(42);
    EXPECT_EQ(loop.Run(), 42);
    const std::string dispatched3 = "d:" + Hex(kTestMessage) + ":3";
    EXPECT_EQ(g_events,
              (std::vector<std::string>{"f2:1", "f2:2", "f1:2", "f2:3", "f1:3", dispatched3}));
}

TEST(MessageLoop, AFilterMayRemoveItselfWhileItIsAsked) {
    RecordingWindow window;
    CMessageLoop loop;
    RecordingFilter first("1", 0);
    RecordingFilter second("2", 0);
    second.removeFrom = &loop;
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    window.Post(kTestMessage, 1);
    window.Post(kTestMessage, 2);
    PostQuitMessage(0);
    EXPECT_EQ(loop.Run(), 0);
    const std::string d = "d:" + Hex(kTestMessage) + ":";
    EXPECT_EQ(g_events, (std::vector<std::string>{"f2:1", "f1:1", d + "1", "f1:2", d + "2"}));
    loop.RemoveMessageFilter(&second); // no longer registered: nothing happens
}

TEST(MessageLoop, OneIdlePassPerBurstAndStreamsDoNotRearmIt) {
    RecordingWindow window;
    CMessageLoop loop;
    ScriptedIdle idle(window);
    loop.AddIdleHandler(&idle);
    window.Post(kTestMessage, 1);
    window.Post(kTestMessage, 2);
    window.Post(kTestMessage, 3);
    EXPECT_EQ(loop.Run(), 1069);
    EXPECT_EQ(idle.calls, 2);
    const std::string d = "d:" + Hex(kTestMessage) + ":";
    EXPECT_EQ(g_events, (std::vector<std::string>{
                            d + "1", d + "2", d + "3", "idle", "d:" + Hex(WM_MOUSEMOVE) + ":0",
                            "d:" + Hex(WM_NCMOUSEMOVE) + ":0", "d:" + Hex(WM_PAINT) + ":0",
                            "d:118:99", "d:" + Hex(kKickMessage) + ":0", "idle"}));
    loop.RemoveIdleHandler(&idle);
}

TEST(MessageLoop, IdleHandlersRunInRegistrationOrder) {
    struct Named : CIdleHandler {
        explicit Named(const char* name) : name(name) {}
        BOOL OnIdle() override {
            g_events.push_back(name);
            return TRUE; // the loop ignores the answer
        }
        const char* name;
    };
    g_events.clear();
    CMessageLoop loop;
    Named a("a");
    Named b("b");
    loop.AddIdleHandler(&a);
    loop.AddIdleHandler(&b);
    EXPECT_FALSE(loop.OnIdle(0));
    loop.RemoveIdleHandler(&a);
    loop.OnIdle(1);
    EXPECT_EQ(g_events, (std::vector<std::string>{"a", "b", "b"}));
}

TEST(AppModule, MapsEachThreadToItsOwnLoop) {
    AppModule module;
    CMessageLoop loop;
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    EXPECT_TRUE(module.AddMessageLoop(&loop));
    EXPECT_FALSE(module.AddMessageLoop(&loop)); // one loop per thread
    EXPECT_EQ(module.GetMessageLoop(), &loop);

    const DWORD mainThread = GetCurrentThreadId();
    CMessageLoop* seenFromOtherThread = &loop;
    CMessageLoop* mainSeenFromOtherThread = nullptr;
    std::thread other([&] {
        seenFromOtherThread = module.GetMessageLoop();
        mainSeenFromOtherThread = module.GetMessageLoop(mainThread);
    });
    other.join();
    EXPECT_EQ(seenFromOtherThread, nullptr);
    EXPECT_EQ(mainSeenFromOtherThread, &loop);

    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_FALSE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    module.AddMessageLoop(&loop);
    module.Term();
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
}
