#include "main/window/reportwindow.h"

#include <QtTest>

#include "support/report_lines.h"

using fixture::reportLine;

class ReportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The presentation's rows become table rows: a differing line highlighted,
  // its records spanning the rest of their row.
  void rendersThePresentation() {
    report::RunReport r;
    report::ReportLine borc = reportLine("borç bakiyeleri", false, 25);
    borc.detail = "KTBKY → KDBKY";
    r.companies.push_back(
        {"2005_001", "2006_001", "Merkez Ticaret", {reportLine("kart sayısı", true), borc}});
    r.companies.push_back({"2005_002", "2006_002", "Şube", {reportLine("kart sayısı", true)}});
    TReportWindow w(r, QString());
    QCOMPARE(w.Companies->count(), 2);
    QCOMPARE(w.Companies->tabText(0), QStringLiteral("2005_001 → 2006_001 (fark var)"));
    QVERIFY(!w.ButtonOpen->isEnabled());
    QTableWidget* t = w.table(0);
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("borç bakiyeleri"));
    QCOMPARE(t->item(0, 1)->toolTip(), QStringLiteral("KTBKY → KDBKY"));  // for support
    QCOMPARE(t->item(2, 1)->toolTip(), QString());
    QVERIFY(t->item(0, 1)->background().color() != t->item(2, 1)->background().color());
    QVERIFY(t->item(0, 1)->font().bold());
    QCOMPARE(t->item(0, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(t->columnSpan(1, 1), 6);
    QVERIFY(t->item(1, 1)->text().startsWith(QStringLiteral("Farklı kayıtlar (ilk 20")));
  }

  // The home of the after-carry actions: the openings check's rows, a
  // button per action before the open button; an action that has nothing
  // to do says so and leaves the window open.
  void rendersTheHomeOfTheActions() {
    report::OpeningsReport checked;
    checked.fromYear = "2005", checked.toYear = "2006", checked.date = "2006-02-01 10:00";
    report::CompanyOpenings c;
    c.oldCode = "2005_001", c.newCode = "2006_001", c.shortName = "Merkez";
    c.differences.push_back({"Cari hesaplar",
                             "120.01",
                             "TL bakiyesi",
                             "250,00 Borç",
                             "300,00 Borç",
                             50,
                             false,
                             {},
                             report::StaleCause::kLateEntry});
    checked.companies.push_back(c);
    int previews = 0;
    form1::HomeAction action;
    action.caption = "Açılışları güncelle";
    action.preview = [&] {
      ++previews;
      return form1::HomeAction::Preview{"Güncellenecek açılış yok.", false};
    };
    form1::AfterCarryHome home([&] { return report::PresentOpenings(checked, "x.html"); },
                               {action});
    TReportWindow w(home);
    QCOMPARE(w.windowTitle(), QStringLiteral("Devir Değerleri Denetimi"));
    QCOMPARE(w.table(0)->item(0, 1)->text(), QStringLiteral("120.01 TL bakiyesi"));
    QCOMPARE(w.table(0)->item(0, 3)->text(), QStringLiteral("300,00 Borç"));
    QCOMPARE(int(w.Actions.size()), 1);
    QCOMPARE(w.Actions[0]->text(), QStringLiteral("Açılışları güncelle"));
    QVERIFY(w.ButtonOpen->isEnabled());
    w.show();
    QTimer::singleShot(0, [] {
      if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    w.Actions[0]->click();
    QCOMPARE(previews, 1);
    QVERIFY(w.isVisible());
  }

  // A line's row holds the dots of "İ" and "Ö" two pixels below its top,
  // clear of the focus rectangle and the grid line.
  void rowsHoldTheDotsOfTurkishCapitals() {
    report::RunReport r;
    r.companies.push_back({"2005_001", "2006_001", "A", {reportLine("İÖ", true)}});
    TReportWindow w(r, QString());
    w.show();
    QTableWidget* t = w.table(0);
    const QFontMetrics metrics(t->font());
    int top = 0;
    for (QChar capital : QStringLiteral("İÖÜÇ"))
      top = std::min(top, metrics.boundingRect(capital).top());
    const int height = t->rowHeight(0);
    const int dots = (height - metrics.height()) / 2 + metrics.ascent() + top;
    QVERIFY2(dots >= 2, qPrintable(QStringLiteral("%1 px row, dots at %2").arg(height).arg(dots)));
  }
};

QTEST_MAIN(ReportWindowTest)
#include "reportwindow_test.moc"
