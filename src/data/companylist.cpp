#include "data/companylist.h"

#include <stdexcept>

#include "data/names.h"
#include "data/schemas.h"

CompanyList::CompanyList() {
  for (const FieldSpec& f : schema::Sirket()) m_fields.push_back({f.name, f.type, f.size});
  m_fields.push_back({"DEVIR", pdx::FieldType::kLogical, 0});
  m_fields.push_back({"YENI_SIRKET_KOD", pdx::FieldType::kAlpha, 8});
  m_current = 0;
}

int CompanyList::findField(std::string_view name) const {
  for (std::size_t i = 0; i < m_fields.size(); ++i)
    if (sameName(m_fields[i].name, name)) return static_cast<int>(i);
  return -1;
}

int CompanyList::requireField(std::string_view name) const {
  int i = findField(name);
  if (i < 0) throw std::out_of_range("RxSirket has no field " + std::string(name));
  return i;
}

void CompanyList::clear() {
  m_rows.clear();
  m_notes.clear();
  m_current = 0;
}

void CompanyList::append() {
  m_rows.emplace_back(m_fields.size());
  m_notes.emplace_back();
  m_current = m_rows.size() - 1;
  if (m_afterInsert) m_afterInsert(*this);
}

const Variant& CompanyList::value(std::string_view field) const {
  return m_rows.at(m_current).at(requireField(field));
}

void CompanyList::setValue(std::string_view field, Variant value) {
  m_rows.at(m_current).at(requireField(field)) = std::move(value);
}

std::string CompanyList::text(std::string_view field) const {
  const Variant& v = value(field);
  if (const auto* s = std::get_if<std::string>(&v.value)) return *s;
  return {};
}

bool CompanyList::selected() const {
  const Variant& v = value("DEVIR");
  const auto* b = std::get_if<bool>(&v.value);
  return b && *b;
}

bool CompanyList::drawCode(std::size_t row) {
  const auto* devir = std::get_if<bool>(&m_rows.at(row).at(requireField("DEVIR")).value);
  if (devir == nullptr || !*devir) return true;
  Variant& code = m_rows.at(row).at(requireField("YENI_SIRKET_KOD"));
  if (const auto* s = std::get_if<std::string>(&code.value); s && !s->empty()) return true;
  if (!m_codeDrawer) return false;
  std::string drawn = m_codeDrawer(*this, row);
  if (drawn.empty()) return false;
  code = Variant{std::move(drawn)};
  return true;
}

bool CompanyList::drawCodes() {
  bool all = true;
  for (std::size_t row = 0; row < m_rows.size(); ++row) all = drawCode(row) && all;
  return all;
}

std::string NextFreeCompanyCode(const CompanyList& list, std::size_t row, const std::string& year,
                                const std::function<bool(const std::string& code)>& taken) {
  const int newCode = list.findField("YENI_SIRKET_KOD");
  auto heldByAnotherRow = [&](const std::string& code) {
    for (std::size_t r = 0; r < list.rowCount(); ++r) {
      if (r == row) continue;
      const auto* held = std::get_if<std::string>(&list.valueAt(r, newCode).value);
      if (held && sameName(*held, code)) return true;
    }
    return false;
  };
  for (int n = 1; n <= 999; ++n) {
    std::string digits = std::to_string(n);
    digits.insert(digits.begin(), 3 - digits.size(), '0');
    const std::string code = year + "_" + digits;
    if (!taken(code) && !heldByAnotherRow(code)) return code;
  }
  return {};
}
