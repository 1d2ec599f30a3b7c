// Parsing speed: the built-in default layout text, and a layout file of the full 1000 lines.
#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

void ParseDefaultLayoutText(benchmark::State& state) {
    InstallLogger(std::make_unique<NullLogger>());
    const std::wstring text = DefaultLayoutText();
    KeyboardLayout layout;
    KeyNameTable names;
    for (auto _ : state) {
        if (!LoadLayoutText(text, 36, layout, names)) {
            state.SkipWithError("the default layout did not load");
            break;
        }
        benchmark::DoNotOptimize(layout.width);
    }
}
BENCHMARK(ParseDefaultLayoutText)->Unit(benchmark::kMicrosecond);

// Header plus 999 entry lines: seven rows of keys, blanks and two-row keys, comments between.
std::string ThousandLineLayout() {
    std::string text = "Bench board, 4\n";
    char line[128];
    int lines = 1;
    for (int row = 1; row <= 7 && lines < 1000; ++row) {
        std::snprintf(line, sizeof line, "// row %d\n", row);
        text += line;
        ++lines;
        for (int column = 0; column < 142 && lines < 1000; ++column, ++lines) {
            if (column == 70 && row < 7) {
                std::snprintf(line, sizeof line, "R%d-%d, 0x4E, \"+\", \"Num +\", 1.5x2-1.25\n",
                              row, row + 1);
            } else if (column % 10 == 9) {
                std::snprintf(line, sizeof line, "R%d, BL, \"\", \"\", 0.5\n", row);
            } else {
                std::snprintf(line, sizeof line, "R%d, 0x%X, \"Key\\n%d &\", \"Key %d\", 1.25\n",
                              row, 0x10 + column % 80, column, column);
            }
            text += line;
        }
    }
    return text;
}

void ParseThousandLineFile(benchmark::State& state) {
    InstallLogger(std::make_unique<NullLogger>());
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tapwise_bench_1000_lines.kbl";
    {
        std::ofstream file(path, std::ios::binary);
        file << ThousandLineLayout();
    }
    const std::wstring widePath = DecodeUtf8(path.string());
    KeyboardLayout layout;
    KeyNameTable names;
    for (auto _ : state) {
        if (!LoadLayoutFile(widePath, 36, layout, names)) {
            state.SkipWithError("the 1000-line layout did not load");
            break;
        }
        benchmark::DoNotOptimize(layout.width);
    }
    state.counters["keys"] = static_cast<double>(layout.keys.size());
    std::error_code error;
    std::filesystem::remove(path, error);
}
BENCHMARK(ParseThousandLineFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
