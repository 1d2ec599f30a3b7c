#pragma once
// The layouts the user can choose from: the built-in default and every layout file of the
// layout folder, sorted by name. Entry i is item i of the page's layout list.
#include <functional>
#include <string>
#include <vector>

struct LayoutEntry {
    std::wstring path; // a layout file, or the default layout marker
    std::wstring name; // never empty
};

// The "*.kbl" and "*.json" files of a folder (directories skipped), test plans ("*.plan.json")
// left out, as full paths in the order of the enumeration. A missing or unreadable folder
// gives none.
std::vector<std::wstring> FindLayoutFiles(const std::wstring& folder);

// The file name ends in ".plan.json" (any case): a test plan, which shares the layout folder.
bool IsPlanFileName(const std::wstring& path);
// The test plans of a folder, as full paths sorted by file name.
std::vector<std::wstring> FindPlanFiles(const std::wstring& folder);

// Layout names compare as sequences of UTF-16 code units: ordinal and case-sensitive, so
// every upper-case letter sorts before every lower-case one, whatever wchar_t's width.
bool LayoutNameLess(const std::wstring& a, const std::wstring& b);

class LayoutLibrary {
public:
    using NameReader = std::function<std::wstring(const std::wstring& path)>;

    // Empties the list, adds the default entry and every layout file of the (expanded)
    // folder whose name reads non-empty, then sorts everything by name.
    void Build(const std::wstring& folder, const std::wstring& defaultName,
               const NameReader& readName);

    // Build again for a folder whose files changed. The chosen entry (a file, not the default)
    // stays in the list even when its file went: its keys are still on screen until another
    // choice. Returns the chosen entry's new index, or -1.
    int Refresh(const std::wstring& folder, const std::wstring& defaultName,
                const NameReader& readName, const std::wstring& chosenPath);

    const std::vector<LayoutEntry>& Entries() const { return entries_; }
    // The first entry with exactly this path, or -1.
    int IndexOfPath(const std::wstring& path) const;
    // The entry at index, or null outside the list.
    const LayoutEntry* At(int index) const;

private:
    std::vector<LayoutEntry> entries_;
};
