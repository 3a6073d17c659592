// TForm1 on Windows: the main window, a native view of form1::Model. It
// builds its controls from the model's table (form1_controls.cpp), renders
// the model's state, and hands every click, typed character, text change and
// close request to the model; the options, rules, texts and rectangles are
// the model's. The look (colours, fonts, the painted title) is the window's.
//
// Control ids follow the table's order (controlId()); a directory edit's
// browse button has the edit's id + 1, a radio group's items id + 1 + i.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main/form/form1layout.h"
#include "main/form/form1model.h"
#include "main/form/form1view.h"
#include "ui/win32/window.h"

namespace win32ui {
class Control;
class Edit;
class CheckBox;
class RadioGroup;
class Gauge;
class Label;
class TZfWinButton;
}  // namespace win32ui

class TForm1 final : public win32ui::Window, private win32ui::WindowEvents, public form1::View {
 public:
  TForm1();
  ~TForm1() override;

  // Creates the window and its controls, hidden; false when Windows refused.
  bool create(HICON icon = nullptr);

  form1::Model& model() { return m_model; }
  bool running() const { return m_model.state().running; }

  // The control id of a control of the table; throws for an unknown name.
  static int controlId(const std::string& name);
  static constexpr int kBrowseOffset = 1;  // the browse button of a directory edit

  // form1::View
  void renderState(const form1::State& state, unsigned parts) override;
  void paintNow(form1::PaintNow what) override;
  void keepAnswering() override;
  void setInputDropped(bool dropped) override;
  void setBusyCursor(bool busy) override;
  void showMessage(const form1::Message& message) override;
  form1::Answer ask(const form1::Question& question) override;
  bool showSelection(CompanyList& companies) override;
  void showReport(const report::RunReport& report, const std::string& savedFile) override;
  void showAfterCarryHome(form1::AfterCarryHome& home) override;
  void showHelp() override;
  std::optional<std::string> pickFolder(form1::Directory edit, const std::string& prompt,
                                        const std::string& start) override;
  std::string rootDirectory() const override;
  void closeWindow() override;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // WindowEvents
  void onCommand(int id, int code) override;
  bool onClose() override;
  void onFirstShown() override;

  // form1_controls.cpp
  bool buildControls();
  bool buildControl(const form1::Control& c, int id, HWND parent);
  win32ui::Control* control(const char* name) const;
  template <typename T>
  T& get(const char* name) const;
  HWND parentOf(const form1::Control& c) const;

  void renderOptions(const form1::State& s);
  void setLabelText(win32ui::Label& label, const std::string& text);
  HWND directoryEdit(form1::Directory edit) const;

  form1::Model m_model{*this};
  std::map<std::string, std::unique_ptr<win32ui::Control>> m_controls;  // by name
  std::vector<std::unique_ptr<win32ui::TZfWinButton>> m_buttons;
  std::map<std::string, win32ui::TZfWinButton*> m_buttonByName;
  bool m_rendering = false;  // changes the window makes itself are not the user's
  bool m_dropInput = false;
  bool m_busy = false;
  HWND m_focusBeforeRun = nullptr;
  ULONGLONG m_lastAnswered = 0;  // during a run: when messages were last let through
};
