#include "carry/dialog/k_sirketsec.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScreen>
#include <QtTest>

#include "data/companylist.h"
#include "support/recording_host.h"
#include "ui/fonts.h"

namespace {

struct Row {
  const char* code;
  const char* name;
  Variant year;
  const char* newCode;
};

void fill(CompanyList& list, const std::vector<Row>& rows) {
  for (const Row& r : rows) {
    list.append();
    list.setValue("SIRKET_KOD", Variant{std::string(r.code)});
    list.setValue("KISA_AD", Variant{std::string(r.name)});
    list.setValue("NUMBER1", r.year);
    list.setValue("YENI_SIRKET_KOD", Variant{std::string(r.newCode)});
    list.setValue("DEVIR", Variant{true});
  }
}

// Dark pixels in the indicator's section of `row`.
int markPixels(TK_SirketSec& dialog, int row) {
  QHeaderView* header = dialog.DBGrid1->verticalHeader();
  const QImage image = header->viewport()->grab().toImage();
  const int top = header->sectionViewportPosition(row);
  int dark = 0;
  for (int y = top; y < top + header->sectionSize(row); ++y)
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 64;
  return dark;
}

std::vector<bool> selection(const CompanyList& list) {
  std::vector<bool> s;
  int devir = list.findField("DEVIR");
  for (std::size_t r = 0; r < list.rowCount(); ++r) {
    const auto* b = std::get_if<bool>(&list.valueAt(r, devir).value);
    s.push_back(b && *b);
  }
  return s;
}

}  // namespace

class SirketSecTest : public QObject {
  Q_OBJECT

 private:
  CompanyList list;
  RecordingHost host;

