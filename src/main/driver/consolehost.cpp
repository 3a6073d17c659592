#include "main/driver/consolehost.h"

#include <algorithm>

#include "carry/selection.h"
#include "data/companylist.h"
#include "platform/wildcard.h"

namespace {

// "\r\n" line breaks of the window's texts become plain newlines.
std::string consoleText(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out.push_back(c);
  return out;
}

}  // namespace

ConsoleHost::ConsoleHost(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
    : m_options(options), m_out(out), m_err(err) {}

RunOptions ConsoleHost::runOptions() const {
  RunOptions run;
  run.upgrade = m_options.upgrade;
  run.devir = m_options.devir;
  run.ytl = m_options.ytl;
  run.oldData = platform::TypedPath::resolve(m_options.oldDataDirectory);
  run.newData = platform::TypedPath::resolve(m_options.dataDirectory);
  run.sourceYear = m_options.fromYear;
  run.targetYear = m_options.toYear;
  run.rounding = m_options.rounding;
  if (!m_options.allCompanies) run.companies = m_options.companies;
  run.dryRun = m_options.dryRun;
  return run;
}

void ConsoleHost::setStatusText(const std::string& text) {
  m_err << consoleText(text) << '\n' << std::flush;
  m_shownTenth = -1;
}

void ConsoleHost::setGaugeMax(int maximum) {
  m_gaugeMax = maximum;
  m_gaugePosition = std::min(m_gaugePosition, maximum);
  m_shownTenth = -1;
}

void ConsoleHost::setGaugePosition(int position) {
  m_gaugePosition = std::clamp(position, 0, std::max(m_gaugeMax, 0));
  showProgress();
}

void ConsoleHost::advanceGauge() {
  if (m_gaugePosition < m_gaugeMax) ++m_gaugePosition;
  showProgress();
}

// One line per tenth of the way, so that a million records do not flood the
// terminal.
void ConsoleHost::showProgress() {
  if (m_gaugeMax <= 0) return;
  int percent = static_cast<int>(static_cast<long long>(m_gaugePosition) * 100 / m_gaugeMax);
  int tenth = percent / 10;
  if (tenth == m_shownTenth || tenth == 0) return;
  m_shownTenth = tenth;
  m_err << "  %" << tenth * 10 << " (" << m_gaugePosition << "/" << m_gaugeMax << ")\n"
        << std::flush;
}

void ConsoleHost::infoBox(const std::string& text) {
  m_out << consoleText(text) << '\n' << std::flush;
}

bool ConsoleHost::selectCompanies(CompanyList& companies) {
  int code = companies.findField("SIRKET_KOD");
  int devir = companies.findField("DEVIR");
  auto codeAt = [&](std::size_t row) {
    const auto* s = std::get_if<std::string>(&companies.valueAt(row, code).value);
    return s ? *s : std::string();
  };
  if (!m_options.allCompanies) {
    bool known = true;
    for (const std::string& wanted : m_options.companies) {
      bool found = false;
      for (std::size_t row = 0; row < companies.rowCount(); ++row)
        found = found || platform::sameNameNoCase(codeAt(row), wanted);
      if (!found) {
        m_err << "upgrade-devir: " << wanted << " kodlu bir şirket " << m_options.fromYear
              << " yılında yok\n";
        known = false;
      }
    }
    if (!known) return false;
    for (std::size_t row = 0; row < companies.rowCount(); ++row) {
      bool wanted = std::any_of(
          m_options.companies.begin(), m_options.companies.end(),
          [&](const std::string& c) { return platform::sameNameNoCase(codeAt(row), c); });
      companies.setValueAt(row, devir, Variant{wanted});
    }
  }
  if (m_options.allCompanies)
    for (std::size_t row = 0; row < companies.rowCount(); ++row)
      if (!companies.noteAt(row).empty())
        m_err << companies.noteAt(row)
              << ": atlanıyor (yeniden devretmek için kodunu --companies ile veriniz)\n";
  for (std::size_t row = 0; row < companies.rowCount(); ++row) {
    const auto* b = std::get_if<bool>(&companies.valueAt(row, devir).value);
    if (b && *b) return true;
  }
  // Without a dialog to answer, say why nothing is left to carry rather than
  // ask for a selection.
  if (companies.rowCount() == 0)
    infoBox(m_options.fromYear + " yılına ait şirket bulunamadı");
  else if (m_options.allCompanies && EveryCompanyCarried(companies))
    infoBox(m_options.fromYear + " yılının bütün şirketleri " + m_options.toYear +
            " yılına devredilmiş");
  else
    infoBox("Devir işlemi için en az 1 şirket seçmelisiniz");
  return false;
}
