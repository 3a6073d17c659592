// TForm2 on Windows: the window procedure's events go to the help model;
// the texts and places are the model's.
#include "ui/win32/help.h"

#include "ui/model/help.h"
#include "ui/win32/about.h"
#include "ui/win32/edit.h"
#include "ui/win32/gdi.h"
#include "ui/win32/pictures.h"
#include "ui/win32/statusbar.h"
#include "ui/win32/window.h"
#include "ui/win32/zfwinbutton.h"

namespace win32ui {

namespace {

const uimodel::HelpLayout& L = uimodel::kHelpLayout;

uimodel::Key toModelKey(int virtualKey) {
  switch (virtualKey) {
    case VK_ESCAPE:
      return uimodel::Key::Escape;
    case VK_SPACE:
      return uimodel::Key::Space;
    case VK_RETURN:
      return uimodel::Key::Enter;
    default:
      return uimodel::Key::Other;
  }
}

std::string joinedHelpText() {
  std::string text;
  for (const std::string& line : uimodel::HelpLines()) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

// The help text's bold face without font smoothing: Wine smooths a bold face
// of this size (its Tahoma is a substitute) into grey strokes with less ink
// than the regular cut, so that the text reads as regular.
HFONT helpTextFont() {
  static const HFONT unsmoothed = [] {
    LOGFONTW lf{};
    ::GetObjectW(font(FontSpec{"Tahoma", 11, true}), sizeof lf, &lf);
    lf.lfQuality = NONANTIALIASED_QUALITY;
    HFONT created = ::CreateFontIndirectW(&lf);
    return created != nullptr ? created : font(FontSpec{"Tahoma", 11, true});
  }();
  return unsmoothed;
}

class TForm2 final : public WindowEvents {
 public:
  bool create(HWND owner, const std::string& mainCaption) {
    m_model.shown(mainCaption);
    WindowArgs args;
    args.owner = owner;
    args.title = m_model.caption();
    args.clientSize = L.window;
    if (!m_window.create(args, this)) return false;

    EditArgs memo;
    memo.parent = m_window.hwnd();
    memo.id = kHelpMemo;
    memo.rect = L.memo;
    memo.text = joinedHelpText();
    memo.font = FontSpec{"Tahoma", 11, true};  // a face with a bold cut, also under Wine
    memo.multiLine = true;
    memo.readOnly = true;
    memo.tabStop = true;
    m_memo.create(memo);
    ::SendMessageW(m_memo.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(helpTextFont()), FALSE);

    ZfWinButtonArgs contact{m_window.hwnd(),         kHelpContact,
                            L.contactButton,         uimodel::kContactCaption,
                            pictures::kGlyphContact, uimodel::kHelpButtonHint,
                            [this] { openAbout(); }};
    m_contact.create(contact);
    ZfWinButtonArgs close{m_window.hwnd(),
                          kHelpClose,
                          L.closeButton,
                          uimodel::kCloseCaption,
                          pictures::kGlyphClose,
                          uimodel::kHelpButtonHint,
                          [this] { m_window.close(); }};
    m_close.create(close);

    StatusBarArgs status;
    status.parent = m_window.hwnd();
    status.id = kHelpStatus;
    status.height = L.statusBar.height;
    m_status.create(status);
    return true;
  }

  int run() { return m_window.runModal(); }

  // The window sees every key before the control that has the focus.
  bool onKeyDown(const KeyEvent& key) override {
    if (!uimodel::HelpWindow::ClosesOn(toModelKey(key.virtualKey))) return false;
    m_window.close();
    return true;
  }
  void onCommand(int id, int code) override {
    // Esc outside a control that takes it comes as IDCANCEL.
    if (id == IDCANCEL && code == 0) m_window.close();
  }

 private:
  void openAbout() { ShowAboutBox(m_window.hwnd(), m_model.aboutRequest()); }

  uimodel::HelpWindow m_model;
  Window m_window;
  Edit m_memo;
  TZfWinButton m_contact;
  TZfWinButton m_close;
  StatusBar m_status;
};

}  // namespace

void ShowHelpWindow(HWND owner, const std::string& mainCaption) {
  TForm2 form;
  if (form.create(owner, mainCaption)) form.run();
}

}  // namespace win32ui
