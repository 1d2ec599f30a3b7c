// Parsing speed: the built-in default layout text, and a layout file of the full 1000 lines.
#include "input/key_names.h"
#include "layouts/default_layout.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "logging/diagnostic_log.h"
#include "logging/utf8.h"

#include <benchmark/benchmark.h>

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
    int lines = 1;
    for (int row = 1; row <= 7 && lines < 1000; ++row) {
        text += "// row " + std::to_string(row) + "\n";
        ++lines;
        for (int column = 0; column < 142 && lines < 1000; ++column, ++lines) {
            if (column == 70 && row < 7) {
                text += "R" + std::to_string(row) + "-" + std::to_string(row + 1) +
                        ", 0x4E, \"+\", \"Num +\", 1.5x2-1.25\n";
            } else if (column % 10 == 9) {
                text += "R" + std::to_string(row) + ", BL, \"\", \"\", 0.5\n";
            } else {
                text += "R" + std::to_string(row) + ", 0x" + std::to_string(10 + column % 80) +
                        ", \"Key\\n" + std::to_string(column) + " &\", \"Key " +
                        std::to_string(column) + "\", 1.25\n";
            }
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
