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
#include "main/form/form1model.h"
#include "main/window/form1.h"
#include "main/window/reportwindow.h"
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

void addCompany(CompanyList& list, const char* code, const char* name, bool selected,
                const char* newCode) {
  list.append();
  list.setValue("SIRKET_KOD", Variant{std::string(code)});
  list.setValue("KISA_AD", Variant{std::string(name)});
  list.setValue("NUMBER1", Variant{2005.0});
  list.setValue("DEVIR", Variant{selected});
  list.setValue("YENI_SIRKET_KOD", Variant{std::string(newCode)});
}

report::ReportLine reportLine(const char* section, const char* label, double old, double expected,
                              double found, report::LineKind kind = report::LineKind::kAmount) {
  report::ReportLine l;
  l.section = section;
  l.label = label;
  l.kind = kind;
  l.old = old;
  l.expected = expected;
  l.found = found;
  l.agrees = expected == found || kind == report::LineKind::kInfo;
  return l;
}

// A report of two companies, the first with one differing balance.
report::RunReport sampleReport() {
  using report::LineKind;
  report::RunReport r;
  r.date = "2006-01-02 09:30";
  r.options.ytl = true;
  std::vector<report::ReportLine> lines = {
      reportLine("Cari hesaplar", "kart sayısı", 7, 7, 7, LineKind::kCount),
      reportLine("Cari hesaplar", "borç bakiyeleri toplamı (KTBKY → KDBKY)", 1495000, 1.49, 1.49),
      reportLine("Cari hesaplar", "alacak bakiyeleri toplamı (KTBKY → KDBKY)", 22100000, 22.1,
                 22.1),
      reportLine("Cari hesaplar", "dönüşüm etkisi: eski toplam / 1.000.000 → yuvarlanmış", 23.595,
                 23.59, 23.59, LineKind::kInfo),
      reportLine("Stok", "devreden değer (KALF × MIKKAL → TUTDEV)", 31500000, 31.5, 31.5),
      reportLine("Çek ve senetler", "devreden evrak sayısı", 9, 3, 3, LineKind::kCount),
      reportLine("Taksitler", "devreden tutar (TUTAR)", 600000, 0.6, 0.6)};
  report::CompanyReport first{"2005_001", "2006_001", "Merkez Ticaret", lines};
  first.lines[2].found = 22.11;
  first.lines[2].agrees = false;
  first.lines[2].differingItems = 1;
  first.lines[2].items.push_back({"320.01", "12,35", "12,36"});
  r.companies.push_back(first);
  r.companies.push_back({"2005_003", "2006_003", "Güneş Gıda", lines});
  return r;
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
  form.setRunJobs({[](RunHost&, Workspace&) { return true; },
                   [&](RunHost& host, Workspace&) {
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
    addCompany(companies, "2005_001", "Merkez Ticaret", true, "2006_001");
    addCompany(companies, "2005_002", "Şube İnşaat", false, "2006_002");
    addCompany(companies, "2005_003", "Güneş Gıda", true, "2006_003");
    companies.first();
    TK_SirketSec dialog(companies, form.model(), &form);
    showAndSettle(&dialog);
    ok = save(&dialog, dir, "selection-dialog.png") && ok;
  }

  {
    TReportWindow window(sampleReport(),
                         QStringLiteral("C:\\ZEFIRTAK\\KMX3\\DATA\\Devir Raporları\\Devir "
                                        "2006-01-02 0930 2005_001-2006_001 2005_003-2006_003.html"),
                         &form);
    showAndSettle(&window);
    ok = save(&window, dir, "report-window.png") && ok;
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
