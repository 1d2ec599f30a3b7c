#include "report/readout.h"

std::vector<ReadoutPart> ReadoutParts(const TestCoverage& coverage, std::size_t rollover) {
    return {
        {L"Tested " + std::to_wstring(coverage.tested) + L" / " + std::to_wstring(coverage.keys),
         false},
        {L"Faulty " + std::to_wstring(coverage.faulty), coverage.faulty > 0},
        {L"Rollover " + std::to_wstring(rollover), false}};
}
