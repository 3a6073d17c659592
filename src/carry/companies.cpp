#include <algorithm>
#include <exception>

#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/names.h"
#include "data/registry.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "platform/paths.h"

namespace {

constexpr int kLastCompanyNumber = 999;

}  // namespace

std::string PadTo3Digits(int n) {
  std::string text = std::to_string(n);
  while (text.size() < 3) text.insert(text.begin(), '0');
  return text;
}

void RxSirketAfterInsert(RunHost& host, Workspace& ws) {
  const std::string dataDir = host.newDataDirectory();
  const std::string year = host.targetYear();
  int n = ws.NewCompanySequence;
  // A code the registry already holds is passed over too, even when its
  // directory is gone: the new company could never be registered under it.
  auto taken = [&](int number) {
    const std::string code = year + "_" + PadTo3Digits(number);
    return platform::directoryExists(CompanyDirectory(dataDir, code)) ||
           std::any_of(ws.RegisteredCodes.begin(), ws.RegisteredCodes.end(),
                       [&](const std::string& held) { return sameName(held, code); });
  };
  while (n <= kLastCompanyNumber && taken(n)) ++n;
  // A four-digit number would not fit the 8 characters of a company code and
  // would never be unique again: refuse instead of handing it out.
  if (n > kLastCompanyNumber)
    throw CarryStop(year + " yılı için yeni şirket kodu verilemiyor: " + year + "_001 ile " + year +
                    "_999 arasındaki tüm kodlar kullanılmış.");
  ws.RxSirket.setValue("YENI_SIRKET_KOD", Variant{year + "_" + PadTo3Digits(n)});
  ws.NewCompanySequence = n + 1;
}

bool BuildCompanyList(RunHost& host, Workspace& ws) {
  TTable& registry = ws.DM.SirketPravex_T;
  try {
    registry.close();
    registry.setDatabaseName(host.newDataDirectory());
    registry.open();
  } catch (const std::exception&) {
    InfoBox(host,
            "Pravex programının şirket bilgilerine ulaşılamadı.\r\nData dizininin yolunu kontrol "
            "ediniz.");
    return false;
  }

  ws.RegisteredCodes.clear();
  TField registeredCode = registry.field("SIRKET_KOD");
  for (registry.first(); !registry.eof(); registry.next())
    ws.RegisteredCodes.push_back(registeredCode.asString());

  CompanyList& list = ws.RxSirket;
  list.clear();
  list.setAfterInsert([&host, &ws](CompanyList&) { RxSirketAfterInsert(host, ws); });
  struct DropHandler {
    CompanyList& list;
    ~DropHandler() { list.setAfterInsert(nullptr); }
  } dropHandler{list};
  const std::string year = host.sourceYear();
  TField workingYear = registry.field("NUMBER1");
  for (registry.first(); !registry.eof(); registry.next()) {
    // The year is compared as the text the general number format gives
    // (2005 -> "2005", blank -> "").
    if (workingYear.asString() != year) continue;
    list.append();
    CopyRegistryRowToList(list, registry);
    list.setValue("DEVIR", Variant{true});
  }
  list.first();
  return true;
}
