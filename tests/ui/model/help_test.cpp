// The help window's model: the help text's fixed parts and the rules of its
// caption, keys and about box.
#include "ui/model/help.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace uimodel {
namespace {

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

TEST(HelpText, KeepsItsFixedParts) {
  const std::vector<std::string>& lines = HelpLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "KMX Pravex Upgrade - YTL Devir Yardım");
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  for (const char* literal :
       {"\"Yeni Yıla Devir İşlemi Yap\"", "\"C:\\ZEFIRTAK\\KMX3\\DATA\"", "\"Devir-Upgrade\"",
        "\"İşlem tamamlandı\"", "\"Devret\"", "\"Tamam\"", "Orvan", "Lumex"})
    EXPECT_NE(text.find(literal), std::string::npos) << literal;
  EXPECT_TRUE(std::regex_search(text, std::regex(R"("C:\\ZEFIRTAK\\KMX[12]\\DATA")")));

  // The warning comes before the procedures, numbered 1 to 3 in order, each
  // with steps that start with a dash.
  int warning = -1;
  std::vector<int> starts;
  for (int i = 0; i < int(lines.size()); ++i) {
    if (lines[i].rfind("ÖNEMLİ :", 0) == 0) warning = i;
    if (lines[i].size() > 1 && lines[i][1] == '.' && lines[i][0] == char('1' + starts.size()))
      starts.push_back(i);
  }
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_GT(warning, 1);
  EXPECT_LT(warning, starts[0]);
  for (int s : starts) EXPECT_EQ(trimmed(lines.at(s + 1)).rfind('-', 0), 0u) << s;

  // The second and third procedures end with the same note; the first not.
  auto tail = [&](int from, int to) {
    while (to > from && trimmed(lines[to - 1]).empty()) --to;
    return std::vector<std::string>(lines.begin() + to - 3, lines.begin() + to);
  };
  const std::vector<std::string> note = tail(starts[1], starts[2]);
  EXPECT_EQ(note, tail(starts[2], int(lines.size())));
  EXPECT_NE(note.front().find("Not"), std::string::npos);
  EXPECT_NE(tail(starts[0], starts[1]), note);
}

TEST(HelpWindow, CaptionAtEachShowingAndTheAboutBox) {
  HelpWindow w;
  w.shown("ZEFIRTAK KMX Devir-Upgrade s2.04.02");
  EXPECT_EQ(w.caption(), "ZEFIRTAK KMX Devir-Upgrade s2.04.02");
  w.shown("başka");
  const AboutRequest about = w.aboutRequest();
  EXPECT_EQ(about.caption, "başka");
  EXPECT_EQ(about.programName, "KMX Devir-Upgrade s2.04.02");
  EXPECT_TRUE(HelpWindow::ClosesOn(Key::Escape));
  EXPECT_FALSE(HelpWindow::ClosesOn(Key::Enter));
}

}  // namespace
}  // namespace uimodel
