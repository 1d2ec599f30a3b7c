#include "report/readout.h"

std::vector<ReadoutPart> ReadoutParts(const TestCoverage& coverage, std::size_t rollover) {
    return {
        {L"Tested " + std::to_wstring(coverage.tested) + L" / " + std::to_wstring(coverage.keys),
         false},
        {L"Faulty " + std::to_wstring(coverage.faulty), coverage.faulty > 0},
        {L"Rollover " + std::to_wstring(rollover), false}};
}

int ProgressFill(int width, std::size_t tested, std::size_t keys) {
    if (width <= 0 || keys == 0) {
        return 0;
    }
    if (tested >= keys) {
        return width;
    }
    // Rounded down, so one key short of the whole layout never looks complete.
    return static_cast<int>(static_cast<long long>(width) * static_cast<long long>(tested) /
                            static_cast<long long>(keys));
}
