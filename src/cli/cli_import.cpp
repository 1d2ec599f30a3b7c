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

namespace {

const CommandHelp kImportHelp = {
    "import",
    "[--name NAME] [--layout LAYOUT_NAME] [--keymap FILE] INPUT.json [-o OUT.kbl]",
    "convert a KLE or QMK keyboard description to a layout file",
    "Converts keyboard-layout-editor raw data, or a QMK info.json / keyboard.json, to a layout\n"
    "file (standard output without -o).",
    "Keys without a scan code are left blank, each named on standard error.\n"
    "Exit status: 0 written, 1 the input cannot be used, 2 usage error.",
};

// What the command line gives the import.
struct ImportCommandOptions {
    ImportOptions import; // the name and layout choices; the keymap is read at run time
    std::string input;
    std::string output;
    std::string keymapFile;
};

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

int RunImport(const ImportCommandOptions& command) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    ImportOptions options = command.import;
    const std::string& input = command.input;
    const std::string& output = command.output;
    const std::string& keymapFile = command.keymapFile;
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

} // namespace

CliCommand AddImportCommand(CLI::App& cli) {
    const auto options = std::make_shared<ImportCommandOptions>();
    ImportCommandOptions& o = *options;
    CLI::App* app = AddCommand(cli, kImportHelp, [options](const CLI::App& parsed) {
        if (parsed.count("INPUT.json") > 1) {
            UsageError("give one INPUT.json");
        }
        if (options->input.empty()) {
            UsageError("give the INPUT.json to convert");
        }
        // Writing over an input would lose it, whatever the conversion gives.
        for (const std::string* input : {&options->input, &options->keymapFile}) {
            if (SameFile(options->output, *input)) {
                UsageError("-o would overwrite the input file '" + *input + "'");
            }
        }
    });
    AddArguments(*app, "INPUT.json", "KLE raw data or downloaded JSON, or a QMK info.json",
                 o.input);
    AddValueOption(*app, "-o", "FILE", "write the layout to FILE instead of standard output",
                   o.output);
    AddValueOption(*app, "--name", "NAME",
                   "the layout's name (default: KLE's name, QMK's keyboard_name and\n"
                   "layout name, else the input's file name)",
                   o.import.name);
    AddValueOption(*app, "--layout", "LAYOUT_NAME",
                   "QMK: the layout to use (default: the keymap's, the only one, or\n"
                   "the one LAYOUT stands for)",
                   o.import.layoutName);
    AddValueOption(*app, "--keymap", "FILE",
                   "QMK: keymap.json (layer 0) or keymap.c (the first LAYOUT...(...));\n"
                   "without it the keys are told by their labels",
                   o.keymapFile);
    return {app, [options]() { return RunImport(*options); }};
}
