// The look this program's windows give their owner-drawn buttons.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;
class TZfWinButton;
class ZfImageList;

// Applies the windows' values to a button (uimodel::kWindowButtonLook):
// RaiseCol white, OverCol blue, caption in bold Arial of 11 pixels, black;
// grey font of 13 pixels; the parent's colour as face; glyph left of the
// caption.
void applyWindowButtonLook(TZfWinButton* button);

// A new button with that look, the caption and, when images is given, glyph
// imageIndex of that image list (not owned; the main window's 32 x 32 list).
TZfWinButton* makeWindowButton(QWidget* parent, const QString& caption, ZfImageList* images,
                               int imageIndex);

// The same with an own glyph (Glpyh) instead of an image-list entry. An own
// glyph is drawn as it is when the button is disabled, not embossed.
TZfWinButton* makeWindowButton(QWidget* parent, const QString& caption, const QPixmap& glyph);
