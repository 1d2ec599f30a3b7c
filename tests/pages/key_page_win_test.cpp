#include "pages/key_page_win.h"
#include "ui/static_controls.h"

#include <gtest/gtest.h>

TEST(IndicatorLamp, LightsTheIndicatorAndRepaintsOnlyAnAttachedWindow) {
    FlatIndicator indicator(0x00DCFF, 0xA4A4A4);
    IndicatorLamp lamp(indicator);
    lamp.SetLit(true);
    EXPECT_TRUE(indicator.IsLit());
    lamp.Repaint(); // not attached to a window yet: nothing to paint, no fault
    lamp.SetLit(false);
    EXPECT_FALSE(indicator.IsLit());
}
