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

#include "main/form/form1layout.h"
#include "main/form/form1view.h"

// The model's boxes over `parent`, application modal: a message with its
// one button, and a question whose Esc and close box answer as its last
// button.
void ShowMessageBox(QWidget* parent, const form1::Message& message);
form1::Answer AskQuestion(QWidget* parent, const form1::Question& question);

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
  TPanel(form1::Bevel bevel, QWidget* parent);
  form1::Bevel bevel() const { return m_bevel; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  form1::Bevel m_bevel;
};

// A horizontal gauge with its percentage as text, showing a maximum,
// position and text that the window's model works out (form1::Gauge).
class TGauge : public QProgressBar {
 public:
  explicit TGauge(QWidget* parent);
  void setState(int maximum, int position, const QString& text);
  QString text() const override { return m_text; }

 private:
  QString m_text;
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
  // Emits idToggled when the selection changes.
  QButtonGroup* buttons() { return &m_buttons; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QStringList m_items;
  QButtonGroup m_buttons;
};

// A text edit with a browse button. The window's model decides where the
// folder dialog opens and what a chosen folder puts into the edit.
class TDirectoryEdit : public QWidget {
 public:
  TDirectoryEdit(const QString& browseCaption, QWidget* parent);
  QLineEdit* edit() const { return m_edit; }
  QToolButton* browseButton() const { return m_browse; }
  QString text() const { return m_edit->text(); }
  void setText(const QString& text) { m_edit->setText(text); }

 private:
  QLineEdit* m_edit;
  QToolButton* m_browse;
};
