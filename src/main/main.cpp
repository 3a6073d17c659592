// upgrade-devir: without arguments the main window, with arguments a run from
// the command line (see main/driver/headless.h).
#include <iostream>
#include <string>
#include <vector>

#include "main/driver/headless.h"

#ifdef UD_WITH_WINDOW
#include <QApplication>

#include "main/window/form1.h"
#include "ui/fonts.h"
#include "ui/help.h"
#include "ui/pictures.h"
#include "ui/turkish.h"
#include "ui/zfabout.h"
#endif

int main(int argc, char** argv) {
  if (argc > 1) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunHeadless(args, std::cout, std::cerr, CheckProduct);
  }
#ifdef UD_WITH_WINDOW
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Upgrade-Devir"));
  installFontSubstitutes();
  installTurkishTranslations();
  TForm1 form;
  TZfAbout* about = makeProgramAbout(&form);
  TForm2 Form2(&form, form.ImageList1, about, pictures::title());
  form.setHelpWindow(&Form2);
  form.show();
  return QApplication::exec();
#else
  std::cerr << HeadlessUsage();
  return kExitUsage;
#endif
}
