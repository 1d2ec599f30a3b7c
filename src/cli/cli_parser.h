#pragma once
// The command line of tapwise-cli, read by CLI11. Each command is a subcommand that fills a
// small options struct of its own; once the whole line is read and checked, it runs on it.
#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

// A command as the command line knows it: its subcommand, and what runs it once parsed
// (returning the exit status).
struct CliCommand {
    CLI::App* app = nullptr;
    std::function<int()> run;
};

// What the help says of a command.
struct CommandHelp {
    const char* name;
    const char* synopsis;    // the usage forms after "tapwise-cli NAME ", one per line
    const char* summary;     // one line for the list of commands
    const char* description; // what the command does, above its options
    const char* footer;      // below the options: input and output formats, exit status
};

// Adds a command. check runs on it once its options are read and reports what single options cannot
// tell (a missing argument, two that exclude each other) through UsageError; an option the
// command does not know is a usage error before that.
CLI::App* AddCommand(CLI::App& cli, const CommandHelp& help,
                     std::function<void(const CLI::App&)> check);

// Stops the parse with a usage error: "tapwise-cli COMMAND: message (try --help)", exit 2.
[[noreturn]] void UsageError(const std::string& message);

// An option with a value that must not be empty ("NAME needs a VALUE" otherwise); given again,
// the last value holds.
CLI::Option* AddValueOption(CLI::App& app, const std::string& name, const std::string& valueName,
                            const std::string& help, std::string& value);

// An option whose value is a whole decimal number from low to high; any other value is the
// usage error message.
CLI::Option* AddWholeNumberOption(CLI::App& app, const std::string& name,
                                  const std::string& valueName, const std::string& help,
                                  long long low, long long high, const std::string& message,
                                  std::function<void(long long)> store);

// --key-size N: pixels per key unit as the layout loader takes them (values below 10 become 10).
CLI::Option* AddKeySizeOption(CLI::App& app, int& keySize);

// The arguments that are not options: first receives the first of them, and the option's
// count() says how many were given, so that the command's check can name what is wrong.
CLI::Option* AddArguments(CLI::App& app, const std::string& name, const std::string& help,
                          std::string& first);

// The whole command line: the help and --version of the program, the commands' subcommands,
// and the run of the one named. Returns the exit status.
int RunCommandLine(CLI::App& cli, const std::vector<CliCommand>& commands, int argc,
                   const char* const* argv);
