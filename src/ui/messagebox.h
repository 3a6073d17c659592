// The modal message boxes of the windows: an icon, a caption, the text and
// the one button "Tamam" (with Qt's Turkish translations loaded).
#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

// The widest a message box's text may grow before its lines wrap.
constexpr int kMaxMessageTextWidth = 760;

// A box for `text` (lines broken by "\n"). Qt wraps any text wider than
// about 500 pixels; this box is instead as wide as its longest line, up to
// kMaxMessageTextWidth, so each line of a message stays whole.
std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString& caption,
                                            const QString& text, QWidget* parent);
