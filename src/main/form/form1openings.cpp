// The openings check in the window. Once every company of the source year
// has been carried, the selection would offer nothing to tick; the window
// offers instead to compare the new year's openings with what the old year
// gives today (late entries), a check that writes nothing but its report,
// shown by the desktop's browser.
#include <exception>
#include <string>

#include "carry/selection.h"
#include "main/form/form1model.h"
#include "platform/paths.h"
#include "report/openingsformat.h"
#include "report/reportfiles.h"

namespace form1 {

bool Model::offerOpeningsCheck(const CompanyList& companies) {
  // With the upgrade the list is the upgraded registry's, of another edition.
  if (m_state.upgradeTicked || !EveryCompanyCarried(companies)) return false;
  const std::string question =
      m_state.sourceYear + " yılının bütün şirketleri " + m_state.targetYear +
      " yılına devredilmiş.\r\nYeni yılın açılış değerleri, devirden sonra eski yıla girilen "
      "kayıtlarla karşılaştırılsın mı?\r\n(Şirketlere hiçbir şey yazılmaz.)";
  // "Vazgeç" ends the run as the selection's own "Vazgeç" would.
  const Answer answer =
      m_view.ask({kQuestionCaption, question, "Karşılaştır", "Şirket seç", kCancelCaption});
  m_openingsCheckWanted = answer == Answer::kYes;
  return answer != Answer::kNo;
}

report::OpeningsOptions Model::openingsOptions(const RunOptions& run) const {
  report::OpeningsOptions options;
  options.dataDirectory = run.newData;
  options.fromYear = run.sourceYear;
  options.toYear = run.targetYear;
  options.roundingMode = run.rounding;
  return options;
}

void Model::offerOpeningsReport(const RunOptions& run, const report::OpeningsReport& checked) {
  std::size_t differing = 0;
  for (const report::CompanyOpenings& c : checked.companies)
    differing += c.differences.size() + (c.failed ? 1 : 0);
  std::string saved, failure;
  try {
    saved = report::SaveOpeningsReport(checked, report::ReportDirectory(run.newData)).htmlFile;
  } catch (const std::exception& e) {
    failure = std::string("\r\nRapor kaydedilemedi: ") + e.what();
  }
  const std::string summary =
      checked.agrees()
          ? std::string("Devir değerleri denetlendi: bütün açılışlar uyuyor.")
          : "Devir değerleri denetiminde " + std::to_string(differing) + " fark bulundu.";
  if (saved.empty()) return infoBox(summary + failure);
  if (m_view.ask({kQuestionCaption, summary + "\r\nRaporu göstermek ister misiniz?",
                  "Raporu göster", "Kapat"}) != Answer::kYes)
    return;
  const auto path = platform::resolvePath(saved);
  if (!path || !m_openInShell(Utf8Path(*path))) infoBox("Rapor açılamadı: " + saved);
}

}  // namespace form1
