// The program's command line and its console output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace platform {

// The program's arguments, argv[0] included, as UTF-8 texts. On Windows they
// are read as wide characters from the command line (argv holds them in the
// ANSI code page, which loses Turkish letters on most systems); elsewhere
// argv as it is.
std::vector<std::string> programArguments(int argc, char** argv);

// Streams for UTF-8 text to standard output and standard error. On Windows,
// where the stream is a console, the text goes through WriteConsoleW, so
// that "İşlem tamamlandı" reads right whatever the console's code page
// (857, 65001, ...); redirected to a file or a pipe it is written as UTF-8.
// Elsewhere std::cout and std::cerr.
std::ostream& consoleOut();
std::ostream& consoleErr();

}  // namespace platform
