#pragma once
// What the test report says of the moment and the machine, read from the keyboard test page.
#include "report/report_model.h"

#include <windows.h>

#include <string>

// The layout's name, the settings in force, the interface, device and language fields of
// page, the program's version and the time now.
ReportContext PageReportContext(HWND page, const std::wstring& layoutName);
