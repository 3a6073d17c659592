// The window program on Windows: the main window TForm1 shown until it is
// closed, and what both Windows programs (upgrade-devir.exe, the window
// program, and upgrade-devir.com, the console program) do at their start.
#pragma once

// The named mutex every running copy holds, so that the installer and the
// uninstaller refuse to replace the programs under it (installer/
// upgrade-devir.nsi opens it by this name).
inline constexpr const wchar_t* kRunningMutexName = L"Global\\Upgrade-Devir-Calisiyor";

// Creates (or opens) the mutex above and keeps it until the process ends.
void MarkProgramRunning();

// The window program given a job: when it has neither a standard output
// nor a standard error (started from a console without redirection), the
// missing streams become the console of the process that started it, if
// any. Inherited files and pipes are kept as they are.
void UseParentConsoleWithoutStreams();

// Shows the main window and runs the message loop until the window closes;
// the program's exit status (1 when the window could not be created).
int RunMainWindow();
