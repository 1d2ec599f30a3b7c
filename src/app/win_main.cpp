#include "app/run_main_dialog.h"
#include "input/elapsed_clock.h"
#include "logging/logger_choice_win.h"
#include "ui/message_loop.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // The logger first: everything after this may write diagnostic messages. Chosen here
    // rather than by a static initialiser so that no initialisation order can lose it.
    InstallDiagnosticLogger();
    ElapsedMilliseconds(); // starts the key-event clock before any window exists

    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    Module().Init(instance);

    const int exitCode = RunMainDialog(showCommand);

    Module().Term();
    ::CoUninitialize();
    return exitCode;
}
