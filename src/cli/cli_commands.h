#pragma once
// The commands of tapwise-cli; each lives in a file of its own (cli_<command>.cpp).
#include <string>
#include <vector>

// Each returns the process exit status.

// tapwise-cli import [--name NAME] [--layout LAYOUT_NAME] [--keymap FILE] INPUT.json [-o OUT]
int RunImportCommand(const std::vector<std::string>& arguments);
extern const char kImportHelp[];

// tapwise-cli layout [--key-size N] [--trace] FILE | --default | --text FILE
int RunLayoutCommand(const std::vector<std::string>& arguments);
extern const char kLayoutHelp[];

// tapwise-cli replay [options] (--default | --layout FILE) TRACE
int RunReplayCommand(const std::vector<std::string>& arguments);
extern const char kReplayHelp[];

// tapwise-cli settings [--save OUT] FILE
int RunSettingsCommand(const std::vector<std::string>& arguments);
extern const char kSettingsHelp[];
