// upgrade-devir: without arguments the main window (Qt's, or the native one
// on Windows), with arguments a run from the command line (see
// main/driver/headless.h).
//
// On Windows the same objects make two programs: upgrade-devir.exe, a window
// program (no console when double-clicked), and upgrade-devir.com, a console
// program that cmd.exe runs first for "upgrade-devir ..." and waits for.
#include <iostream>
#include <string>
#include <vector>

#include "main/driver/headless.h"
#include "platform/console.h"
#include "platform/fatalsignal.h"

#ifdef UD_WITH_WINDOW
#include <QApplication>

#include "main/form/form1model.h"
#include "main/window/form1.h"
#include "ui/fonts.h"
#include "ui/help.h"
#include "ui/pictures.h"
#include "ui/turkish.h"
#include "ui/zfabout.h"
#elif defined(UD_WITH_WIN32_WINDOW)
#include "main/win32/program.h"
#endif

int main(int argc, char** argv) {
  // A read that fails through a mapping ends the run with words, not silence.
  platform::installBusErrorHandler();
#ifdef UD_WITH_WIN32_WINDOW
  MarkProgramRunning();
#endif
  if (argc > 1) {
#ifdef UD_WITH_WIN32_WINDOW
    // The window program typed at a prompt has no streams of its own.
    UseParentConsoleWithoutStreams();
#endif
    // Read as typed (wide on Windows, so Turkish directory names pass
    // intact) and written so that a Windows console shows them right.
    std::vector<std::string> args = platform::programArguments(argc, argv);
    if (!args.empty()) args.erase(args.begin());
    const int status =
        RunHeadless(args, platform::consoleOut(), platform::consoleErr(), CheckProduct);
    platform::consoleOut().flush();
    return status;
  }
#ifdef UD_WITH_WINDOW
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(form1::kApplicationTitle));
  installFontSubstitutes();
  installTurkishTranslations();
  TForm1 form;
  TZfAbout* about = makeProgramAbout(&form);
  TForm2 Form2(&form, form.ImageList1, about, pictures::title());
  form.setHelpWindow(&Form2);
  form.show();
  return QApplication::exec();
#elif defined(UD_WITH_WIN32_WINDOW)
  return RunMainWindow();
#else
  platform::consoleErr() << "upgrade-devir: bu derlemede pencere yok; yapılacak işi veriniz\n"
                         << HeadlessSynopsis() << "Ayrıntılar için: upgrade-devir --help\n";
  return kExitUsage;
#endif
}
