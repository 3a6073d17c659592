#include "sample_data.h"

#include <string>

#include "support/company_fixture.h"
#include "support/product_layouts.h"

namespace samples {

namespace fs = std::filesystem;
using fixture::CompanyDir;
using fixture::DataDir;
using fixture::Edition;
using fixture::Movement;
using fixture::Row;

namespace {

// Cheque states: the three the carry-forward keeps, others, one in other
// letter case and one blank.
const char* const kChequeStates[] = {"Bankada",       "Kasada",      "Ödenmedi",
                                     "Tahsil Edildi", "Ciro Edildi", "Karşılıksız",
                                     "Ödendi",        "bankada",     ""};

Movement move(double amount, const std::string& type, const std::string& kind = "",
              std::optional<bool> instalment = {}, std::optional<bool> paid = {},
              const std::string& account = "120.01") {
  Movement m;
  m.amount = amount;
  m.type = type;
  m.kind = kind;
  m.instalment = instalment;
  m.paid = paid;
  m.account = account;
  return m;
}

void fillCompany(CompanyDir& c, int seed, bool older) {
  const double scale = 1000.0 * (seed + 1);
  c.withCard("120.01", 250 * scale, "Borç")
      .withCard("120.02", 1250 * scale, "Alacak")
      .withCard("120.03", 0, "Borç")
      .withCard("320.01", 9800 * scale, "Alacak")
      .withCard("320.02", 75.5 * scale, "")
      .withCard("320.03", 410 * scale, "borç")
      .withCard("600.01", 12 * scale, "Borç",
                Row{{"DVZKUL", Variant{true}},
                    {"DVZBRM", Variant{"USD"}},
                    {"DTBKY", Variant{1500.0}},
                    {"DTBTR", Variant{"Borç"}}});
  for (int i = 1; i <= 6; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "ST-%03d", i);
    c.withStock(code, 10.0 * i, 1'500'000.0 * i);
  }
  double amount = 1'000'000;
  for (const char* state : kChequeStates) {
    c.withCheque(state, amount);
    amount += 250'000;
  }
  // Movements: ordinary ones with blank flags, paid and unpaid instalments,
  // flags set false, and every kind of cheque or note.
  c.withMovement(move(100'000, "Fatura"));
  c.withMovement(move(450'000, "Tahsilat", "", {}, {}, "120.02"));
  c.withMovement(move(300'000, "Taksit", "", true, true));
  c.withMovement(move(300'000, "Taksit", "", true, false));
  c.withMovement(move(300'000, "Taksit", "", true, {}));
  c.withMovement(move(125'000, "Fatura", "", false, false));
  const char* const kOlderKinds[] = {"Kendi Çekim", "Kendi Senedim", "Müşteri Çeki",
                                     "Müşteri Senedi"};
  const char* const kNewestKinds[] = {"1", "2", "3", "4"};
  for (int k = 0; k < 4; ++k) {
    c.withMovement(move(2'000'000.0 + k, k % 2 ? "Senet" : "Çek",
                        older ? kOlderKinds[k] : kNewestKinds[k], {}, {}, "320.01"));
  }
  c.withMovement(move(50'000, "Çek", older ? "kendi çekim" : "Müşteri Çeki"));
  c.withMovement(move(75'000, "Havale", "Havale"));
  if (older) {
    c.withInvoice().withInvoice().withInvoice(false, std::nullopt);
  } else {
    c.withInvoice(true, true).withInvoice(true, true).withInvoice(false, true);
    c.withProduction("ST-001", 100, 12'500).withProduction("ST-002", 40, 99'999.5);
    c.withProduction("ST-003", 0.25, 1'000'000);
  }
  c.withFile("rapor.txt", "Yıl sonu raporu\r\n");
  c.withFile("YEDEK.ZIP", std::string(64, '\x50'));
}

}  // namespace

void writeNewest(const fs::path& dir, fixture::WriteLog* log, const std::string& sortOrder) {
  DataDir d(dir);
  d.sortOrder(sortOrder);
  d.registry()
      .company("2004_001", "Özdemir Gıda Ltd.Şti.", 2004)
      .company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005)
      .company("2005_002", "Çağdaş İnşaat A.Ş.", Variant{2005.0},
               Row{{"UNVAN", Variant{"Çağdaş İnşaat Taahhüt A.Ş."}},
                   {"ADRES", Variant{std::string(180, 'a')}}})
      .company("2005_003", "Yıldız Tekstil San.Tic.", 2005)
      .company("2003_009", "Şahin Oto Yedek Parça", Variant{});
  int seed = 0;
  for (const Row& r : d.registry().rows) {
    fillCompany(d.company(std::get<std::string>(r.at("SIRKET_KOD").value)), seed++, false);
  }
  d.withFile("kmx.ini", "[Genel]\r\nSonSirket=2005_001\r\n");
  d.write(log);
}

void writeOlder(const fs::path& dir, fixture::WriteLog* log, const std::string& sortOrder) {
  DataDir d(dir, Edition::kOlder);
  d.sortOrder(sortOrder);
  d.registry()
      .company("2004_001", "Özdemir Gıda Ltd.Şti.", 2004)
      .company("2004_002", "Çağdaş İnşaat A.Ş.", 2004)
      .company("2004_003", "Yıldız Tekstil San.Tic.", 2004)
      .company("2004_004", "Kayıp Şirket", 2004);  // no directory
  fillCompany(d.company("2004_001"), 0, true);
  fillCompany(d.company("2004_002"), 1, true);
  fillCompany(d.company("2004_003"), 2, true);
  d.company("2004_001").settingsFieldCount(62);
  // The last older release already kept movements in the newest layout, so
  // this company can be carried forward right after the upgrade; the others
  // keep the older movement layout.
  d.company("2004_001").movementLayout(schema::Char());
  d.company("2004_002").settingsFieldCount(84);  // same count, other names
  d.company("2004_003").settingsFieldCount(70);
  d.withFile("orvan.ini", "[Genel]\r\nSurum=3\r\n");
  d.write(log);
}

void writeVariant(const fs::path& dir, fixture::WriteLog* log) {
  DataDir d(dir);
  d.sortOrder("intl850");
  d.registry()
      .company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005)
      .company("2005_002", "Çağdaş İnşaat A.Ş.", 2005)
      .company("2005_003", "ıslak Zemin Yalıtım", 2005);
  fillCompany(d.company("2005_001"), 0, false);
  fillCompany(d.company("2005_002"), 1, false);
  d.write(log);
}

}  // namespace samples
