// The company selection dialog's model: cell texts, widths, the click and
// confirm rules and the notes.
#include "carry/selection.h"

#include <gtest/gtest.h>

#include "data/companylist.h"
#include "support/recording_host.h"

namespace {

class SelectionTest : public ::testing::Test {
 public:
  // Appends a selected company of `year`, new code 2006_<its number>.
  SelectionTest& company(const char* code, Variant year = Variant{2005.0}) {
    list.append();
    list.setValue("SIRKET_KOD", Variant{std::string(code)});
    list.setValue("KISA_AD", Variant{"Şirket " + std::string(code)});
    list.setValue("NUMBER1", std::move(year));
    list.setValue("YENI_SIRKET_KOD", Variant{"2006_" + std::string(code).substr(5)});
    list.setValue("DEVIR", Variant{true});
    return *this;
  }

  // The Devret column, row by row: "X" or ".".
  std::string ticks() const {
    std::string s;
    for (int row = 0; row < selection.rowCount(); ++row)
      s += selection.cellText(row, CompanySelection::kDevir) == "X" ? 'X' : '.';
    return s;
  }

  CompanyList list;
  RecordingHost host;
  CompanySelection selection{list, host};
};

TEST_F(SelectionTest, CellsShowTextsNumbersUpTo15DigitsAndTicks) {
  const std::pair<Variant, const char*> years[] = {{Variant{2005.0}, "2005"},
                                                   {Variant{2005.5}, "2005.5"},
                                                   {Variant{1e20}, "1e+20"},
                                                   {Variant{0.1 + 0.2}, "0.3"},
                                                   {Variant{}, ""}};
  for (const auto& [year, text] : years) {
    company("2005_001", year);
    EXPECT_EQ(selection.cellText(selection.rowCount() - 1, CompanySelection::kNumber1), text);
  }
  list.setValue("DEVIR", Variant{false});
  EXPECT_EQ(ticks(), "XXXX.");
  EXPECT_EQ(selection.cellText(0, CompanySelection::kKisaAd), "Şirket 2005_001");
  EXPECT_EQ(selection.cellText(0, CompanySelection::kYeniSirketKod), "2006_001");
  EXPECT_EQ(selection.cellText(5, CompanySelection::kSirketKod), "");
}

TEST_F(SelectionTest, OnlyAClickOnDevretTogglesAndEveryClickMakesTheRowCurrent) {
  company("2005_001").company("2005_002").company("2005_003");
  EXPECT_TRUE(selection.DBGrid1CellClick(1, CompanySelection::kDevir));
  for (int column = 1; column < CompanySelection::kColumnCount; ++column)
    EXPECT_FALSE(selection.DBGrid1CellClick(2, column));
  EXPECT_EQ(selection.currentRow(), 2);
  EXPECT_FALSE(selection.DBGrid1CellClick(3, CompanySelection::kDevir));  // past the rows
  EXPECT_EQ(ticks(), "X.X");
  EXPECT_TRUE(selection.DBGrid1CellClick(1, CompanySelection::kDevir));
  EXPECT_EQ(ticks(), "XXX");
  list.moveTo(3);  // past the end: the grid starts on the last row
  EXPECT_EQ(selection.currentRow(), 2);
}

// The middle row was carried already: no code and unticked. Ticked again it
// draws the first number neither another row nor the data directory (here
// 2006_002) holds, and keeps it; a row the user unticks keeps its own.
TEST_F(SelectionTest, ARowWithoutACodeDrawsOneWhenTickedAndKeepsIt) {
  const struct {
    std::vector<int> clicks;  // rows clicked in the Devret column
    const char* ticks;
    const char* codes;
  } cases[] = {
      {{}, "X.X", "2006_001 - 2006_003"},
      {{1}, "XXX", "2006_001 2006_004 2006_003"},
      {{1, 1}, "X.X", "2006_001 2006_004 2006_003"},
      {{0, 1}, ".XX", "2006_001 2006_004 2006_003"},
  };
  for (const auto& c : cases) {
    list.clear();
    company("2005_001").company("2005_002").company("2005_003");
    list.moveTo(1);
    list.setValue("DEVIR", Variant{false});
    list.setValue("YENI_SIRKET_KOD", Variant{});
    list.setCodeDrawer([](const CompanyList& l, std::size_t row) {
      return NextFreeCompanyCode(l, row, "2006",
                                 [](const std::string& code) { return code == "2006_002"; });
    });
    for (int row : c.clicks) EXPECT_TRUE(selection.DBGrid1CellClick(row, CompanySelection::kDevir));
    std::string codes;
    for (int row = 0; row < selection.rowCount(); ++row) {
      const std::string code = selection.cellText(row, CompanySelection::kYeniSirketKod);
      codes += (row ? " " : "") + (code.empty() ? "-" : code);
    }
    EXPECT_EQ(ticks(), c.ticks) << c.codes;
    EXPECT_EQ(codes, c.codes) << c.ticks;
  }
}

TEST_F(SelectionTest, TamamRefusesAnEmptySelectionAndConfirmsAnyOther) {
  EXPECT_EQ(selection.currentRow(), -1);
  EXPECT_FALSE(selection.Button1Click());  // an empty list only repeats the refusal
  company("2005_001").company("2005_002");
  selection.DBGrid1CellClick(0, CompanySelection::kDevir);
  selection.DBGrid1CellClick(1, CompanySelection::kDevir);
  EXPECT_FALSE(selection.Button1Click());
  EXPECT_FALSE(selection.confirmed());
  EXPECT_EQ(host.infos, std::vector<std::string>(2, CompanySelection::kEmptySelection));
  EXPECT_EQ(host.infos[0], "Devir işlemi için en az 1 şirket seçmelisiniz");
  selection.DBGrid1CellClick(1, CompanySelection::kDevir);
  EXPECT_TRUE(selection.Button1Click());
  EXPECT_TRUE(selection.confirmed());
  selection.Button2Click();
  EXPECT_FALSE(selection.confirmed());
}

TEST_F(SelectionTest, ColumnsWithoutAWidthShowTheirFieldsWholeAndTheirTitles) {
  const int digits[] = {5, 8, 30, 10, 8};
  // Digits of 7 pixels, titles of 50: fixed widths stay, the others fit.
  const int widths[] = {42, 87, 30 * 7 + 4, 10 * 7 + 4, 106};
  for (int column = 0; column < CompanySelection::kColumnCount; ++column) {
    EXPECT_EQ(selection.displayWidth(column), digits[column]) << column;
    EXPECT_EQ(selection.columnWidth(column, 7, 50), widths[column]) << column;
  }
  EXPECT_EQ(selection.columnWidth(CompanySelection::kNumber1, 7, 90), 90);
}

TEST_F(SelectionTest, NotesOfTheRowsShowJoinedOnlyWhenThereAreAny) {
  company("2005_001").company("2005_002").company("2005_003");
  EXPECT_FALSE(selection.notesVisible());
  list.setNote("2005_003 zaten devredilmiş");
  list.moveTo(0);
  list.setNote("2005_001 zaten devredilmiş");
  EXPECT_TRUE(selection.notesVisible());
  EXPECT_EQ(selection.notes(), "2005_001 zaten devredilmiş\r\n2005_003 zaten devredilmiş");
}

}  // namespace
