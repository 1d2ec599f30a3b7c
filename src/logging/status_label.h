#pragma once
// A coloured status label of the keyboard test page as the status logic sees it: a text from
// the string table in a colour, shown or hidden. The page backs it with a ColorStatic.
#include "base/colour.h"

class StatusLabel {
public:
    virtual ~StatusLabel() = default;
    // Sets the text of string-table entry textId (0: empty text) in the given text colour and
    // redraws the label at once.
    virtual void SetStatusText(int textId, Colour colour) = 0;
    virtual void Show(bool visible) = 0;
};
