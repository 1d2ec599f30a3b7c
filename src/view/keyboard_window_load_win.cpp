// Layout loading lives apart from the drawing so that programs which only draw do not need
// the parser.
#include "base/diagnostic_log.h"
#include "layouts/key_names.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_fit.h"
#include "layouts/layout_parser.h"
#include "view/keyboard_window_win.h"

#include <memory>
#include <vector>

bool KeyboardWindow::LoadLayoutFile(const std::wstring& path) {
    source_ = path;
    sourceIsFile_ = true;
    keySize_ = Settings().KeyDimensions;
    return LoadAnyLayoutFile(path, keySize_, layout_, KeyNames(), &failure_);
}

bool KeyboardWindow::LoadLayoutString(const std::wstring& text) {
    source_ = text;
    sourceIsFile_ = false;
    keySize_ = Settings().KeyDimensions;
    return ::LoadLayoutText(text, keySize_, layout_, KeyNames());
}

bool KeyboardWindow::Reload(int keySize, KeyboardLayout& layout, KeyNameTable& names) const {
    return sourceIsFile_ ? LoadAnyLayoutFile(source_, keySize, layout, names)
                         : ::LoadLayoutText(source_, keySize, layout, names);
}

bool KeyboardWindow::FitWithin(int maxWidth, int maxHeight) {
    if (layout_.keys.empty() || (layout_.width <= maxWidth && layout_.height <= maxHeight)) {
        return false;
    }
    // The trial loads stay out of the diagnostic log and the key-name table.
    int fitted = keySize_;
    {
        std::unique_ptr<Logger> previous = InstallLogger(std::make_unique<NullLogger>());
        KeyboardLayout trial;
        KeyNameTable trialNames;
        fitted = FittingKeySize(keySize_, maxWidth, maxHeight, [&](int keySize) {
            Reload(keySize, trial, trialNames);
            return PixelSize{trial.width, trial.height};
        });
        InstallLogger(std::move(previous));
    }
    if (fitted >= keySize_) {
        return false;
    }
    LogMessage(L"Layout drawn with %d-pixel keys to fit the screen (KeyDimensions %d).\n", fitted,
               Settings().KeyDimensions);
    std::vector<std::int32_t> states;
    for (const LayoutKey& key : layout_.keys) {
        states.push_back(key.state);
    }
    if (!Reload(fitted, layout_, KeyNames())) {
        return false;
    }
    keySize_ = fitted;
    if (states.size() == layout_.keys.size()) {
        auto state = states.begin();
        for (LayoutKey& key : layout_.keys) {
            key.state = *state++;
        }
    }
    return true;
}
