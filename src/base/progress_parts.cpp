#include "base/progress_parts.h"

std::wstring ReadoutText(const std::vector<ReadoutPart>& parts) {
    std::wstring text;
    for (const ReadoutPart& part : parts) {
        text += text.empty() ? L"" : L"  ";
        text += part.text;
    }
    return text;
}

int ProgressFill(int width, std::size_t tested, std::size_t keys) {
    if (width <= 0 || keys == 0) {
        return 0;
    }
    if (tested >= keys) {
        return width;
    }
    // Rounded down, so one key short of the whole layout never looks complete.
    return static_cast<int>(static_cast<long long>(width) * static_cast<long long>(tested) /
                            static_cast<long long>(keys));
}
