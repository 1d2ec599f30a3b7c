#pragma once
// KeyNames: the name of every scan code for the event log, rebuilt after each layout load
// from the built-in table and the layout's own names.
#include "base/scan_code.h"

#include <map>
#include <string>

struct KeyboardLayout;

class KeyNameTable {
public:
    // Empties the table, inserts the built-in names, then every layout key's name (or its
    // label with line feeds turned into spaces when the name is empty), later keys winning.
    void Rebuild(const KeyboardLayout& layout);
    // The code's name; a code without one gets (and keeps) an empty entry.
    const std::wstring& Lookup(ScanCode code);
    const std::map<ScanCode, std::wstring>& Entries() const { return names_; }

private:
    std::map<ScanCode, std::wstring> names_;
};

// The process-wide table, used on the user-interface thread only.
KeyNameTable& KeyNames();
