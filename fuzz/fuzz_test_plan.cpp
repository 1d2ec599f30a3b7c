// Test plans from any bytes: never a crash; a plan read is within the format's bounds, and a
// plan refused says where and why.
#include "session/test_plan.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TestPlan plan;
    PlanError error;
    if (!ParseTestPlan(text, plan, error)) {
        if (error.reason.empty() || error.line < 0 || error.column < 0 ||
            (error.line > 0) != (error.column > 0) || !plan.layout.empty()) {
            std::abort();
        }
        return 0;
    }
    if (plan.layout.empty() || plan.presses < 1 || plan.presses > 1000 || plan.timeLimitUs < 0 ||
        plan.minRollover > 256 || (plan.thresholdUs && *plan.thresholdUs < 0) ||
        !std::is_sorted(plan.skip.begin(), plan.skip.end()) ||
        std::adjacent_find(plan.skip.begin(), plan.skip.end()) != plan.skip.end()) {
        std::abort();
    }
    for (const auto& [code, rule] : plan.keys) {
        if (plan.IsSkipped(code) || (rule.presses && (*rule.presses < 1 || *rule.presses > 1000))) {
            std::abort();
        }
    }
    return 0;
}
