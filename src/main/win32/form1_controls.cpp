// Building the main window's controls from the model's table
// (main/form/form1layout.h): one kit control per row, in the table's order,
// each at the table's rectangle in its parent.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "main/form/form1layout.h"
#include "main/win32/form1.h"
#include "main/win32/painted.h"
#include "ui/win32/buttons.h"
#include "ui/win32/dpi.h"
#include "ui/win32/edit.h"
#include "ui/win32/gauge.h"
#include "ui/win32/gdi.h"
#include "ui/win32/label.h"
#include "ui/win32/panel.h"
#include "ui/win32/pictures.h"
#include "ui/win32/radiogroup.h"
#include "ui/win32/statusbar.h"
#include "ui/win32/zfwinbutton.h"

namespace {

constexpr int kFirstId = 100;
constexpr int kIdStride = 10;  // room for a radio group's items
// The browse button of a directory edit, by the edit's name.
constexpr const char* kBrowseSuffix = ".browse";

// The control's font: the window's face and size unless the table names its
// own; bold for the bold and the black weights (a black face is black by
// itself).
win32ui::FontSpec fontOf(const form1::Control& c) {
  const form1::WindowSpec& window = form1::Window();
  win32ui::FontSpec spec;
  spec.face = c.family != nullptr ? c.family : window.fontFamily;
  spec.pixels = c.pixelSize > 0 ? c.pixelSize : window.fontPixelSize;
  spec.bold = c.weight != form1::Weight::kNormal;
  return spec;
}

// The size a label takes for its text, at 96 DPI: the widest line by the
// lines' height.
uimodel::Size naturalSize(const std::string& text, const win32ui::FontSpec& spec) {
  HFONT f = win32ui::font(spec);
  int width = 0, height = 0;
  std::string::size_type from = 0;
  for (;;) {
    const std::string::size_type end = text.find("\r\n", from);
    const uimodel::Size line = win32ui::textSize(f, text.substr(from, end - from));
    width = std::max(width, line.width);
    height += line.height;
    if (end == std::string::npos) break;
    from = end + 2;
  }
  return {win32ui::unscale(width), win32ui::unscale(height)};
}

win32ui::Bevel bevelOf(form1::Bevel bevel) {
  switch (bevel) {
    case form1::Bevel::kNone:
      return win32ui::Bevel::None;
    case form1::Bevel::kRaised:
      return win32ui::Bevel::Raised;
    case form1::Bevel::kLoweredOuterRaisedInner:
      return win32ui::Bevel::LoweredOuterRaisedInner;
  }
  return win32ui::Bevel::None;
}

// The rectangles of a button row's buttons: side by side, `margin` inside
// the row and `spacing` apart, each of its fixed width, the one of width 0
// taking what is left.
std::vector<uimodel::Rect> rowRects(const form1::Control& row) {
  std::vector<const form1::Control*> buttons;
  for (const form1::Control& c : form1::Controls())
    if (c.kind == form1::Kind::kButton && std::string(c.parent) == row.name) buttons.push_back(&c);
  const int inner = row.rect.width - 2 * row.margin;
  int fixed = 0;
  for (const form1::Control* b : buttons) fixed += b->rect.width;
  const int gaps = buttons.empty() ? 0 : row.spacing * static_cast<int>(buttons.size() - 1);
  const int rest = std::max(0, inner - fixed - gaps);
  std::vector<uimodel::Rect> rects;
  int x = row.margin;
  for (const form1::Control* b : buttons) {
    const int width = b->rect.width > 0 ? b->rect.width : rest;
    rects.push_back({x, row.margin, width, row.rect.height - 2 * row.margin});
    x += width + row.spacing;
  }
  return rects;
}

template <typename Args>
Args argsOf(const form1::Control& c, int id, HWND parent) {
  Args args;
  win32ui::ControlArgs& a = args;  // a gauge's own `text` is a colour
  a.parent = parent;
  a.id = id;
  a.rect = c.rect;
  a.text = c.text;
  a.font = fontOf(c);
  a.visible = c.visible;
  a.enabled = c.enabled;
  return args;
}

}  // namespace

