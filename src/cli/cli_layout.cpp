// tapwise-cli layout: loads a layout the way the program does and prints what it became,
// so that people who write layout files can see the parser's verdict and messages.
#include "cli/cli_commands.h"
#include "cli/cli_files.h"
#include "cli/cli_text.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const CommandHelp kLayoutHelp = {
    "layout",
    "[--key-size N] [--trace] FILE\n"
    "[--key-size N] [--trace] --default\n"
    "[--key-size N] [--trace] --text FILE",
    "load a layout as the program would and print what it became",
    "Loads a keyboard layout as the program would and prints the result.",
    "Output, one item per line:\n"
    "  name: <layout name>\n"
    "  result: loaded | failed\n"
    "  keys: <number of keys>\n"
    "  size: <width>x<height>\n"
    "  pause: yes | no\n"
    "  break: yes | no\n"
    "  key: 0x<code> <left> <top> <right> <bottom> <two-row 0|1> <second-row width>"
    " \"<label>\" \"<name>\"\n"
    "    (one line per key, in list order)\n"
    "  keyname: 0x<code> \"<name>\"\n"
    "    (the key-name table in code order, when the load read its whole text)\n"
    "Codes are 4 upper-case hex digits; strings are UTF-8 with \\\\, \\\", \\n, \\r\n"
    "and \\xHH escapes.\n"
    "Exit status: 0 loaded, 1 failed, 2 usage error or unreadable --text FILE.",
};

// What the command line gives the layout command.
struct LayoutOptions {
    enum class Source { File, Default, Text };
    Source source = Source::File;
    std::string file; // the layout file, or the text file of --text
    int keySize = 36;
    bool trace = false;
};

bool ReadTextFile(const std::string& argument, std::wstring& text) {
    std::string bytes;
    if (!ReadArgumentBytes(argument, bytes)) {
        return false;
    }
    // A byte-order mark marks the encoding; it is not part of the text.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
    }
    text = DecodeUtf8(bytes);
    return true;
}

void PrintLayout(const KeyboardLayout& layout, bool loaded, bool reachedEnd,
                 const KeyNameTable& names) {
    std::printf("name: %s\n", PlainName(layout.name).c_str());
    std::printf("result: %s\n", loaded ? "loaded" : "failed");
    std::printf("keys: %zu\n", layout.keys.size());
    std::printf("size: %dx%d\n", layout.width, layout.height);
    std::printf("pause: %s\n", layout.hasPause ? "yes" : "no");
    std::printf("break: %s\n", layout.hasBreak ? "yes" : "no");
    for (const LayoutKey& key : layout.keys) {
        std::printf("key: 0x%04X %d %d %d %d %d %d %s %s\n", static_cast<unsigned>(key.scanCode),
                    key.left, key.top, key.right, key.bottom, key.twoRow ? 1 : 0,
                    key.secondRowWidth, Quoted(key.label).c_str(), Quoted(key.name).c_str());
    }
    if (reachedEnd) {
        for (const auto& [code, name] : names.Entries()) {
            std::printf("keyname: 0x%04X %s\n", static_cast<unsigned>(code), Quoted(name).c_str());
        }
    }
}

int RunLayout(const LayoutOptions& options) {
#ifdef _WIN32
    // The same bytes on every platform: lines end in a line feed, as they do in the output's
    // own escapes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    using Source = LayoutOptions::Source;
    const std::string& file = options.file;
    std::wstring text;
    if (options.source == Source::Text && !ReadTextFile(file, text)) {
        std::fprintf(stderr, "tapwise-cli layout: cannot read '%s'\n", file.c_str());
        return 2;
    }
    if (options.source == Source::Default) {
        text = DefaultLayoutText();
    }

    std::unique_ptr<Logger> previous;
    if (options.trace) {
        previous = InstallLogger(std::make_unique<StreamLogger>(stderr));
    } else {
        previous = InstallLogger(std::make_unique<NullLogger>());
    }
    KeyboardLayout layout;
    KeyNameTable& names = KeyNames();
    bool reachedEnd = false;
    const bool loaded =
        options.source == Source::File
            ? LoadLayoutFile(ArgumentToWide(file), options.keySize, layout, names, &reachedEnd)
            : LoadLayoutText(text, options.keySize, layout, names, &reachedEnd);
    InstallLogger(std::move(previous));

    PrintLayout(layout, loaded, reachedEnd, names);
    std::fflush(stdout);
    return loaded ? 0 : 1;
}

} // namespace

CliCommand AddLayoutCommand(CLI::App& cli) {
    const auto options = std::make_shared<LayoutOptions>();
    LayoutOptions& o = *options;
    CLI::App* app = AddCommand(cli, kLayoutHelp, [options](const CLI::App& parsed) {
        const std::size_t sources =
            parsed.count("FILE") + parsed.count("--default") + parsed.count("--text");
        if (sources != 1) {
            UsageError(sources == 0 ? "give one of FILE, --default and --text FILE"
                                    : "give exactly one of FILE, --default and --text FILE");
        }
        using Source = LayoutOptions::Source;
        options->source = parsed.count("--default") != 0 ? Source::Default
                          : parsed.count("--text") != 0  ? Source::Text
                                                         : Source::File;
    });
    AddArguments(*app, "FILE", "load this layout file (.kbl) with the layout file loader", o.file);
    app->add_flag("--default")->description("load the built-in default layout text");
    AddValueOption(*app, "--text", "FILE", "load FILE's UTF-8 text with the text loader", o.file);
    AddKeySizeOption(*app, o.keySize);
    app->add_flag("--trace", o.trace, "write the load's diagnostic messages to standard error");
    return {app, [options]() { return RunLayout(*options); }};
}
