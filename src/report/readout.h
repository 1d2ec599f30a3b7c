#pragma once
// The live readout of the keyboard test page: how many keys of the layout were tested, how
// many are faulty and the rollover so far.
#include "base/progress_parts.h"
#include "report/report_model.h"

#include <string>
#include <vector>

// "Tested T / M", "Faulty F" (an alarm when F > 0), "Rollover R", or "Rollover R, overflow at
// N" once the keyboard reported an overflow with N - 1 keys held.
std::vector<ReadoutPart> ReadoutParts(const TestCoverage& coverage, std::size_t rollover,
                                      std::size_t overflowAt = 0);
