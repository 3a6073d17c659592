// The program's command line and its console output.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
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
// (857, 65001, ...). Redirected to a file or a pipe it is written in the
// console's output code page (with no console, the OEM code page), as cmd's
// own commands write and `type` and `more` read, or as UTF-8 when that code
// page is 65001; a character the code page lacks is written as "?" ("→" as
// "->"). Elsewhere std::cout and std::cerr, UTF-8.
std::ostream& consoleOut();
std::ostream& consoleErr();

#ifdef _WIN32
// What redirected output writes for the UTF-8 text `utf8`: its bytes in
// `codePage`, or the text as it is for 65001.
std::string redirectedBytes(std::string_view utf8, unsigned codePage);
// The code page redirected output is written in (see consoleOut).
unsigned redirectedCodePage();
#endif

}  // namespace platform
