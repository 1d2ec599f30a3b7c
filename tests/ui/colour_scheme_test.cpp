#include "ui/colour_scheme.h"

#include <gtest/gtest.h>

TEST(ColourScheme, DialogsColourTheirControls) {
    const ControlColours onMain{Palette::MainBackground, Palette::NormalText};
    const ControlColours onPage{Palette::PageBackground, Palette::NormalText};
    EXPECT_EQ(SchemeColours(SchemeDialog::Main, ColourMessage::Static, 1046), onMain);
    EXPECT_EQ(SchemeColours(SchemeDialog::KeyboardPage, ColourMessage::Button, 1005), onPage);
    EXPECT_EQ(SchemeColours(SchemeDialog::KeyboardPage, ColourMessage::Static, 1005),
              (ControlColours{MakeColour(242, 242, 242), MakeColour(51, 51, 51)}));
    EXPECT_EQ(SchemeColours(SchemeDialog::KeyboardPage, ColourMessage::Static, 1066), onMain);
    EXPECT_EQ(SchemeColours(SchemeDialog::KeyboardPage, ColourMessage::Static, 1067), onPage);
    EXPECT_EQ(SchemeColours(SchemeDialog::KeyboardPage, ColourMessage::Static, 1054),
              (ControlColours{MakeColour(220, 220, 220), MakeColour(51, 51, 51)}));
    EXPECT_EQ(SchemeColours(SchemeDialog::SettingsPage, ColourMessage::Static, -1), onMain);
    EXPECT_EQ(SchemeColours(SchemeDialog::SettingsPage, ColourMessage::Static, 1037), onPage);
    EXPECT_EQ(SchemeColours(SchemeDialog::SettingsPage, ColourMessage::Dialog, -1), onPage);
}
