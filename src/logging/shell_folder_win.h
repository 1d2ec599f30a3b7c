#pragma once
// Shell folder lookup (Windows side).
#include <string>

// The folder of a CSIDL number, or an empty string (with a diagnostic message for a
// folder that does not exist or an invalid CSIDL). ok, when given, tells success.
std::wstring GetShellFolder(int csidl, bool* ok = nullptr);
