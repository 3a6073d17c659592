// The after-carry actions' home, without a toolkit: the report window that
// shows the openings check's lines and offers what can be done about a
// carry-forward after it (bring the openings up to date today; others join
// as one entry each). A window of either system renders its presentation
// and a button per action, and hands a pressed button back here; every
// question and message of an action goes through the window's HomePort.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "main/form/form1view.h"
#include "report/presentation.h"

namespace form1 {

// What an action asks of the window that shows the home: its own modal
// boxes, over it.
class HomePort {
 public:
  virtual ~HomePort() = default;
  virtual Answer ask(const Question& question) = 0;
  virtual void showMessage(const Message& message) = 0;
  virtual void setBusyCursor(bool busy) = 0;
};

// One action of the home, one entry of its table.
struct HomeAction {
  std::string caption;  // the button: "Açılışları güncelle"
  // What the action would do, without doing it, for the confirmation
  // ("Önizleme ..."); `possible` false when there is nothing to do (the
  // text then says why and nothing is asked).
  struct Preview {
    std::string text;
    bool possible = false;
  };
  std::function<Preview()> preview;
  std::string confirm;  // the confirmation's yes button: "Güncelle"
  // Does it; the message shown after it (an error icon when `failed`).
  struct Result {
    std::string text;
    bool failed = false;
  };
  std::function<Result()> run;
};

class AfterCarryHome {
 public:
  // `present` gives the window's presentation, again after an action.
  AfterCarryHome(std::function<report::ReportPresentation()> present,
                 std::vector<HomeAction> actions);

  const report::ReportPresentation& presentation() const { return m_presentation; }
  const std::vector<HomeAction>& actions() const { return m_actions; }

  // The button of action `index` was pressed: its preview, then (when there
  // is something to do) the question "<preview>\r\n<question>" with the
  // action's confirm button and "Vazgeç", then the run and its message. True
  // when the action ran: the presentation is made again, and the window
  // shows it (the views close and reopen on it: takeReopen).
  bool press(std::size_t index, HomePort& port);

  // True once after an action ran: the window closed to be shown again.
  bool takeReopen();

 private:
  std::function<report::ReportPresentation()> m_present;
  std::vector<HomeAction> m_actions;
  report::ReportPresentation m_presentation;
  bool m_reopen = false;
};

// The confirmation's question under an action's preview.
inline constexpr const char* kHomeConfirmQuestion = "Bu değişiklikler yapılsın mı?";

}  // namespace form1
