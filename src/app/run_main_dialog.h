#pragma once
// The program's run: machine facts for the diagnostic log, the user-interface thread's
// processor, the message loop and the main window.

// Returns the exit code: the quit message's code after a normal close (1069), 0 when the main
// window cannot be created. Expects COM and the common controls to be initialised.
int RunMainDialog(int showCommand);
// The same with the main window made from another dialog template (tests force a failed
// creation with a template that does not exist).
int RunMainDialog(int showCommand, unsigned templateId);

// Writes the Windows version and the performance-counter frequency to the diagnostic log.
void LogMachineFacts();

// Pins the calling thread to the second logical processor when the process may run there, so
// that every raw-input time stamp is read on the same processor.
void PinThreadToSecondProcessor();
