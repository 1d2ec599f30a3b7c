#pragma once
// The layout list of the keyboard test page (combo box 1021).
#include "layouts/layout_folder_watch_win.h"
#include "layouts/layout_selection.h"

#include <windows.h>

#include <string>

// Empties the combo box and adds every entry's name in library order.
void FillLayoutCombo(HWND combo, const LayoutLibrary& library);
// Selects the item of the library entry at index.
void HighlightLayoutCombo(HWND combo, int index);
// The layout folder setting with environment references expanded, however long.
std::wstring ExpandLayoutFolder(const std::wstring& setting);
// Builds the library from the layout folder (a first start fills it with the layouts that ship
// beside the program), lists it in the combo box and highlights lastLayout, which becomes the
// default layout's marker when empty.
void BuildLayoutList(HWND combo, LayoutSelector& selector, const std::wstring& folderSetting,
                     std::wstring& lastLayout);
// The list follows the folder as it is now (files added, removed or renamed); the chosen
// layout stays chosen, also when its file went.
void RefreshLayoutList(HWND combo, LayoutSelector& selector, const std::wstring& folderSetting,
                       const std::wstring& lastLayout);

// The page's layout list: the combo box and the watch on the folder it shows.
class LayoutList {
public:
    void Attach(HWND combo) { combo_ = combo; }
    // BuildLayoutList, then a change of the folder is posted to notify as message.
    void Build(LayoutSelector& selector, const std::wstring& folderSetting,
               std::wstring& lastLayout, HWND notify, UINT message);
    void Refresh(LayoutSelector& selector, const std::wstring& folderSetting,
                 const std::wstring& lastLayout) {
        RefreshLayoutList(combo_, selector, folderSetting, lastLayout);
    }
    void Highlight(int index) { HighlightLayoutCombo(combo_, index); }
    // The library index of the chosen item; -1 when none is.
    int Chosen() const;
    void StopWatching() { watch_.Stop(); }

private:
    HWND combo_ = nullptr;
    LayoutFolderWatch watch_;
};
