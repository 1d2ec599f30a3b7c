#pragma once
// Finding a layout that a file names by reference rather than by full path.
#include <string>
#include <vector>

// "default" (any case) is the built-in layout: the default layout marker. A path that names a
// file is that file. Otherwise the first folder holding a file of that file name (a path
// written on another machine included), and failing that the first layout of the folders
// whose name, as the layout list shows it, is the reference. Empty when nothing matches.
std::wstring FindNamedLayout(const std::wstring& reference,
                             const std::vector<std::wstring>& folders);
