// The carry record: every carry-forward writes one per new company, with the
// bytes spelled out here (the Windows build runs this test too, so both
// systems write them), the published company's fingerprints last, and the
// same for two runs on copies of the same data.
// The openings check's reader of these bytes: tests/report/carryrecord_test.cpp.
#include "carry/record.h"

#include <filesystem>

#include "carry_test_base.h"
#include "data/fingerprint.h"
#include "data/ttable.h"
#include "platform/paths.h"
#include "sample_data.h"

namespace fs = std::filesystem;

namespace {

class CarryRecord : public CarryTest {
 protected:
  static fixture::Movement instalment(double amount, bool paid) {
    fixture::Movement m;
    m.amount = amount;
    m.instalment = true;
    m.paid = paid;
    return m;
  }

  fs::path recordFile(const fs::path& dataDir, const std::string& oldCode,
                      const std::string& newCode) const {
    return platform::resolvePath(CarryRecordFolder(dataDir.string()) + "\\" +
                                 CarryRecordFileName(oldCode, newCode))
        .value_or(fs::path());
  }
};

TEST_F(CarryRecord, HoldsWhatTheCarryWroteInFixedBytes) {
  dir.registry().company("2005_001", "Ak;Su \"Gıda\"", 2005);
  fixture::Row foreign = fixture::CompanyDir::foreignBalance(0.1, "Borç");
  foreign["DVZBRM"] = Variant{std::string("USD")};
  dir.company("2005_001")
      .withCard("120;01", 1'234'567, "Alacak", foreign)
      .withCard("120.02", -5, "Borç")
      .withStock("S1", 3, 1'000'000)
      .withCheque("Bankada", 2'500'000)
      .withCheque("Ödendi", 1)
      .withMovement(instalment(700'000, false))
      .withMovement(instalment(1, true));
  dir.write();
  host.ytl = true;
  host.rounding = 2;  // up
  run();
  ASSERT_EQ(host.infos.back(), "İşlem tamamlandı");

  const std::string expected =
      "\xEF\xBB\xBFUpgrade-Devir devir kaydı;1\n"
      "şirket;2005_001;2006_001;2005;2006;\"Ak;Su \"\"Gıda\"\"\"\n"
      "seçenek;ytl;evet;yuvarlama;up;basamak;2\n"
      "cari;\"120;01\";1;1.24;Alacak;0;1.24;0.1;Borç;0.1;0\n"
      "cari;120.02;2;0;Borç;0;0;0;Borç;0;0\n"
      "stok;S1;1;3;1.02;0\n"
      "çek;1;2.5\n"
      "taksit;1;0.7\n";
  // Then the company as published: each of its files and its registry row,
  // measured again here.
  std::string published;
  int rows = 8;
  for (const FileFingerprint& f :
       FingerprintDirectory(platform::TypedPath::resolve(company("2006_001").string()))) {
    published += std::string(f.table ? "tablo;" : "dosya;") + f.name + ";" +
                 std::to_string(f.count) + ";" + f.hash + "\n";
    ++rows;
  }
  EXPECT_NE(published.find("tablo;Cari.DB;2;"), std::string::npos) << published;
  TTable registry("r", "sirket.db", nullptr);
  registry.setDatabaseName(data.string());
  registry.open();
  for (registry.first(); registry.field("SIRKET_KOD").asString() != "2006_001"; registry.next()) {
  }
  published += "sicil;2006_001;" + RecordFingerprint(registry) + "\n";
  registry.close();
  const fs::path file = recordFile(data, "2005_001", "2006_001");
  EXPECT_EQ(fixture::readFileBytes(file),
            expected + published + "son;" + std::to_string(rows + 1) + "\n");
}

TEST_F(CarryRecord, TwoRunsOnCopiesWriteTheSameRecords) {
  const fs::path copy = tmp.path() / "COPY";
  samples::writeNewest(data);
  samples::writeNewest(copy);
  host.ytl = true;
  run();
  RecordingHost second;
  second.carry2005(copy.string(), true);
  Workspace ws2;
  RunCarryForward(second, second.options(), ws2);
  for (const char* code : {"2005_001", "2005_002", "2005_003"}) {
    const std::string newCode = std::string("2006_00") + code[7];
    const std::string bytes = fixture::readFileBytes(recordFile(data, code, newCode));
    EXPECT_NE(bytes.find("\nson;"), std::string::npos) << code;
    EXPECT_EQ(bytes, fixture::readFileBytes(recordFile(copy, code, newCode))) << code;
  }
}

}  // namespace
