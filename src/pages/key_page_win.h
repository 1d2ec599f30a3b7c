#pragma once
// The lock lamps of the keyboard test page as the lamp logic sees them: FlatIndicator lamps.
#include "input/lock_indicators_win.h"

class FlatIndicator;

class IndicatorLamp final : public LockLamp {
public:
    explicit IndicatorLamp(FlatIndicator& indicator) : indicator_(indicator) {}
    void SetLit(bool lit) override;
    void Repaint() override;

private:
    FlatIndicator& indicator_;
};
