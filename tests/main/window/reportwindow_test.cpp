#include "main/window/reportwindow.h"

#include <QtTest>

namespace {

report::ReportLine line(const char* label, bool agrees, std::size_t items = 0) {
  report::ReportLine l;
  l.section = "Cari hesaplar";
  l.label = label;
  l.old = 1'000'000;
  l.expected = 1;
  l.found = agrees ? 1 : 1.5;
  l.agrees = agrees;
  l.differingItems = items;
  for (std::size_t i = 0; i < std::min(items, report::kMaxItemsShown); ++i)
    l.items.push_back({"120.0" + std::to_string(i), "1", "1,50"});
  return l;
}

}  // namespace

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The presentation's rows become table rows: a differing line highlighted,
  // its records spanning the rest of their row.
  void rendersThePresentation() {
    report::RunReport r;
    r.companies.push_back({"2005_001",
                           "2006_001",
                           "Merkez Ticaret",
                           {line("kart sayısı", true), line("borç bakiyeleri", false, 25)}});
    r.companies.push_back({"2005_002", "2006_002", "Şube", {line("kart sayısı", true)}});
    TReportWindow w(r, QString());
    QCOMPARE(w.Companies->count(), 2);
    QCOMPARE(w.Companies->tabText(0), QStringLiteral("2005_001 → 2006_001 (fark var)"));
    QVERIFY(!w.ButtonOpen->isEnabled());
    QTableWidget* t = w.table(0);
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("borç bakiyeleri"));
    QVERIFY(t->item(0, 1)->background().color() != t->item(2, 1)->background().color());
    QVERIFY(t->item(0, 1)->font().bold());
    QCOMPARE(t->item(0, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(t->columnSpan(1, 1), 6);
    QVERIFY(t->item(1, 1)->text().startsWith(QStringLiteral("Farklı kayıtlar (ilk 20")));
  }
};

QTEST_MAIN(ReportWindowTest)
#include "reportwindow_test.moc"
