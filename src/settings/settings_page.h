#pragma once
// The decisions of the settings page, apart from the window that shows them: which control
// edits which field, how a typed text becomes a value, and which colours the page's labels get.
#include "settings/app_settings.h"
#include "tapwise_version.h"

#include <cstdint>
#include <string>
#include <string_view>

// The version shown on the settings page; the same four numbers as the version resource.
inline constexpr int kVersionMajor = TAPWISE_VERSION_MAJOR;
inline constexpr int kVersionMinor = TAPWISE_VERSION_MINOR;
inline constexpr int kVersionRevision = TAPWISE_VERSION_REVISION;
inline constexpr int kVersionBuild = TAPWISE_VERSION_BUILD;

// "1.0.2.2910"
std::wstring ProgramVersionText();

// The C library's decimal conversion as atoi does it: leading white space, an optional sign,
// then digits up to the first non-digit; no digits give 0. Values beyond the 32-bit range
// saturate instead of wrapping.
std::int32_t ReadDecimalInt(std::wstring_view text);

// "%d", as the threshold box shows a number.
std::wstring FormatDecimalInt(std::int32_t value);

// Stores the whole text of one of the page's edit boxes into its field at once: the folders, the
// prefix and the plan exactly as typed, the chatter threshold through ReadDecimalInt, a negative
// one as 0. False for a control that is not one of the six edit boxes.
bool StoreEditText(AppSettings& settings, int controlId, std::wstring_view text);

// After StoreEditText: the text the box must show instead of text when the stored value is not
// the one text says (a pasted negative threshold shows as 0); empty when text stands.
std::wstring CorrectedEditText(const AppSettings& settings, int controlId, std::wstring_view text);

// The field shown by a colour button (1038 to 1041), or null for any other control.
Colour* StateColourOfButton(AppSettings& settings, int controlId);

// A check box (1008, 1069, 1075) sets its field to true exactly when BM_GETCHECK answered 1.
// False for any other control.
bool StoreCheckState(AppSettings& settings, int controlId, std::intptr_t checkState);

struct FolderBrowseTarget {
    int editId;       // the edit box that receives the chosen folder
    unsigned titleId; // string-table id of the browser's title
};

// The browse button's target; editId 0 for a control that is not a browse button.
FolderBrowseTarget FolderBrowseTargetOf(int controlId);

// What an edit box's focus change asks of raw input: off while a settings box has the focus
// (EN_SETFOCUS), on again when it loses it (EN_KILLFOCUS); nothing for any other notification
// or control.
enum class RawInputSwitch { None, Disable, Enable };
RawInputSwitch RawInputSwitchForEdit(int controlId, unsigned notificationCode);
