// Form1View: what the main window's model asks of the window that shows it
// (the Qt window today, a native Windows one later). The view builds its
// controls from form1layout.h, renders the model's State, shows the boxes and
// dialogs it is asked for and passes every user action to the model. It
// holds no text, rule or rectangle of its own.
#pragma once

#include <optional>
#include <string>

#include "main/form/form1state.h"

class CompanyList;
namespace report {
struct RunReport;
}

namespace form1 {

class AfterCarryHome;

// The parts of the window a render brings up to date (or-ed together).
enum Part : unsigned {
  kCaption = 1u << 0,
  kOptions = 1u << 1,  // ticks, enabled flags, panels, edit texts, radio indexes
  kStatus = 1u << 2,   // Label4: text and visibility
  kGauge = 1u << 3,    // Gauge1: visibility, maximum, position, text
  kAllParts = kCaption | kOptions | kStatus | kGauge,
};

// What must be painted at once, without waiting for the event loop (during a
// run the thread does not return to it).
enum class PaintNow { kWindow, kGauge };

// The two directory edits.
enum class Directory { kOrLumex, kPravex };

// A modal message box with one button.
struct Message {
  enum class Icon { kInformation, kError };
  Icon icon = Icon::kInformation;
  std::string caption;
  std::string text;  // lines broken by "\r\n"
};

// A modal question box with two buttons, or three where the question can be
// left unanswered ("Vazgeç").
struct Question {
  std::string caption;
  std::string text;    // lines broken by "\r\n"
  std::string yes;     // the button that answers kYes
  std::string no;      // answers kNo; without `cancel` also Esc and the close box
  std::string cancel;  // empty: none; else answers kCancel, as Esc and the close box do
};

enum class Answer { kYes, kNo, kCancel };

class View {
 public:
  virtual ~View() = default;

  // Brings `parts` of the window up to date with `state`. A control whose
  // value already matches is left alone (no cursor moves, no signal).
  virtual void renderState(const State& state, unsigned parts) = 0;
  virtual void paintNow(PaintNow what) = 0;
  // During a run: lets the window system's own events through (exposures,
  // the window manager's "still alive" ping) but no user input.
  virtual void keepAnswering() = 0;
  // While on, the window drops every user input meant for it (the modal
  // boxes and dialogs of a run are other windows and work). Turned off at the
  // end of a run, input that queued during it is dropped, not replayed.
  virtual void setInputDropped(bool dropped) = 0;
  virtual void setBusyCursor(bool busy) = 0;

  // Modal boxes and windows; each returns when the user closed it.
  virtual void showMessage(const Message& message) = 0;
  virtual Answer ask(const Question& question) = 0;
  // The company selection dialog over `companies`; true when confirmed.
  virtual bool showSelection(CompanyList& companies) = 0;
  // The reconciliation report window; `savedFile` is the saved HTML file's
  // path text, empty when it could not be saved.
  virtual void showReport(const report::RunReport& report, const std::string& savedFile) = 0;
  // The report window as the home of the actions after a carry
  // (main/form/aftercarry.h): its presentation, a button per action, each
  // pressed button handed to home.press with the window's own boxes. It
  // closes when press returns true (the model shows it again).
  virtual void showAfterCarryHome(AfterCarryHome& home) = 0;
  virtual void showHelp() = 0;
  // The folder dialog of a directory edit, opened at `start`; the chosen
  // directory as a native path, nothing when cancelled.
  virtual std::optional<std::string> pickFolder(Directory edit, const std::string& prompt,
                                                const std::string& start) = 0;
  // Where the folder dialog opens when the edit names nothing that exists:
  // the root of the file system as the view knows it.
  virtual std::string rootDirectory() const = 0;

  // Closes the window (the model has agreed), which ends the program.
  virtual void closeWindow() = 0;
};

}  // namespace form1
