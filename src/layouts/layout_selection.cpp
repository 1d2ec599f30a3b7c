#include "layouts/layout_selection.h"

#include "base/diagnostic_log.h"
#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"

std::wstring LayoutStatusTextDefault(int id) {
    switch (id) {
    case kTextLayoutLoaded:
        return L"Layout loaded";
    case kTextLayoutCleared:
        return L"Layout Cleared/Reloaded";
    case kTextLayoutActive:
        return L"Active";
    case kTextLayoutInvalid:
        return L"Invalid layout!  Default Loaded";
    case kTextLayoutDefaultActive:
        return L"Invalid layout!  Default Active";
    case kTextLayoutNoDefault:
        return L"Invalid layout!  Unable to load default";
    default:
        return std::wstring();
    }
}

bool DescribeLayoutStatus(int status, LayoutStatusDisplay& display) {
    switch (status) {
    case LayoutStatusLoaded:
        display = {true, kTextLayoutLoaded, kLayoutStatusNormalColour};
        return true;
    case LayoutStatusCleared:
        display = {true, kTextLayoutCleared, kLayoutStatusNormalColour};
        return true;
    case LayoutStatusActive:
        display = {true, kTextLayoutActive, kLayoutStatusNormalColour};
        return true;
    case LayoutStatusDefaultLoaded:
    case LayoutStatusDefaultCleared:
        display = {true, kTextLayoutInvalid, kLayoutStatusErrorColour};
        return true;
    case LayoutStatusNoLayout:
        display = {true, kTextLayoutNoDefault, kLayoutStatusErrorColour};
        return true;
    case LayoutStatusDefaultActive:
        display = {true, kTextLayoutDefaultActive, kLayoutStatusNormalColour};
        return true;
    default:
        display = {};
        return false;
    }
}

int LayoutStatusAfterClear(int status) {
    switch (status) {
    case LayoutStatusLoaded:
    case LayoutStatusActive:
        return LayoutStatusCleared;
    case LayoutStatusDefaultLoaded:
    case LayoutStatusDefaultActive:
        return LayoutStatusDefaultCleared;
    default:
        return status;
    }
}

int LayoutStatusAfterKeyPress(int status) {
    switch (status) {
    case LayoutStatusLoaded:
    case LayoutStatusCleared:
        return LayoutStatusActive;
    case LayoutStatusDefaultLoaded:
    case LayoutStatusDefaultCleared:
        return LayoutStatusDefaultActive;
    default:
        return status;
    }
}

void LayoutSelector::SetDefaultLayout(std::wstring text, std::wstring name) {
    defaultText_ = std::move(text);
    defaultName_ = std::move(name);
}

void LayoutSelector::BuildLibrary(const std::wstring& folder,
                                  const LayoutLibrary::NameReader& readName) {
    library_.Build(folder, defaultName_, readName);
}

bool LayoutSelector::SelectLayout(LayoutPage& page, const std::wstring& requested,
                                  std::wstring& lastLayout) {
    std::wstring path = requested;
    bool result = false;
    std::wstring failure; // the line that tells the user why the requested file failed
    if (path == kDefaultLayoutMarker) {
        if (page.LoadLayoutString(defaultText_)) {
            LogMessage(L"Loaded default layout (last layout).\n");
            status_ = LayoutStatusLoaded;
            result = true;
        } else {
            LogMessage(L"Unable to load default layout (last layout).\n");
            status_ = LayoutStatusNoLayout;
        }
    } else if (page.LoadLayoutFile(path)) {
        LogMessage(L"Loaded selected layout.\n");
        status_ = LayoutStatusLoaded;
        result = true;
    } else {
        const LayoutLoadFailure* reason = page.LastLoadFailure();
        failure = LayoutFailureLine(path, reason != nullptr ? *reason : LayoutLoadFailure{});
        if (page.LoadLayoutString(defaultText_)) {
            LogMessage(L"Failed to load selected layout, fell back to default.\n");
            status_ = LayoutStatusDefaultLoaded;
            path = kDefaultLayoutMarker;
        } else {
            LogMessage(L"Failed to load selected layout, failed to load default.\n");
            status_ = LayoutStatusNoLayout;
            path.clear();
        }
    }
    ClearKeyboardDisplay(page);
    // After the clear, which empties the event log: the reason stays in view.
    if (!failure.empty()) {
        page.ReportLoadFailure(failure);
    }
    page.PostLayoutChanged();
    lastLayout = path;
    // The entry is found by its path, so the list shows the layout that was loaded even when
    // another entry's name begins with the same text.
    if (!path.empty()) {
        const int index = library_.IndexOfPath(path);
        if (index >= 0) {
            page.HighlightLayoutEntry(index);
        }
    }
    return result;
}

void LayoutSelector::ClearKeyboardDisplay(LayoutPage& page) {
    page.ResetKeyStates();
    page.EmptyEventLog();
    page.HideLogStatus();
    page.ClearLastKeyFields();
    status_ = LayoutStatusAfterClear(status_);
    UpdateLayoutStatus(page);
}

void LayoutSelector::UpdateLayoutStatus(LayoutPage& page) {
    LogMessage(L"UpdateLayoutStatus()\n");
    LayoutStatusDisplay display;
    if (status_ == LayoutStatusNone || !DescribeLayoutStatus(status_, display)) {
        page.LayoutStatusText().Show(false);
        page.ShowStatusCaption(false);
        LogMessage(L"   None loaded.\n");
        return;
    }
    page.LayoutStatusText().SetStatusText(display.textId, display.colour);
    page.LayoutStatusText().Show(true);
    page.ShowStatusCaption(true);
}

void LayoutSelector::OnKeyPress(LayoutPage& page) {
    const int next = LayoutStatusAfterKeyPress(status_);
    if (next != status_) {
        status_ = next;
        UpdateLayoutStatus(page);
    }
}

void LayoutSelector::OnSelectionChange(LayoutPage& page, int index, std::wstring& lastLayout) {
    page.FocusPage();
    const LayoutEntry* entry = library_.At(index);
    if (entry == nullptr) {
        return;
    }
    // SelectLayout rebuilds nothing of the library, but copy the path all the same: the
    // reference must not depend on that.
    const std::wstring path = entry->path;
    SelectLayout(page, path, lastLayout);
}
