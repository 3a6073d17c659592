// The button forwards real Qt input to its model (whose rules are tested in
// tests/ui/model/button_test.cpp) and does what it answers: menus, focus
// reasons, the click sequence with ModalResult and the Action.
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "ui/zfwinbutton.h"

namespace {

void sendMouse(TZfWinButton* b, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(at), b->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(b, &e);
}
void press(TZfWinButton* b, QPoint at = {50, 15}, Qt::MouseButton button = Qt::LeftButton) {
  sendMouse(b, QEvent::MouseButtonPress, at, button, button);
}
void release(TZfWinButton* b, QPoint at = {50, 15}) {
  sendMouse(b, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
void moveHeld(TZfWinButton* b, QPoint at) {
  sendMouse(b, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
// Keys go in as the window system delivers them (QTest marks them
// spontaneous); only the auto-repeat release is built by hand.
void key(TZfWinButton* b, QEvent::Type type, int k, bool autoRepeat = false) {
  if (autoRepeat) {
    QKeyEvent e(type, k, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(b, &e);
  } else if (type == QEvent::KeyPress) {
    QTest::keyPress(b, Qt::Key(k));
  } else {
    QTest::keyRelease(b, Qt::Key(k));
  }
}

// Closes a menu as soon as it shows, and counts how often it showed.
struct ClosingMenu {
  QMenu menu;
  int shown = 0;
  ClosingMenu() {
    menu.addAction(QStringLiteral("Bir"));
    QObject::connect(&menu, &QMenu::aboutToShow, [this] {
      ++shown;
      QTimer::singleShot(0, &menu, &QMenu::close);
    });
  }
};

}  // namespace

class ZfWinButtonInputTest : public QObject {
  Q_OBJECT

 private slots:
  void aboutIsReadOnly() {
    TZfWinButton b;
    QVERIFY(b.setProperty("About", QStringLiteral("y")));
    QCOMPARE(b.about(), QStringLiteral("s1.05"));
  }

  void parentColorFollowsTheParent() {
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(pal);
    TZfWinButton b(&parent);
    b.setParentColor(true);
    QCOMPARE(b.color(), QColor(10, 20, 30));
    b.setColor(QColor(1, 2, 3));  // an own colour ends ParentColor
    QVERIFY(!b.parentColor());
    QCOMPARE(b.color(), QColor(1, 2, 3));
  }

  void pressAndReleaseClicks() {
    TZfWinButton b;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QSignalSpy downs(&b, &TZfWinButton::mouseDown);
    press(&b);
    QVERIFY(b.isPressedLook());
    QVERIFY(b.isHeld());
    QCOMPARE(downs.count(), 1);
    QCOMPARE(clicks.count(), 0);
    release(&b);
    QVERIFY(!b.isPressedLook());
    QVERIFY(!b.isHeld());
    QCOMPARE(clicks.count(), 1);
  }

  void returningWhileHeldResumesThePress() {
    TZfWinButton b;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QSignalSpy downs(&b, &TZfWinButton::mouseDown);
    QSignalSpy moves(&b, &TZfWinButton::mouseMove);
    press(&b);
    moveHeld(&b, {150, 15});
    QVERIFY(!b.isPressedLook());
    moveHeld(&b, {40, 12});
    QVERIFY(b.isPressedLook());
    QCOMPARE(moves.count(), 2);
    QCOMPARE(downs.count(), 2);
    QCOMPARE(downs.at(1).at(2).toPoint(), QPoint(10, 10));
    release(&b);
    QCOMPARE(clicks.count(), 1);
  }

  // Scripts of keys: "space" is a press, "^space" a release, "~space" an
  // auto-repeat release. The rules are the model's; these prove the keys
  // and the auto-repeat flag reach it.
  void keyboard_data() {
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("pressedAfter");
    QTest::newRow("space down and up clicks") << QStringList{"space", "^space"} << 1 << false;
    QTest::newRow("held space repeats without clicking")
        << QStringList{"space", "~space", "space", "~space", "space"} << 0 << true;
    QTest::newRow("keypad enter clicks") << QStringList{"enter"} << 1 << false;
  }
  void keyboard() {
    QFETCH(QStringList, script);
    QFETCH(int, clicks);
    QFETCH(bool, pressedAfter);
    const QHash<QString, int> keys{{"space", Qt::Key_Space}, {"enter", Qt::Key_Enter}};
    TZfWinButton b;
    QSignalSpy spy(&b, &QAbstractButton::clicked);
    for (QString step : script) {
      QEvent::Type type = QEvent::KeyPress;
      bool repeat = false;
      if (step.startsWith('^') || step.startsWith('~')) {
        type = QEvent::KeyRelease;
        repeat = step.startsWith('~');
        step.remove(0, 1);
      }
      QVERIFY2(keys.contains(step), qPrintable(step));
      key(&b, type, keys.value(step), repeat);
    }
    QCOMPARE(spy.count(), clicks);
    QCOMPARE(b.isPressedLook(), pressedAfter);
  }

  void dropDownMenuOpensAndNeverClicks_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("space") << "space";
    QTest::newRow("enter") << "enter";
  }
  void dropDownMenuOpensAndNeverClicks() {
    QFETCH(QString, how);
    QWidget window;
    auto* b = new TZfWinButton(&window);
    window.show();
    ClosingMenu drop;
    b->setDropDownMenu(&drop.menu);
    QSignalSpy clicks(b, &QAbstractButton::clicked);
    if (how == "mouse") {
      press(b);
      release(b);
    } else if (how == "space") {
      key(b, QEvent::KeyPress, Qt::Key_Space);
      key(b, QEvent::KeyRelease, Qt::Key_Space);
    } else {
      key(b, QEvent::KeyPress, Qt::Key_Return);
    }
    QCOMPARE(drop.shown, 1);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!b->isPressedLook());
    QVERIFY(!b->isHeld());
  }

  void forgetsADestroyedMenu() {
    TZfWinButton b;
    auto* menu = new QMenu;
    b.setDropDownMenu(menu);
    delete menu;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    key(&b, QEvent::KeyPress, Qt::Key_Space);
    key(&b, QEvent::KeyRelease, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);  // an ordinary button again
  }

  void rightClickOpensThePopupMenuOnly() {
    QWidget window;
    auto* b = new TZfWinButton(&window);
    window.show();
    QSignalSpy clicks(b, &QAbstractButton::clicked);
    press(b, {20, 10}, Qt::RightButton);  // no menu: nothing happens
    ClosingMenu popup;
    b->setPopupMenu(&popup.menu);
    press(b, {20, 10}, Qt::RightButton);
    QCOMPARE(popup.shown, 1);
    QVERIFY(!b->isPressedLook());
    QCOMPARE(clicks.count(), 0);
  }

  void focusChangeClearsBothFlags_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("clears");
    QTest::newRow("gained by backtab")
        << int(QEvent::FocusIn) << int(Qt::BacktabFocusReason) << true;
    QTest::newRow("lost to a menu") << int(QEvent::FocusOut) << int(Qt::PopupFocusReason) << false;
    // The click that activates its window keeps its press.
    QTest::newRow("gained, window activated")
        << int(QEvent::FocusIn) << int(Qt::ActiveWindowFocusReason) << false;
  }
  void focusChangeClearsBothFlags() {
    QFETCH(int, type);
    QFETCH(int, reason);
    QFETCH(bool, clears);
    TZfWinButton b;
    press(&b);
    QFocusEvent e{static_cast<QEvent::Type>(type), static_cast<Qt::FocusReason>(reason)};
    QApplication::sendEvent(&b, &e);
    QCOMPARE(b.isPressedLook(), !clears);
    QCOMPARE(b.isHeld(), !clears);
  }

  void clickEndsTheModalDialogBeforeOnClick_data() {
    QTest::addColumn<bool>("throughBase");
    QTest::newRow("own click") << false;
    QTest::newRow("QAbstractButton::click") << true;
  }
  void clickEndsTheModalDialogBeforeOnClick() {
    QFETCH(bool, throughBase);
    QDialog dialog;
    auto* b = new TZfWinButton(&dialog);
    b->setModalResult(7);
    int resultSeenByOnClick = -1;
    connect(b, &QAbstractButton::clicked, [&] { resultSeenByOnClick = dialog.result(); });
    QTimer::singleShot(0, b, [b, throughBase] {
      if (throughBase)
        static_cast<QAbstractButton*>(b)->click();
      else
        b->click();
    });
    QCOMPARE(dialog.exec(), 7);
    QCOMPARE(resultSeenByOnClick, 7);
  }

  void actionIsTriggeredAndFollowed() {
    QAction action(QStringLiteral("Devir-Upgrade"));
    TZfWinButton b;
    b.setAction(&action);
    QCOMPARE(b.text(), QStringLiteral("Devir-Upgrade"));
    QSignalSpy triggered(&action, &QAction::triggered);
    b.click();
    QCOMPARE(triggered.count(), 1);
    action.setEnabled(false);
    QVERIFY(!b.isEnabled());
  }
};

QTEST_MAIN(ZfWinButtonInputTest)
#include "zfwinbutton_input_test.moc"
