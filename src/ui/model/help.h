// The help window (TForm2) without a toolkit: its fixed text, its captions
// and hint, the rules of its caption, keys and about box, and its layout.
#pragma once

#include <string>
#include <vector>

#include "ui/model/geometry.h"

namespace uimodel {

inline constexpr const char* kContactCaption = "İrtibat";
inline constexpr const char* kCloseCaption = "Kapat";
// Both buttons' hint.
inline constexpr const char* kHelpButtonHint = "Kapat ";

// The help text, one entry per line. Fixed at build time; the memo does not
// wrap it, so each line fits the window's width.
const std::vector<std::string>& HelpLines();

// What "İrtibat" sets on the about component before it runs it.
struct AboutRequest {
  std::string caption;      // the help window's caption
  std::string programName;  // the program's name and version
};

class HelpWindow {
 public:
  // At each showing the window takes the main window's caption.
  void shown(const std::string& mainWindowCaption) { m_caption = mainWindowCaption; }
  const std::string& caption() const { return m_caption; }
  AboutRequest aboutRequest() const;
  // The window sees every key before the focused control: Esc closes it.
  static bool ClosesOn(Key key) { return key == Key::Escape; }

 private:
  std::string m_caption;
};

// A 624 x 458 client area: the memo across the top, the two buttons under
// it ("İrtibat" at the left, "Kapat" in the middle), the status bar along
// the bottom.
struct HelpLayout {
  Size window;
  Rect memo;
  Rect contactButton;
  Rect closeButton;
  Rect statusBar;
};
extern const HelpLayout kHelpLayout;

}  // namespace uimodel
