// Small controls of the main window that Qt has no exact match for.
#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <QWidget>

// A title drawn twice: a grey shadow offset down and right, then the text.
class TLabel3D : public QWidget {
 public:
  TLabel3D(const QString& text, int shadowOffset, QWidget* parent);
  QString text() const { return m_text; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_text;
  int m_offset;
};

// A check box that fills its whole rectangle with the window's colour before
// it draws, as a Windows check box does: one that sits on a panel's edge hides
// the edge behind its caption. A box lower than the style's square gets a
// square of its own height instead of one cut off at the top and bottom.
class TCheckBox : public QCheckBox {
 public:
  TCheckBox(const QString& text, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A panel with Windows' bevels, each one pixel: none, a raised outer bevel
// (the default panel), or a lowered outer bevel around a raised inner one.
class TPanel : public QFrame {
 public:
  enum Bevel { kNoBevel, kRaised, kLoweredOuterRaisedInner };
  TPanel(Bevel bevel, QWidget* parent);
  Bevel bevel() const { return m_bevel; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bevel m_bevel;
};

// A horizontal gauge with its percentage as text. Setting a position
// repaints at once when the whole percentage changes, because during a run no
// event loop runs to do it later.
class TGauge : public QProgressBar {
 public:
  explicit TGauge(QWidget* parent);
  // Positions beyond the maximum stay at the maximum.
  void setProgress(int position);
  int progress() const { return value(); }
  void setMaxValue(int maximum);
  int maxValue() const { return m_max; }
  // The whole percentage done, rounded down ("66%" at 2 of 3).
  QString text() const override;

 private:
  int percent() const;

  int m_max = 0;
  int m_shownPercent = -1;
};

// A group of radio buttons laid out in columns (items fill a column top to
// bottom before the next), with the selected index as its value. As on
// Windows, the caption stands on the frame's top edge, so the items get the
// whole height below it, spread evenly.
class TRadioGroup : public QGroupBox {
 public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
  int itemIndex() const;
  void setItemIndex(int index);
  QStringList items() const { return m_items; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QStringList m_items;
  QButtonGroup m_buttons;
};

// A text edit with a browse button that opens the system's folder dialog at
// the directory in the edit or its nearest existing parent (at the root when
// there is none) and puts the chosen directory into the edit as the user
// would type it: "C:\\..." under a drive of the Wine prefix, else native.
class TDirectoryEdit : public QWidget {
 public:
  TDirectoryEdit(const QString& prompt, QWidget* parent);
  QLineEdit* edit() const { return m_edit; }
  QToolButton* browseButton() const { return m_browse; }
  QString text() const { return m_edit->text(); }
  void setText(const QString& text) { m_edit->setText(text); }
  // Where the folder dialog opens for the edit's current text.
  QString browseStart() const;

 private:
  void browse();

  QString m_prompt;
  QLineEdit* m_edit;
  QToolButton* m_browse;
};
