#pragma once
// The Num Lock, Scroll Lock and Caps Lock lamps of the keyboard test page.
#include "input/key_test_engine.h"
#include "input/worker_thread_win.h"

// One lamp as the page shows it (a FlatIndicator in the program).
class LockLamp {
public:
    virtual void SetLit(bool lit) = 0;
    // Invalidates the whole lamp with erase and paints it at once.
    virtual void Repaint() = 0;

protected:
    ~LockLamp() = default;
};

class LockIndicators {
public:
    LockIndicators(ToggleKeyMonitorThread& monitor, LockLamp& capsLock, LockLamp& numLock,
                   LockLamp& scrollLock)
        : monitor_(monitor), capsLock_(capsLock), numLock_(numLock), scrollLock_(scrollLock) {}

    bool QueryToggleState(int virtualKey) { return monitor_.QueryToggleState(virtualKey); }
    // Sets the lamp to the lock's toggle state and repaints it.
    void RefreshLockIndicator(LockKey lock);
    // At start-up: lights the lamps of the locks that are on; the others stay as they are.
    void InitLockIndicators();

private:
    LockLamp& Lamp(LockKey lock);

    ToggleKeyMonitorThread& monitor_;
    LockLamp& capsLock_;
    LockLamp& numLock_;
    LockLamp& scrollLock_;
};
