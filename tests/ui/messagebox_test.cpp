#include "ui/messagebox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "ui/fonts.h"
#include "ui/turkish.h"

class MessageBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    installFontSubstitutes();
    QVERIFY2(installTurkishTranslations(), "Qt's Turkish translations are not installed");
  }

  // Every line of a message stays on one line of the box; the one button
  // reads "Tamam"; the box carries the standard icon of its kind.
  void linesStayWhole_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("text");
    QTest::newRow("two long lines")
        << int(QMessageBox::Information)
        << QStringLiteral(
               "Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex versiyonunun "
               "kullandığı\nDATA dizininin tam yolunu giriniz");
    QTest::newRow("one long line")
        << int(QMessageBox::Information)
        << QStringLiteral(
               "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız");
    QTest::newRow("registry") << int(QMessageBox::Information)
                              << QStringLiteral(
                                     "Pravex programının şirket bilgilerine "
                                     "ulaşılamadı.\nData dizininin yolunu kontrol ediniz.");
    QTest::newRow("short error") << int(QMessageBox::Critical) << QStringLiteral("Disk dolu.");
  }
  void linesStayWhole() {
    QFETCH(int, icon);
    QFETCH(QString, text);
    auto box = makeMessageBox(QMessageBox::Icon(icon), QStringLiteral("Bilgi"), text, nullptr);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const auto buttons = box->buttons();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.first()->text().remove(QLatin1Char('&')), QStringLiteral("Tamam"));
    QVERIFY(!box->iconPixmap().isNull());
    QVERIFY(buttons.first()->icon().isNull());
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    const QFontMetrics metrics(label->font());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines)
      QVERIFY2(metrics.horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
    QCOMPARE(label->heightForWidth(label->width()), lines.size() * metrics.lineSpacing());
  }

  // A text wider than the limit wraps at the limit instead of growing the box.
  void overlongLineWrapsAtTheLimit() {
    const QString text = QStringLiteral("Şirket ").repeated(60);
    auto box = makeMessageBox(QMessageBox::Information, QStringLiteral("Bilgi"), text, nullptr);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label->width() <= kMaxMessageTextWidth + 2);
    QVERIFY(label->height() > 2 * QFontMetrics(label->font()).lineSpacing());
  }
};

QTEST_MAIN(MessageBoxTest)
#include "messagebox_test.moc"
