#include "settings/settings_page.h"

#include "base/diagnostic_log.h"
#include "resources/resource.h"

#include <cwctype>
#include <limits>

namespace {

constexpr unsigned kEditSetFocus = 0x100;  // EN_SETFOCUS
constexpr unsigned kEditKillFocus = 0x200; // EN_KILLFOCUS

bool IsSettingsEdit(int controlId) {
    return controlId == IDC_SET_LOG_FOLDER || controlId == IDC_SET_LOG_PREFIX ||
           controlId == IDC_SET_LAYOUT_FOLDER || controlId == IDC_SET_CHATTER ||
           controlId == IDC_SET_BENCH_PLAN || controlId == IDC_SET_BENCH_OUTPUT;
}

} // namespace

std::wstring ProgramVersionText() {
    return FormatWide(L"%d.%d.%d.%d", kVersionMajor, kVersionMinor, kVersionRevision,
                      kVersionBuild);
}

std::int32_t ReadDecimalInt(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<std::wint_t>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulate as a negative number so that the minimum fits.
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > -kLowest) {
            value = -kLowest; // saturated; further digits change nothing
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value > kHighest ? kHighest : value);
}

std::wstring FormatDecimalInt(std::int32_t value) {
    return FormatWide(L"%d", value);
}

bool StoreEditText(AppSettings& settings, int controlId, std::wstring_view text) {
    switch (controlId) {
    case IDC_SET_LOG_FOLDER:
        settings.LogFileDirectory.assign(text);
        return true;
    case IDC_SET_LOG_PREFIX:
        settings.LogFilePrefix.assign(text);
        return true;
    case IDC_SET_LAYOUT_FOLDER:
        settings.LayoutFileDirectory.assign(text);
        return true;
    case IDC_SET_CHATTER:
        settings.ChatterThreshold = UsableChatterThreshold(ReadDecimalInt(text));
        return true;
    case IDC_SET_BENCH_PLAN:
        settings.BenchPlan.assign(text);
        return true;
    case IDC_SET_BENCH_OUTPUT:
        settings.BenchOutputDirectory.assign(text);
        return true;
    default:
        return false;
    }
}

std::wstring CorrectedEditText(const AppSettings& settings, int controlId, std::wstring_view text) {
    if (controlId == IDC_SET_CHATTER && ReadDecimalInt(text) != settings.ChatterThreshold) {
        return FormatDecimalInt(settings.ChatterThreshold);
    }
    return std::wstring();
}

Colour* StateColourOfButton(AppSettings& settings, int controlId) {
    switch (controlId) {
    case IDC_SET_UNPRESSED:
        return &settings.Unpressed;
    case IDC_SET_DEPRESSED:
        return &settings.Depressed;
    case IDC_SET_PRESSED:
        return &settings.Pressed;
    case IDC_SET_ALARM:
        return &settings.Alarm;
    default:
        return nullptr;
    }
}

bool StoreCheckState(AppSettings& settings, int controlId, std::intptr_t checkState) {
    switch (controlId) {
    case IDC_SET_OVERWRITE:
        settings.Overwrite = checkState == 1;
        return true;
    case IDC_SET_SHOW_LOG:
        settings.ShowLog = checkState == 1;
        return true;
    case IDC_SET_BENCH_ENABLED:
        settings.BenchEnabled = checkState == 1;
        return true;
    default:
        return false;
    }
}

FolderBrowseTarget FolderBrowseTargetOf(int controlId) {
    switch (controlId) {
    case IDC_SET_BROWSE_LOG:
        return {IDC_SET_LOG_FOLDER, IDS_BROWSE_LOG_FOLDER};
    case IDC_SET_BROWSE_LAYOUT:
        return {IDC_SET_LAYOUT_FOLDER, IDS_BROWSE_LAYOUT_FOLDER};
    case IDC_SET_BROWSE_BENCH_OUTPUT:
        return {IDC_SET_BENCH_OUTPUT, IDS_BROWSE_BENCH_FOLDER};
    default:
        return {0, 0};
    }
}

RawInputSwitch RawInputSwitchForEdit(int controlId, unsigned notificationCode) {
    if (!IsSettingsEdit(controlId)) {
        return RawInputSwitch::None;
    }
    if (notificationCode == kEditSetFocus) {
        return RawInputSwitch::Disable;
    }
    if (notificationCode == kEditKillFocus) {
        return RawInputSwitch::Enable;
    }
    return RawInputSwitch::None;
}
