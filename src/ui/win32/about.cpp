// TAboutF on Windows: the window procedure's events go to the about model;
// texts, places and colours are the model's.
#include "ui/win32/about.h"

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/memory.h"
#include "platform/shell.h"
#include "platform/wintext.h"
#include "ui/model/about.h"
#include "ui/win32/dpi.h"
#include "ui/win32/label.h"
#include "ui/win32/panel.h"
#include "ui/win32/pictures.h"
#include "ui/win32/secretpanel.h"
#include "ui/win32/statusbar.h"
#include "ui/win32/window.h"
#include "ui/win32/zfanimate.h"
#include "ui/win32/zfwinbutton.h"

namespace win32ui {

namespace {

const uimodel::AboutLayout& L = uimodel::kAboutLayout;
// Bold labels in a face that has a bold cut wherever Windows runs (Wine's
// MS Sans Serif has none).
const FontSpec kBold{"Tahoma", 11, true};

// A picture stretched over the control, a text over it, or both; a click
// (also BM_CLICK) runs onClick. The left picture, the title, the logo and
// the two links.
struct PictureArgs : ControlArgs {
  HBITMAP picture = nullptr;  // not owned
  bool keyed = false;         // its pixels of pictures::kGlyphKey are left out
  Rgb textColour;
  bool underline = false;
  bool centred = false;
  std::function<void()> onClick;  // also gives the control the hand cursor
};

class PictureBox : public Control {
 public:
  ~PictureBox() override {
    if (m_font) ::DeleteObject(m_font);
  }
  bool create(const PictureArgs& args) {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = &PictureBox::procedure;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"win32ui.AboutPicture";
      return ::RegisterClassExW(&wc) != 0;
    }();
    m_args = args;
    if (!registered || !createWindow(args, L"win32ui.AboutPicture", 0)) return false;
    LOGFONTW lf{};
    ::GetObjectW(font(m_args.font), sizeof lf, &lf);
    lf.lfUnderline = m_args.underline;
    m_font = ::CreateFontIndirectW(&lf);
    return true;
  }
  // Sizes the box to its text as it draws it (a label is placed at a point).
  void fitToText() {
    const std::wstring text = platform::widen(m_args.text);
    HDC dc = ::GetDC(hwnd());
    HGDIOBJ old = ::SelectObject(dc, m_font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd(), dc);
    // Wine's extent leaves out the last letter's overhang: a few pixels more.
    ::SetWindowPos(hwnd(), nullptr, 0, 0, size.cx + 8, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<PictureBox*>(Control::fromHwnd(hwnd));
    if (box == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT painted = 0;
    if (answerPaint(
            hwnd, message, wParam, [&](HDC dc) { box->paint(dc); }, &painted))
      return painted;
    switch (message) {
      case WM_SETCURSOR:
        if (!box->m_args.onClick) break;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      case WM_LBUTTONUP:
      case BM_CLICK:
        if (box->m_args.onClick) {
          const std::function<void()> onClick = box->m_args.onClick;
          onClick();  // may close the window: nothing of the box after it
        }
        return 0;
      default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  void paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, brush(faceColour()));
    if (m_args.picture) {
      BITMAP info{};
      ::GetObjectW(m_args.picture, sizeof info, &info);
      HDC source = ::CreateCompatibleDC(dc);
      HGDIOBJ old = ::SelectObject(source, m_args.picture);
      ::SetStretchBltMode(dc, HALFTONE);
      if (m_args.keyed)
        ::TransparentBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth,
                         info.bmHeight, pictures::kGlyphKey);
      else
        ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth,
                     info.bmHeight, SRCCOPY);
      ::SelectObject(source, old);
      ::DeleteDC(source);
    }
    const std::wstring text = platform::widen(m_args.text);
    if (text.empty()) return;
    HGDIOBJ oldFont = ::SelectObject(dc, m_font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colorRef(m_args.textColour));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                (m_args.centred ? DT_CENTER | DT_VCENTER : DT_LEFT | DT_TOP) | DT_SINGLELINE |
                    DT_NOPREFIX | DT_NOCLIP);
    ::SelectObject(dc, oldFont);
  }

