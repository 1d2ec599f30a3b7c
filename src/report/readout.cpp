#include "report/readout.h"

std::vector<ReadoutPart> ReadoutParts(const TestCoverage& coverage, std::size_t rollover,
                                      std::size_t overflowAt) {
    std::wstring rolloverText = L"Rollover " + std::to_wstring(rollover);
    if (overflowAt > 0) {
        rolloverText += L", overflow at " + std::to_wstring(overflowAt);
    }
    return {
        {L"Tested " + std::to_wstring(coverage.tested) + L" / " + std::to_wstring(coverage.keys),
         false},
        {L"Faulty " + std::to_wstring(coverage.faulty), coverage.faulty > 0},
        {std::move(rolloverText), false}};
}
