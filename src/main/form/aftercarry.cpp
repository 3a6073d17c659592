#include "main/form/aftercarry.h"

#include <utility>

#include "main/form/form1model.h"

namespace form1 {

AfterCarryHome::AfterCarryHome(std::function<report::ReportPresentation()> present,
                               std::vector<HomeAction> actions)
    : m_present(std::move(present)), m_actions(std::move(actions)), m_presentation(m_present()) {}

bool AfterCarryHome::press(std::size_t index, HomePort& port) {
  if (index >= m_actions.size()) return false;
  const HomeAction& action = m_actions[index];
  port.setBusyCursor(true);
  const HomeAction::Preview preview = action.preview();
  port.setBusyCursor(false);
  if (!preview.possible) {
    port.showMessage({Message::Icon::kInformation, kInfoCaption, preview.text});
    return false;
  }
  if (port.ask({kQuestionCaption,
                preview.text + "\r\n" + kHomeConfirmQuestion,
                action.confirm,
                kCancelCaption,
                {}}) != Answer::kYes)
    return false;
  port.setBusyCursor(true);
  const HomeAction::Result result = action.run();
  m_presentation = m_present();
  port.setBusyCursor(false);
  port.showMessage({result.failed ? Message::Icon::kError : Message::Icon::kInformation,
                    kInfoCaption, result.text});
  m_reopen = true;
  return true;
}

bool AfterCarryHome::takeReopen() {
  return std::exchange(m_reopen, false);
}

}  // namespace form1