  PictureArgs m_args;
  HFONT m_font = nullptr;
};

// A rectangle at `at` just large enough for `text` in `spec`.
Rect fitted(Point at, const std::string& text, const FontSpec& spec) {
  const Size size = textSize(font(spec), text.empty() ? " " : text);
  return {at.x, at.y, unscale(size.width) + 2, unscale(size.height)};
}

// The user's thousands separator, as the memory figure is written.
std::string thousandsSeparator() {
  wchar_t separator[8]{};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) <= 0) return ".";
  return platform::narrow(separator);
}

class TAboutF final : public WindowEvents {
 public:
  explicit TAboutF(const uimodel::AboutRequest& request) : m_request(request) {}

  bool create(HWND owner) {
    WindowArgs args;
    args.owner = owner;
    args.title = m_request.caption;
    args.clientSize = L.window;
    args.minimiseBox = false;
    if (!m_window.create(args, this)) return false;
    const HWND w = m_window.hwnd();

    PictureArgs left;
    left.parent = w;
    left.id = kAboutLeftPicture;
    left.rect = L.leftPicture;
    left.picture = pictures::aboutPicture();
    left.onClick = [this] { toggleTeam(); };
    m_left.create(left);

    SecretPanelArgs team;
    team.parent = w;
    team.id = kAboutTeamPanel;
    team.rect = L.teamPanel;
    team.visible = false;
    team.background = uimodel::kTeamGround;
    team.textColour = uimodel::kTeamText;
    team.picture = pictures::logo();
    team.lines = uimodel::ProgramTeam();
    m_team.create(team);

    PictureArgs title;
    title.parent = w;
    title.id = kAboutTitle;
    title.rect = L.title;
    title.picture = pictures::title();
    title.text = m_request.programName;
    title.font = {uimodel::kTitleFontFamily, uimodel::kTitleFontPixels, true};
    title.textColour = uimodel::kTitleText;
    title.centred = true;
    m_title.create(title);

    PanelArgs main;
    main.parent = w;
    main.rect = L.mainPanel;
    main.bevel = Bevel::None;
    m_main.create(main);
    buildMainPanel(m_main.hwnd());

    StatusBarArgs status;
    status.parent = w;
    status.id = kAboutStatus;
    status.height = L.statusBar.height;
    status.parts = {{-1, uimodel::AboutStatusText(m_request.programName), true}};
    m_status.create(status);

    m_fade = std::make_unique<TZfAnimate>(w);
    m_fade->fade().setActive(true);
    return true;
  }

  void run() { m_window.runModal(); }

  void onFirstShown() override {
    m_state.shown();
    renderPanels();
    m_fade->shown();
  }
  void onActivated() override {
    m_fade->activated();  // returns when the fade-in has ended
  }
  bool onClose() override {
    m_state.closed();
    renderPanels();
    m_fade->closing();  // returns when the fade-out has ended
    return true;
  }
  bool onKeyDown(const KeyEvent& key) override {
    const unsigned modifiers = (key.control ? uimodel::kControl : 0u) |
                               (key.alt ? uimodel::kAlt : 0u) | (key.shift ? uimodel::kShift : 0u);
    const uimodel::Key modelKey = key.virtualKey == VK_ESCAPE ? uimodel::Key::Escape
                                  : key.virtualKey == 'T'     ? uimodel::Key::T
                                                              : uimodel::Key::Other;
    switch (uimodel::AboutWindow::ActionFor(modelKey, modifiers)) {
      case uimodel::AboutWindow::KeyAction::ToggleTeam:
        toggleTeam();
        return true;
      case uimodel::AboutWindow::KeyAction::Close:
        m_window.close();
        return true;
      case uimodel::AboutWindow::KeyAction::None:
        return false;
    }
    return false;
  }
  void onCommand(int id, int code) override {
    if (id == IDCANCEL && code == 0) m_window.close();
  }

