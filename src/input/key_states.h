#pragma once
// The test state of each layout key (untested, held, good, faulty) and its moves on the
// engine's three notifications.
#include "base/scan_code.h"
#include "layouts/keyboard_layout.h"

#include <cstdint>

// What shows a key: the program draws it into the view's buffer and repaints its rectangle.
class KeyView {
public:
    virtual void RedrawKey(LayoutKey& key) = 0;

protected:
    ~KeyView() = default;
};

enum class KeyNotification { Pressed, Released, Fault };

struct KeyTransition {
    std::int32_t state;     // the state after the notification
    const wchar_t* message; // diagnostic message, or null
};

// One cell of the transition table; an unknown state stays as it is with a message.
KeyTransition TransitionFor(std::int32_t state, KeyNotification notification);

// Pause and Ctrl+Break are one physical key: a layout that draws only one of them shows the
// events of both on it.
ScanCode SubstitutePauseBreak(const KeyboardLayout& layout, ScanCode code);

// Moves the first key with the code (after the substitution) and has it redrawn; a code
// that no key has changes nothing. view may be null when nothing shows the layout.
void NotifyKey(KeyboardLayout& layout, KeyView* view, ScanCode code, KeyNotification notification);

inline void NotifyPressed(KeyboardLayout& layout, KeyView* view, ScanCode code) {
    NotifyKey(layout, view, code, KeyNotification::Pressed);
}
inline void NotifyReleased(KeyboardLayout& layout, KeyView* view, ScanCode code) {
    NotifyKey(layout, view, code, KeyNotification::Released);
}
inline void NotifyFault(KeyboardLayout& layout, KeyView* view, ScanCode code) {
    NotifyKey(layout, view, code, KeyNotification::Fault);
}
