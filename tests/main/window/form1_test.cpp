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
  int selections = 0;

  void showMessage(const form1::Message& m) override { infos << QString::fromStdString(m.text); }
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
    QVERIFY(form.CheckBoxDevir->isChecked() && !form.CheckBoxUpgrade->isChecked());
    QVERIFY(!form.PanelUpgrade->isVisible() && !form.PanelYTL->isVisible());
    QVERIFY(form.Panel2->isVisible());
    QCOMPARE(form.DirectoryEditPravex->text(), QStringLiteral("C:\\ZEFIRTAK\\KMX3\\DATA"));
    QCOMPARE(form.EditPRBR->text(), QStringLiteral("Yeni Türk Lirası"));
    QVERIFY(form.EditPRBR->isReadOnly());
    QVERIFY(!form.RadioHAS->isEnabled() && form.RadioYUVARLA->isEnabled());
    QCOMPARE(form.RadioHAS->itemIndex(), 2);
    QVERIFY(!form.Label4->isVisible() && !form.Gauge1->isVisible());
    QCOMPARE(form.Button1->text(), QStringLiteral("Devir-Upgrade"));
  }

  // Real clicks, key presses and texts reach the model, and what the model
  // changes shows in the controls (the rules themselves: form1model_test).
  void userInputReachesTheModel() {
    TestForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.CheckBoxDevir, Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(form.model().runOptions().upgrade);
    QVERIFY(form.CheckBoxUpgrade->isChecked() && !form.CheckBoxUpgrade->isEnabled());
    QVERIFY(form.PanelUpgrade->isVisible() && !form.Panel2->isVisible());
    QTest::mouseClick(form.CheckBoxDevir, Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(form.CheckBoxYTL, Qt::LeftButton, {}, QPoint(6, 6));
    QVERIFY(form.PanelYTL->isVisible());
    form.RadioYUVARLA->setItemIndex(2);
    QCOMPARE(form.model().runOptions().rounding, 2);
    QTest::keyClicks(form.DirectoryEditOrLumex->edit(), "D:\\ESKI");
    QCOMPARE(form.model().runOptions().oldData.text(), std::string("D:\\ESKI"));

    type(form.Edit2, QStringLiteral("2ğ0a06x7"));
    QCOMPARE(form.Edit2->text(), QStringLiteral("2006"));
    QTest::keyClicks(form.Edit1, "2005");
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QTest::keyClick(form.Edit1, Qt::Key_Home);
    QTest::keyClick(form.Edit1, Qt::Key_Delete);
    QTest::keyClick(form.Edit1, Qt::Key_Return);
    QTest::keyClick(form.Edit1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.Edit1->text(), QStringLiteral("00"));
    QCOMPARE(form.model().runOptions().sourceYear + form.model().runOptions().targetYear,
             std::string("002006"));
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

  void runShowsProgressAndTakesNoInput() {
    TempDir tmp;
    TestForm form;
    form.setProductCheck([] { return platform::ProductStatus::closed(); });
    form.DirectoryEditPravex->setText(QString::fromStdString(tmp.str()));
    bool ytlDuringRun = true;
    bool answeredDuringRun = false;
    bool answeredBeforeEnd = false;
    form.setRunJobs({[](RunHost&, const RunOptions&, Workspace&) { return true; },
                     [&](RunHost& host, const RunOptions&, Workspace&) {
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
