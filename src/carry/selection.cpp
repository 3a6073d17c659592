#include "carry/selection.h"

#include <algorithm>
#include <cstdio>

#include "data/companylist.h"
#include "jobs/runhost.h"

namespace {

using Align = CompanySelection::Align;

const CompanySelection::GridColumn kColumns[CompanySelection::kColumnCount] = {
    {"DEVIR", "Devret", 42, Align::kCenter},
    {"SIRKET_KOD", "Şirket Kodu", 87, Align::kLeft},
    {"KISA_AD", "Kısa Adı", 0, Align::kLeft},
    {"NUMBER1", "Çalışma Yılı", 0, Align::kRight},
    {"YENI_SIRKET_KOD", "Yeni şirket kodu", 106, Align::kLeft},
};

// Pixels a cell keeps free beside its text, as the grid draws it.
constexpr int kCellMargin = 4;

std::string numberText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

}  // namespace

const CompanySelection::GridColumn& CompanySelection::column(int column) {
  return kColumns[column];
}

CompanySelection::CompanySelection(CompanyList& companies, RunHost& host)
    : m_companies(companies), m_host(host) {
  for (int c = 0; c < kColumnCount; ++c) m_fields[c] = companies.findField(kColumns[c].field);
}

int CompanySelection::rowCount() const {
  return static_cast<int>(m_companies.rowCount());
}

std::string CompanySelection::cellText(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount || m_fields[column] < 0)
    return {};
  const Variant& v = m_companies.valueAt(static_cast<std::size_t>(row), m_fields[column]);
  if (const auto* s = std::get_if<std::string>(&v.value)) return *s;
  if (const auto* d = std::get_if<double>(&v.value)) return numberText(*d);
  if (const auto* i = std::get_if<std::int64_t>(&v.value)) return std::to_string(*i);
  if (const auto* b = std::get_if<bool>(&v.value)) return *b ? "X" : "";
  return {};
}

int CompanySelection::displayWidth(int column) const {
  if (column < 0 || column >= kColumnCount || m_fields[column] < 0) return 0;
  const CompanyList::Field& field =
      m_companies.fields()[static_cast<std::size_t>(m_fields[column])];
  switch (field.type) {
    case pdx::FieldType::kAlpha:
      return field.size;
    case pdx::FieldType::kLogical:
      return 5;  // "False"
    default:
      return 10;  // numbers and dates
  }
}

int CompanySelection::columnWidth(int column, int digitWidth, int titleWidth) const {
  if (column < 0 || column >= kColumnCount) return 0;
  if (kColumns[column].width > 0) return kColumns[column].width;
  return std::max(displayWidth(column) * digitWidth + kCellMargin, titleWidth);
}

int CompanySelection::currentRow() const {
  if (m_companies.rowCount() == 0) return -1;
  return static_cast<int>(std::min(m_companies.currentRow(), m_companies.rowCount() - 1));
}

bool CompanySelection::DBGrid1CellClick(int row, int column) {
  if (row < 0 || row >= rowCount()) return false;
  m_companies.moveTo(static_cast<std::size_t>(row));
  if (column != kDevir) return false;
  m_companies.setValue("DEVIR", Variant{!m_companies.selected()});
  // A row the carry-forward left without a code (carried already) shows the
  // code it would be carried into as soon as it is ticked.
  m_companies.drawCode(static_cast<std::size_t>(row));
  return true;
}

bool CompanySelection::Button1Click() {
  const int devir = m_fields[kDevir];
  bool any = false;
  for (std::size_t row = 0; row < m_companies.rowCount() && !any; ++row) {
    const auto* b = std::get_if<bool>(&m_companies.valueAt(row, devir).value);
    any = b != nullptr && *b;
  }
  if (!any) {
    InfoBox(m_host, kEmptySelection);
    return false;
  }
  m_confirmed = true;
  return true;
}

std::string CompanySelection::notes() const {
  std::string joined;
  for (std::size_t row = 0; row < m_companies.rowCount(); ++row) {
    const std::string& note = m_companies.noteAt(row);
    if (note.empty()) continue;
    if (!joined.empty()) joined += "\r\n";
    joined += note;
  }
  return joined;
}

bool EveryCompanyCarried(const CompanyList& companies) {
  if (companies.rowCount() == 0) return false;
  for (std::size_t row = 0; row < companies.rowCount(); ++row)
    if (companies.noteAt(row).empty()) return false;
  return true;
}
