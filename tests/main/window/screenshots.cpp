// ui-screenshots <folder>: shows the main window (as it starts, with both
// panels open, and during a run), a message box, the folder dialog, the
// company selection dialog, the report window (on a made-up report), the help
// window and the about box one after the other, as the program builds them,
// and saves each as a PNG in <folder>. Run it under a
// real or virtual X server (scripts/screenshots.sh) to see the windows as a
// person would; offscreen it still checks that every window builds and
// paints.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "carry/dialog/k_sirketsec.h"
#include "data/companylist.h"
#include "main/form/aftercarry.h"
#include "main/form/form1model.h"
#include "main/window/form1.h"
#include "main/window/reportwindow.h"
#include "report/presentation.h"
#include "support/screenshot_samples.h"
#include "ui/aboutu.h"
#include "ui/fonts.h"
#include "ui/help.h"
#include "ui/messagebox.h"
#include "ui/pictures.h"
#include "ui/secretpanel.h"
#include "ui/turkish.h"
#include "ui/zfabout.h"

namespace {

bool save(QWidget* window, const QDir& dir, const char* name) {
  QApplication::processEvents();
  const QImage shot = window->grab().toImage();
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (!shot.isNull() && shot.save(path, "PNG")) {
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
  }
  std::fprintf(stderr, "ui-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

// Shows a window and lets it settle (mapping, activation, a fade-in).
void showAndSettle(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(form1::kApplicationTitle));
  installFontSubstitutes();
  installTurkishTranslations();
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui-screenshots <folder>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists() && !QDir().mkpath(dir.path())) return 1;
  bool ok = true;

  // A Wine prefix whose drive C: holds the window's initial data directory.
  QTemporaryDir prefix;
  QDir(prefix.path()).mkpath(QStringLiteral("drive_c/ZEFIRTAK/KMX3/DATA"));
  QDir(prefix.path()).mkpath(QStringLiteral("dosdevices"));
  QFile::link(QStringLiteral("../drive_c"), prefix.filePath(QStringLiteral("dosdevices/c:")));
  qputenv("WINEPREFIX", QFile::encodeName(prefix.path()));

  TForm1 form;
  ZfImageList* images = pictures::makeMainImageList(&form);
  TZfAbout* about = makeProgramAbout(&form);
  auto* help = new TForm2(&form, images, about, pictures::title());
  form.setHelpWindow(help);
  showAndSettle(&form);
  ok = save(&form, dir, "main-window.png") && ok;

  form.CheckBoxUpgrade->setChecked(true);
  form.CheckBoxYTL->setChecked(true);
  ok = save(&form, dir, "main-window-panels.png") && ok;

  {
    auto box = makeMessageBox(QMessageBox::Information, QStringLiteral("Bilgi"),
                              QStringLiteral("Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex "
                                             "versiyonunun kullandığı\nDATA dizininin tam yolunu "
                                             "giriniz"),
                              &form);
    box->setWindowModality(Qt::NonModal);
    showAndSettle(box.get());
    ok = save(box.get(), dir, "message-box.png") && ok;
  }

  // The folder dialog as the browse button opens it.
  QTimer::singleShot(300, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ok = false;
      return;
    }
    showAndSettle(dialog);
    ok = save(dialog, dir, "folder-dialog.png") && ok;
    dialog->reject();
  });
  form.DirectoryEditPravex->browseButton()->click();

  // A run in progress: the progress display while a company is built.
  form.CheckBoxUpgrade->setChecked(false);
  form.setProductCheck([] { return platform::ProductStatus::closed(); });
  form.setRunJobs({[](RunHost&, const RunOptions&, Workspace&) { return true; },
                   [&](RunHost& host, const RunOptions&, Workspace&) {
                     host.setStatusVisible(true);
                     host.setGaugeVisible(true);
                     host.setGaugeMax(12);
                     host.setGaugePosition(5);
                     host.setStatusText("Merkez Ticaret şirketi oluşturuluyor.");
                     ok = save(&form, dir, "run-in-progress.png") && ok;
                     host.setGaugeVisible(false);
                     host.setStatusVisible(false);
                   }});
  form.Button1Click();
  form.CheckBoxYTL->setChecked(false);

  {
    CompanyList companies;
    fixture::addScreenshotCompany(companies, "2005_001", "Merkez Ticaret", true, "2006_001");
    fixture::addScreenshotCompany(companies, "2005_002", "Şube İnşaat", false, "2006_002");
    fixture::addScreenshotCompany(companies, "2005_003", "Güneş Gıda", true, "2006_003");
    companies.first();
    TK_SirketSec dialog(companies, form.model(), &form);
    showAndSettle(&dialog);
    ok = save(&dialog, dir, "selection-dialog.png") && ok;
  }

  {
    TReportWindow window(fixture::screenshotReport(),
                         QStringLiteral("C:\\ZEFIRTAK\\KMX3\\DATA\\Devir Raporları\\Devir "
                                        "2006-01-02 0930 2005_001-2006_001 2005_003-2006_003.html"),
                         &form);
    showAndSettle(&window);
    ok = save(&window, dir, "report-window.png") && ok;
  }

  {
    // The same window as the home of the after-carry actions.
    const report::OpeningsReport checked = fixture::screenshotOpenings();
    form1::AfterCarryHome home(
        [&] { return report::PresentOpenings(checked, fixture::kScreenshotOpeningsFile); },
        fixture::screenshotHomeActions());
    TReportWindow window(home, &form);
    showAndSettle(&window);
    ok = save(&window, dir, "report-window-home.png") && ok;
  }

  showAndSettle(help);
  ok = save(help, dir, "help-window.png") && ok;

  // The about box as "İrtibat" opens it; the credits are moved up so that
  // they stand in the middle of their panel.
  QTimer::singleShot(100, [&] {
    auto* box = qobject_cast<TAboutF*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ok = false;
      return;
    }
    for (int i = 0; i < 200; ++i) box->SecretPanel1->step();
    showAndSettle(box);
    ok = save(box, dir, "about-box.png") && ok;
    box->close();
  });
  help->openAbout();
  help->close();
  return ok ? 0 : 1;
}
