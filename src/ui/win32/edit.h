// An edit box: one line (with a length limit and a character filter) or
// several (read-only text with scroll bars), on the window colour or on a
// background of its own.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "ui/win32/control.h"

namespace win32ui {

struct EditArgs : ControlArgs {
  int maxLength = 0;  // characters; 0 leaves Windows' own limit
  bool readOnly = false;
  std::optional<Rgb> background;  // the window colour when absent, also when read-only
  // Several lines: "\n" in the text breaks a line, a vertical scroll bar
  // shows, long lines scroll sideways instead of wrapping.
  bool multiLine = false;
  // Asked for every character typed (WM_CHAR, also backspace 8 and the
  // control characters of Ctrl+V 22 or Ctrl+C 3): false drops it. Text set
  // by setText() or pasted through the context menu does not pass here.
  std::function<bool(char32_t)> acceptChar;
};

class Edit : public Control {
 public:
  ~Edit() override;
  bool create(const EditArgs& args);
  void setText(std::string_view utf8) override;
  void setReadOnly(bool readOnly);

  bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  static LRESULT CALLBACK filter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR subclass, DWORD_PTR self);

  std::optional<Rgb> m_background;
  bool m_multiLine = false;
  std::function<bool(char32_t)> m_acceptChar;
  wchar_t m_highSurrogate = 0;  // the first half of a character outside the BMP
};

}  // namespace win32ui
