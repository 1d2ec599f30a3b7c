// Import speed: a 110-key keyboard-layout-editor board (the full-size ANSI board with a row
// of six more function keys) converted to layout text.
#include "layouts/layout_import.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Board110() {
    std::ifstream file(TAPWISE_SOURCE_DIR "/tests/layouts/import/kle_ansi_104.json",
                       std::ios::binary);
    std::string json((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string head = "[{\"name\":\"104 Key ANSI\"},";
    if (json.compare(0, head.size(), head) != 0) {
        return std::string();
    }
    return "[{\"name\":\"110 keys\"},[{\"x\":2},\"F13\",\"F14\",\"F15\",\"F16\",\"F17\",\"F18\"]," +
           json.substr(head.size());
}

void ImportKle110Keys(benchmark::State& state) {
    const std::string json = Board110();
    ImportOptions options;
    for (auto _ : state) {
        const ImportResult result = ImportLayout(json, options);
        if (!result.ok || result.keys != 110) {
            state.SkipWithError("the 110-key board did not convert to 110 keys");
            break;
        }
        benchmark::DoNotOptimize(result.text.data());
    }
}
BENCHMARK(ImportKle110Keys)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
