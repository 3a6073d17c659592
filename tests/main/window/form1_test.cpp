#include "main/window/form1.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "data/companylist.h"
#include "support/temp_dir.h"
#include "ui/fonts.h"
#include "ui/turkish.h"

using fixture::TempDir;

namespace {

// The window with its modal boxes answered by the test.
class TestForm : public TForm1 {
 public:
  QStringList infos;
  QStringList errors;
  int selections = 0;

 protected:
  void showInformation(const QString& text) override { infos << text; }
  void showError(const QString& text) override { errors << text; }
  bool showSelection(CompanyList&) override {
    ++selections;
    return false;
  }
};

// Types the characters one by one as key presses carrying their text, the
// way a keyboard layout delivers them (also letters outside Latin-1).
void type(QWidget* edit, const QString& characters) {
  for (QChar c : characters) {
    int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_unknown;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &release);
  }
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    installFontSubstitutes();
    QVERIFY(installTurkishTranslations());
  }

  void initialState() {
    TestForm form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02"));
    QCOMPARE(form.size(), QSize(569, 545));
    QVERIFY(form.CheckBoxDevir->isChecked());
    QVERIFY(!form.CheckBoxUpgrade->isChecked());
    QVERIFY(form.CheckBoxUpgrade->isEnabled());
    QVERIFY(!form.CheckBoxYTL->isChecked());
    QVERIFY(!form.PanelUpgrade->isVisible());
    QVERIFY(!form.PanelYTL->isVisible());
    QVERIFY(form.Panel2->isVisible());
    QVERIFY(form.Edit1->text().isEmpty() && form.Edit2->text().isEmpty());
    QCOMPARE(form.DirectoryEditPravex->text(), QStringLiteral("C:\\ZEFIRTAK\\KMX3\\DATA"));
    QVERIFY(form.DirectoryEditOrLumex->text().isEmpty());
    QVERIFY(!form.Label4->isVisible());
    QVERIFY(!form.Gauge1->isVisible());
    QCOMPARE(form.Button1->text(), QStringLiteral("Devir-Upgrade"));
    // The options a run reads.
    QCOMPARE(form.roundingMode(), 0);
    QCOMPARE(form.precisionDigits(), 2);
    QCOMPARE(form.currencyName(), std::string("Yeni Türk Lirası"));
  }

  // Clicks are given as a string: d = CheckBoxDevir, u = CheckBoxUpgrade.
  void tickRules_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<bool>("devir");
    QTest::addColumn<bool>("upgrade");
    QTest::addColumn<bool>("upgradeEnabled");
    QTest::addColumn<bool>("upgradePanel");
    QTest::addColumn<bool>("yearEdits");
    QTest::newRow("initial") << "" << true << false << true << false << true;
    QTest::newRow("untick devir") << "d" << false << true << false << true << false;
    QTest::newRow("tick devir again") << "dd" << true << false << true << false << true;
    QTest::newRow("tick upgrade") << "u" << true << true << true << true << true;
    QTest::newRow("upgrade then untick devir") << "ud" << false << true << false << true << false;
    QTest::newRow("upgrade, devir off and on") << "udd" << true << false << true << false << true;
    QTest::newRow("upgrade off again") << "uu" << true << false << true << false << true;
  }
  void tickRules() {
    QFETCH(QString, clicks);
    TestForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (QChar c : clicks)
      QTest::mouseClick(c == QLatin1Char('d') ? form.CheckBoxDevir : form.CheckBoxUpgrade,
                        Qt::LeftButton, {}, QPoint(6, 8));
    QTEST(form.CheckBoxDevir->isChecked(), "devir");
    QTEST(form.CheckBoxUpgrade->isChecked(), "upgrade");
    QTEST(form.CheckBoxUpgrade->isEnabled(), "upgradeEnabled");
    QTEST(form.PanelUpgrade->isVisible(), "upgradePanel");
    QTEST(form.Panel2->isVisible(), "yearEdits");
  }

  void ytlPanelOnlyRoundingChangeable() {
    TestForm form;
    form.show();
    QTest::mouseClick(form.CheckBoxYTL, Qt::LeftButton, {}, QPoint(6, 6));
    QVERIFY(form.PanelYTL->isVisible());
    QVERIFY(!form.RadioHAS->isEnabled());
    QVERIFY(!form.RadioORAN->isEnabled());
    QVERIFY(form.RadioYUVARLA->isEnabled());
    form.RadioYUVARLA->setItemIndex(2);
    QCOMPARE(form.roundingMode(), 2);
    QCOMPARE(form.RadioHAS->itemIndex(), 2);
    QVERIFY(form.EditPRBR->isReadOnly());
    QTest::mouseClick(form.CheckBoxYTL, Qt::LeftButton, {}, QPoint(6, 6));
    QVERIFY(!form.PanelYTL->isVisible());
  }

  // A tick box on a panel's top edge hides the edge behind it, as on
  // Windows; the edge shows again beyond the box's right end.
  void tickBoxHidesThePanelEdge_data() {
    QTest::addColumn<bool>("ytl");
    QTest::addColumn<int>("edgeY");
    QTest::addColumn<int>("underBoxX");
    QTest::addColumn<int>("pastBoxX");
    QTest::newRow("upgrade") << false << 96 << 545 << 557;
    QTest::newRow("ytl") << true << 254 << 524 << 550;
  }
  void tickBoxHidesThePanelEdge() {
    QFETCH(bool, ytl);
    QFETCH(int, edgeY);
    QFETCH(int, underBoxX);
    QFETCH(int, pastBoxX);
    TestForm form;
    form.show();
    (ytl ? form.CheckBoxYTL : form.CheckBoxUpgrade)->setChecked(true);
    const QImage shot = form.grab().toImage();
    const QColor background = form.palette().color(QPalette::Window);
    QCOMPARE(shot.pixelColor(underBoxX, edgeY), background);
    QVERIFY(shot.pixelColor(pastBoxX, edgeY) != background);
  }

  void yearEditFilter_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("letters dropped, fifth digit does not fit") << "20a05x6"
                                                               << "2005";
    QTest::newRow("punctuation and blanks") << "2 0-0.5"
                                            << "2005";
    QTest::newRow("turkish letters") << "2ğ0ş"
                                     << "20";
  }
  void yearEditFilter() {
    QFETCH(QString, keys);
    TestForm form;
    form.show();
    type(form.Edit1, keys);
    QTEST(form.Edit1->text(), "text");
    type(form.Edit2, keys);
    QTEST(form.Edit2->text(), "text");
  }

  void yearEditEditingKeys() {
    TestForm form;
    form.show();
    QTest::keyClicks(form.Edit1, "2005");
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QCOMPARE(form.Edit1->text(), QStringLiteral("200"));
    QTest::keyClick(form.Edit1, Qt::Key_Home);
    QTest::keyClick(form.Edit1, Qt::Key_Delete);
    QCOMPARE(form.Edit1->text(), QStringLiteral("00"));
    QTest::keyClick(form.Edit1, Qt::Key_Return);
    QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.Edit1->text(), QStringLiteral("00"));
    QCOMPARE(form.sourceYear(), std::string("00"));
  }

  void productRunningStopsTheRun() {
    TestForm form;
    bool jobRan = false;
    form.setProductCheck([] { return platform::ProductStatus::running(); });
    form.setRunJobs({[&](RunHost&, Workspace&) { return jobRan = true; },
                     [&](RunHost&, Workspace&) { jobRan = true; }});
    form.show();
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(form.infos, QStringList{QStringLiteral(
                             "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını "
                             "kapatınız")});
    QVERIFY(!jobRan);
  }

  void runShowsProgressAndTakesNoInput() {
    TempDir tmp;
    TestForm form;
    form.setProductCheck([] { return platform::ProductStatus::closed(); });
    form.DirectoryEditPravex->setText(QString::fromStdString(tmp.str()));
    bool ytlDuringRun = true;
    bool answeredDuringRun = false;
    bool answeredBeforeEnd = false;
    form.setRunJobs({[](RunHost&, Workspace&) { return true; },
                     [&](RunHost& host, Workspace&) {
                       host.setStatusVisible(true);
                       host.setGaugeVisible(true);
                       host.setStatusText("ACME şirketi oluşturuluyor.");
                       host.setGaugeMax(3);
                       // Events other than input are answered at progress points.
                       QTimer::singleShot(0, &form, [&] { answeredDuringRun = true; });
                       QTest::qSleep(60);
                       for (int i = 0; i < 5; ++i) host.advanceGauge();
                       answeredBeforeEnd = answeredDuringRun;
                       QTest::mouseClick(form.CheckBoxYTL, Qt::LeftButton, {}, QPoint(6, 6));
                       // Queued now, delivered only after the run: must not press "Kapat".
                       QCoreApplication::postEvent(
                           form.Button2, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, {}, " "));
                       QCoreApplication::postEvent(
                           form.Button2, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, {}, " "));
                       form.close();
                       ytlDuringRun = form.CheckBoxYTL->isChecked();
                       host.infoBox("İşlem tamamlandı");
                     }});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Button1Click();
    QCoreApplication::processEvents();  // whatever is still queued
    QVERIFY(!ytlDuringRun);
    QVERIFY(answeredBeforeEnd);
    QVERIFY(form.isVisible());  // neither the close box nor the queued key acted
    QCOMPARE(form.Label4->text(), QStringLiteral("ACME şirketi oluşturuluyor."));
    QCOMPARE(form.Gauge1->value(), 3);
    QCOMPARE(form.Gauge1->text(), QStringLiteral("100%"));
    QCOMPARE(form.infos, QStringList{QStringLiteral("İşlem tamamlandı")});
    QVERIFY(!form.running());
    // Input works again after the run.
    QTest::mouseClick(form.CheckBoxYTL, Qt::LeftButton, {}, QPoint(6, 6));
    QVERIFY(form.CheckBoxYTL->isChecked());
  }

  void gauge_data() {
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("advances");
    QTest::addColumn<int>("laterMaximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::newRow("no items") << 0 << 3 << 0 << 0 << "0%";
    QTest::newRow("quarter") << 4 << 1 << 4 << 1 << "25%";
    QTest::newRow("whole percent, rounded down") << 3 << 2 << 3 << 2 << "66%";
    QTest::newRow("stays at the maximum") << 3 << 5 << 3 << 3 << "100%";
    QTest::newRow("smaller maximum clamps") << 10 << 8 << 5 << 5 << "100%";
  }
  void gauge() {
    QFETCH(int, maximum);
    QFETCH(int, advances);
    QFETCH(int, laterMaximum);
    TestForm form;
    form.show();
    form.setGaugeVisible(true);
    form.setGaugeMax(maximum);
    form.setGaugePosition(0);
    for (int i = 0; i < advances; ++i) form.advanceGauge();
    form.setGaugeMax(laterMaximum);
    QTEST(form.Gauge1->progress(), "position");
    QTEST(form.Gauge1->text(), "text");
  }

  void failureGoesToTheErrorBoxNotTheInfoBox() {
    TempDir tmp;
    TestForm form;
    form.setProductCheck([] { return platform::ProductStatus::closed(); });
    form.DirectoryEditPravex->setText(QString::fromStdString(tmp.str()));
    form.setRunJobs({[](RunHost&, Workspace&) { return true; },
                     [](RunHost&, Workspace&) { throw std::runtime_error("Disk dolu"); }});
    form.Button1Click();
    QCOMPARE(form.errors, QStringList{QStringLiteral("Disk dolu.")});
    QVERIFY(form.infos.isEmpty());
  }

  void browseStartsAtTheTypedDirectoryOrTheRoot() {
    TempDir tmp;
    TestForm form;
    const QString real = QString::fromStdString(std::filesystem::canonical(tmp.path()).string());
    form.DirectoryEditPravex->setText(QString::fromStdString(tmp.str() + "\\"));
    QCOMPARE(form.DirectoryEditPravex->browseStart(), real);
    form.DirectoryEditPravex->setText(QString::fromStdString(tmp.str() + "/yok/daha"));
    QCOMPARE(form.DirectoryEditPravex->browseStart(), real);
    form.DirectoryEditPravex->setText(QStringLiteral("   "));
    QCOMPARE(form.DirectoryEditPravex->browseStart(), QStringLiteral("/"));
  }

  // The folder dialog speaks Turkish, opens at the typed directory through
  // the drive map, and a folder chosen on drive C: goes back into the edit
  // in the form typed on Windows.
  void folderDialogAnswersInWindowsForm() {
    TempDir prefix;
    prefix.write("drive_c/ZEFIRTAK/KMX3/DATA/sirket.db", "r");
    prefix.write("drive_c/ZEFIRTAK/KMX2/DATA/sirket.db", "r");
    std::filesystem::create_directories(prefix.path() / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix.path() / "dosdevices" / "c:");
    std::filesystem::create_directory_symlink("/", prefix.path() / "dosdevices" / "z:");
    const QByteArray oldPrefix = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.str()));
    const QString kmx2 = QString::fromStdString(
        std::filesystem::canonical(prefix.path() / "drive_c/ZEFIRTAK/KMX2/DATA").string());

    TestForm form;
    form.show();
    QString openedAt;
    QString chooseText;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      openedAt = dialog->directory().absolutePath();
      auto* buttons = dialog->findChild<QDialogButtonBox*>();
      if (buttons == nullptr) {
        dialog->reject();  // the comparisons below then fail
        return;
      }
      QPushButton* choose = buttons->button(QDialogButtonBox::Open);
      chooseText = choose->text().remove(QLatin1Char('&'));
      dialog->setDirectory(kmx2);
      choose->click();
    });
    form.DirectoryEditPravex->browseButton()->click();
    qputenv("WINEPREFIX", oldPrefix);

    QCOMPARE(
        openedAt,
        QString::fromStdString(
            std::filesystem::canonical(prefix.path() / "drive_c/ZEFIRTAK/KMX3/DATA").string()));
    QCOMPARE(chooseText, QStringLiteral("Seç"));
    QCOMPARE(form.DirectoryEditPravex->text(), QStringLiteral("C:\\ZEFIRTAK\\KMX2\\DATA"));
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
