#include "input/lock_indicators_win.h"

#include "base/diagnostic_log.h"

LockLamp& LockIndicators::Lamp(LockKey lock) {
    switch (lock) {
    case LockKey::CapsLock:
        return capsLock_;
    case LockKey::NumLock:
        return numLock_;
    case LockKey::ScrollLock:
        break;
    }
    return scrollLock_;
}

void LockIndicators::RefreshLockIndicator(LockKey lock) {
    LockLamp& lamp = Lamp(lock);
    lamp.SetLit(QueryToggleState(LockVirtualKey(lock)));
    lamp.Repaint();
}

void LockIndicators::InitLockIndicators() {
    LogMessage(L"Initializing keyboard indicator states...\n");
    for (LockKey lock : {LockKey::CapsLock, LockKey::NumLock, LockKey::ScrollLock}) {
        if (QueryToggleState(LockVirtualKey(lock))) {
            LockLamp& lamp = Lamp(lock);
            lamp.SetLit(true);
            lamp.Repaint();
        }
    }
}
