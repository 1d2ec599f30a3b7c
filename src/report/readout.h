#pragma once
// The live readout of the keyboard test page: how many keys of the layout were tested, how
// many are faulty, the rollover so far, and how far the progress bar is filled.
#include "report/report_model.h"

#include <string>
#include <vector>

struct ReadoutPart {
    std::wstring text;
    bool alarm = false; // shown in the alarm colour
};

// "Tested T / M", "Faulty F" (an alarm when F > 0), "Rollover R".
std::vector<ReadoutPart> ReadoutParts(const TestCoverage& coverage, std::size_t rollover);

// Pixels of a bar width wide filled for T of M keys; a layout without keys fills nothing, and
// the bar is full only when every key was tested.
int ProgressFill(int width, std::size_t tested, std::size_t keys);
