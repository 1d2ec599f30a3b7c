// tapwise-cli import: a keyboard described in KLE raw data or by QMK becomes a .kbl layout.
#include "cli/cli_commands.h"
#include "cli/cli_files.h"

#include "layouts/import_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

const char kImportHelp[] =
    "  import [--name NAME] [--layout LAYOUT_NAME] [--keymap FILE] INPUT.json [-o OUT.kbl]\n"
    "      Converts keyboard-layout-editor raw data, or a QMK info.json / keyboard.json,\n"
    "      to a layout file (standard output without -o).\n"
    "      --name NAME     the layout's name (default: KLE's name, QMK's keyboard_name and\n"
    "                      layout name, else the input's file name)\n"
    "      --layout NAME   QMK: the layout to use (default: the keymap's, the only one, or\n"
    "                      the one LAYOUT stands for)\n"
    "      --keymap FILE   QMK: keymap.json (layer 0) or keymap.c (the first LAYOUT...(...));\n"
    "                      without it the keys are told by their labels\n"
    "      Keys without a scan code are left blank, each named on standard error.\n"
    "      Exit status: 0 written, 1 the input cannot be used, 2 usage error.\n";

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tapwise-cli import: %s (try --help)\n", message.c_str());
    return 2;
}

int InputError(const std::string& message) {
    std::fprintf(stderr, "tapwise-cli import: %s\n", message.c_str());
    return 1;
}

bool WriteFile(const std::string& path, const std::string& text) {
#ifdef _WIN32
    std::ofstream stream(std::filesystem::path(ArgumentToWide(path)), std::ios::binary);
#else
    std::ofstream stream(path, std::ios::binary);
#endif
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    stream.close();
    return !stream.fail();
}

} // namespace

int RunImportCommand(const std::vector<std::string>& arguments) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    ImportOptions options;
    std::string input;
    std::string output;
    std::string keymapFile;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            std::fputs("usage: tapwise-cli import [--name NAME] [--layout LAYOUT_NAME] "
                       "[--keymap FILE] INPUT.json [-o OUT.kbl]\n\n",
                       stdout);
            std::fputs(kImportHelp, stdout);
            return 0;
        }
        if (argument == "--name" || argument == "--layout" || argument == "--keymap" ||
            argument == "-o") {
            if (!hasValue || arguments[i + 1].empty()) {
                return UsageError(argument + " needs a value");
            }
            const std::string& value = arguments[++i];
            if (argument == "--name") {
                options.name = value;
            } else if (argument == "--layout") {
                options.layoutName = value;
            } else if (argument == "--keymap") {
                keymapFile = value;
            } else {
                output = value;
            }
        } else if (argument.rfind("-", 0) == 0 && argument != "-") {
            return UsageError("unknown option '" + argument + "'");
        } else if (!input.empty()) {
            return UsageError("give one INPUT.json");
        } else {
            input = argument;
        }
    }
    if (input.empty()) {
        return UsageError("give the INPUT.json to convert");
    }
    std::string json;
    if (!ReadArgumentBytes(input, json, MaxImportBytes())) {
        return InputError("cannot read '" + input + "'");
    }
    if (!keymapFile.empty()) {
        if (!ReadArgumentBytes(keymapFile, options.keymap, MaxImportBytes())) {
            return InputError("cannot read the keymap '" + keymapFile + "'");
        }
        options.hasKeymap = true;
    }
#ifdef _WIN32
    const std::filesystem::path inputPath(ArgumentToWide(input));
#else
    const std::filesystem::path inputPath(input);
#endif
    const ImportResult result = ImportLayoutFile(json, inputPath, options);
    if (!result.ok) {
        return InputError(input + ": " + result.error);
    }
    for (const std::string& note : result.notes) {
        std::fprintf(stderr, "%s\n", note.c_str());
    }
    if (output.empty()) {
        std::fwrite(result.text.data(), 1, result.text.size(), stdout);
        std::fflush(stdout);
    } else if (!WriteFile(output, result.text)) {
        return InputError("cannot write '" + output + "'");
    }
    std::fprintf(stderr, "imported \"%s\": %d keys, %d left blank\n", result.name.c_str(),
                 result.keys, result.blanks);
    return 0;
}