 private:
  void buildMainPanel(HWND panel) {
    PictureArgs logo;
    logo.parent = panel;
    logo.rect = L.logo;
    logo.picture = pictures::logo();
    logo.keyed = true;
    m_logo.create(logo);

    SecretPanelArgs credits;
    credits.parent = panel;
    credits.id = kAboutCredits;
    credits.rect = L.creditsPanel;
    credits.background = uimodel::kCreditsGround;
    credits.textColour = uimodel::kCreditsText;
    credits.picture = pictures::logo();
    credits.lines = uimodel::CreditLines(m_request.programName);
    m_credits.create(credits);

    const platform::MemoryStatus memory = platform::memoryStatus();
    const std::pair<Point, std::string> labels[] = {
        {L.telephone, uimodel::kTelephoneLine},
        {L.physicalMemoryLabel, uimodel::kPhysicalMemoryLabel},
        {L.memoryLoadLabel, uimodel::kMemoryLoadLabel},
        {L.physicalMemory,
         uimodel::FormatPhysicalMemory(memory.totalPhysicalBytes, thousandsSeparator())},
        {L.memoryLoad, uimodel::FormatMemoryLoad(memory.loadPercent)}};
    const int ids[] = {0, 0, 0, kAboutPhysicalMemory, kAboutMemoryLoad};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
      LabelArgs label;
      label.parent = panel;
      label.id = ids[i];
      label.text = labels[i].second;
      label.font = kBold;
      label.rect = fitted(labels[i].first, label.text, label.font);
      m_labels.push_back(std::make_unique<Label>());
      m_labels.back()->create(label);
    }

    const std::tuple<PictureBox*, int, Point, const char*, const char*> links[] = {
        {&m_web, kAboutWebLink, L.webLink, uimodel::kWebLabel, uimodel::kWebAddress},
        {&m_mail, kAboutMailLink, L.mailLink, uimodel::kMailLabel, uimodel::kMailLink}};
    for (const auto& [box, id, at, text, target] : links) {
      PictureArgs link;
      link.parent = panel;
      link.id = id;
      link.text = text;
      link.font = {"Tahoma", 11, false};
      link.rect = {at.x, at.y, 1, 1};
      link.textColour = uimodel::kLinkText;
      link.underline = true;
      link.onClick = [target = std::string(target)] { platform::openInShell(target); };
      if (box->create(link)) box->fitToText();
    }

    ZfWinButtonArgs ok{
        panel, kAboutOk, L.okButton, uimodel::kAboutOkCaption, pictures::kGlyphTick, {}, [this] {
          m_window.close();
        }};
    m_ok.create(ok);
  }

  void toggleTeam() {
    m_state.toggleTeam();
    renderPanels();
  }

  void renderPanels() {
    m_credits.setActive(m_state.creditsRunning());
    m_team.setActive(m_state.teamRunning());
    m_team.setVisible(m_state.teamShown());
    if (m_state.teamShown())
      ::SetWindowPos(m_team.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    else
      ::InvalidateRect(m_left.hwnd(), nullptr, FALSE);
  }

  uimodel::AboutRequest m_request;
  uimodel::AboutWindow m_state;
  Window m_window;
  std::unique_ptr<TZfAnimate> m_fade;
  PictureBox m_left;
  TSecretPanel m_team;
  PictureBox m_title;
  Panel m_main;
  PictureBox m_logo;
  TSecretPanel m_credits;
  std::vector<std::unique_ptr<Label>> m_labels;
  PictureBox m_web;
  PictureBox m_mail;
  TZfWinButton m_ok;
  StatusBar m_status;
};

}  // namespace

void ShowAboutBox(HWND owner, const uimodel::AboutRequest& request) {
  TAboutF box(request);
  if (box.create(owner)) box.run();
}

}  // namespace win32ui