  void clickCell(TK_SirketSec& dialog, int row, int column) {
    QModelIndex cell = dialog.model()->index(row, column);
    QRect r = dialog.DBGrid1->visualRect(cell);
    QTest::mouseClick(dialog.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
  }

 private slots:
  void initTestCase() { installFontSubstitutes(); }  // as the program does

  void init() {
    list.clear();
    host = RecordingHost();
    fill(list, {{"2005_001", "ACME", Variant{2005.0}, "2006_001"},
                {"2005_002", "Şahin Ltd", Variant{2005.0}, "2006_003"},
                {"0000_003", "Boş Yıl", Variant{}, "2006_004"}});
    list.first();
  }

  void modelPassesTheTester() {
    CompanyListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.toggleSelected(1);
    model.toggleSelected(1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 5);
  }

  void columnsShowTheListFields() {
    CompanyListModel model(list);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Devret"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Şirket Kodu"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Kısa Adı"));
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Çalışma Yılı"));
    QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QStringLiteral("Yeni şirket kodu"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("X"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("Şahin Ltd"));
    QCOMPARE(model.data(model.index(0, 3)).toString(), QStringLiteral("2005"));
    QCOMPARE(model.data(model.index(2, 3)).toString(), QString());
    QCOMPARE(model.data(model.index(1, 4)).toString(), QStringLiteral("2006_003"));
    for (int c = 0; c < 5; ++c) QVERIFY(!(model.flags(model.index(0, c)) & Qt::ItemIsEditable));
  }

  void numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("year") << 2005.0 << "2005";
    QTest::newRow("fraction") << 2005.5 << "2005.5";
    QTest::newRow("large") << 1e20 << "1e+20";
  }
  void numberText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CompanyListModel::numberText(value), text);
  }

  void dialogLayoutAndCaption() {
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02"));
    TK_SirketSec dialog(list, host, &owner);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), owner.windowTitle());
    QCOMPARE(dialog.DBGrid1->columnWidth(0), 42);
    QCOMPARE(dialog.DBGrid1->columnWidth(1), 87);
    QCOMPARE(dialog.DBGrid1->columnWidth(4), 106);
    QCOMPARE(dialog.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPoint offCentre =
        dialog.geometry().center() - dialog.screen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 4);
  }

  // Columns without a width of their own are as wide as their fields show:
  // a short name of the full 30 characters is not cut, nor is a title, and
  // every column fits into the grid.
  void defaultColumnsShowWholeTexts() {
    const QString name = QStringLiteral("Özdemir İnşaat Taahhüt Ltd.Şti");
    QCOMPARE(name.size(), 30);
    list.moveTo(0);
    list.setValue("KISA_AD", Variant{name.toStdString()});
    TK_SirketSec dialog(list, host);
    dialog.show();
    QTableView* grid = dialog.DBGrid1;
    const QFontMetrics metrics(grid->font());
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    QCOMPARE(metrics.elidedText(name, Qt::ElideRight, grid->columnWidth(2) - 2 * margin), name);
    const int headerMargin = grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid);
    for (int column = 0; column < 5; ++column) {
      const QString title = dialog.model()->headerData(column, Qt::Horizontal).toString();
      if (column == 2 || column == 3)
        QVERIFY2(metrics.horizontalAdvance(title) + 2 * headerMargin <= grid->columnWidth(column),
                 qPrintable(title));
    }
    const int total = grid->horizontalHeader()->length();
    QVERIFY2(total <= grid->viewport()->width(), qPrintable(QString::number(total)));
  }

  // The indicator column marks the current row, and the mark follows a click.
  void indicatorMarksTheCurrentRow() {
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(markPixels(dialog, 0) > 0);
    QCOMPARE(markPixels(dialog, 1), 0);
    clickCell(dialog, 1, 1);
    QCOMPARE(markPixels(dialog, 0), 0);
    QVERIFY(markPixels(dialog, 1) > 0);
  }

  void whyARowStartsUnselectedShowsBelowTheGrid() {
    TK_SirketSec plain(list, host);
    QVERIFY(plain.Label3->isHidden());
    list.moveTo(1);
    list.setNote("2005_002 zaten 2006_001 koduyla 2006 yılına devredilmiş");
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(dialog.Label3->isVisible());
    QCOMPARE(dialog.Label3->text(),
             QStringLiteral("2005_002 zaten 2006_001 koduyla 2006 yılına devredilmiş"));
    QVERIFY(!dialog.Label3->geometry().intersects(dialog.Button2->geometry()));
  }

  void clickOnDevretTogglesOtherColumnsDoNot() {
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    clickCell(dialog, 1, 0);
    QCOMPARE(selection(list), (std::vector<bool>{true, false, true}));
    QCOMPARE(dialog.model()->data(dialog.model()->index(1, 0)).toString(), QString());
    for (int column = 1; column < 5; ++column) clickCell(dialog, 0, column);
    QCOMPARE(selection(list), (std::vector<bool>{true, false, true}));
    clickCell(dialog, 1, 0);
    QCOMPARE(selection(list), (std::vector<bool>{true, true, true}));
  }

  void tamamRefusesAnEmptySelectionAndStaysOpen() {
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int row = 0; row < 3; ++row) clickCell(dialog, row, 0);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(host.infos, std::vector<std::string>{"Devir işlemi için en az 1 şirket seçmelisiniz"});
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.confirmed());
    clickCell(dialog, 2, 0);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(dialog.confirmed());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(selection(list), (std::vector<bool>{false, false, true}));
    QCOMPARE(host.infos.size(), std::size_t(1));
  }

  void emptyListOnlyRepeatsTheRefusal() {
    list.clear();
    TK_SirketSec dialog(list, host);
    dialog.show();
    dialog.Button1Click();
    dialog.Button1Click();
    QCOMPARE(host.infos.size(), std::size_t(2));
    QVERIFY(!dialog.confirmed());
  }

  void vazgecAndCloseBoxEndWithoutMessage() {
    {
      TK_SirketSec dialog(list, host);
      dialog.show();
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
      QVERIFY(!dialog.confirmed());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    {
      TK_SirketSec dialog(list, host);
      dialog.show();
      dialog.close();
      QVERIFY(!dialog.confirmed());
    }
    QVERIFY(host.infos.empty());
    QCOMPARE(selection(list), (std::vector<bool>{true, true, true}));
  }
};

QTEST_MAIN(SirketSecTest)
#include "k_sirketsec_test.moc"
