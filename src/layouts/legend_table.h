#pragma once
// Telling keys from their legends: a table of the legends of ANSI, ISO (UK), JIS and ABNT2
// boards with their common spellings, and the board's geometry for what legends alone do
// not say (left or right modifier, main block or keypad, the ISO key left of Z, a blank
// space bar).
#include "layouts/imported_key.h"

#include <string>
#include <vector>

// Sets code, label, name (or what) of every key from its legends.
void IdentifyByLegends(std::vector<ImportedKey>& keys);

// The label and name written for a key known by its scan code alone.
void DescribeScanCode(ScanCode code, std::string& label, std::string& name);

// A legend made plain: HTML tags dropped, common entities decoded, white space trimmed.
std::string PlainLegend(const std::string& legend);
