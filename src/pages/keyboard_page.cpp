#include "pages/keyboard_page.h"

#include "base/diagnostic_log.h"

PixelRect KeyboardGroupRect(const PixelRect& group, int layoutWidth, int layoutHeight,
                            int minimumWidth, int minimumHeight, int margin) {
    PixelRect result = group;
    result.right = group.left + layoutWidth + 2 * margin;
    result.bottom = group.top + layoutHeight + 2 * margin;
    if (layoutWidth + 2 * margin < minimumWidth) {
        result.right = group.left + minimumWidth;
    }
    if (layoutHeight + 2 * margin < minimumHeight) {
        result.bottom = group.top + minimumHeight;
    }
    return result;
}

std::wstring FormatLanguageField(std::uint16_t languageId, const std::wstring& nativeName) {
    // The field's buffer holds 100 characters; a longer name is cut.
    return FormatWide(L"%04X (%ls)", static_cast<unsigned>(languageId), nativeName.c_str())
        .substr(0, 99);
}

void LogKeyboardLayout(const std::wstring& layoutName, std::uint16_t languageId,
                       std::uint16_t layoutHandleHigh) {
    LogMessage(L"Keyboard layout:  \"%ls\", input language ID 0x%x (primary 0x%x, sub 0x%x), "
               L"layout handle 0x%08x\n",
               layoutName.c_str(), static_cast<unsigned>(languageId),
               static_cast<unsigned>(languageId & 0x3FF), static_cast<unsigned>(languageId >> 10),
               static_cast<unsigned>(layoutHandleHigh));
}
