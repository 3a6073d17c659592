// The openings check over a data directory: which companies of year N were
// carried into which of year N+1, then each pair (openings.cpp).
#include <algorithm>
#include <exception>
#include <memory>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/tablepath.h"
#include "paradox/table.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wildcard.h"
#include "report/carryrecord.h"
#include "report/numbers.h"
#include "report/openings.h"
#include "report/reportfiles.h"
#include "report/tables.h"

namespace report {

namespace {

struct RecordLink {
  std::string newCode;
  platform::TypedPath file;
};

// The records of carries from year `from` into `to`, by old code, in file
// name order.
std::vector<std::pair<std::string, RecordLink>> readRecordLinks(
    const platform::TypedPath& dataDirectory, const std::string& from, const std::string& to) {
  std::vector<std::pair<std::string, RecordLink>> links;
  const platform::TypedPath folder = ReportDirectory(dataDirectory);
  if (!folder.isDirectory()) return links;
  for (const std::string& name : platform::listFiles(folder, kCarryRecordMask)) {
    const platform::TypedPath file = folder.below(name);
    const auto header = ReadCarryRecordHeader(file);
    if (header && header->fromYear == from && header->toYear == to)
      links.push_back({header->oldCode, {header->newCode, file}});
  }
  return links;
}

}  // namespace

std::vector<std::string> CompaniesOfBothYears(const OpeningsOptions& o) {
  std::vector<std::string> codes;
  try {
    for (const RegistryRow& r : ReadRegistry(o.dataDirectory))
      if (r.year == o.fromYear || r.year == o.toYear) codes.push_back(r.code);
  } catch (const std::exception&) {
    codes.clear();
  }
  return codes;
}

CompanyPairing PairCompanies(const OpeningsOptions& o) {
  CompanyPairing out;
  std::vector<RegistryRow> registry;
  try {
    registry = ReadRegistry(o.dataDirectory);
  } catch (const std::exception& e) {
    std::string text =
        "Pravex programının şirket bilgilerine ulaşılamadı.\r\nData dizininin yolunu kontrol "
        "ediniz.";
    if (std::string cause = UnreadableTableText(o.dataDirectory.text(), e); !cause.empty())
      text += "\r\n" + cause;
    out.stop.push_back({text});
    return out;
  }
  std::vector<const RegistryRow*> olds;
  for (const RegistryRow& r : registry)
    if (r.year == o.fromYear) olds.push_back(&r);
  if (!o.allCompanies) {
    for (const std::string& wanted : o.companies)
      if (std::none_of(olds.begin(), olds.end(), [&](const RegistryRow* r) {
            return platform::sameNameNoCase(r->code, wanted);
          }))
        out.stop.push_back({wanted + " kodlu bir şirket " + o.fromYear + " yılında yok"});
    if (!out.stop.empty()) return out;
    std::erase_if(olds, [&](const RegistryRow* r) {
      return std::none_of(o.companies.begin(), o.companies.end(), [&](const std::string& c) {
        return platform::sameNameNoCase(r->code, c);
      });
    });
  }
  if (olds.empty()) {
    out.stop.push_back({o.fromYear + " yılına ait şirket bulunamadı"});
    return out;
  }
  std::vector<std::pair<std::string, RecordLink>> links;
  try {
    links = readRecordLinks(o.dataDirectory, o.fromYear, o.toYear);
  } catch (const std::exception& e) {
    out.notes.push_back(std::string("Devir kayıtları okunamadı: ") + FailureText(e));
  }
  auto registeredInTarget = [&](const std::string& code) {
    return std::any_of(registry.begin(), registry.end(),
                       [&](const RegistryRow& r) { return r.code == code && r.year == o.toYear; });
  };
  for (const RegistryRow* old : olds) {
    bool carried = false;
    // A record whose company is not registered belongs to a carry that did
    // not finish: it links nothing.
    for (const auto& [oldCode, link] : links)
      if (oldCode == old->code && registeredInTarget(link.newCode)) {
        out.pairs.push_back({old->code, link.newCode, old->shortName, link.file});
        carried = true;
      }
    if (carried) continue;
    const std::string carriedName = FirstCharacters(old->shortName + " " + o.toYear, 30);
    for (const RegistryRow& r : registry)
      if (r.year == o.toYear && r.shortName == carriedName) {
        out.pairs.push_back({old->code, r.code, old->shortName, {}});
        carried = true;
      }
    if (!carried)
      out.notes.push_back(old->code + " " + old->shortName + ": " + o.toYear +
                          " yılına devredilmemiş");
  }
  return out;
}

OpeningsOutcome CheckOpenings(const OpeningsOptions& o) {
  OpeningsOutcome outcome;
  OpeningsReport& report = outcome.report;
  report.fromYear = o.fromYear;
  report.toYear = o.toYear;
  report.date = LocalDateTime();
  CompanyPairing pairing = PairCompanies(o);
  if (!pairing.stop.empty()) {
    outcome.stop = std::move(pairing.stop);
    return outcome;
  }
  for (const CompanyPair& p : pairing.pairs)
    report.companies.push_back(CheckCompanyOpenings(o.dataDirectory, p.oldCode, p.newCode,
                                                    p.shortName, p.recordFile, o.roundingMode));
  report.notes = std::move(pairing.notes);
  return outcome;
}

}  // namespace report
