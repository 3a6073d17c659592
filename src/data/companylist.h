// RxSirket: the in-memory company list of a carry-forward run.
//
// Its fields are the 34 fields of the company registry, in the registry's
// declared order, followed by DEVIR (boolean: selected) and YENI_SIRKET_KOD
// (text 8: the new company's code). Rows keep the order they were appended
// in. A cursor (first/next/eof) names the current row that the carry-forward
// steps read, as the window's in-memory table does.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/variant.h"
#include "paradox/table.h"

class CompanyList {
 public:
  struct Field {
    std::string name;
    pdx::FieldType type;
    int size;  // text size; 0 for other types
  };

  CompanyList();

  const std::vector<Field>& fields() const { return m_fields; }
  // Index of a field by name, letter case ignored; -1 when absent.
  int findField(std::string_view name) const;

  // Removes every row; the cursor is then at eof.
  void clear();
  // Appends a row with every value null, makes it current and runs the
  // after-insert handler (RxSirketAfterInsert) when one is set.
  void append();
  std::size_t rowCount() const { return m_rows.size(); }

  void first() { m_current = 0; }
  void next() {
    if (m_current < m_rows.size()) ++m_current;
  }
  bool eof() const { return m_current >= m_rows.size(); }
  std::size_t currentRow() const { return m_current; }
  void moveTo(std::size_t row) { m_current = row; }

  // Values of the current row. Throw std::out_of_range at eof or for an
  // unknown field name.
  const Variant& value(std::string_view field) const;
  void setValue(std::string_view field, Variant value);
  const Variant& valueAt(std::size_t row, int field) const { return m_rows.at(row).at(field); }
  void setValueAt(std::size_t row, int field, Variant value) {
    m_rows.at(row).at(field) = std::move(value);
  }

  // Convenience readers of the current row.
  std::string text(std::string_view field) const;  // null reads as ""
  bool selected() const;                           // DEVIR, null reads as false

  // A note on a row, not one of its fields: why the carry-forward left it
  // unselected ("" when nothing to say). Shown beside the selection grid.
  void setNote(std::string note) { m_notes.at(m_current) = std::move(note); }
  const std::string& noteAt(std::size_t row) const { return m_notes.at(row); }

  void setAfterInsert(std::function<void(CompanyList&)> handler) {
    m_afterInsert = std::move(handler);
  }

  // How a row without a new company code gets one once it is selected: a
  // row left unselected and without a code because its company was carried
  // already, ticked again. The drawer returns the code for `row` ("" when no
  // number is left); whoever builds the list sets it, by value.
  using CodeDrawer = std::function<std::string(const CompanyList&, std::size_t row)>;
  void setCodeDrawer(CodeDrawer drawer) { m_codeDrawer = std::move(drawer); }
  // Gives `row`, when it is selected and has no new code, its code from the
  // drawer. Returns whether the row needs no code or has one now.
  bool drawCode(std::size_t row);
  // drawCode for every row, in list order; false when a selected row is left
  // without a code.
  bool drawCodes();

 private:
  int requireField(std::string_view name) const;

  std::vector<Field> m_fields;
  std::vector<std::vector<Variant>> m_rows;
  std::vector<std::string> m_notes;  // one per row
  std::size_t m_current = 0;
  std::function<void(CompanyList&)> m_afterInsert;
  CodeDrawer m_codeDrawer;
};

// The first code `year` + "_" + three digits, counting from 001 to 999, that
// `taken` does not report as used elsewhere and no row of `list` but `row`
// holds as its new code (letter case ignored); "" when none is left. The
// carry-forward hands out its codes in list order the same way, so this is
// the number the row would get were it appended last.
std::string NextFreeCompanyCode(const CompanyList& list, std::size_t row, const std::string& year,
                                const std::function<bool(const std::string& code)>& taken);
