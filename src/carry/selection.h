// The company selection dialog TK_SirketSec without its toolkit: its texts,
// its grid's columns and cells, its rules and its layout. A window of either
// system renders it and forwards the user's clicks to it; nothing here knows
// pixels of a font or a screen.
//
// Texts are UTF-8. A line break inside a text is "\r\n", as the system's
// messages write it; a view that breaks lines on "\n" alone converts it.
#pragma once

#include <string>
#include <utility>

class CompanyList;
class RunHost;

// True when the list offers companies and every one of them was carried
// already (each has a note saying into which code): nothing is left to tick.
bool EveryCompanyCarried(const CompanyList& companies);

// A place in the dialog's client area, in pixels.
struct SelectionRect {
  int x, y, width, height;
};

// The dialog's layout: a client area of 535 by 333 with a fixed border,
// centred on the desktop. Labels are placed at their point and sized to
// their text.
namespace selection_layout {
inline constexpr int kClientWidth = 535;
inline constexpr int kClientHeight = 333;
inline constexpr SelectionRect kLabel1{16, 16, 0, 0};
inline constexpr SelectionRect kGrid{5, 32, 524, 209};
inline constexpr SelectionRect kLabel2{8, 256, 0, 0};
// The notes: word-wrapped, top left, clear of the buttons.
inline constexpr SelectionRect kNotes{8, 286, 344, 44};
inline constexpr SelectionRect kButton2{360, 296, 75, 25};  // "Vazgeç"
inline constexpr SelectionRect kButton1{448, 296, 75, 25};  // "Tamam"
inline constexpr int kRowHeight = 18;
inline constexpr int kIndicatorWidth = 12;  // the row indicator column
}  // namespace selection_layout

class CompanySelection {
 public:
  enum Column { kDevir, kSirketKod, kKisaAd, kNumber1, kYeniSirketKod, kColumnCount };
  enum class Align { kLeft, kCenter, kRight };  // cells are centred vertically

  // A grid column: the list field it shows, its title, its width in pixels
  // (0: the field's default width, see columnWidth) and the alignment of
  // its cells. No column is editable.
  struct GridColumn {
    const char* field;
    const char* title;
    int width;
    Align align;
  };
  static const GridColumn& column(int column);  // requires 0 <= column < kColumnCount

  static constexpr const char* kLabel1Text =
      "Devir işleminin yapılcağı şirket veya şirketleri seçiniz.";
  static constexpr const char* kLabel2Text =
      "Devir işlemi yapılacak şirketleri seçmek veya kaldırmak için Devret sütununa \r\n"
      "tıklayınız";
  static constexpr const char* kButton1Caption = "Tamam";
  static constexpr const char* kButton2Caption = "Vazgeç";
  static constexpr const char* kEmptySelection = "Devir işlemi için en az 1 şirket seçmelisiniz";

  // Reads and changes `companies` (DEVIR and the current row only) and shows
  // the refusal of an empty selection through `host`; both outlive this.
  CompanySelection(CompanyList& companies, RunHost& host);

  // FormShow: the dialog takes the main window's caption as its own.
  void FormShow(std::string ownerCaption) { m_caption = std::move(ownerCaption); }
  const std::string& caption() const { return m_caption; }

  int rowCount() const;
  // What a cell shows: a text field as it is, a number with up to 15
  // significant digits ("%.15g": 2005, 2005.5, 1e+20), DEVIR "X" when true
  // and blank otherwise, a null value blank. Blank outside the grid.
  std::string cellText(int row, int column) const;
  // How many digits wide a column's field shows by default, as a data grid
  // sizes a column without a width of its own: a text field its size, a
  // logical 5 ("False"), numbers and dates 10.
  int displayWidth(int column) const;
  // A column's width in pixels: its own width, or else its field's display
  // width in digits of `digitWidth` pixels plus the cell margin, at least
  // `titleWidth` (the title's own width in the view's font).
  int columnWidth(int column, int digitWidth, int titleWidth) const;

  // The row the grid starts on: the list's current row (the last one when
  // the list stands past its end); -1 for an empty list.
  int currentRow() const;

  // DBGrid1CellClick: a click on a cell makes its row the list's current
  // row; on the "Devret" column it also negates the row's DEVIR, the only way
  // a selection changes; a row ticked without a new code draws one then
  // (CompanyList::drawCode), so the row's other cells may change too.
  // Returns whether DEVIR changed. A click outside the rows does nothing.
  bool DBGrid1CellClick(int row, int column);

  // Button1Click ("Tamam"): with no row selected, shows kEmptySelection and
  // returns false (the dialog stays open, also on an empty list); otherwise
  // confirms the selection and returns true (the dialog closes).
  bool Button1Click();
  // Button2Click ("Vazgeç", also the window's close box): the dialog closes
  // without confirming.
  void Button2Click() { m_confirmed = false; }
  bool confirmed() const { return m_confirmed; }

  // Why rows start unselected: the rows' notes in list order, joined by line
  // breaks; shown below the grid only when there is one.
  std::string notes() const;
  bool notesVisible() const { return !notes().empty(); }

 private:
  CompanyList& m_companies;
  RunHost& m_host;
  int m_fields[kColumnCount];  // list field of each column
  std::string m_caption;
  bool m_confirmed = false;
};
