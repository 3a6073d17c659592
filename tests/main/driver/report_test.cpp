// The reconciliation report after a carry-forward, through the command line:
// on the sample data and on a company with the filters' edge cases every
// line agrees; a value changed in a new company makes its line differ and
// the run exit with 4.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "carry/carryforward.h"
#include "data/datamodule.h"
#include "jobs/workspace.h"
#include "main/driver/headless.h"
#include "report/reconciliation.h"
#include "report/reportfiles.h"
#include "report/reportformat.h"
#include "sample_data.h"
#include "support/company_fixture.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

class ReportRun : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";

  Outcome run(std::vector<std::string> extra, const RunJobs& jobs = RunJobs::real()) {
    std::vector<std::string> args{"--devir", "--data", data.string(), "--from",
                                  "2005",    "--to",   "2006"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::ostringstream out, err;
    const int status = RunHeadless(
        args, out, err, [] { return platform::ProductStatus::closed(); }, jobs);
    return {status, out.str(), err.str()};
  }

  std::vector<fs::path> filesIn(const fs::path& dir) const {
    std::vector<fs::path> files;
    if (fs::exists(dir))
      for (const auto& e : fs::directory_iterator(dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
  }

  static fixture::Movement movement(double amount, std::optional<bool> instalment,
                                    std::optional<bool> paid) {
    fixture::Movement m;
    m.amount = amount;
    m.instalment = instalment;
    m.paid = paid;
    return m;
  }

  // One company whose records sit on every edge of the carry rules.
  void writeEdgeCompany() {
    fixture::DataDir dir(data);
    dir.registry().company("2005_001", "Özdemir Gıda", 2005);
    dir.company("2005_001")
        .withCard("120.01", 250'000'000, "Alacak")
        .withCard("120.02", 5'000, "Borç")  // a half that rounds to even: 0
        .withCard("120.03", -1'000'000, "Borç")
        .withCard("120.04", 9'999, "alacak")  // not the credit side
        .withCard("320.01", 1'234'567, "Alacak",
                  {{"DTBKY", Variant{1500.0}},
                   {"DTBTR", Variant{std::string("Alacak")}},
                   {"DVZBRM", Variant{std::string("USD")}}})
        .withStock("S1", 10, 35'000'000)
        .withStock("S2", -3, 7'500'000)
        .withCheque("Bankada", 1'000'000)
        .withCheque("bankada", 2'000'000)
        .withCheque("", 3'000'000)
        .withCheque("Ödenmedi", 15'000)
        .withCheque("Ödendi", 4'000'000)
        .withMovement(movement(25'000, true, false))
        .withMovement(movement(30'000, true, std::nullopt))  // paid blank: unpaid
        .withMovement(movement(40'000, true, true))
        .withMovement(movement(50'000, std::nullopt, std::nullopt))  // not an instalment
        .withProduction("S1", 5, 1'250'000);
    dir.write();
  }
};

std::vector<std::string> differingLabels(const report::RunReport& r) {
  std::vector<std::string> labels;
  for (const auto& c : r.companies)
    for (const auto& l : c.lines)
      if (!l.agrees) labels.push_back(l.section + ": " + report::LabelWithDetail(l));
  return labels;
}

TEST_F(ReportRun, SampleCompaniesAgreeAfterAYtlCarryAndTheFilesAreSaved) {
  samples::writeNewest(data);
  const Outcome r = run({"--ytl"});
  ASSERT_EQ(r.status, kExitCompleted) << r.out << r.err;
  const auto done = r.out.find("İşlem tamamlandı");
  const auto table = r.out.find("Devir mutabakat raporu");
  ASSERT_NE(done, std::string::npos);
  ASSERT_NE(table, std::string::npos);
  EXPECT_LT(done, table);  // the report follows the run's own final message
  EXPECT_NE(r.out.find("Tüm satırlar uyuyor."), std::string::npos);
  EXPECT_EQ(r.out.find("FARKLI"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("en büyük tek yuvarlama farkı"), std::string::npos);
  // Beside the report: the carry records of the two companies.
  auto files = filesIn(data / testos::utf8Path(report::kReportFolderName));
  std::erase_if(
      files, [](const fs::path& f) { return f.filename().string().rfind("Devir Kaydı ", 0) == 0; });
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].extension(), ".csv");
  EXPECT_EQ(files[1].extension(), ".html");
  EXPECT_NE(files[1].filename().string().find("2005_001-2006_001 2005_002-2006_002"),
            std::string::npos);
  // The CSV: a header and one row per line of the printed table.
  const std::string csv = fixture::readFileBytes(files[0]);
  const auto rows = std::count(csv.begin(), csv.end(), '\n');
  std::istringstream out(r.out);
  long printed = 0;
  for (std::string text; std::getline(out, text);)
    for (const char* mark : {"  uyuyor", "  bilgi", "  FARKLI"})
      printed += text.size() > std::strlen(mark) &&
                 text.compare(text.size() - std::strlen(mark), std::string::npos, mark) == 0;
  EXPECT_EQ(rows, 1 + printed) << csv;
}

// Every mode, with and without conversion: the report's own reading of the
// rules agrees with the job's on blanks, letter case, halves and negatives.
TEST_F(ReportRun, EdgeRecordsAgreeInEveryMode) {
  writeEdgeCompany();
  const fs::path kept = tmp.path() / "kept";
  fs::copy(data, kept, fs::copy_options::recursive);
  for (const std::vector<std::string>& options : {std::vector<std::string>{},
                                                  {"--ytl"},
                                                  {"--ytl", "--rounding", "down"},
                                                  {"--ytl", "--rounding", "up"}}) {
    SCOPED_TRACE(options.empty() ? "no YTL" : options.back());
    fs::remove_all(data);
    fs::copy(kept, data, fs::copy_options::recursive);
    const Outcome r = run(options);
    EXPECT_EQ(r.status, kExitCompleted) << r.out << r.err;
    const auto rep =
        report::ReconcileRun({platform::TypedPath::resolve(data.string()), !options.empty(),
                              options.size() == 3 ? (options[2] == "down" ? 1 : 2) : 0, 2,
                              "Yeni Türk Lirası", "YTL", "Yeni Kuruş", "YKr"},
                             {{"2005_001", "2006_001", "Özdemir Gıda"}});
    EXPECT_EQ(differingLabels(rep), std::vector<std::string>{});
  }
}

TEST_F(ReportRun, AChangedOpeningBalanceDiffersAndTheRunExitsWith4) {
  writeEdgeCompany();
  RunJobs jobs = RunJobs::real();
  jobs.carryForward = [](RunHost& host, const RunOptions& run, Workspace& ws) {
    RunCarryForward(host, run, ws);
    TDM dm;  // a fault in the new company, after the job
    TTable& cards = dm.CariPravex_T;
    cards.setDatabaseName(run.newData.text() + "\\2006_001");
    cards.open();
    for (cards.first(); !cards.eof(); cards.next()) {
      if (cards.field("CARIKODU").asString() != "120.01") continue;
      cards.edit();
      cards.field("KDBKY").setAsFloat(250.01);
      cards.post();
    }
    cards.flushBuffers();
    cards.close();
  };
  const fs::path folder = tmp.path() / "raporlar";
  const Outcome r = run({"--ytl", "--report-dir", folder.string()}, jobs);
  EXPECT_EQ(r.status, kExitReportDiffers) << r.out << r.err;
  EXPECT_NE(r.out.find("İşlem tamamlandı"), std::string::npos);
  EXPECT_NE(r.out.find("120.01: beklenen 250,00, bulunan 250,01"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 satırda fark var"), std::string::npos) << r.out;
  EXPECT_EQ(filesIn(folder).size(), 2u);
  // The data directory's folder holds the carry record only: the report went
  // where it was asked to.
  const auto inData = filesIn(data / testos::utf8Path(report::kReportFolderName));
  ASSERT_EQ(inData.size(), 1u);
  EXPECT_EQ(inData[0].filename().string().rfind("Devir Kaydı ", 0), 0u);
  // The company stays registered: the run itself ended as always.
  const auto registry = fixture::readTable(fixture::findFile(data, "sirket.db"));
  EXPECT_EQ(registry.size(), 2u);
}

// A fault put into the new company after the run, and the lines that must
// then differ (and no other).
struct Fault {
  const char* name;
  std::function<void(TDM&, const std::string& newDir)> apply;
  std::vector<std::string> differing;
};

// Opens the handle on the new company, lets `f` change it, writes it back.
void change(TTable& t, const std::string& dir, const std::function<void(TTable&)>& f) {
  t.setDatabaseName(dir);
  t.open();
  t.first();
  f(t);
  t.flushBuffers();
  t.close();
}

void editWhere(TTable& t, const char* field, const std::string& value, const char* target,
               const Variant& to) {
  for (t.first(); !t.eof(); t.next()) {
    if (t.field(field).asString() != value) continue;
    t.edit();
    t.field(target).setValue(to);
    t.post();
    return;
  }
  FAIL() << "no record with " << field << " " << value;
}

class ReportFault : public ReportRun, public ::testing::WithParamInterface<Fault> {};

TEST_P(ReportFault, OnlyItsLinesDiffer) {
  writeEdgeCompany();
  RecordingHost host;
  host.carry2005(data.string(), true);
  Workspace ws;
  RunCarryForward(host, host.options(), ws);
  ASSERT_EQ(host.infos.back(), "İşlem tamamlandı");
  {
    TDM dm;
    GetParam().apply(dm, (data / "2006_001").string());
  }
  const auto rep = report::ReconcileRun({platform::TypedPath::resolve(data.string()), true, 0, 2,
                                         "Yeni Türk Lirası", "YTL", "Yeni Kuruş", "YKr"},
                                        {{"2005_001", "2006_001", "Özdemir Gıda"}});
  EXPECT_EQ(differingLabels(rep), GetParam().differing);
}

const std::string kCards = "Cari hesaplar: ";
INSTANTIATE_TEST_SUITE_P(
    NewCompany, ReportFault,
    ::testing::Values(
        Fault{"card_side_flipped",
              [](TDM& dm, const std::string& dir) {
                change(dm.CariPravex_T, dir, [](TTable& table) {
                  editWhere(table, "CARIKODU", "120.01", "KDBTR", Variant{std::string("Borç")});
                });
              },
              {kCards + "borç bakiyeleri toplamı (KTBKY → KDBKY)",
               kCards + "alacak bakiyeleri toplamı (KTBKY → KDBKY)"}},
        Fault{"kept_cheque_deleted",
              [](TDM& dm, const std::string& dir) {
                change(dm.CeksenPravex_T, dir, [](TTable& table) { table.remove(); });
              },
              {"Çek ve senetler: devreden evrak sayısı", "Çek ve senetler: devreden tutar (KTUTAR)",
               "Çek ve senetler: silinen evrak sayısı"}},
        Fault{"instalment_left_unconverted",
              [](TDM& dm, const std::string& dir) {
                change(dm.CharPravex, dir, [](TTable& table) {
                  table.edit();
                  table.field("TUTAR").setAsFloat(25'000);
                  table.post();
                });
              },
              {"Taksitler: devreden tutar (TUTAR)"}},
        Fault{"stock_quantity_changed",
              [](TDM& dm, const std::string& dir) {
                change(dm.StokPravex_T, dir, [](TTable& table) {
                  editWhere(table, "STOKKODU", "S2", "MIKDEV", Variant{3.0});
                });
              },
              {"Stok: devreden miktar (MIKKAL → MIKDEV)"}},
        Fault{"production_record_lost",
              [](TDM& dm, const std::string& dir) {
                change(dm.UretimPravex_T, dir, [](TTable& table) { table.remove(); });
              },
              {"Üretim: üretim hareketi sayısı", "Üretim: fiyatlar toplamı (KFIYAT)"}},
        Fault{"currency_symbol_kept",
              [](TDM& dm, const std::string& dir) {
                change(dm.AyarPravexDevir_T, dir, [](TTable& table) {
                  table.edit();
                  table.field("PARASIMGE").setAsString("TL");
                  table.post();
                });
              },
              {"Ayarlar: para biriminin simgesi (PARASIMGE)"}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
