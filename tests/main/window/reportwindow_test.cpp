#include "main/window/reportwindow.h"

#include <QtTest>
#include <filesystem>

#include "carry/carryforward.h"
#include "jobs/workspace.h"
#include "report/reportfiles.h"
#include "support/company_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

using fixture::TempDir;

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
  // Differing lines come first, highlighted, each followed by its records.
  void differencesComeFirstAndStandOut() {
    report::RunReport r;
    r.date = "2026-12-07 14:05";
    r.companies.push_back({"2005_001",
                           "2006_001",
                           "Merkez Ticaret",
                           {line("kart sayısı", true), line("borç bakiyeleri", false, 25)}});
    r.companies.push_back({"2005_002", "2006_002", "Şube", {line("kart sayısı", true)}});
    TReportWindow w(r, QString());
    QCOMPARE(w.Companies->count(), 2);
    QVERIFY(w.Companies->tabText(0).contains(QStringLiteral("fark var")));
    QVERIFY(!w.Companies->tabText(1).contains(QStringLiteral("fark var")));
    QVERIFY(!w.ButtonOpen->isEnabled());
    QTableWidget* t = w.table(0);
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("borç bakiyeleri"));
    QCOMPARE(t->item(0, 6)->text(), QStringLiteral("FARKLI"));
    QVERIFY(t->item(0, 1)->background().color() != t->item(2, 1)->background().color());
    QVERIFY(t->item(1, 1)->text().contains(QStringLiteral("(ilk 20, toplam 25)")));
    QVERIFY(t->item(1, 1)->text().contains(QStringLiteral("120.00: beklenen 1, bulunan 1,50")));
    QCOMPARE(t->item(2, 6)->text(), QStringLiteral("uyuyor"));
  }

  // After a real carry-forward the report is saved before the question, and
  // the question says that every line agrees.
  void offeredAfterACarryForward() {
    TempDir tmp;
    const std::filesystem::path data = tmp.path() / "DATA";
    fixture::DataDir dir(data);
    dir.registry().company("2005_001", "Merkez Ticaret", 2005);
    dir.company("2005_001").withCard("120.01", 250'000'000, "Alacak").withCheque("Kasada", 15'000);
    dir.write();
    RecordingHost host;
    host.carry2005(data.string(), true);
    Workspace ws;
    RunCarryForward(host, ws);
    QCOMPARE(host.infos.back(), std::string("İşlem tamamlandı"));
    QStringList questions;
    OfferCarryReport(nullptr, host, ws, [&](const QString& q) {
      questions << q;
      return false;
    });
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].contains(QStringLiteral("tüm satırlar uyuyor")));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(data / report::kReportFolderName),
                           std::filesystem::directory_iterator()),
             2);
  }
};

QTEST_MAIN(ReportWindowTest)
#include "reportwindow_test.moc"
