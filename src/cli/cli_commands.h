#pragma once
// The commands of tapwise-cli; each lives in a file of its own (cli_<command>.cpp), where a
// small options struct receives its options and its run function works on them.
#include "cli/cli_parser.h"

// Each adds its subcommand to the command line.
CliCommand AddBenchSummaryCommand(CLI::App& cli);
CliCommand AddImportCommand(CLI::App& cli);
CliCommand AddLayoutCommand(CLI::App& cli);
CliCommand AddReplayCommand(CLI::App& cli);
CliCommand AddSettingsCommand(CLI::App& cli);
