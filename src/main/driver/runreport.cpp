#include "main/driver/runreport.h"

#include <exception>

#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "report/reportfiles.h"
#include "report/reportformat.h"

std::vector<report::CarriedCompany> CarriedCompanies(const Workspace& ws) {
  const CompanyList& list = ws.RxSirket;
  const int devir = list.findField("DEVIR");
  const int code = list.findField("SIRKET_KOD");
  const int newCode = list.findField("YENI_SIRKET_KOD");
  const int name = list.findField("KISA_AD");
  auto text = [&](std::size_t row, int field) {
    const auto* s = std::get_if<std::string>(&list.valueAt(row, field).value);
    return s ? *s : std::string();
  };
  std::vector<report::CarriedCompany> carried;
  for (std::size_t row = 0; row < list.rowCount(); ++row) {
    const auto* selected = std::get_if<bool>(&list.valueAt(row, devir).value);
    if (selected && *selected)
      carried.push_back({text(row, code), text(row, newCode), text(row, name)});
  }
  return carried;
}

report::ReconcileOptions ReportOptions(const RunOptions& run) {
  report::ReconcileOptions o;
  o.dataDirectory = run.newData;
  o.ytl = run.ytl;
  o.roundingMode = run.rounding;
  o.digits = run.digits;
  o.currencyName = run.currencyName;
  o.currencySymbol = run.currencySymbol;
  o.subUnitName = run.subUnitName;
  o.subUnitSymbol = run.subUnitSymbol;
  return o;
}

std::optional<CarryReport> ReconcileAndSave(const RunOptions& run, const Workspace& ws,
                                            const platform::TypedPath& folder) {
  const std::vector<report::CarriedCompany> companies = CarriedCompanies(ws);
  if (companies.empty()) return std::nullopt;
  CarryReport made{report::ReconcileRun(ReportOptions(run), companies), {}, {}};
  try {
    made.saved = report::SaveReport(made.report, folder);
  } catch (const std::exception& e) {
    made.saveFailure = e.what();
  }
  return made;
}

std::optional<report::RunReport> ReportCarryForward(const RunOptions& run, const Workspace& ws,
                                                    const platform::TypedPath& folder,
                                                    std::ostream& out, std::ostream& err) {
  std::optional<CarryReport> made =
      ReconcileAndSave(run, ws, folder.empty() ? report::ReportDirectory(run.newData) : folder);
  if (!made) return std::nullopt;
  out << '\n' << report::PlainTextReport(made->report);
  if (made->saveFailure.empty())
    out << "Rapor kaydedildi: " << made->saved.htmlFile << "\n                  "
        << made->saved.csvFile << '\n';
  else
    err << "upgrade-devir: Rapor kaydedilemedi: " << made->saveFailure << '\n';
  out << std::flush;
  return std::move(made->report);
}
