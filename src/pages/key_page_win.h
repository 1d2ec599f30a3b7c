#pragma once
// The key engine's views onto the page's controls: key redraws go to the keyboard view,
// lamp changes to the FlatIndicator lamps.
#include "input/key_states.h"
#include "input/lock_indicators_win.h"

class FlatIndicator;
class KeyboardWindow;

// Draws a key into the view's buffer, then invalidates its rectangle so it is painted.
class KeyboardViewRedraw final : public KeyView {
public:
    explicit KeyboardViewRedraw(KeyboardWindow& view) : view_(view) {}
    void RedrawKey(LayoutKey& key) override;

private:
    KeyboardWindow& view_;
};

class IndicatorLamp final : public LockLamp {
public:
    explicit IndicatorLamp(FlatIndicator& indicator) : indicator_(indicator) {}
    void SetLit(bool lit) override;
    void Repaint() override;

private:
    FlatIndicator& indicator_;
};
