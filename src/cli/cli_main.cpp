// tapwise-cli: the portable core without a window.
#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    CLI::App cli("Runs the portable core of Tapwise without a window.", "tapwise-cli");
    // Paths such as /tmp/x.kbl stay arguments on Windows too.
    cli.allow_windows_style_options(false);
    cli.set_help_flag("-h,--help", "show this help and exit");
    // An option given again replaces its earlier value.
    cli.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    // Each command adds one line here.
    const std::vector<CliCommand> commands = {
        AddBenchSummaryCommand(cli), AddImportCommand(cli),   AddLayoutCommand(cli),
        AddReplayCommand(cli),       AddSettingsCommand(cli),
    };
    return RunCommandLine(cli, commands, argc, argv);
}
