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

void KeyboardLayout::ResetKeyStates() {
    for (LayoutKey& key : keys) {
        key.state = Unpressed;
    }
}
