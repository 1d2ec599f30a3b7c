#pragma once
// The Windows side of the first-start layout installation: finds the program's own folder.
#include "layouts/layout_install.h"

#include <string>

// The full path of the running program; empty when it cannot be had.
std::wstring ProgramFilePath();

// Installs the layouts of the "layouts" folder beside the program into layoutFolder (the
// expanded LayoutFileDirectory) when that folder does not exist. Call it before the
// layout folder is enumerated.
LayoutInstallOutcome InstallLayoutsBesideProgram(const std::wstring& layoutFolder);
