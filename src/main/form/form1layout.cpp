#include "main/form/form1layout.h"

#include <stdexcept>
#include <utility>

#include "jobs/currency.h"

namespace form1 {

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kReadOnlyEdit{255, 241, 248};  // the background of the currency edits

// One row of the table: the control's name, kind, rectangle and parent, then
// whatever differs from a Control's defaults.
class Def {
 public:
  Def(const char* name, Kind kind, Rect rect, const char* parent = "") {
    m_c.name = name;
    m_c.kind = kind;
    m_c.rect = rect;
    m_c.parent = parent;
  }
  // clang-format off
  Def& text(std::string text) { m_c.text = std::move(text); return *this; }
  Def& bold() { m_c.weight = Weight::kBold; return *this; }
  Def& font(const char* family, int pixelSize, Weight weight) {
    m_c.family = family; m_c.pixelSize = pixelSize; m_c.weight = weight; return *this;
  }
  Def& colour(Rgb rgb) { m_c.textColour = rgb; return *this; }
  Def& background(Rgb rgb) { m_c.background = rgb; return *this; }
  Def& wordWrap() { m_c.wordWrap = true; return *this; }
  Def& hidden() { m_c.visible = false; return *this; }
  Def& disabled() { m_c.enabled = false; return *this; }
  Def& checked() { m_c.checked = true; return *this; }
  Def& readOnly() { m_c.readOnly = true; return *this; }
  Def& maxLength(int length) { m_c.maxLength = length; return *this; }
  Def& inFront() { m_c.inFront = true; return *this; }
  Def& bevel(Bevel bevel) { m_c.bevel = bevel; return *this; }
  Def& shadow(int offset) { m_c.shadow = offset; return *this; }
  Def& prompt(std::string prompt) { m_c.prompt = std::move(prompt); return *this; }
  Def& items(std::vector<std::string> items, int columns, int selected) {
    m_c.items = std::move(items); m_c.columns = columns; m_c.itemIndex = selected; return *this;
  }
  Def& row(int margin, int spacing) { m_c.margin = margin; m_c.spacing = spacing; return *this; }
  Def& glyph(int index) { m_c.glyph = index; return *this; }
  Def& hint(std::string hint) { m_c.hint = std::move(hint); return *this; }
  // clang-format on
  operator Control() const { return m_c; }

