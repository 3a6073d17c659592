// The about box without a toolkit: what it shows (TZfAbout's texts, the
// credits, the contact lines, the memory figures), the rules of its window
// (TAboutF: the team panel's toggle, its keys) and the window's layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/model/geometry.h"

namespace uimodel {

// TZfAbout's read-only version text.
inline constexpr const char* kAboutComponentAbout = "s1.04";

// The maker's web page and the mail program, as the two links open them.
inline constexpr const char* kWebAddress = "http://www.zefirtak.com.tr";
inline constexpr const char* kMailLink = "mailto:";

// The texts of the about window.
inline constexpr const char* kTelephoneLine = "Tel : (0212) 555 41 70";
inline constexpr const char* kWebLabel = "www.zefirtak.com.tr";
inline constexpr const char* kMailLabel = "destek@zefirtak.com.tr";
inline constexpr const char* kPhysicalMemoryLabel = "Fiziksel Hafıza :";
inline constexpr const char* kMemoryLoadLabel = "Kullanımdaki Hafıza :";
inline constexpr const char* kAboutOkCaption = "Tamam";

// The credits panel's lines: the program's name, then the rights line and
// the maker's contact lines.
std::vector<std::string> CreditLines(const std::string& programName);
// The status bar's text: "ZEFIRTAK " and the program's name.
std::string AboutStatusText(const std::string& programName);
// The program's team list: role headings, each followed by names, with a
// blank line between the entries.
std::vector<std::string> ProgramTeam();

// The total physical memory in kilobytes (bytes / 1024) with `separator`
// between groups of three digits (the locale's thousands separator), then
// " KB".
std::string FormatPhysicalMemory(std::uint64_t bytes, std::string_view separator);
// The memory load: the number, a blank and a percent sign.
std::string FormatMemoryLoad(int percent);

// The about window's state: which scrolling panels run and whether the team
// panel shows. The view renders it after each call.
class AboutWindow {
 public:
  enum class KeyAction { None, ToggleTeam, Close };

  bool creditsRunning() const { return m_creditsRunning; }
  bool teamShown() const { return m_teamShown; }
  bool teamRunning() const { return m_teamRunning; }

  // Shown: the credits start; the team panel is hidden and stopped.
  void shown();
  // A click on the left picture or Ctrl+Alt+T: the team panel shows and
  // starts when hidden, and hides and stops when shown.
  void toggleTeam();
  // Closed: both panels stop.
  void closed();
  // Ctrl+Alt+T (letter T or t, with exactly Ctrl and Alt held) toggles the
  // team; Esc closes the window.
  static KeyAction ActionFor(Key key, unsigned modifiers);

 private:
  bool m_creditsRunning = false;
  bool m_teamShown = false;
  bool m_teamRunning = false;
};

// The about window's layout: a 430 x 460 client area; the left picture and
// the team panel over its lower part; the title strip at the top right; the
// main panel below it (the places inside it are relative to it); the
// status bar along the bottom. Labels are placed at a point and sized to
// their text.
struct AboutLayout {
  Size window;
  Rect leftPicture;
  Rect teamPanel;
  Rect title;  // the title image, and the title label over it
  Rect mainPanel;
  Rect logo;
  Rect creditsPanel;
  Point telephone;
  Point webLink;
  Point mailLink;
  Point physicalMemoryLabel;
  Point memoryLoadLabel;
  Point physicalMemory;
  Point memoryLoad;
  Rect okButton;
  Rect statusBar;
};
extern const AboutLayout kAboutLayout;

// The look of its parts.
inline constexpr Rgb kTeamGround{0, 0, 128};  // navy
inline constexpr Rgb kTeamText{255, 255, 160};
inline constexpr Rgb kCreditsGround{0, 0, 0};
inline constexpr Rgb kCreditsText{255, 255, 255};
inline constexpr Rgb kTitleText{255, 255, 255};
inline constexpr Rgb kLinkText{0, 0, 128};
inline constexpr const char* kTitleFontFamily = "Arial";
inline constexpr int kTitleFontPixels = 16;
// The small picture above the scrolling lines (the logo, scaled).
inline constexpr Size kPanelPicture{32, 32};

}  // namespace uimodel
