// The about box's model: its texts, the memory figures, the team panel's
// toggle and keys, and the scrolling panels' arithmetic.
#include "ui/model/about.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/model/scrolltext.h"

namespace uimodel {
namespace {

TEST(AboutTexts, CreditsStatusAndTeam) {
  EXPECT_EQ(CreditLines("KMX Devir-Upgrade s2.04.02").at(0), "KMX Devir-Upgrade s2.04.02");
  EXPECT_EQ(AboutStatusText("KMX Devir-Upgrade s2.04.02"), "ZEFIRTAK KMX Devir-Upgrade s2.04.02");
  // Role headings followed by names, one blank line between the entries.
  const std::vector<std::string> team = ProgramTeam();
  ASSERT_GT(team.size(), 3u);
  EXPECT_FALSE(team.front().empty() || team.back().empty());
  for (std::size_t i = 1; i < team.size(); ++i)
    EXPECT_FALSE(team[i].empty() && team[i - 1].empty()) << i;
}

TEST(AboutTexts, PhysicalMemoryInKilobytes) {
  struct Case {
    std::uint64_t bytes;
    const char* separator;
    const char* shown;
  };
  const Case cases[] = {
      {17179869184ull, ".", "16.777.216 KB"},
      {17179869184ull, ",", "16,777,216 KB"},
      {1048575ull, ".", "1.023 KB"},  // whole kilobytes
      {1023ull, ",", "0 KB"},
      {524288ull, ".", "512 KB"},
      {5ull << 42, ",", "21,474,836,480 KB"},  // beyond 4 GiB of kilobytes
      {1ull << 30, "\u00a0", "1\u00a0048\u00a0576 KB"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatPhysicalMemory(c.bytes, c.separator), c.shown);
  EXPECT_EQ(FormatMemoryLoad(0), "0 %");
  EXPECT_EQ(FormatMemoryLoad(37), "37 %");
  EXPECT_EQ(FormatMemoryLoad(100), "100 %");
}

TEST(AboutWindow, ShowingToggleAndClosing) {
  AboutWindow w;
  w.toggleTeam();  // before showing: showing hides it again
  w.shown();
  EXPECT_TRUE(w.creditsRunning());
  EXPECT_FALSE(w.teamShown());
  EXPECT_FALSE(w.teamRunning());
  w.toggleTeam();
  EXPECT_TRUE(w.teamShown());
  EXPECT_TRUE(w.teamRunning());
  w.toggleTeam();
  EXPECT_FALSE(w.teamShown());
  EXPECT_FALSE(w.teamRunning());
  w.toggleTeam();
  w.closed();
  EXPECT_FALSE(w.creditsRunning());
  EXPECT_FALSE(w.teamRunning());
}

TEST(AboutWindow, Keys) {
  using A = AboutWindow::KeyAction;
  struct Case {
    Key key;
    unsigned modifiers;
    A action;
  };
  const Case cases[] = {
      {Key::T, kControl | kAlt, A::ToggleTeam},    {Key::T, kControl, A::None},
      {Key::T, kControl | kAlt | kShift, A::None}, {Key::Other, kControl | kAlt, A::None},
      {Key::Escape, kNoModifier, A::Close},
  };
  for (const Case& c : cases) EXPECT_EQ(AboutWindow::ActionFor(c.key, c.modifiers), c.action);
}

// A 100 x 40 panel with a 10 x 8 picture and two lines of 12 pixels.
const ScrollText kPanel{{100, 40}, {10, 8}, 2, 12};

TEST(ScrollText, StepsAndStartsAgain) {
  EXPECT_EQ(kPanel.contentHeight(), 8 + ScrollText::kPictureGap + 24);
  EXPECT_EQ((ScrollText{{100, 40}, {}, 2, 12}.contentHeight()), 24);
  const int cycle = 40 + kPanel.contentHeight();
  int offset = 0;
  for (int i = 1; i <= cycle; ++i) offset = kPanel.nextOffset(offset);
  EXPECT_EQ(offset, cycle);
  EXPECT_EQ(kPanel.nextOffset(offset), 0);  // the last line has left the top
}

TEST(ScrollText, PlacesWhatShows) {
  // At offset 0 the text waits below the bottom edge.
  EXPECT_EQ(kPanel.place(0).picture, (Rect{45, 40, 10, 8}));
  EXPECT_TRUE(kPanel.place(0).lines.empty());
  // Moved up 30: picture at 10, first line at 24, second at 36 (cut off).
  const ScrollText::Placement at = kPanel.place(30);
  EXPECT_EQ(at.picture, (Rect{45, 10, 10, 8}));
  ASSERT_EQ(at.lines.size(), 2u);
  EXPECT_EQ(at.lines[0].rect, (Rect{0, 24, 100, 12}));
  EXPECT_EQ(at.lines[1].rect, (Rect{0, 36, 100, 12}));
  // Moved up 67: only the second line's last pixel row shows.
  ASSERT_EQ(kPanel.place(67).lines.size(), 1u);
  EXPECT_EQ(kPanel.place(67).lines[0].index, 1);
}

}  // namespace
}  // namespace uimodel
