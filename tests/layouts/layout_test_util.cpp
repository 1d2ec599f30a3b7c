#include "layout_test_util.h"

#include "support/test_support.h"

TextLoad LoadText(const std::wstring& text, int keyDimensions) {
    TextLoad result;
    CapturedLog log;
    result.loaded =
        LoadLayoutText(text, keyDimensions, result.layout, result.names, &result.reachedEnd);
    result.log = log.Text();
    return result;
}
