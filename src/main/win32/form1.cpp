#include "main/win32/form1.h"

#include <string>
#include <utility>

#include "carry/dialog/win32/k_sirketsec.h"
#include "main/form/form1layout.h"
#include "main/win32/report/reportwindow.h"
#include "ui/win32/buttons.h"
#include "ui/win32/dpi.h"
#include "ui/win32/edit.h"
#include "ui/win32/folderpicker.h"
#include "ui/win32/gauge.h"
#include "ui/win32/gdi.h"
#include "ui/win32/help.h"
#include "ui/win32/label.h"
#include "ui/win32/messagebox.h"
#include "ui/win32/radiogroup.h"
#include "ui/win32/zfwinbutton.h"

namespace {

// Drops the input messages waiting for this thread.
void dropQueuedInput() {
  MSG m;
  while (::PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (::PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (::PeekMessageW(&m, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
  }
}

}  // namespace

TForm1::TForm1() = default;
TForm1::~TForm1() = default;

bool TForm1::create(HICON icon) {
  const form1::WindowSpec& spec = form1::Window();
  win32ui::WindowArgs args;
  args.clientSize = {spec.clientWidth, spec.clientHeight};
  args.minimiseBox = true;
  args.endProgramOnClose = true;
  args.icon = icon;
  if (!Window::create(args, this)) return false;
  if (!buildControls()) return false;
  renderState(m_model.state(), form1::kOptions | form1::kStatus | form1::kGauge);
  return true;
}

// --- events --------------------------------------------------------------------

void TForm1::onFirstShown() {
  m_model.FormShow();
}

bool TForm1::onClose() {
  return m_model.CloseQuery();
}

// Every change goes to the model; a change the window makes while it renders
// the model's state is already the model's.
void TForm1::onCommand(int id, int code) {
  if (m_rendering) return;
  auto is = [id](const char* name, int offset = 0) { return id == controlId(name) + offset; };
  if (code == BN_CLICKED) {
    if (is("CheckBoxUpgrade"))
      m_model.setUpgradeTicked(get<win32ui::CheckBox>("CheckBoxUpgrade").isChecked());
    else if (is("CheckBoxDevir"))
      m_model.setDevirTicked(get<win32ui::CheckBox>("CheckBoxDevir").isChecked());
    else if (is("CheckBoxYTL"))
      m_model.setYtlTicked(get<win32ui::CheckBox>("CheckBoxYTL").isChecked());
    else if (is("DirectoryEditOrLumex", kBrowseOffset))
      m_model.browse(form1::Directory::kOrLumex);
    else if (is("DirectoryEditPravex", kBrowseOffset))
      m_model.browse(form1::Directory::kPravex);
    else if (const int item = get<win32ui::RadioGroup>("RadioYUVARLA").indexOfId(id); item >= 0)
      m_model.setRoundingIndex(item);
    return;
  }
  if (code != EN_CHANGE) return;
  auto textOf = [this](const char* name) { return get<win32ui::Edit>(name).text(); };
  if (is("DirectoryEditOrLumex"))
    m_model.setOldDirectory(textOf("DirectoryEditOrLumex"));
  else if (is("DirectoryEditPravex"))
    m_model.setNewDirectory(textOf("DirectoryEditPravex"));
  else if (is("Edit1"))
    m_model.setSourceYear(textOf("Edit1"));
  else if (is("Edit2"))
    m_model.setTargetYear(textOf("Edit2"));
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && m_busy) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
  }
  return Window::handleMessage(message, wParam, lParam);
}

// --- form1::View ---------------------------------------------------------------

void TForm1::renderState(const form1::State& s, unsigned parts) {
  const bool wasRendering = m_rendering;
  m_rendering = true;
  if (parts & form1::kCaption) setTitle(s.caption);
  if (parts & form1::kOptions) renderOptions(s);
  if (parts & form1::kStatus) {
    auto& label = get<win32ui::Label>("Label4");
    setLabelText(label, s.statusText);
    if (label.isVisible() != s.statusVisible) label.setVisible(s.statusVisible);
  }
  if (parts & form1::kGauge) {
    auto& gauge = get<win32ui::Gauge>("Gauge1");
    gauge.setProgress(s.gauge.position(), s.gauge.max());
    if (gauge.isVisible() != s.gaugeVisible) gauge.setVisible(s.gaugeVisible);
  }
  m_rendering = wasRendering;
}

void TForm1::renderOptions(const form1::State& s) {
  auto tick = [this](const char* name, bool checked) {
    auto& box = get<win32ui::CheckBox>(name);
    if (box.isChecked() != checked) box.setChecked(checked);
  };
  auto show = [this](const char* name, bool shown) {
    win32ui::Control* c = control(name);
    if (c->isVisible() != shown) c->setVisible(shown);
  };
  auto text = [this](const char* name, const std::string& t) {
    auto& edit = get<win32ui::Edit>(name);
    if (edit.text() != t) edit.setText(t);
  };
  auto index = [this](const char* name, int i) {
    auto& group = get<win32ui::RadioGroup>(name);
    if (group.itemIndex() != i) group.setItemIndex(i);
  };
  tick("CheckBoxUpgrade", s.upgradeTicked);
  auto& upgrade = get<win32ui::CheckBox>("CheckBoxUpgrade");
  if (upgrade.isEnabled() != s.upgradeEnabled) upgrade.setEnabled(s.upgradeEnabled);
  tick("CheckBoxDevir", s.devirTicked);
  tick("CheckBoxYTL", s.ytlTicked);
  show("PanelUpgrade", s.panelUpgradeVisible);
  show("Panel2", s.panel2Visible);
  show("PanelYTL", s.panelYtlVisible);
  text("DirectoryEditOrLumex", s.oldDirectory);
  text("DirectoryEditPravex", s.newDirectory);
  text("Edit1", s.sourceYear);
  text("Edit2", s.targetYear);
  index("RadioYUVARLA", s.roundingIndex);
  index("RadioHAS", s.precisionIndex);
  index("RadioORAN", s.ratioIndex);
}

// The status label is as wide as its text, as the table's natural size says.
void TForm1::setLabelText(win32ui::Label& label, const std::string& text) {
  if (label.text() == text) return;
  label.setText(text);
  RECT r{};
  ::GetWindowRect(label.hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(label.hwnd()), reinterpret_cast<POINT*>(&r), 2);
  HFONT f = reinterpret_cast<HFONT>(::SendMessageW(label.hwnd(), WM_GETFONT, 0, 0));
  const uimodel::Size size = win32ui::textSize(f, text);
  label.setBounds({win32ui::unscale(r.left), win32ui::unscale(r.top), win32ui::unscale(size.width),
                   win32ui::unscale(size.height)});
  label.repaintNow();
}

void TForm1::paintNow(form1::PaintNow what) {
  if (what == form1::PaintNow::kGauge)
    get<win32ui::Gauge>("Gauge1").repaintNow();
  else
    ::RedrawWindow(hwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// At most every kAnswerEveryMs the messages that are not input go through
// (painting, messages sent by other programs and Windows' "are you alive"
// ping, which would otherwise mark the window "not responding" in the
// middle of building a company); input stays queued and is dropped at the
// end of the run.
void TForm1::keepAnswering() {
  constexpr ULONGLONG kAnswerEveryMs = 50;
  const ULONGLONG now = ::GetTickCount64();
  if (!m_dropInput || now - m_lastAnswered < kAnswerEveryMs) return;
  m_lastAnswered = now;
  MSG m;
  while (::PeekMessageW(&m, nullptr, 0, 0,
                        PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE)) {
    if (m.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(m.wParam));  // for the loop that ends the program
      break;
    }
    // Input posted rather than typed is dropped too.
    if ((m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
        (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST))
      continue;
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
  }
}

// The window is disabled during a run: clicks, keys and the close box do not
// reach it, its boxes and dialogs (other windows) still work, and it paints.
void TForm1::setInputDropped(bool dropped) {
  if (dropped == m_dropInput) return;
  m_dropInput = dropped;
  if (dropped) {
    m_focusBeforeRun = ::GetFocus();
    m_lastAnswered = ::GetTickCount64();
    ::EnableWindow(hwnd(), FALSE);
    return;
  }
  // Input queued while the run blocked the thread is dropped, not replayed.
  dropQueuedInput();
  ::EnableWindow(hwnd(), TRUE);
  if (m_focusBeforeRun != nullptr && ::IsChild(hwnd(), m_focusBeforeRun))
    ::SetFocus(m_focusBeforeRun);
}

void TForm1::setBusyCursor(bool busy) {
  m_busy = busy;
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void TForm1::showMessage(const form1::Message& m) {
  ShowModelMessage(hwnd(), m);
}

form1::Answer TForm1::ask(const form1::Question& q) {
  return AskModelQuestion(hwnd(), q);
}

bool TForm1::showSelection(CompanyList& companies) {
  return ShowCompanySelection(hwnd(), companies, m_model, title());
}

void TForm1::showReport(const report::RunReport& report, const std::string& savedFile) {
  ShowReportWindow(hwnd(), report, savedFile);
}

void TForm1::showAfterCarryHome(form1::AfterCarryHome& home) {
  ShowReportWindow(hwnd(), home);
}

void TForm1::showHelp() {
  win32ui::ShowHelpWindow(hwnd(), title());
}

HWND TForm1::directoryEdit(form1::Directory edit) const {
  return control(edit == form1::Directory::kOrLumex ? "DirectoryEditOrLumex"
                                                    : "DirectoryEditPravex")
      ->hwnd();
}

std::optional<std::string> TForm1::pickFolder(form1::Directory edit, const std::string& prompt,
                                              const std::string& start) {
  win32ui::FolderPickerArgs args;
  args.owner = hwnd();
  args.title = prompt;
  args.startFolder = start;
  std::optional<std::string> chosen = win32ui::pickFolder(args);
  ::SetFocus(directoryEdit(edit));
  return chosen;
}

// The root of the drive Windows lives on ("C:\").
std::string TForm1::rootDirectory() const {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n >= 2 && windows[1] == L':') return std::string{static_cast<char>(windows[0]), ':', '\\'};
  return "C:\\";
}

void TForm1::closeWindow() {
  close();
}
