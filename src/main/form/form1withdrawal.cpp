// The after-carry home's way back: "Devri geri al" withdraws the carry of
// every company of the target year that nobody has used since (withdraw/,
// main/driver/withdrawal.h). The preview names the ones it would withdraw
// and, with their reasons, the ones it cannot; only the former are asked
// for, and the run looks at them again before it writes.
#include <string>
#include <vector>

#include "main/driver/withdrawal.h"
#include "main/form/form1model.h"

namespace form1 {

namespace {

// Passes the progress on to the window but keeps the run's messages for
// the home's own message after it.
class KeptMessages final : public ForwardingRunHost {
 public:
  using ForwardingRunHost::ForwardingRunHost;
  void infoBox(const std::string& text) override {
    m_text += (m_text.empty() ? "" : "\r\n") + text;
  }
  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

withdraw::WithdrawalRequest allOfTheYear(const RunOptions& run) {
  withdraw::WithdrawalRequest request;
  request.dataDirectory = run.newData;
  request.targetYear = run.targetYear;
  request.allCompanies = true;
  return request;
}

// The plan reduced to the companies that can be withdrawn, and the text of
// the others.
withdraw::WithdrawalPlan possibleOnly(const withdraw::WithdrawalPlan& plan, std::string& others) {
  withdraw::WithdrawalPlan possible = plan;
  possible.companies.clear();
  for (const withdraw::CompanyWithdrawal& c : plan.companies) {
    if (c.possible()) {
      possible.companies.push_back(c);
      continue;
    }
    others += "\r\n  " + c.code + " (" + c.shortName + "): ";
    for (const std::string& why : c.refusals)
      others += why + (&why == &c.refusals.back() ? "" : "; ");
  }
  return possible;
}

}  // namespace

HomeAction Model::carryWithdrawalAction(const RunOptions& run) {
  HomeAction action;
  action.caption = kWithdrawCaption;
  action.confirm = "Geri al";
  action.preview = [run]() -> HomeAction::Preview {
    const withdraw::WithdrawalPlan plan = withdraw::PlanWithdrawal(allOfTheYear(run));
    std::string others;
    const withdraw::WithdrawalPlan possible = possibleOnly(plan, others);
    if (!plan.stop.empty() || possible.companies.empty()) return {plan.text(), false};
    std::string text = possible.text();
    if (!others.empty())
      text += "\r\nDevri geri alınamayacak şirketler (bunlara dokunulmaz):" + others;
    return {text, true};
  };
  action.run = [this, run]() -> HomeAction::Result {
    std::string others;
    withdraw::WithdrawalRequest request = allOfTheYear(run);
    const withdraw::WithdrawalPlan plan = possibleOnly(withdraw::PlanWithdrawal(request), others);
    request.allCompanies = false;
    for (const withdraw::CompanyWithdrawal& c : plan.companies) request.companies.push_back(c.code);
    KeptMessages host(*this);
    const WithdrawalEnd end =
        request.companies.empty()
            ? WithdrawalEnd::kRefused
            : RunCarryWithdrawal(host, *this, m_productCheck, request, false, nullptr);
    if (end == WithdrawalEnd::kWithdrawn) return {host.text(), false};
    return {host.text().empty() ? "Devir geri alınamadı." : host.text(), true};
  };
  return action;
}

}  // namespace form1
