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

const char kSettingsHelp[] =
    "  settings [--save OUT] FILE\n"
    "      Loads the settings file FILE as the program does at start and prints the sixteen\n"
    "      fields as Key=value lines in file order, in the form the program writes them\n"
    "      (colours as (RR, GG, BB), switches as 0/1, folders with %VAR% expanded).\n"
    "      Messages of the load (an invalid colour) go to standard error.\n"
    "      --save OUT  also write the record to the settings file OUT, as the program does\n"
    "                  at exit (creating its folder when missing)\n"
    "      Exit status: 0 ok, 1 a key could not be written to OUT, 2 usage error or\n"
    "      unreadable FILE.\n";

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tapwise-cli settings: %s (try --help)\n", message.c_str());
    return 2;
}

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

} // namespace

int RunSettingsCommand(const std::vector<std::string>& arguments) {
    std::string file;
    std::string saveTo;
    bool haveFile = false;
    bool haveSave = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--save") {
            if (haveSave || i + 1 >= arguments.size()) {
                return UsageError(haveSave ? "--save given twice" : "--save needs a file");
            }
            saveTo = arguments[++i];
            haveSave = true;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            return UsageError("unknown option '" + argument + "'");
        } else {
            if (argument == "--") {
                if (++i >= arguments.size()) {
                    break;
                }
            }
            if (haveFile) {
                return UsageError("only one FILE may be given");
            }
            file = arguments[i];
            haveFile = true;
        }
    }
    if (!haveFile || file.empty()) {
        return UsageError("no settings FILE given");
    }
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

    if (haveSave) {
        IniFileProfile output{std::filesystem::path(saveTo)};
        int failed = 0;
        SaveSettings(output, settings, &failed);
        if (failed != 0) {
            return 1;
        }
    }
    return 0;
}
