// Layout loading lives apart from the drawing so that programs which only draw do not need
// the parser.
#include "input/key_names.h"
#include "layouts/layout_parser.h"
#include "view/keyboard_window_win.h"

bool KeyboardWindow::LoadLayoutFile(const std::wstring& path) {
    return ::LoadLayoutFile(path, Settings().KeyDimensions, layout_, KeyNames());
}

bool KeyboardWindow::LoadLayoutString(const std::wstring& text) {
    return ::LoadLayoutText(text, Settings().KeyDimensions, layout_, KeyNames());
}