int TForm1::controlId(const std::string& name) {
  const std::vector<form1::Control>& controls = form1::Controls();
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (name == controls[i].name) return kFirstId + kIdStride * static_cast<int>(i);
  throw std::logic_error("TForm1: no control named " + name);
}

win32ui::Control* TForm1::control(const char* name) const {
  const auto it = m_controls.find(name);
  return it == m_controls.end() ? nullptr : it->second.get();
}

template <typename T>
T& TForm1::get(const char* name) const {
  auto* c = dynamic_cast<T*>(control(name));
  if (c == nullptr) throw std::logic_error(std::string("TForm1: wrong kind of control ") + name);
  return *c;
}
template win32ui::Edit& TForm1::get<win32ui::Edit>(const char*) const;
template win32ui::CheckBox& TForm1::get<win32ui::CheckBox>(const char*) const;
template win32ui::RadioGroup& TForm1::get<win32ui::RadioGroup>(const char*) const;
template win32ui::Gauge& TForm1::get<win32ui::Gauge>(const char*) const;
template win32ui::Label& TForm1::get<win32ui::Label>(const char*) const;
template win32ui::Panel& TForm1::get<win32ui::Panel>(const char*) const;

HWND TForm1::parentOf(const form1::Control& c) const {
  if (*c.parent == '\0') return hwnd();
  win32ui::Control* parent = control(c.parent);
  return parent != nullptr ? parent->hwnd() : nullptr;
}

bool TForm1::buildControls() {
  const std::vector<form1::Control>& controls = form1::Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const form1::Control& c = controls[i];
    if (!buildControl(c, kFirstId + kIdStride * static_cast<int>(i), parentOf(c))) return false;
  }
  // Overlapping siblings: a later one in front of an earlier one (a label
  // over the title's rectangle), a radio group's items in front of its box,
  // then a tick box on a panel's top edge in front of the panel.
  auto raise = [](HWND w) {
    ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  for (const form1::Control& c : controls) {
    win32ui::Control* w = control(c.name);
    if (w == nullptr) continue;
    raise(w->hwnd());
    if (auto* group = dynamic_cast<win32ui::RadioGroup*>(w))
      for (int i = 0; i < group->itemCount(); ++i) raise(group->item(i));
    if (win32ui::Control* browse = control((std::string(c.name) + kBrowseSuffix).c_str()))
      raise(browse->hwnd());
  }
  for (const form1::Control& c : controls)
    if (c.inFront)
      if (win32ui::Control* w = control(c.name)) raise(w->hwnd());
  return true;
}

