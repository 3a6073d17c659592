#include "support/company_fixture.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "support/paradox_builder.h"
#include "support/product_layouts.h"
#include "support/sort_order.h"

namespace fixture {

namespace fs = std::filesystem;

namespace {

void merge(Row& into, const Row& extra) {
  for (const auto& [k, v] : extra) into[k] = v;
}

void writePlain(const fs::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The settings every company starts with.
Row defaultSettings() {
  return Row{{"SIRA_NO", num(1)},
             {"DIPNOT", txt("Bu belge bilgisayar çıktısıdır.")},
             {"SOL_MAR", whole(10)},
             {"UST_MAR", whole(15)},
             {"ZAMAN", whole(30)},
             {"YAPILSIN", Variant{true}},
             {"YEDEKTARIH", day(38700)},
             {"DVZKUL", Variant{false}},
             {"DVZHASSAS", txt("4")},
             {"RESIMYOLU", txt("C:\\ZEFIRTAK\\KMX3\\RESIM")},
             {"PARABIRIMI", txt("Türk Lirası")},
             {"PARASIMGE", txt("TL")},
             {"PRBRHASSAS", txt("0")},
             {"CROTONO", Variant{true}},
             {"CRNO", num(125)},
             {"CRBASEK", txt("CR-")},
             {"HINTS", Variant{true}},
             {"KYCUBUK", whole(3)},
             {"MENUHEIGHT", whole(420)},
             {"MENUWIDTH", whole(180)},
             {"FATDIZAYN", txt("standart")},
             {"ALPHA1", txt("Kr")},
             {"ALPHA2", txt("1/100")},
             {"ALPHA3", txt("Kuruş")},
             {"TIME1", whole(9 * 3600000)},
             {"INTEGER1", whole(7)},
             {"ESKI1", Variant{true}},
             {"ESKI2", num(42)},
             {"ESKI3", txt("eski ayar")}};
}

// Keeps the values of a row whose fields the layout has.
Row onlyFieldsOf(const std::vector<FieldSpec>& layout, const Row& row) {
  Row out;
  for (const FieldSpec& f : layout) {
    const auto it = row.find(f.name);
    if (it != row.end()) out[f.name] = it->second;
  }
  return out;
}

TableOptions keyedOn(std::vector<std::string> indexes, const std::string& sortOrder, bool memo,
                     int versionId, int blockKiB) {
  TableOptions o;
  o.blockKiB = blockKiB;
  o.keyFields = 1;
  o.indexes = std::move(indexes);
  o.memoFile = memo;
  o.sortOrder = sortOrder;
  o.versionId = versionId;
  return o;
}

}  // namespace

void writeRows(const fs::path& dbFile, const std::vector<FieldSpec>& layout,
               const std::vector<Row>& rows, const TableOptions& options, WriteLog* log) {
  TableBuilder b = TableBuilder::fromSchema(layout);
  b.keyed(options.keyFields).versionId(options.versionId);
  if (options.blockKiB > 0) b.blockSizeKiB(options.blockKiB);
  if (options.sortOrder != "ascii") {
    b.sortOrder(options.sortOrder);
    // Rows in a sort order we cannot reproduce are written as given.
    if (SortOrder::forName(options.sortOrder) == nullptr) b.rawOrder();
  }
  for (const std::string& f : options.indexes) b.secondaryIndex(f);
  if (options.val) b.withValFile();
  if (options.memoFile) b.withMemoFile();
  for (const Row& r : rows) {
    std::vector<Variant> values(layout.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < layout.size(); ++i) {
      const auto it = r.find(layout[i].name);
      if (it != r.end()) {
        values[i] = it->second;
        ++used;
      }
    }
    if (used != r.size()) {
      for (const auto& [name, v] : r) {
        if (std::none_of(layout.begin(), layout.end(),
                         [&](const FieldSpec& f) { return f.name == name; })) {
          throw std::invalid_argument(dbFile.filename().string() + " has no field " + name);
        }
      }
    }
    if (log != nullptr) {
      if (log->empty() || log->back().file != dbFile) log->push_back({dbFile, layout, {}});
      log->back().rows.push_back(values);
    }
    b.row(std::move(values));
  }
  if (log != nullptr && (log->empty() || log->back().file != dbFile)) {
    log->push_back({dbFile, layout, {}});
  }
  fs::create_directories(dbFile.parent_path());
  b.write(dbFile);
}

// ---- CompanyDir ----

namespace {

// One currency group of a card (K local, D foreign): the total balance on
// `side`, the debit and credit sums consistent with it, a quarter of each
// brought forward (.D..) and the rest this year's movements (.H..).
Row balanceGroup(const std::string& g, double balance, const std::string& side) {
  const double other = 100'000;  // the smaller of the two sums
  const bool credit = side == "Alacak";
  const double debit = credit ? other : balance + other;
  const double creditSum = credit ? balance + other : other;
  return Row{{g + "DBRC", num(debit / 4)},
             {g + "DALC", num(creditSum / 4)},
             {g + "DBKY", num(balance / 4)},
             {g + "DBTR", txt(side)},
             {g + "HBRC", num(debit - debit / 4)},
             {g + "HALC", num(creditSum - creditSum / 4)},
             {g + "HBKY", num(balance - balance / 4)},
             {g + "HBTR", txt(side)},
             {g + "TBRC", num(debit)},
             {g + "TALC", num(creditSum)},
             {g + "TBKY", num(balance)},
             {g + "TBTR", txt(side)}};
}

}  // namespace

Row CompanyDir::foreignBalance(double balance, const std::string& side) {
  return balanceGroup("D", balance, side);
}

CompanyDir& CompanyDir::withCard(const std::string& account, double balance,
                                 const std::string& side, Row extra) {
  Row r{{"CARIKODU", txt(account)},
        {"GRUBU", txt(side == "Alacak" ? "SATICI" : "MÜŞTERİ")},
        {"UNVAN", txt("Hesap " + account + " Tic. Ltd. Şti.")},
        {"K_TARIH", day(38353)},
        {"VERGINO", txt("12345" + std::to_string(cards.size()))},
        {"DVZKUL", Variant{false}},
        {"KLIMKPB", num(5'000'000)},
        {"NOT", txt(cards.size() % 3 == 0 ? std::string(300, 'n') : "")}};
  merge(r, balanceGroup("K", balance, side));
  merge(r, extra);
  cards.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::withStock(const std::string& stockCode, double quantity, double value,
                                  Row extra) {
  Row r{{"STOKKODU", txt(stockCode)},
        {"CINS", txt("Ürün " + stockCode)},
        {"BIRIM", txt("Adet")},
        {"KDV", num(18)},
        {"KALF", num(value / std::max(quantity, 1.0))},
        {"KSAT1", num(value / std::max(quantity, 1.0) * 1.25)},
        {"MIKDEV", num(quantity / 2)},
        {"MIKGIR", num(quantity)},
        {"MIKCIK", num(quantity / 2)},
        {"MIKKAL", num(quantity)},
        {"TUTDEV", num(value / 2)},
        {"TUTGIR", num(value)},
        {"TUTCIK", num(value / 2)},
        {"TUTKAL", num(value)},
        {"KTARIH", day(38353)},
        {"DVZKUL", Variant{false}}};
  merge(r, extra);
  stock.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::withCheque(const std::string& state, double amount, Row extra) {
  const auto n = static_cast<std::int64_t>(cheques.size() + 1);
  Row r{{"BCHKOD", num(static_cast<double>(n))},
        {"BCRKOD", num(1)},
        {"CARIKODU", txt("120.01")},
        {"EVRAK", txt("ÇEK-" + std::to_string(1000 + n))},
        {"ASIL", txt("Asıl borçlu " + std::to_string(n))},
        {"ODEMEGUN", day(38400 + static_cast<double>(n) * 7)},
        {"BANKAAD", txt("Ziraat Bankası")},
        {"TARIH", day(38360)},
        {"ISLEMTURU", Variant{n % 2 == 0}},
        {"KTUTAR", num(amount)},
        {"EVRAKDURUM", txt(state)},
        {"KPBDVZ", Variant{false}},
        {"CIRO1", txt(n % 4 == 1 ? std::string(600, 'c') : "Ciro " + std::to_string(n))}};
  merge(r, extra);
  cheques.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::withMovement(Movement m) {
  const auto n = static_cast<std::int64_t>(movements.size() + 1);
  Row r{{"BCRKOD", whole(1)},
        {"EVRAKNO", txt("E" + std::to_string(5000 + n))},
        {"TARIH", day(m.date)},
        {"ADSOYAD", txt("Ali Veli")},
        {"TUTAR", num(m.amount)},
        {"TUTAR_TUR", Variant{n % 2 == 0}},
        {"IS_TUR", txt(m.type)},
        {"VADE", day(m.date + 30)},
        {"ACIKLAMA", txt("Hareket " + std::to_string(n))},
        {"CARIKOD", txt(m.account)},
        {"ALPHA3", txt(m.kind)}};
  if (m.instalment) r["TAKSIT"] = Variant{*m.instalment};
  if (m.paid) r["ODEDI"] = Variant{*m.paid};
  merge(r, m.extra);
  movements.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::withInvoice(std::optional<bool> lojik3, std::optional<bool> lojik4,
                                    Row extra) {
  const auto n = static_cast<std::int64_t>(invoices.size() + 1);
  Row r{{"FATNO", txt("A-" + std::to_string(700 + n))},
        {"TARIH", day(38360 + static_cast<double>(n))},
        {"CARIKODU", txt("120.01")},
        {"UNVAN", txt("Özdemir Gıda Ltd.Şti.")},
        {"FATTUR", txt("Satış")},
        {"ARATOPLAM", num(1'000'000.0 * static_cast<double>(n))},
        {"KDVTUTAR", num(180'000.0 * static_cast<double>(n))},
        {"GENELTOPLAM", num(1'180'000.0 * static_cast<double>(n))}};
  if (lojik3) r["LOJIK3"] = Variant{*lojik3};
  if (lojik4) r["LOJIK4"] = Variant{*lojik4};
  merge(r, extra);
  invoices.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::withProduction(const std::string& stockCode, double quantity, double price,
                                       Row extra) {
  Row r{{"BURKOD", whole(static_cast<std::int64_t>(production.size() / 3 + 1))},
        {"CINS", txt("Üretim " + stockCode)},
        {"STOKKODU", txt(stockCode)},
        {"BIRIM", txt("Kg")},
        {"MIKTAR", num(quantity)},
        {"KFIYAT", num(price)},
        {"URMIKTAR", num(quantity)},
        {"TMALIYET", num(quantity * price)},
        {"DATE1", day(38370)},
        {"TIME1", whole(14 * 3600000 + 30 * 60000)}};
  merge(r, extra);
  production.push_back(std::move(r));
  return *this;
}

CompanyDir& CompanyDir::settings(Row values) {
  merge(settingsRow, values);
  return *this;
}

CompanyDir& CompanyDir::withSettingsRow(Row values) {
  moreSettings.push_back(std::move(values));
  return *this;
}

CompanyDir& CompanyDir::withoutSettings() {
  noSettings = true;
  return *this;
}

CompanyDir& CompanyDir::settingsFieldCount(int n) {
  m_settingsFields = n;
  return *this;
}

CompanyDir& CompanyDir::movementLayout(std::vector<FieldSpec> layout) {
  m_movementLayout = std::move(layout);
  return *this;
}

CompanyDir& CompanyDir::withFile(const std::string& name, std::string content) {
  m_files[name] = std::move(content);
  return *this;
}

void CompanyDir::write(const fs::path& dir, const std::string& sortOrder, WriteLog* log,
                       int blockKiB) const {
  fs::create_directories(dir);
  const bool older = m_edition == Edition::kOlder;
  const int version = older ? 11 : 12;
  writeRows(dir / "Cari.DB", schema::Cari(), cards,
            keyedOn({"CARIKODU"}, sortOrder, true, version, blockKiB), log);
  writeRows(dir / "Stok.DB", schema::Stok(), stock,
            keyedOn({"STOKKODU"}, sortOrder, false, version, blockKiB), log);
  writeRows(dir / "ceksen.DB", schema::Ceksen(), cheques,
            keyedOn({"CARIKODU"}, sortOrder, true, version, blockKiB), log);
  const std::vector<FieldSpec>& charLayout =
      m_movementLayout ? *m_movementLayout : (older ? layout::CharOld() : schema::Char());
  std::vector<Row> moves;
  for (const Row& r : movements) moves.push_back(onlyFieldsOf(charLayout, r));
  const bool hasAccount = std::any_of(charLayout.begin(), charLayout.end(),
                                      [](const FieldSpec& f) { return f.name == "CARIKOD"; });
  writeRows(dir / "Char.DB", charLayout, moves,
            keyedOn(hasAccount ? std::vector<std::string>{"CARIKOD"} : std::vector<std::string>{},
                    sortOrder, false, version, blockKiB),
            log);
  writeRows(dir / "Fatura.DB", older ? layout::FaturaOld() : layout::Fatura(), invoices,
            keyedOn({"CARIKODU"}, sortOrder, !older, version, blockKiB), log);

  const std::vector<FieldSpec> ayar =
      m_settingsFields == 0 ? schema::Ayar() : layout::AyarOld(m_settingsFields);
  Row first = defaultSettings();
  merge(first, settingsRow);
  TableOptions settingsOptions;
  settingsOptions.val = true;
  settingsOptions.sortOrder = sortOrder;
  settingsOptions.versionId = version;
  settingsOptions.blockKiB = blockKiB;
  std::vector<Row> settingsRows;
  if (!noSettings) settingsRows.push_back(onlyFieldsOf(ayar, first));
  for (const Row& r : moreSettings) settingsRows.push_back(r);
  writeRows(dir / "ayar.DB", ayar, settingsRows, settingsOptions, log);
  if (!older) {
    writeRows(dir / "urhar.db", schema::Urhar(), production,
              keyedOn({"STOKKODU"}, sortOrder, false, version, blockKiB), log);
    writeRows(dir / "ayar2.DB", layout::Ayar2(),
              {Row{{"SIRA_NO", num(1)}, {"YAZICI", txt("Epson LX-300")}, {"FATSATIR", whole(20)}}},
              settingsOptions, log);
  }
  for (const auto& [name, content] : m_files) writePlain(dir / name, content);
}

void writeEditions(const std::filesystem::path& root) {
  DataDir older(root / "OLD", Edition::kOlder);
  older.registry().company("1001", "Ak", 2005).company("1002", "Bal", 2005);
  Movement cheque;
  cheque.kind = "Kendi Çekim";
  for (const char* code : {"1001", "1002"})
    older.company(code).settingsFieldCount(60).withMovement(cheque).withInvoice().withFile(
        "rapor.txt", "eski");
  older.write();
  DataDir newest(root / "NEW");
  newest.registry().company("2005_009", "Yeni", 2005);
  newest.company("2005_009").withCard("120.01", 5, "Borç");
  newest.company("1001").withFile("notlar.txt", "yeni sürümde yazıldı");
  newest.write();
}

}  // namespace fixture
