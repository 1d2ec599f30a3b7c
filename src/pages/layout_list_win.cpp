#include "pages/layout_list_win.h"

#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_install_win.h"
#include "logging/log_files_win.h"
#include "logging/printable_text.h"

void FillLayoutCombo(HWND combo, const LayoutLibrary& library) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : library.Entries()) {
        const std::wstring name = PrintableText(entry.name);
        SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void HighlightLayoutCombo(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ExpandLayoutFolder(const std::wstring& setting) {
    return ExpandEnvironmentText(setting);
}

void BuildLayoutList(HWND combo, LayoutSelector& selector, const std::wstring& folderSetting,
                     std::wstring& lastLayout) {
    const std::wstring folder = ExpandLayoutFolder(folderSetting);
    InstallLayoutsBesideProgram(folder);
    selector.BuildLibrary(folder, [](const std::wstring& path) { return ReadAnyLayoutName(path); });
    FillLayoutCombo(combo, selector.Library());
    if (lastLayout.empty()) {
        lastLayout = kDefaultLayoutMarker;
    }
    const int index = selector.Library().IndexOfPath(lastLayout);
    if (index >= 0) {
        HighlightLayoutCombo(combo, index);
    }
}

void RefreshLayoutList(HWND combo, LayoutSelector& selector, const std::wstring& folderSetting,
                       const std::wstring& lastLayout) {
    const int index = selector.Library().Refresh(
        ExpandLayoutFolder(folderSetting), selector.DefaultLayoutName(),
        [](const std::wstring& path) { return ReadAnyLayoutName(path); }, lastLayout);
    FillLayoutCombo(combo, selector.Library());
    if (index >= 0) {
        HighlightLayoutCombo(combo, index);
    }
}

void LayoutList::Build(LayoutSelector& selector, const std::wstring& folderSetting,
                       std::wstring& lastLayout, HWND notify, UINT message) {
    BuildLayoutList(combo_, selector, folderSetting, lastLayout);
    watch_.Start(ExpandLayoutFolder(folderSetting), notify, message);
}

int LayoutList::Chosen() const {
    const LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}