bool TForm1::buildControl(const form1::Control& c, int id, HWND parent) {
  using form1::Kind;
  if (parent == nullptr) return false;
  switch (c.kind) {
    case Kind::kImage:
    case Kind::kTitle:
    case Kind::kLine: {
      auto w = std::make_unique<win32main::PaintedControl>();
      win32main::Painter painter;
      if (c.kind == Kind::kImage)
        painter = win32main::stretchedPicture(win32ui::pictures::banner());
      else if (c.kind == Kind::kTitle)
        painter = win32main::shadowedTitle(c.text, win32ui::font(fontOf(c)), c.shadow);
      else
        painter = win32main::etchedLine();
      auto args = argsOf<win32ui::ControlArgs>(c, id, parent);
      args.text.clear();
      if (!w->create(args, std::move(painter))) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kLabel: {
      auto a = argsOf<win32ui::LabelArgs>(c, id, parent);
      if (a.rect.width <= 0 || a.rect.height <= 0) {
        const uimodel::Size natural = naturalSize(c.text, a.font);
        a.rect.width = natural.width;
        a.rect.height = natural.height;
      }
      a.colour = c.textColour;
      a.wordWrap = c.wordWrap;
      auto w = std::make_unique<win32ui::Label>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kCheckBox: {
      auto a = argsOf<win32ui::CheckBoxArgs>(c, id, parent);
      a.checked = c.checked;
      a.tabStop = true;
      auto w = std::make_unique<win32ui::CheckBox>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kPanel:
    case Kind::kButtonRow: {
      auto a = argsOf<win32ui::PanelArgs>(c, id, parent);
      a.text.clear();
      a.bevel = bevelOf(c.bevel);
      auto w = std::make_unique<win32ui::Panel>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kEdit:
    case Kind::kDirectoryEdit: {
      auto a = argsOf<win32ui::EditArgs>(c, id, parent);
      a.tabStop = true;
      a.readOnly = c.readOnly;
      a.maxLength = c.maxLength;
      a.background = c.background;
      const std::string name = c.name;
      if (name == "Edit1" || name == "Edit2") {
        a.acceptChar = [](char32_t ch) {
          form1::KeyPress key;
          if (ch == U'\t') {
            key.key = form1::KeyPress::Key::kTab;
          } else {
            // The model wants the UTF-8 text; beyond ASCII only its length
            // matters (no digit is longer than one byte).
            key.text = ch < 0x80 ? std::string(1, static_cast<char>(ch)) : std::string(2, '?');
          }
          return form1::Model::Edit1KeyPress(key);
        };
      }
      win32ui::PushButtonArgs browse;
      if (c.kind == Kind::kDirectoryEdit) {
        // A square browse button at the edit's right end.
        const int side = c.rect.height;
        a.rect.width -= side;
        browse.parent = parent;
        browse.id = id + kBrowseOffset;
        browse.rect = {c.rect.x + a.rect.width, c.rect.y, side, side};
        browse.text = form1::kBrowseCaption;
        browse.font = a.font;
        browse.font.bold = false;
      }
      auto w = std::make_unique<win32ui::Edit>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      if (c.kind == Kind::kDirectoryEdit) {
        auto b = std::make_unique<win32ui::PushButton>();
        if (!b->create(browse)) return false;
        m_controls[std::string(c.name) + kBrowseSuffix] = std::move(b);
      }
      return true;
    }
    case Kind::kRadioGroup: {
      auto a = argsOf<win32ui::RadioGroupArgs>(c, id, parent);
      a.items = c.items;
      a.columns = c.columns;
      a.itemIndex = c.itemIndex;
      a.tabStop = true;
      auto w = std::make_unique<win32ui::RadioGroup>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kGauge: {
      auto a = argsOf<win32ui::GaugeArgs>(c, id, parent);
      auto w = std::make_unique<win32ui::Gauge>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
    case Kind::kButton: {
      const form1::Control& row = form1::Find(c.parent);
      std::size_t index = 0;
      for (const form1::Control& other : form1::Controls()) {
        if (&other == &c) break;
        if (other.kind == Kind::kButton && std::string(other.parent) == row.name) ++index;
      }
      win32ui::ZfWinButtonArgs a;
      a.parent = parent;
      a.id = id;
      a.rect = rowRects(row).at(index);
      a.caption = c.text;
      a.glyph = c.glyph;
      a.hint = c.hint;
      const std::string name = c.name;
      if (name == "Button1")
        a.onClick = [this] { m_model.Button1Click(); };
      else if (name == "Button2")
        a.onClick = [this] { m_model.Button2Click(); };
      else if (name == "Button3")
        a.onClick = [this] { m_model.Button3Click(); };
      auto w = std::make_unique<win32ui::TZfWinButton>();
      if (!w->create(a)) return false;
      m_buttonByName[c.name] = w.get();
      m_buttons.push_back(std::move(w));
      return true;
    }
    case Kind::kStatusBar: {
      auto a = argsOf<win32ui::StatusBarArgs>(c, id, parent);
      a.height = c.rect.height;
      auto w = std::make_unique<win32ui::StatusBar>();
      if (!w->create(a)) return false;
      m_controls[c.name] = std::move(w);
      return true;
    }
  }
  return false;
}
