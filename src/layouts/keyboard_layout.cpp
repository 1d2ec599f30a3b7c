#include "layouts/keyboard_layout.h"

#include <algorithm>

void KeyboardLayout::Clear() {
    name.clear();
    keys.clear();
    width = 0;
    height = 0;
    hasPause = false;
    hasBreak = false;
}

void KeyboardLayout::ComputeExtent() {
    width = 0;
    height = 0;
    hasPause = false;
    hasBreak = false;
    for (const LayoutKey& key : keys) {
        width = std::max(width, key.right);
        height = std::max(height, key.bottom);
        hasPause = hasPause || key.scanCode == kScanCodePause;
        hasBreak = hasBreak || key.scanCode == kScanCodeBreak;
    }
}

LayoutKey* KeyboardLayout::FindKey(ScanCode code) {
    for (LayoutKey& key : keys) {
        if (key.scanCode == code) {
            return &key;
        }
    }
    return nullptr;
}

const LayoutKey* KeyboardLayout::FindKey(ScanCode code) const {
    for (const LayoutKey& key : keys) {
        if (key.scanCode == code) {
            return &key;
        }
    }
    return nullptr;
}

void KeyboardLayout::ResetKeyStates() {
    for (LayoutKey& key : keys) {
        key.state = Unpressed;
    }
}

KeyShapeFault ShapeFaultOf(const LayoutKey& key) {
    if (key.right <= key.left || key.bottom <= key.top) {
        return KeyShapeFault::EmptyRectangle;
    }
    if (!key.twoRow || key.secondRowWidth == key.right - key.left) {
        return KeyShapeFault::None;
    }
    // The parts meet at the middle row, top + height / 2, truncated.
    const int middle = key.top + (key.bottom - key.top) / 2;
    if (middle <= key.top) {
        return KeyShapeFault::EmptyUpperPart;
    }
    return key.secondRowWidth <= 0 ? KeyShapeFault::EmptyLowerPart : KeyShapeFault::None;
}
