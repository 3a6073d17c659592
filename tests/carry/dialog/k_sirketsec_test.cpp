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

  // The grid's model over the selection, changed by a click as the grid does.
  void modelPassesTheTester() {
    CompanySelection selection(list, host);
    CompanyListModel model(selection);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.cellClick(model.index(1, 0));
    QCOMPARE(model.data(model.index(1, 0)).toString(), QString());
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Kısa Adı"));
    QCOMPARE(model.data(model.index(0, 3), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
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

  // A row holds the dots of "İ" and "Ö" two pixels below its top, clear of
  // the focus rectangle and the grid line (the text is centred in the row).
  void rowsHoldTheDotsOfTurkishCapitals() {
    TK_SirketSec dialog(list, host);
    dialog.show();
    const QFontMetrics metrics(dialog.DBGrid1->font());
    int top = 0;
    for (QChar capital : QStringLiteral("İÖÜÇ"))
      top = std::min(top, metrics.boundingRect(capital).top());
    const int height = dialog.DBGrid1->rowHeight(0);
    const int dots = (height - metrics.height()) / 2 + metrics.ascent() + top;
    QVERIFY2(dots >= 2, qPrintable(QStringLiteral("%1 px row, dots at %2").arg(height).arg(dots)));
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

  void notesShowBelowTheGridClearOfTheButtons() {
    TK_SirketSec plain(list, host);
    QVERIFY(plain.Label3->isHidden());
    list.moveTo(1);
    list.setNote("2005_002 zaten 2006_001 koduyla 2006 yılına devredilmiş");
    list.moveTo(2);
    list.setNote("0000_003 zaten devredilmiş");
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(dialog.Label3->isVisible());
    QCOMPARE(dialog.Label3->text().count(QLatin1Char('\n')), 1);
    QVERIFY(!dialog.Label3->geometry().intersects(dialog.Button2->geometry()));
  }

  // Real clicks reach the selection; the buttons close the dialog as their
  // rule says.
  void clicksReachTheSelectionAndTheButtonsCloseTheDialog() {
    TK_SirketSec dialog(list, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int row = 0; row < 3; ++row) clickCell(dialog, row, 0);
    clickCell(dialog, 1, 1);
    QCOMPARE(selection(list), (std::vector<bool>{false, false, false}));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(host.infos.size(), std::size_t(1));
    QVERIFY(dialog.isVisible());
    clickCell(dialog, 2, 0);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(dialog.confirmed());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(selection(list), (std::vector<bool>{false, false, true}));
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
