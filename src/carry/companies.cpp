#include <algorithm>
#include <exception>

#include "carry/staging.h"
#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "data/registry.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"

namespace {

constexpr int kLastCompanyNumber = 999;

// The first `count` characters of a UTF-8 text (a registry text field keeps
// that many characters).
std::string firstCharacters(const std::string& text, std::size_t count) {
  std::size_t bytes = 0;
  for (std::size_t seen = 0; bytes < text.size(); ++bytes)
    if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80 && seen++ == count) break;
  return text.substr(0, bytes);
}

struct RegistryRow {
  std::string code, name, year;
};

// A code whose directory exists, or that the registry holds even when its
// directory is gone: a new company could never be registered under it.
bool codeTaken(const platform::TypedPath& dataDir, const std::vector<std::string>& registered,
               const std::string& code) {
  return CompanyDirectory(dataDir, code).isDirectory() ||
         std::any_of(registered.begin(), registered.end(),
                     [&](const std::string& held) { return sameName(held, code); });
}

}  // namespace

std::string NoCodeLeftMessage(const std::string& year) {
  return year + " yılı için yeni şirket kodu verilemiyor: " + year + "_001 ile " + year +
         "_999 arasındaki tüm kodlar kullanılmış.";
}

std::string PadTo3Digits(int n) {
  std::string text = std::to_string(n);
  while (text.size() < 3) text.insert(text.begin(), '0');
  return text;
}

void RxSirketAfterInsert(const RunOptions& run, Workspace& ws) {
  const std::string& year = run.targetYear;
  int n = ws.NewCompanySequence;
  while (n <= kLastCompanyNumber &&
         codeTaken(run.newData, ws.RegisteredCodes, year + "_" + PadTo3Digits(n)))
    ++n;
  // A four-digit number would not fit the 8 characters of a company code and
  // would never be unique again: refuse instead of handing it out.
  if (n > kLastCompanyNumber) throw CarryStop(NoCodeLeftMessage(year));
  ws.RxSirket.setValue("YENI_SIRKET_KOD", Variant{year + "_" + PadTo3Digits(n)});
  ws.NewCompanySequence = n + 1;
}

bool BuildCompanyList(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& registry = ws.DM.SirketPravex_T;
  try {
    registry.close();
    registry.setDatabaseName(run.newData);
    registry.open();
  } catch (const std::exception& e) {
    std::string text =
        "Pravex programının şirket bilgilerine ulaşılamadı.\r\nData dizininin yolunu kontrol "
        "ediniz.";
    // A registry that is there but cannot be read (a disk or a share
    // failing) is named with its cause: the path is not what is wrong.
    if (std::string cause = UnreadableTableText(run.newData.text(), e); !cause.empty())
      text += "\r\n" + cause;
    InfoBox(host, text);
    return false;
  }

  ws.RegisteredCodes.clear();
  std::vector<RegistryRow> rows;
  TField registeredCode = registry.field("SIRKET_KOD");
  TField registeredName = registry.field("KISA_AD");
  TField registeredYear = registry.field("NUMBER1");
  for (registry.first(); !registry.eof(); registry.next()) {
    ws.RegisteredCodes.push_back(registeredCode.asString());
    rows.push_back(
        {registeredCode.asString(), registeredName.asString(), registeredYear.asString()});
  }
  // Before any code is handed out: what a killed run left is removed, so its
  // numbers are free again.
  TidyUnfinishedCompanies(host, run.newData, ws.RegisteredCodes);
  const std::string& target = run.targetYear;

  CompanyList& list = ws.RxSirket;
  list.clear();
  // A row left without a code (carried already) that is ticked again draws
  // the first number no directory, registry row or other row holds.
  list.setCodeDrawer([dataDir = run.newData, target, registered = ws.RegisteredCodes](
                         const CompanyList& companies, std::size_t row) {
    return NextFreeCompanyCode(companies, row, target, [&](const std::string& code) {
      return codeTaken(dataDir, registered, code);
    });
  });
  const std::string& year = run.sourceYear;
  TField workingYear = registry.field("NUMBER1");
  for (registry.first(); !registry.eof(); registry.next()) {
    // The year is compared as the text the general number format gives
    // (2005 -> "2005", blank -> "").
    if (workingYear.asString() != year) continue;
    list.append();
    CopyRegistryRowToList(list, registry);
    // Carried already (a registered company of the target year under the
    // name a carry gives): offered unselected, so that a rerun after a
    // failure does not carry it a second time, and without a new code, so
    // that its number stays free for the companies that are carried.
    const std::string carriedName = firstCharacters(list.text("KISA_AD") + " " + target, 30);
    const auto carried = std::find_if(rows.begin(), rows.end(), [&](const RegistryRow& r) {
      return r.year == target && r.name == carriedName;
    });
    if (carried == rows.end()) {
      list.setValue("DEVIR", Variant{true});
      RxSirketAfterInsert(run, ws);
    } else {
      list.setValue("DEVIR", Variant{false});
      list.setNote(list.text("SIRKET_KOD") + " zaten " + carried->code + " koduyla " + target +
                   " yılına devredilmiş");
    }
  }
  list.first();
  return true;
}
