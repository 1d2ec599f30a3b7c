#include "ui/colour_scheme.h"

namespace {
constexpr ControlColours kOnMain{Palette::MainBackground, Palette::NormalText};
constexpr ControlColours kOnPage{Palette::PageBackground, Palette::NormalText};
constexpr ControlColours kDarkOnLight{Palette::NormalText, Palette::MainBackground};

bool InRange(int id, int first, int last) {
    return id >= first && id <= last;
}

ControlColours KeyboardPageStatic(int id) {
    if (id == 1005) { // event log
        return {Palette::BrightText, Palette::MainBackground};
    }
    if (id == 1017 || id == 1027 || id == 1028 || InRange(id, 1057, 1066)) {
        return kOnMain;
    }
    if (InRange(id, 1030, 1035) || id == 1054) { // last key fields, held keys
        return kDarkOnLight;
    }
    return kOnPage;
}
} // namespace

ControlColours SchemeColours(SchemeDialog dialog, ColourMessage message, int controlId) {
    switch (dialog) {
    case SchemeDialog::Main:
        return kOnMain;
    case SchemeDialog::KeyboardPage:
        return message == ColourMessage::Static ? KeyboardPageStatic(controlId) : kOnPage;
    case SchemeDialog::SettingsPage:
        if (message == ColourMessage::Static &&
            (controlId == 1008 || controlId == 1069 || controlId == 1075 || controlId == -1)) {
            return kOnMain;
        }
        return kOnPage;
    }
    return kOnPage;
}
