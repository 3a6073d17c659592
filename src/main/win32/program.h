// The window program on Windows: the main window TForm1 shown until it is
// closed.
#pragma once

// Shows the main window and runs the message loop until the window closes;
// the program's exit status (1 when the window could not be created).
int RunMainWindow();
