// The large company for benchmarks, streamed one record at a time so that a
// million movements take seconds and little memory.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "sample_data.h"
#include "support/company_fixture.h"
#include "support/paradox_builder.h"
#include "support/record_codec.h"

namespace samples {

namespace fs = std::filesystem;

namespace {

// Fills a row of a layout by field name, with the positions looked up once.
class RowFiller {
 public:
  explicit RowFiller(const std::vector<FieldSpec>& layout) : m_layout(layout) {
    m_row.resize(layout.size());
  }
  RowFiller& set(const std::string& name, Variant v) {
    m_row.at(index(name)) = std::move(v);
    return *this;
  }
  const std::vector<Variant>& row() const { return m_row; }
  void clear() {
    for (Variant& v : m_row) v = Variant{};
  }

 private:
  std::size_t index(const std::string& name) {
    for (std::size_t i = 0; i < m_layout.size(); ++i) {
      if (m_layout[i].name == name) return i;
    }
    throw std::invalid_argument("no field " + name);
  }
  const std::vector<FieldSpec>& m_layout;
  std::vector<Variant> m_row;
};

// The smallest block size that holds `count` records in 65535 blocks.
int blockFor(const std::vector<FieldSpec>& layout, std::uint32_t count) {
  int size = 0;
  for (const FieldSpec& f : layout) size += fixture::detail::fieldWidth({f.name, f.type, f.size});
  for (int kib = 1; kib <= 32; kib *= 2) {
    const int perBlock = (kib * 1024 - 6) / size;
    if (perBlock > 0 &&
        (count + static_cast<std::uint32_t>(perBlock) - 1) / static_cast<std::uint32_t>(perBlock) <=
            65535) {
      return kib;
    }
  }
  throw std::invalid_argument("too many records for a Paradox table");
}

fixture::TableSpec specFor(const std::vector<FieldSpec>& layout, const std::string& indexField,
                           std::uint32_t count, const std::string& sortOrder) {
  fixture::TableBuilder b = fixture::TableBuilder::fromSchema(layout);
  b.sortOrder(sortOrder);
  b.keyed(1).secondaryIndex(indexField).blockSizeKiB(blockFor(layout, count)).withMemoFile();
  return b.spec();
}

std::string code(const char* prefix, std::uint32_t i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%06u", prefix, i);
  return buf;
}

Variant num(double d) {
  return Variant{d};
}
Variant txt(std::string s) {
  return Variant{std::move(s)};
}

// The cards, stock, cheques and movements of a company directory the
// fixture wrote, streamed over its small tables.
void streamCompanyTables(const fs::path& company, const LargeCounts& counts,
                         const std::string& sortOrder) {
  const char* const kStates[] = {"Bankada", "Kasada", "Ödenmedi", "Tahsil Edildi", "Ciro Edildi"};
  const char* const kKinds[] = {"", "", "1", "2", "3", "4", "Havale"};

  {
    fixture::TableWriter w(specFor(schema::Cari(), "CARIKODU", counts.cards, sortOrder),
                           company / "Cari.DB");
    RowFiller r(schema::Cari());
    for (std::uint32_t i = 1; i <= counts.cards; ++i) {
      const double balance = (i % 977) * 1'234'567.0;
      const char* side = i % 3 == 0 ? "Alacak" : "Borç";
      r.set("CARIKODU", txt(code(i % 2 ? "120." : "320.", i)))
          .set("UNVAN", txt("Müşteri " + std::to_string(i) + " Ltd.Şti."))
          .set("KTBRC", num(balance * 2))
          .set("KTALC", num(balance))
          .set("KTBKY", num(balance))
          .set("KTBTR", txt(side))
          .set("KHBKY", num(balance / 2))
          .set("KHBTR", txt(side))
          .set("KLIMKPB", num(5'000'000));
      w.append(r.row());
    }
    w.finish();
  }
  {
    fixture::TableWriter w(specFor(schema::Stok(), "STOKKODU", counts.stock, sortOrder),
                           company / "Stok.DB");
    RowFiller r(schema::Stok());
    for (std::uint32_t i = 1; i <= counts.stock; ++i) {
      r.set("STOKKODU", txt(code("ST-", i)))
          .set("CINS", txt("Ürün " + std::to_string(i)))
          .set("KALF", num(1000.0 * (i % 500)))
          .set("MIKKAL", num(i % 90))
          .set("TUTKAL", num(90'000.0 * (i % 500)));
      w.append(r.row());
    }
    w.finish();
  }
  {
    fixture::TableWriter w(specFor(schema::Ceksen(), "CARIKODU", counts.cheques, sortOrder),
                           company / "ceksen.DB");
    RowFiller r(schema::Ceksen());
    for (std::uint32_t i = 1; i <= counts.cheques; ++i) {
      r.set("CARIKODU", txt(code("120.", i % counts.cards + 1)))
          .set("EVRAK", txt("ÇEK-" + std::to_string(i)))
          .set("TARIH", Variant{Variant::DateTime{38353.0 + i % 365}})
          .set("KTUTAR", num(250'000.0 * (i % 40 + 1)))
          .set("EVRAKDURUM", txt(kStates[i % 5]));
      w.append(r.row());
    }
    w.finish();
  }
  {
    fixture::TableWriter w(specFor(schema::Char(), "CARIKOD", counts.movements, sortOrder),
                           company / "Char.DB");
    RowFiller r(schema::Char());
    for (std::uint32_t i = 1; i <= counts.movements; ++i) {
      r.clear();
      const bool instalment = i % 10 == 0;
      r.set("BCRKOD", Variant{std::int64_t{i % 1000 + 1}})
          .set("TARIH", Variant{Variant::DateTime{38353.0 + i % 365}})
          .set("TUTAR", num(10'000.0 * (i % 997)))
          .set("IS_TUR", txt(instalment ? "Taksit" : "Fatura"))
          .set("CARIKOD", txt(code(i % 2 ? "120." : "320.", i % counts.cards + 1)))
          .set("ALPHA3", kKinds[i % 7][0] ? txt(kKinds[i % 7]) : Variant{});
      if (instalment) r.set("TAKSIT", Variant{true}).set("ODEDI", Variant{i % 20 == 0});
      w.append(r.row());
    }
    w.finish();
  }
}

}  // namespace

void writeLarge(const fs::path& dir, const LargeCounts& counts, const std::string& sortOrder) {
  fixture::DataDir d(dir);
  d.sortOrder(sortOrder);
  d.registry().company("2005_900", "Büyük Toptan Gıda A.Ş.", 2005);
  fixture::CompanyDir& c = d.company("2005_900");
  c.withInvoice(true, true).withProduction("ST-000001", 10, 1000);
  d.write();
  streamCompanyTables(dir / "2005_900", counts, sortOrder);
}

void writeOffice(const fs::path& dir, std::uint32_t companies, const LargeCounts& counts,
                 const std::string& sortOrder) {
  if (companies == 0 || companies > 999) throw std::invalid_argument("1 to 999 companies");
  fixture::DataDir d(dir);
  d.sortOrder(sortOrder);
  std::vector<std::string> codes;
  for (std::uint32_t i = 1; i <= companies; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "2005_%03u", i);
    codes.emplace_back(code);
    d.registry().company(code, "Müşteri " + std::to_string(i) + " Ltd.Şti.", 2005);
    d.company(code).withInvoice(true, true).withProduction("ST-000001", 10, 1000);
  }
  d.write();
  for (const std::string& code : codes) streamCompanyTables(dir / code, counts, sortOrder);
}

}  // namespace samples
