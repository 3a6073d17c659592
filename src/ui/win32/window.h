// A top-level window of the kit, also run as a modal dialog: a fixed single
// border with the system menu (and a minimise box when asked), no maximise
// box, a client area of the size asked for at 96 DPI, centred on the desktop.
// Its window procedure handles what every window of the programs needs and
// hands the rest to a WindowEvents object; it knows no rule of the program.
#pragma once

#include <windows.h>

#include <string>

#include "ui/model/geometry.h"

namespace win32ui {

struct KeyEvent {
  int virtualKey = 0;  // VK_ESCAPE, 'T', ...
  bool control = false;
  bool alt = false;
  bool shift = false;
};

// What a window reports. Every call comes from the window's thread, inside
// its window procedure or its message loop.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A button was clicked or an edit changed (BN_CLICKED, EN_CHANGE, ...), in
  // the window or in one of its panels. Enter and Esc pressed outside a
  // control that takes them come as IDOK and IDCANCEL with code 0, so the
  // controls of a window use other ids.
  virtual void onCommand(int /*id*/, int /*code*/) {}
  // A key pressed or a character typed anywhere in the window, before the
  // control with the focus sees it. True: handled, the control never sees it.
  virtual bool onKeyDown(const KeyEvent& /*key*/) { return false; }
  virtual bool onChar(char32_t /*character*/) { return false; }
  // The close box, Alt+F4, or close(). False keeps the window open.
  virtual bool onClose() { return true; }
  // The window is shown for the first time.
  virtual void onFirstShown() {}
  // The window became the active one.
  virtual void onActivated() {}
  // A timer of the window (SetTimer(hwnd(), id, ...)) elapsed.
  virtual void onTimer(UINT_PTR /*id*/) {}
};

struct WindowArgs {
  HWND owner = nullptr;  // a modal dialog's owner, disabled while it runs
  std::string title;
  uimodel::Size clientSize;  // 96-DPI pixels
  bool minimiseBox = true;
  bool endProgramOnClose = false;  // the main window: closing it ends the message loop
  HICON icon = nullptr;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  // Creates the window, hidden and centred on the desktop; false when Windows
  // refused. `events` must outlive the window; null reports nothing.
  bool create(const WindowArgs& args, WindowEvents* events);
  HWND hwnd() const { return m_hwnd; }

  void show();
  void setTitle(const std::string& utf8);
  std::string title() const;
  // Asks the window to close, as its close box does (onClose() may refuse).
  void close();

  // Shows the window modally: the owner is disabled until the window closes
  // or endModal() is called, and the thread's messages are handled meanwhile.
  // Returns endModal()'s result, IDCANCEL when it was closed. A WM_QUIT seen
  // meanwhile ends the loop and is posted again for the outer loop.
  int runModal();
  void endModal(int result);
  bool isModalRunning() const { return m_modal; }

  // The thread's message loop for the main window, until WM_QUIT; returns its
  // exit code.
  static int runMessageLoop();
  // What every loop does with a message before dispatching it: the key
  // preview of the window it is for, then the dialog keys (Tab, arrows,
  // Enter, Esc). True when the message was used up.
  static bool preTranslate(MSG& message);

  static Window* fromHwnd(HWND hwnd);

 protected:
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void centreOnDesktop();

  HWND m_hwnd = nullptr;
  WindowEvents* m_events = nullptr;
  bool m_endProgramOnClose = false;
  bool m_shownOnce = false;
  bool m_modal = false;
  int m_modalResult = IDCANCEL;
};

}  // namespace win32ui