 private:
  Control m_c;
};

// The read-only edits of the currency panel and their navy captions.
Def currencyEdit(const char* name, const char* text, int y, int width) {
  return Def(name, Kind::kEdit, {109, y, width, 19}, "PanelYTL")
      .text(text)
      .readOnly()
      .background(kReadOnlyEdit);
}

Def currencyCaption(const char* name, const char* text, int y) {
  return Def(name, Kind::kLabel, {8, y, 0, 0}, "PanelYTL").text(text).bold().colour(kNavy);
}

// A button of the row Panel1: a fixed width, or 0 for the rest of the row.
Def button(const char* name, int width, const char* caption, int glyph) {
  return Def(name, Kind::kButton, {0, 0, width, 0}, "Panel1").text(caption).glyph(glyph);
}

std::vector<Control> makeControls() {
  using enum Kind;
  return {
      Def("Image1", kImage, {0, 0, 180, 526}),
      Def("Label3D1", kTitle, {208, -5, 344, 45})
          .text("KMX Devir-Upgrade")
          .font("Arial Black", 32, Weight::kBlack)
          .shadow(5),
      Def("Label3", kLabel, {285, 36, 0, 0}).text("(Upgrade ve YTL ye Devir İşlemi)").bold(),
      Def("Label5", kLabel, {190, 56, 374, 30})
          .text("Dikkat : Devir veya upgrade işlemini gerçekleştirmeden önce eski "
                "\r\nveritabanınızın mutlaka yedeğini alınız.")
          .bold()
          .colour(kRed),
      Def("CheckBoxUpgrade", kCheckBox, {193, 88, 359, 17})
          .text("KMX Orvan veya Lumex'dan Upgrade")
          .bold()
          .inFront(),
      Def("PanelUpgrade", kPanel, {184, 96, 378, 73})
          .bevel(Bevel::kLoweredOuterRaisedInner)
          .hidden(),
      Def("Label2", kLabel, {13, 14, 296, 26}, "PanelUpgrade")
          .text("KMX Orvan veya Lumex'un kullandığı \"DATA\" adlı dizinin tam yolu")
          .bold()
          .wordWrap(),
      Def("DirectoryEditOrLumex", kDirectoryEdit, {14, 43, 347, 21}, "PanelUpgrade")
          .prompt("Dizin Seçiniz"),
      Def("CheckBoxDevir", kCheckBox, {193, 176, 193, 17})
          .text("Yeni Yıla Devir İşlemi Yap")
          .bold()
          .checked(),
      Def("Panel2", kPanel, {376, 170, 185, 26}),
      Def("Edit1", kEdit, {3, 2, 65, 21}, "Panel2").bold().maxLength(4),
      Def("Label8", kLabel, {72, 8, 0, 0}, "Panel2").text("dan").bold(),
      Def("Edit2", kEdit, {99, 2, 65, 21}, "Panel2").bold().maxLength(4),
      Def("Label9", kLabel, {167, 8, 0, 0}, "Panel2").text("ya").bold(),
      Def("Label1", kLabel, {200, 198, 0, 0})
          .text("KMX Pravex'un kullandığı \"DATA\" adlı dizinin tam yolu")
          .bold(),
      Def("DirectoryEditPravex", kDirectoryEdit, {200, 216, 329, 21})
          .text("C:\\ZEFIRTAK\\KMX3\\DATA"),
      Def("CheckBoxYTL", kCheckBox, {192, 246, 337, 12})
          .text("Devir İşleminde Verilerimi YTL sistemine göre düzenle")
          .bold()
          .inFront(),
      Def("PanelYTL", kPanel, {184, 254, 377, 194}).bevel(Bevel::kLoweredOuterRaisedInner).hidden(),
      currencyCaption("Label10", "Para Biriminiz", 16),
      currencyCaption("Label11", "Simgesi", 32),
      currencyCaption("Label12", "Küçük Biriminiz", 52),
      currencyCaption("Label13", "Simgesi", 72),
      currencyEdit("EditPRBR", currency::kName, 11, 110),
      currencyEdit("EditPRSM", currency::kSymbol, 29, 41),
      currencyEdit("EditKC_BR", currency::kSubUnitName, 48, 110),
      currencyEdit("EditKC_SMG", currency::kSubUnitSymbol, 66, 41),
      // "YTL" over a line over "Kr": the ratio's unit beside RadioORAN.
      Def("LabelSIMGE", kLabel, {13, 104, 0, 0}, "PanelYTL").text("YTL").bold(),
      Def("LineFraction", kLine, {10, 121, 30, 2}, "PanelYTL"),
      Def("LabelKC_SMG", kLabel, {12, 124, 0, 0}, "PanelYTL").text("Kr").bold(),
      Def("RadioORAN", kRadioGroup, {48, 93, 177, 52}, "PanelYTL")
          .text("Oran")
          .items({"1/10", "1/100", "1/1000", "1/10000"}, 2, 1)
          .disabled(),
      Def("RadioHAS", kRadioGroup, {233, 9, 132, 136}, "PanelYTL")
          .text("Hassasiyet")
          .items({"Yok", "1 Basamak", "2 Basamak", "3 Basamak", "4 Basamak", "5 Basamak"}, 1, 2)
          .disabled(),
      Def("RadioYUVARLA", kRadioGroup, {6, 152, 366, 38}, "PanelYTL")
          .text(" 10.000 TL nin altındaki tutarları")
          .items({"Otomatik Yuvarla", "Aşağı Yuvarla", "Yukarı Yuvarla"}, 3, 0),
      Def("Label4", kLabel, {192, 450, 0, 0}).bold().hidden(),  // the status text of a run
      Def("Gauge1", kGauge, {192, 466, 369, 17}).hidden(),
      Def("Panel1", kButtonRow, {184, 485, 383, 40}).bevel(Bevel::kRaised).row(1, 2),
      button("Button1", 130, "Devir-Upgrade", 0),
      button("Button3", 92, "Yardım", 3),
      button("Button2", 0, "Kapat", 5).hint("Kapat "),
      Def("StatusBar1", kStatusBar, {0, 526, 569, 19}),
  };
}

}  // namespace

const WindowSpec& Window() {
  static const WindowSpec window{569, 545, "MS Sans Serif", 11};
  return window;
}

const std::vector<Control>& Controls() {
  static const std::vector<Control> controls = makeControls();
  return controls;
}

const Control& Find(const std::string& name) {
  for (const Control& c : Controls())
    if (name == c.name) return c;
  throw std::logic_error("form1: no control named " + name);
}

}  // namespace form1
