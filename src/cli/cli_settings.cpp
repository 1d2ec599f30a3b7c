// tapwise-cli settings: reads a settings file with the program's rules and shows the record
// it becomes, so that a hand-edited file can be checked before the program sees it.
#include "cli/cli_commands.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

const CommandHelp kSettingsHelp = {
    "settings",
    "[--save OUT] FILE",
    "check a settings file: print the record the program makes of it",
    "Loads the settings file FILE as the program does at start and prints the nineteen fields\n"
    "as Key=value lines in file order, in the form the program writes them (colours as\n"
    "(RR, GG, BB), switches as 0/1, folders with %VAR% expanded). Messages of the load (an\n"
    "invalid colour) go to standard error.",
    "Exit status: 0 ok, 1 a key could not be written to OUT, 2 usage error or unreadable FILE.",
};

// What the command line gives the settings command.
struct SettingsOptions {
    std::string file;
    std::string saveTo; // empty: nothing is written
};

// Restores the previous diagnostic logger when the command ends.
class LoggerScope {
public:
    explicit LoggerScope(std::unique_ptr<Logger> logger)
        : previous_(InstallLogger(std::move(logger))) {}
    ~LoggerScope() { InstallLogger(std::move(previous_)); }
    LoggerScope(const LoggerScope&) = delete;
    LoggerScope& operator=(const LoggerScope&) = delete;

private:
    std::unique_ptr<Logger> previous_;
};

int RunSettings(const SettingsOptions& options) {
    const std::string& file = options.file;
    const std::filesystem::path path(file);
    std::error_code status;
    if (!std::filesystem::is_regular_file(path, status) || !std::ifstream(path).is_open()) {
        std::fprintf(stderr, "tapwise-cli settings: cannot read '%s'\n", file.c_str());
        return 2;
    }

    LoggerScope logger(std::make_unique<StreamLogger>(stderr));
    IniFileProfile profile(path);
    AppSettings settings;
    LoadSettings(profile, settings);
    std::fputs(EncodeUtf8(FormatSettingsListing(settings)).c_str(), stdout);
    std::fflush(stdout);

    if (!options.saveTo.empty()) {
        IniFileProfile output{std::filesystem::path(options.saveTo)};
        int failed = 0;
        SaveSettings(output, settings, &failed);
        if (failed != 0) {
            return 1;
        }
    }
    return 0;
}

} // namespace

CliCommand AddSettingsCommand(CLI::App& cli) {
    const auto options = std::make_shared<SettingsOptions>();
    CLI::App* app = AddCommand(cli, kSettingsHelp, [options](const CLI::App& parsed) {
        if (parsed.count("--save") > 1) {
            UsageError("--save given twice");
        }
        if (parsed.count("FILE") > 1) {
            UsageError("only one FILE may be given");
        }
        if (options->file.empty()) {
            UsageError("no settings FILE given");
        }
    });
    AddArguments(*app, "FILE", "the settings file to read", options->file);
    AddValueOption(*app, "--save", "OUT",
                   "also write the record to the settings file OUT, as the program does\n"
                   "at exit (creating its folder when missing)",
                   options->saveTo);
    return {app, [options]() { return RunSettings(*options); }};
}
