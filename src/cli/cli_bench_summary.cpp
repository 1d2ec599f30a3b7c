// tapwise-cli bench-summary: sums up the bench files that bench mode writes, one row per
// tested unit, and draws the keys that failed most on the keyboard of the most used layout.
#include "cli/cli_commands.h"
#include "cli/cli_files.h"
#include "cli/cli_text.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_lookup.h"
#include "logging/file_set.h"
#include "logging/std_log_files.h"
#include "report/bench_summary.h"
#include "settings/environment.h"
#include "settings/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace fs = std::filesystem;

namespace {

const CommandHelp kBenchSummaryHelp = {
    "bench-summary",
    "[--html OUT] [--layouts FOLDER] FILE_OR_FOLDER...",
    "sum up bench files: units tested, passed and failed, the keys that failed most",
    "Reads the bench files that bench mode writes (bench.csv, one row per tested unit) and\n"
    "prints how many units were tested, passed and failed, the pass rate and the keys that\n"
    "failed most. A folder stands for every bench*.csv file in it. A test found more than\n"
    "once (a file given twice, a folder and a file in it, a copy of a file) counts once.",
    "Output, one item per line:\n"
    "  units tested: N\n"
    "  passed: N\n"
    "  failed: N\n"
    "  pass rate: P%   (one decimal; - when no unit was tested)\n"
    "  layout: \"<layout of the most units>\" N\n"
    "  failed key: \"<key name>\" N (faulty F, untested U)\n"
    "    (one line per key that failed, on the most units first)\n"
    "Strings are UTF-8 with \\\\, \\\", \\n, \\r and \\xHH escapes.\n"
    "--html writes the figures and the keyboard of the most used layout, each key coloured by\n"
    "the number of units on which it failed. The layout is \"default\" (the built-in one), a\n"
    "path, or a file name or layout name in FOLDER (default: the program's layout folder).\n"
    "A row that cannot be read is named on standard error (FILE:LINE: reason) and left out.\n"
    "Exit status: 0 every row read; 1 a row or a file was left out, or OUT could not be\n"
    "written; 2 usage error, or a FILE_OR_FOLDER that cannot be read or holds no bench*.csv.",
};

constexpr int kKeySize = 36;

struct BenchSummaryOptions {
    std::vector<std::string> inputs;
    std::string htmlFile;
    std::string layoutFolder;
};

// A file to read: its path and the name messages give it.
struct BenchFile {
    fs::path path;
    std::string shown;
};

std::string Shown(const fs::path& path) {
#ifdef _WIN32
    return EncodeUtf8(path.wstring());
#else
    return path.string();
#endif
}

bool IsBenchFileName(const fs::path& path) {
    std::string name = Shown(path.filename());
    for (char& c : name) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return name.size() >= 9 && name.compare(0, 5, "bench") == 0 &&
           name.compare(name.size() - 4, 4, ".csv") == 0;
}

// The bench*.csv files of the arguments, each file once; false (with a message) when an
// argument cannot be read or a folder holds none.
bool CollectFiles(const std::vector<std::string>& inputs, std::vector<BenchFile>& files) {
    for (const std::string& input : inputs) {
        const fs::path path = ArgumentPath(input);
        std::error_code error;
        std::vector<BenchFile> found;
        if (fs::is_directory(path, error)) {
            fs::directory_iterator it(path, error);
            for (; !error && it != fs::directory_iterator(); it.increment(error)) {
                std::error_code typeError;
                if (it->is_regular_file(typeError) && IsBenchFileName(it->path())) {
                    found.push_back({it->path(), Shown(it->path())});
                }
            }
            if (found.empty()) {
                std::fprintf(stderr, "tapwise-cli bench-summary: no bench*.csv file in '%s'\n",
                             input.c_str());
                return false;
            }
            std::sort(found.begin(), found.end(), [](const BenchFile& a, const BenchFile& b) {
                return a.path.filename() < b.path.filename();
            });
        } else if (fs::is_regular_file(path, error)) {
            found.push_back({path, input});
        } else {
            std::fprintf(stderr, "tapwise-cli bench-summary: cannot read '%s'\n", input.c_str());
            return false;
        }
        for (BenchFile& file : found) {
            const bool seen =
                std::any_of(files.begin(), files.end(), [&file](const BenchFile& other) {
                    std::error_code sameError;
                    return fs::equivalent(other.path, file.path, sameError);
                });
            if (!seen) {
                files.push_back(std::move(file));
            }
        }
    }
    return true;
}

bool ReadBytes(const fs::path& path, std::string& bytes) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

void PrintSummary(const BenchSummary& summary) {
    std::string out;
    out += "units tested: " + std::to_string(summary.tested) + "\n";
    out += "passed: " + std::to_string(summary.passed) + "\n";
    out += "failed: " + std::to_string(summary.failed) + "\n";
    out += "pass rate: " + PassRateText(summary) + "\n";
    if (summary.layoutUnits > 0) {
        out +=
            "layout: " + Quoted(summary.layout) + " " + std::to_string(summary.layoutUnits) + "\n";
    }
    for (const KeyFailures& key : summary.keys) {
        out += "failed key: " + Quoted(key.name) + " " + std::to_string(key.Total()) + " (faulty " +
               std::to_string(key.faulty) + ", untested " + std::to_string(key.untested) + ")\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

std::vector<std::wstring> LayoutFolders(const std::string& layoutFolder) {
    if (!layoutFolder.empty()) {
        return {ArgumentToWide(layoutFolder)};
    }
    const std::wstring folder =
        ExpandEnvironmentReferences(kDefaultLayoutFolder, ProcessEnvironmentVariable);
    if (folder.find(L'%') != std::wstring::npos) {
        return {};
    }
    return {folder};
}

// The most used layout loaded as the program loads it, or why it cannot be shown.
BenchPicture LoadPicture(const BenchSummary& summary, const std::string& layoutFolder) {
    BenchPicture picture;
    if (summary.layout.empty()) {
        picture.missing = L"the bench files do not name the layout.";
        return picture;
    }
    const std::wstring path = FindNamedLayout(summary.layout, LayoutFolders(layoutFolder));
    if (path.empty()) {
        picture.missing = L"the layout \"" + summary.layout +
                          L"\" was not found; give the folder that holds it with --layouts "
                          L"FOLDER.";
        return picture;
    }
    std::unique_ptr<Logger> previous = InstallLogger(std::make_unique<NullLogger>());
    KeyboardLayout layout;
    KeyNameTable names;
    LayoutLoadFailure failure;
    const bool loaded = path == kDefaultLayoutMarker
                            ? LoadLayoutText(DefaultLayoutText(), kKeySize, layout, names)
                            : LoadAnyLayoutFile(path, kKeySize, layout, names, &failure);
    InstallLogger(std::move(previous));
    if (!loaded) {
        picture.missing = LayoutFailureLine(path, failure) + L".";
        return picture;
    }
    const TestReport keys = BuildTestReport(layout, KeyStatistics(), names.Entries(), {});
    picture.layoutName = layout.name;
    picture.width = keys.width;
    picture.height = keys.height;
    picture.keys = keys.keys;
    return picture;
}

bool WritePage(const std::string& htmlFile, const std::string& page) {
    StdLogFiles files;
    if (WriteFilesWhole(files, {FileContent{ArgumentToWide(htmlFile), page}})) {
        return true;
    }
    std::fprintf(stderr, "tapwise-cli bench-summary: cannot write '%s'\n", htmlFile.c_str());
    return false;
}

int RunBenchSummary(const BenchSummaryOptions& options) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<BenchFile> files;
    if (!CollectFiles(options.inputs, files)) {
        return 2;
    }
    if (!options.htmlFile.empty()) {
        for (const BenchFile& file : files) {
            std::error_code error;
            if (fs::equivalent(file.path, ArgumentPath(options.htmlFile), error)) {
                std::fprintf(stderr,
                             "tapwise-cli bench-summary: --html would overwrite the input file "
                             "'%s'\n",
                             file.shown.c_str());
                return 2;
            }
        }
    }
    std::vector<BenchRecord> records;
    std::vector<std::string> problems;
    std::vector<std::wstring> shown;
    for (const BenchFile& file : files) {
        std::string bytes;
        if (!ReadBytes(file.path, bytes)) {
            std::fprintf(stderr, "tapwise-cli bench-summary: cannot read '%s'\n",
                         file.shown.c_str());
            return 2;
        }
        ReadBenchFile(bytes, file.shown, records, problems);
        shown.push_back(DecodeUtf8(file.shown));
    }
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "tapwise-cli bench-summary: %s\n", problem.c_str());
    }
    const BenchSummary summary = SummariseBench(UniqueBenchRows(records));
    PrintSummary(summary);
    std::fflush(stdout);
    int status = problems.empty() ? 0 : 1;
    if (!options.htmlFile.empty() &&
        !WritePage(
            options.htmlFile,
            WriteBenchSummaryHtml(summary, LoadPicture(summary, options.layoutFolder), shown))) {
        status = 1;
    }
    return status;
}

} // namespace

CliCommand AddBenchSummaryCommand(CLI::App& cli) {
    const auto options = std::make_shared<BenchSummaryOptions>();
    BenchSummaryOptions& o = *options;
    CLI::App* app = AddCommand(cli, kBenchSummaryHelp, [options](const CLI::App& parsed) {
        if (parsed.count("FILE_OR_FOLDER") == 0) {
            UsageError("give at least one FILE_OR_FOLDER");
        }
        for (const std::string& input : options->inputs) {
            if (SameFile(options->htmlFile, input)) {
                UsageError("--html would overwrite the input file '" + input + "'");
            }
        }
    });
    app->add_option("FILE_OR_FOLDER", o.inputs,
                    "a bench file, or a folder: every bench*.csv file in it");
    AddValueOption(*app, "--html", "OUT", "write the summary as an HTML page", o.htmlFile);
    AddValueOption(*app, "--layouts", "FOLDER", "where the layouts the bench files name are",
                   o.layoutFolder);
    return {app, [options]() { return RunBenchSummary(*options); }};
}
