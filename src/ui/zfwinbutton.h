// TZfWinButton: a push button that paints itself.
//
// Looks: normal (face, two black frames on the right and bottom, RaiseCol
// strips on the left and top), pressed (one black frame, content shifted by
// 2 pixels, caption in OverCol), focused (black frame, dotted rectangle 3
// pixels inside, caption in OverCol), hot (caption in OverCol while the mouse
// is over it) and disabled (caption in the grey font's colour, image-list
// glyph embossed). The glyph sits left, right, above or below the caption.
//
// The rules live in uimodel::ButtonModel (ui/model/button.h): this widget
// forwards every input event to it, does what it answers, and paints its
// paint plan.
//
// Clicking clears the pressed and held flags, repaints, hands ModalResult to
// an enclosing modal dialog (a non-zero value ends it) and then emits
// clicked() and triggers the Action, if any.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

#include "ui/imagelist.h"
#include "ui/model/button.h"

using GlyphAlign = uimodel::GlyphAlign;

class TZfWinButton : public QAbstractButton {
  Q_OBJECT
  Q_PROPERTY(QColor Color READ color WRITE setColor)
  Q_PROPERTY(QColor RaiseCol READ raiseCol WRITE setRaiseCol)
  Q_PROPERTY(QColor OverCol READ overCol WRITE setOverCol)
  Q_PROPERTY(QPixmap Glpyh READ glpyh WRITE setGlpyh)
  Q_PROPERTY(int ImageIndex READ imageIndex WRITE setImageIndex)
  Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)
  Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
  Q_PROPERTY(QFont GrayedFont READ grayedFont WRITE setGrayedFont)
  Q_PROPERTY(QColor GrayedColor READ grayedColor WRITE setGrayedColor)
  Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
  Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)
  Q_PROPERTY(bool ShowCaption READ showCaption WRITE setShowCaption)
  Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)
  Q_PROPERTY(QString About READ about WRITE setAbout)

 public:
  explicit TZfWinButton(QWidget* parent = nullptr);
  ~TZfWinButton() override;

  // Face colour; the parent's background while ParentColor is on. Setting a
  // colour switches ParentColor off.
  QColor color() const;
  void setColor(const QColor& c);
  bool parentColor() const { return m_parentColor; }
  void setParentColor(bool on);

  QColor raiseCol() const { return m_raiseCol; }
  void setRaiseCol(const QColor& c);
  QColor overCol() const { return m_overCol; }
  void setOverCol(const QColor& c);
  QColor fontColor() const { return m_fontColor; }
  void setFontColor(const QColor& c);
  QFont grayedFont() const { return m_grayedFont; }
  void setGrayedFont(const QFont& f);
  QColor grayedColor() const { return m_grayedColor; }
  void setGrayedColor(const QColor& c);

  // Own glyph; wins over the image list. A glyph without an alpha channel
  // takes its bottom-left pixel's colour as the transparent colour.
  QPixmap glpyh() const { return m_glyph; }
  void setGlpyh(const QPixmap& glyph);
  GlyphAlign glphyAlign() const { return m_model.align(); }
  void setGlphyAlign(GlyphAlign align);
  // The image list is not owned; the button forgets it when it is destroyed.
  ZfImageList* images() const { return m_images; }
  void setImages(ZfImageList* images);
  int imageIndex() const { return m_imageIndex; }
  void setImageIndex(int index);

  // Menus are not owned; the button forgets a menu that is destroyed.
  QMenu* dropDownMenu() const { return m_dropDown; }
  void setDropDownMenu(QMenu* menu);
  QMenu* popupMenu() const { return m_popup; }
  void setPopupMenu(QMenu* menu);
  // The action is triggered on each click; its text, enabled state, hint and
  // visibility are taken over while it is set.
  QAction* action() const { return m_action; }
  void setAction(QAction* action);

  int modalResult() const { return m_modalResult; }
  void setModalResult(int result) { m_modalResult = result; }
  bool tabStop() const { return m_model.tabStop(); }
  void setTabStop(bool on);
  bool showCaption() const { return m_model.showCaption(); }
  void setShowCaption(bool on);
  // The hint is the tool tip; it pops up only while ShowHint is on.
  bool showHint() const { return m_showHint; }
  void setShowHint(bool on) { m_showHint = on; }
  QString about() const { return QString::fromLatin1(uimodel::kButtonAbout); }
  void setAbout(const QString&) {}

  bool isPressedLook() const { return m_model.isPressed(); }
  bool isHeld() const { return m_model.isHeld(); }
  bool isHot() const { return m_model.isHot(); }

  // 100 x 30, or larger when the glyph and caption need it.
  QSize sizeHint() const override;

  // Clears both flags, repaints and emits clicked(). Every clicked() first
  // ends an enclosing modal dialog with ModalResult when that is not 0 and
  // triggers the Action, then reaches the other receivers (OnClick).
  void click();

 signals:
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
  void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  // A left press at pos: takes the focus when the model asks, then presses.
  void pressLeft(QPoint pos, Qt::KeyboardModifiers modifiers);
  // Does what the model answered, in order, and stops when a handler has
  // destroyed the button. Returns whether the key event that caused it goes
  // on to the window. `mouseAt` is where a popup menu opens.
  bool perform(const uimodel::ButtonActions& actions, Qt::KeyboardModifiers modifiers,
               QPoint mouseAt = {});
  void openDropDown();
  // The model, told first which menus still exist and whether the button
  // is enabled (a button built inside a disabled parent hears of no change).
  uimodel::ButtonModel& model();
  void syncFromAction();
  void handOnModalResult();

  // Painting helpers (zfwinbutton_paint.cpp).
  QPixmap currentGlyph(bool* fromImageList) const;
  QSize captionSize() const;
  QColor colourOf(uimodel::ButtonColour colour) const;
  void paintOp(QPainter& p, const uimodel::ButtonPaintOp& op, const QPixmap& glyph) const;

  uimodel::ButtonModel m_model;
  QColor m_color;
  QColor m_raiseCol;
  QColor m_overCol;
  QColor m_fontColor;
  QFont m_grayedFont;
  QColor m_grayedColor;
  QPixmap m_glyph;
  QPointer<ZfImageList> m_images;
  int m_imageIndex = -1;
  QPointer<QMenu> m_dropDown;
  QPointer<QMenu> m_popup;
  QPointer<QAction> m_action;
  int m_modalResult = 0;
  bool m_parentColor = false;
  bool m_showHint = true;
};
