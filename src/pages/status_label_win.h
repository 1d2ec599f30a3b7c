#pragma once
// A page's ColorStatic as the status logic's StatusLabel.
#include "logging/status_label.h"
#include "ui/static_controls.h"

class ColorStaticLabel final : public StatusLabel {
public:
    explicit ColorStaticLabel(ColorStatic& label) : label_(label) {}

    void SetStatusText(int textId, Colour colour) override;
    void Show(bool visible) override;

private:
    ColorStatic& label_;
};
