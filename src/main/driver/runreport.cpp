#include "main/driver/runreport.h"

#include <exception>

#include "jobs/runhost.h"
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

report::ReconcileOptions ReportOptions(const RunHost& host) {
  report::ReconcileOptions o;
  o.dataDirectory = host.newDataDirectory();
  o.ytl = host.ytlTicked();
  o.roundingMode = host.roundingMode();
  o.digits = host.precisionDigits();
  o.currencyName = host.currencyName();
  o.currencySymbol = host.currencySymbol();
  o.subUnitName = host.subUnitName();
  o.subUnitSymbol = host.subUnitSymbol();
  return o;
}

std::optional<report::RunReport> ReportCarryForward(const RunHost& host, const Workspace& ws,
                                                    const std::string& folder, std::ostream& out,
                                                    std::ostream& err) {
  const std::vector<report::CarriedCompany> companies = CarriedCompanies(ws);
  if (companies.empty()) return std::nullopt;
  report::RunReport r = report::ReconcileRun(ReportOptions(host), companies);
  out << '\n' << report::PlainTextReport(r);
  try {
    const report::SavedReport saved = report::SaveReport(
        r, folder.empty() ? report::ReportDirectory(host.newDataDirectory()) : folder);
    out << "Rapor kaydedildi: " << saved.htmlFile << "\n                  " << saved.csvFile
        << '\n';
  } catch (const std::exception& e) {
    err << "upgrade-devir: Rapor kaydedilemedi: " << e.what() << '\n';
  }
  out << std::flush;
  return r;
}
