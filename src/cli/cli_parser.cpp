#include "cli/cli_parser.h"

#include "tapwise_version.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>

namespace {

constexpr std::size_t kHelpColumn = 24;

// One usage line per synopsis line; the first reads "usage:", the others align under it.
std::string UsageLines(const std::string& command, const std::string& synopsis) {
    std::string out;
    std::istringstream lines(synopsis);
    std::string line;
    while (std::getline(lines, line)) {
        out += (out.empty() ? "usage: " : "       ") + command + (line.empty() ? "" : " ") + line +
               "\n";
    }
    return out;
}

// The house help: the usage forms, what the command does, its arguments and options with their
// value names (never CLI11's type names), then the formats and exit statuses.
class CommandFormatter : public CLI::Formatter {
public:
    CommandFormatter(std::string synopsis, std::string description)
        : synopsis_(std::move(synopsis)), description_(std::move(description)) {
        column_width(kHelpColumn);
        label("Positionals", "Arguments");
    }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string out = UsageLines("tapwise-cli " + app->get_name(), synopsis_);
        out += "\n" + description_ + "\n";
        out += make_positionals(app);
        out += make_groups(app, CLI::AppFormatMode::Normal);
        const std::string footer = app->get_footer();
        return footer.empty() ? out : out + "\n" + footer + "\n";
    }

    std::string make_option_opts(const CLI::Option* option) const override {
        return option->nonpositional() && option->get_type_size() != 0
                   ? " " + option->get_type_name()
                   : std::string();
    }

private:
    std::string synopsis_;
    std::string description_;
};

// The program's help: how to call it, the list of commands, then every command's own help, so
// that one page tells everything.
class ProgramFormatter : public CLI::Formatter {
public:
    ProgramFormatter() { column_width(kHelpColumn); }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string out = UsageLines("tapwise-cli", "COMMAND [options]\nCOMMAND --help\n--version");
        out += "\n" + app->get_description() + "\n\nCommands:\n";
        const std::vector<const CLI::App*> commands =
            app->get_subcommands([](const CLI::App*) { return true; });
        for (const CLI::App* command : commands) {
            std::ostringstream line;
            CLI::detail::format_help(line, command->get_name(), command->get_description(),
                                     kHelpColumn);
            out += line.str();
        }
        out += make_groups(app, CLI::AppFormatMode::Normal);
        for (const CLI::App* command : commands) {
            out += "\n" + command->help();
        }
        return out;
    }
};

bool ParseWhole(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

void PrintHelp(const CLI::App& app, std::FILE* out) {
    const std::string text = app.help();
    std::fwrite(text.data(), 1, text.size(), out);
}

// The command the parse reached, if any.
const CLI::App* ParsedCommand(const CLI::App& cli) {
    const std::vector<const CLI::App*> parsed =
        cli.get_subcommands([](const CLI::App* command) { return command->parsed(); });
    return parsed.empty() ? nullptr : parsed.front();
}

} // namespace

CLI::App* AddCommand(CLI::App& cli, const CommandHelp& help,
                     std::function<void(const CLI::App&)> check) {
    CLI::App* app = cli.add_subcommand(help.name, help.summary);
    app->formatter(std::make_shared<CommandFormatter>(help.synopsis, help.description));
    app->footer(help.footer);
    // Unknown arguments are collected rather than thrown, so that the message can name them.
    app->allow_extras();
    app->callback([app, check = std::move(check)]() {
        // CLI11 keeps the "--" that ends the options among the unknown arguments.
        for (const std::string& argument : app->remaining()) {
            if (argument != "--") {
                UsageError("unknown option '" + argument + "'");
            }
        }
        check(*app);
    });
    return app;
}

void UsageError(const std::string& message) {
    throw CLI::ValidationError(message, 2);
}

CLI::Option* AddValueOption(CLI::App& app, const std::string& name, const std::string& valueName,
                            const std::string& help, std::string& value) {
    // A missing value arrives as an empty one, so both get the same message.
    return app
        .add_option_function<std::string>(
            name,
            [&value, message = name + " needs a " + valueName](const std::string& text) {
                if (text.empty()) {
                    UsageError(message);
                }
                value = text;
            },
            help)
        ->type_name(valueName)
        ->expected(0, 1);
}

CLI::Option* AddWholeNumberOption(CLI::App& app, const std::string& name,
                                  const std::string& valueName, const std::string& help,
                                  long long low, long long high, const std::string& message,
                                  std::function<void(long long)> store) {
    return app
        .add_option_function<std::string>(
            name,
            [=](const std::string& text) {
                long long value = 0;
                if (!ParseWhole(text, low, high, value)) {
                    UsageError(message);
                }
                store(value);
            },
            help)
        ->type_name(valueName)
        ->expected(0, 1);
}

CLI::Option* AddKeySizeOption(CLI::App& app, int& keySize) {
    return AddWholeNumberOption(
        app, "--key-size", "N", "pixels per key unit (default 36; values below 10 become 10)",
        std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
        "--key-size needs a whole number",
        [&keySize](long long value) { keySize = value < 10 ? 10 : static_cast<int>(value); });
}

CLI::Option* AddArguments(CLI::App& app, const std::string& name, const std::string& help,
                          std::string& first) {
    return app.add_option_function<std::vector<std::string>>(
        name,
        [&first](const std::vector<std::string>& values) {
            if (!values.empty()) {
                first = values.front();
            }
        },
        help);
}

int RunCommandLine(CLI::App& cli, const std::vector<CliCommand>& commands, int argc,
                   const char* const* argv) {
    cli.formatter(std::make_shared<ProgramFormatter>());
    // Arguments that do not name a command are collected, so that the message can name them.
    cli.allow_extras();
    // One command a run: a later word that names another command is an argument.
    cli.require_subcommand(0, 1);
    const CLI::Option* version =
        cli.add_flag("--version")->description("print the program's version and exit");
    if (argc < 2) {
        PrintHelp(cli, stderr);
        return 2;
    }
    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        const CLI::App* command = ParsedCommand(cli);
        PrintHelp(command != nullptr ? *command : cli, stdout);
        return 0;
    } catch (const CLI::ParseError& error) {
        const CLI::App* command = ParsedCommand(cli);
        std::fprintf(stderr, "tapwise-cli%s%s: %s (try --help)\n", command != nullptr ? " " : "",
                     command != nullptr ? command->get_name().c_str() : "", error.what());
        return 2;
    }
    const std::vector<std::string> unknown = cli.remaining();
    if (!unknown.empty()) {
        std::fprintf(stderr, "tapwise-cli: unknown command '%s' (try --help)\n",
                     unknown.front().c_str());
        return 2;
    }
    if (version->count() != 0) {
        std::printf("tapwise-cli %s\n", TAPWISE_VERSION_TEXT);
        return 0;
    }
    for (const CliCommand& command : commands) {
        if (command.app->parsed()) {
            return command.run();
        }
    }
    std::fprintf(stderr, "tapwise-cli: give a COMMAND (try --help)\n");
    return 2;
}
