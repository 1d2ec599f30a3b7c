// tapwise-cli: the portable core without a window.
#include "cli/cli_commands.h"
#include "tapwise_version.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: tapwise-cli COMMAND [options]\n"
                      "       tapwise-cli --version\n"
                      "\n"
                      "Commands:\n";

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>& arguments);
    const char* help;
};

// Each command adds one line here.
const Command kCommands[] = {
    {"import", RunImportCommand, kImportHelp},
    {"layout", RunLayoutCommand, kLayoutHelp},
    {"replay", RunReplayCommand, kReplayHelp},
    {"settings", RunSettingsCommand, kSettingsHelp},
    {"", nullptr, ""},
};

void PrintHelp(std::FILE* out) {
    std::fputs(kUsage, out);
    for (const Command& command : kCommands) {
        if (command.run != nullptr) {
            std::fputs(command.help, out);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tapwise-cli %s\n", TAPWISE_VERSION_TEXT);
        return 0;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    for (const Command& command : kCommands) {
        if (command.run != nullptr && std::strcmp(argv[1], command.name) == 0) {
            return command.run(arguments);
        }
    }
    std::fprintf(stderr, "tapwise-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
}
