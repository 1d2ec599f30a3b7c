#pragma once
// The active keyboard layout: its keys with pixel rectangles, labels, names and states.
#include "base/scan_code.h"

#include <cstdint>
#include <list>
#include <string>

// A key's test state. Stored as a plain 32-bit integer: the view paints values outside
// 0 to 5 in a warning colour rather than trusting them. Skipped: a test plan leaves the key
// out; it keeps that state whatever the key does until the next reset.
enum KeyState : std::int32_t {
    Unpressed = 0,
    Depressed = 1,
    Pressed = 2,
    AlarmDepressed = 3,
    Alarm = 4,
    Skipped = 5,
};

// A key's place and size in key units, as its layout line gave them.
struct KeyUnitRect {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
    double secondWidth = 0.0; // the lower part of a two-row key
};

struct LayoutKey {
    ScanCode scanCode = 0;
    std::wstring label; // "&" stored as "&&" for ampersand-prefix drawing
    std::wstring name;  // may be empty
    int left = 0;       // pixels; right and bottom exclusive
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool twoRow = false;
    int secondRowWidth = 0; // lower part, right-aligned with the upper part
    std::int32_t state = Unpressed;
    // The pixels above are these at the layout's key size (see ScaleLayout).
    KeyUnitRect units;
};

// Why a key cannot be drawn: its rectangle is empty, or it is L-shaped (two rows whose lower
// part is narrower or wider than the upper) with an empty part.
enum class KeyShapeFault { None, EmptyRectangle, EmptyUpperPart, EmptyLowerPart };
KeyShapeFault ShapeFaultOf(const LayoutKey& key);

struct KeyboardLayout {
    std::wstring name;
    std::list<LayoutKey> keys; // in the order the layout text defined them
    int width = 0;
    int height = 0;
    bool hasPause = false; // some key is 0xE11D
    bool hasBreak = false; // some key is 0xE046

    // Empties the layout as a load begins.
    void Clear();
    // Width, height and the two flags from the key list.
    void ComputeExtent();
    // The first key with this code, or null.
    LayoutKey* FindKey(ScanCode code);
    const LayoutKey* FindKey(ScanCode code) const;
    void ResetKeyStates();
};
