#include "main/driver/headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "data/companylist.h"
#include "jobs/workspace.h"
#include "main/driver/openingscheck.h"
#include "support/temp_dir.h"
#include "support/testos.h"
#include "ui/model/version.h"

using fixture::TempDir;

namespace {

struct ArgsCase {
  const char* label;
  std::vector<std::string> args;
  bool valid;
};

class HeadlessArgs : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(HeadlessArgs, AcceptsOnlyCompleteRuns) {
  std::ostringstream err;
  auto options = ParseHeadlessArguments(GetParam().args, err);
  EXPECT_EQ(options.has_value(), GetParam().valid) << err.str();
  if (!GetParam().valid) {
    EXPECT_FALSE(err.str().empty());
  }
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Arguments, HeadlessArgs,
    ::testing::Values(
        ArgsCase{"carry", V{"--devir", "--data", "D", "--from", "2005", "--to", "2006"}, true},
        ArgsCase{"blank_years", V{"--devir", "--data", "D", "--from", "", "--to", ""}, true},
        ArgsCase{"upgrade_only", V{"--upgrade", "--old", "O", "--data", "D"}, true},
        ArgsCase{
            "everything",
            V{"--devir", "--data", "D", "--from", "2005", "--to", "2006", "--ytl", "--rounding",
              "up", "--companies", "2005_001,2005_003", "--upgrade", "--old", "O"},
            true},
        ArgsCase{"nothing", V{}, false}, ArgsCase{"no_job", V{"--data", "D"}, false},
        ArgsCase{"no_data", V{"--devir", "--from", "2005", "--to", "2006"}, false},
        ArgsCase{"five_digits", V{"--devir", "--data", "D", "--from", "20050", "--to", "2006"},
                 false},
        ArgsCase{"upgrade_without_old", V{"--upgrade", "--data", "D"}, false},
        ArgsCase{"bad_rounding",
                 V{"--devir", "--data", "D", "--from", "1", "--to", "2", "--rounding", "half"},
                 false},
        ArgsCase{"empty_company_list",
                 V{"--devir", "--data", "D", "--from", "1", "--to", "2", "--companies", ","},
                 false},
        ArgsCase{"missing_value", V{"--devir", "--from", "1", "--to", "2", "--data"}, false},
        ArgsCase{"unknown", V{"--upgrade", "--old", "O", "--data", "D", "--force"}, false}),
    [](const auto& p) { return std::string(p.param.label); });

TEST(HeadlessArgs, ValuesReachTheOptions) {
  std::ostringstream err;
  auto o = ParseHeadlessArguments(V{"--devir", "--data", "C:\\K\\DATA", "--from", "2005", "--to",
                                    "2006", "--ytl", "--rounding", "down", "--companies", "a,b"},
                                  err);
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->devir && o->ytl && !o->upgrade);
  EXPECT_EQ(o->dataDirectory, "C:\\K\\DATA");
  EXPECT_EQ(o->fromYear, "2005");
  EXPECT_EQ(o->toYear, "2006");
  EXPECT_EQ(o->rounding, 1);
  EXPECT_FALSE(o->allCompanies);
  EXPECT_EQ(o->companies, (V{"a", "b"}));
}

TEST(OpeningsCheckArgs, ValuesReachTheOptionsAndAllSelectsNoCodes) {
  std::ostringstream err;
  const V base{"--check-openings", "--data", "D", "--from", "2005", "--to", "2006"};
  V codes = base, all = base;
  codes.insert(codes.end(), {"--companies", "a,,b", "--rounding", "up", "--report-dir", "R"});
  all.insert(all.end(), {"--companies", "all"});
  auto o = ParseOpeningsCheckArguments(codes, err);
  ASSERT_TRUE(o) << err.str();
  EXPECT_EQ(o->options.companies, (V{"a", "b"}));
  EXPECT_EQ(o->options.rounding, 2);
  EXPECT_EQ(o->reportDirectory, "R");
  o = ParseOpeningsCheckArguments(all, err);
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->options.allCompanies);
  EXPECT_TRUE(o->options.companies.empty());
  EXPECT_FALSE(ParseOpeningsCheckArguments(V{"--check-openings", "--data", "D"}, err));
  EXPECT_NE(err.str().find("upgrade-devir: --check-openings, --from ve --to ister"),
            std::string::npos);
}

// --- exit status ------------------------------------------------------------

class HeadlessRun : public ::testing::Test {
 protected:
  HeadlessRun() { tmp.write("data/sirket.db", ""); }
  int run(const V& args, bool product = false) {
    return RunHeadless(
        args, out, err,
        [product] {
          return product ? platform::ProductStatus::running() : platform::ProductStatus::closed();
        },
        jobs);
  }
  V carry() const {
    return {"--devir", "--data", tmp.str() + "/data", "--from", "2005", "--to", "2006"};
  }

  TempDir tmp;
  std::ostringstream out, err;
  RunJobs jobs{[](RunHost&, const RunOptions&, Workspace&) { return true; },
               [](RunHost& h, const RunOptions&, Workspace&) {
                 h.setStatusText("ACME şirketi oluşturuluyor.");
                 h.setGaugeMax(4);
                 for (int i = 0; i < 4; ++i) h.advanceGauge();
                 h.infoBox("İşlem tamamlandı");
               }};
};

TEST_F(HeadlessRun, NormalEndIsZeroWithMessageOnStdoutAndProgressOnStderr) {
  EXPECT_EQ(run(carry()), kExitCompleted);
  EXPECT_EQ(out.str(), "İşlem tamamlandı\n");
  EXPECT_NE(err.str().find("ACME şirketi oluşturuluyor.\n"), std::string::npos);
  EXPECT_NE(err.str().find("%100"), std::string::npos);
}

// --log FILE, wherever it stands: the console gets what it got without it,
// the file a byte-order mark and then both streams' lines in order.
TEST_F(HeadlessRun, LogWritesTheRunsLinesToAFileInUtf8WithAMark) {
  const std::string log = tmp.str() + "/günlük.txt";
  auto logged = [&] {
    std::ifstream in(testos::utf8Path(log), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  V args = carry();
  args.insert(args.begin() + 1, {"--log", log});
  EXPECT_EQ(run(args), kExitCompleted);
  EXPECT_EQ(out.str(), "İşlem tamamlandı\n");
  EXPECT_EQ(logged(), "\xEF\xBB\xBF" + err.str() + out.str());
  EXPECT_EQ(err.str().rfind("ACME şirketi oluşturuluyor.\n", 0), 0u);

  const std::pair<V, int> cases[] = {{{"--version", "--log", log}, kExitCompleted},
                                     {{"--log", log, "--devir", "--xyz"}, kExitUsage}};
  for (const auto& [line, status] : cases) {
    out.str("");
    err.str("");
    EXPECT_EQ(run(line), status) << line[0];
    EXPECT_EQ(logged(), "\xEF\xBB\xBF" + out.str() + err.str());
  }

  // Without its file, or with one that cannot be made, nothing runs.
  out.str("");
  err.str("");
  EXPECT_EQ(run({"--version", "--log"}), kExitUsage);
  EXPECT_EQ(err.str().rfind("upgrade-devir: --log bir dosya ister\n", 0), 0u) << err.str();
  err.str("");
  EXPECT_EQ(run({"--version", "--log", tmp.str() + "/yok/günlük.txt"}), kExitStopped);
  EXPECT_EQ(err.str(),
            "upgrade-devir: Günlük dosyası yazılamadı: " + tmp.str() + "/yok/günlük.txt\n");
  EXPECT_TRUE(out.str().empty());
}

TEST_F(HeadlessRun, CheckStopIsOneWithTheMessageLinesJoined) {
  V args = carry();
  args[2] = tmp.str() + "/nothere";
  EXPECT_EQ(run(args), kExitStopped);
  EXPECT_EQ(out.str(), "Pravex versiyonu için belirttiğiniz DATA dizini bulunamadı\n");
  out.str("");
  EXPECT_EQ(run({"--upgrade", "--old", " ", "--data", tmp.str()}), kExitStopped);
  EXPECT_EQ(out.str(),
            "Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex versiyonunun kullandığı\nDATA "
            "dizininin tam yolunu giriniz\n");
}

TEST_F(HeadlessRun, ProductRunningIsOne) {
  EXPECT_EQ(run(carry(), true), kExitStopped);
}

TEST_F(HeadlessRun, UnexpectedFailureIsTwoWithItsText) {
  jobs.carryForward = [](RunHost&, const RunOptions&, Workspace&) {
    throw std::runtime_error("Table 'Cari' is corrupt");
  };
  EXPECT_EQ(run(carry()), kExitFailed);
  EXPECT_NE(err.str().find("Table 'Cari' is corrupt."), std::string::npos) << err.str();
}

// --help and --version answer alone, wherever they stand; the usage names
// every option the parser takes, each exit status and an example.
TEST_F(HeadlessRun, HelpListsEveryOptionAndStatusAndVersionIsTheAboutBoxs) {
  for (const V& args : {V{"--help"}, V{"-h"}, V{"/?"}, V{"--devir", "--force", "--help"}}) {
    out.str("");
    EXPECT_EQ(run(args), kExitCompleted) << args.front();
    EXPECT_EQ(out.str(), HeadlessUsage()) << args.front();
  }
  const std::string usage = HeadlessUsage();
  for (const char* text : {"Kullanım:",
                           "--devir",
                           "--upgrade",
                           "--data DİZİN",
                           "--old DİZİN",
                           "--from YIL",
                           "--to YIL",
                           "--ytl",
                           "--rounding auto|down|up",
                           "--companies all|KOD,KOD...",
                           "--report-dir DİZİN",
                           "--dry-run",
                           "--check-openings",
                           "--help",
                           "--version",
                           "Çıkış durumu:",
                           "\n  0  ",
                           "\n  1  ",
                           "\n  2  ",
                           "\n  3  ",
                           "\n  4  ",
                           "Örnek:"})
    EXPECT_NE(usage.find(text), std::string::npos) << text;
  EXPECT_EQ(usage.find("usage"), std::string::npos);  // nothing left in English
  // An 80-column console wraps a line of 80 characters: every line is
  // shorter (characters, not UTF-8 bytes).
  std::size_t start = 0;
  for (std::size_t end; (end = usage.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = usage.substr(start, end - start);
    const auto characters = std::count_if(line.begin(), line.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    EXPECT_LE(characters, 79) << line;
  }

  out.str("");
  EXPECT_EQ(run({"--version"}), kExitCompleted);
  EXPECT_EQ(out.str(), "KMX Devir-Upgrade " + std::string(version::kVersion) + "\n");
  EXPECT_TRUE(err.str().empty());
}

TEST_F(HeadlessRun, BadArgumentsAreThreeWithTheReasonInTurkishAndTheSynopsis) {
  const std::pair<V, std::string> cases[] = {
      {{"--devir", "--xyz"}, "upgrade-devir: Bilinmeyen seçenek: --xyz\n"},
      {{"--upgrade", "--old", "C:\\Eski", "Veri", "--data", "D"},
       "upgrade-devir: Beklenmeyen argüman: Veri (boşluk içeren dizinleri tırnak içinde "
       "yazınız)\n"},
      {{"--devir"}, "upgrade-devir: --data verilmedi\n"},
      {{"--devir", "--data", "D", "--from", "20055", "--to", "2006"},
       "upgrade-devir: --from en çok dört rakamlı bir yıl ister: '20055'\n"},
  };
  for (const auto& [args, reason] : cases) {
    out.str("");
    err.str("");
    EXPECT_EQ(run(args), kExitUsage) << reason;
    EXPECT_EQ(err.str(), reason + HeadlessSynopsis() + "Ayrıntılar için: upgrade-devir --help\n");
    EXPECT_TRUE(out.str().empty());
  }
}

// --- the selection answered by --companies ----------------------------------

CompanyList threeCompanies() {
  CompanyList list;
  for (const char* code : {"2005_001", "2005_002", "2005_003"}) {
    list.append();
    list.setValue("SIRKET_KOD", Variant{std::string(code)});
    list.setValue("DEVIR", Variant{true});
  }
  return list;
}

std::vector<bool> selection(const CompanyList& list) {
  std::vector<bool> s;
  int devir = list.findField("DEVIR");
  for (std::size_t r = 0; r < list.rowCount(); ++r)
    s.push_back(std::get<bool>(list.valueAt(r, devir).value));
  return s;
}

TEST(ConsoleSelection, AllKeepsEveryRowAndCodesPickRows) {
  std::ostringstream out, err;
  HeadlessOptions all;
  CompanyList list = threeCompanies();
  EXPECT_TRUE(ConsoleHost(all, out, err).selectCompanies(list));
  EXPECT_EQ(selection(list), (std::vector<bool>{true, true, true}));

  HeadlessOptions some;
  some.allCompanies = false;
  some.companies = {"2005_003", "2005_001"};
  EXPECT_TRUE(ConsoleHost(some, out, err).selectCompanies(list));
  EXPECT_EQ(selection(list), (std::vector<bool>{true, false, true}));
}

TEST(ConsoleSelection, UnknownCodeOrEmptySelectionEndsTheRunSayingWhy) {
  std::ostringstream out, err;
  HeadlessOptions o;
  o.fromYear = "2005";
  o.toYear = "2006";
  o.allCompanies = false;
  o.companies = {"2005_001", "2004_009"};
  CompanyList list = threeCompanies();
  EXPECT_FALSE(ConsoleHost(o, out, err).selectCompanies(list));
  EXPECT_NE(err.str().find("2004_009 kodlu bir şirket 2005 yılında yok"), std::string::npos);
  EXPECT_EQ(selection(list), (std::vector<bool>{true, true, true}));  // untouched
  EXPECT_TRUE(out.str().empty());

  HeadlessOptions all;
  all.fromYear = "2005";
  all.toYear = "2006";
  CompanyList empty;
  EXPECT_FALSE(ConsoleHost(all, out, err).selectCompanies(empty));
  EXPECT_EQ(out.str(), "2005 yılına ait şirket bulunamadı\n");

  // Carried already: unselected with a note, as the list is built.
  auto carried = [](CompanyList& l, std::size_t row) {
    l.moveTo(row);
    l.setValue("DEVIR", Variant{false});
    l.setNote(l.text("SIRKET_KOD") + " zaten devredilmiş");
  };
  for (std::size_t row = 0; row < 2; ++row) carried(list, row);
  out.str("");
  EXPECT_TRUE(ConsoleHost(all, out, err).selectCompanies(list));  // 2005_003 is left
  EXPECT_EQ(selection(list), (std::vector<bool>{false, false, true}));
  carried(list, 2);
  EXPECT_FALSE(ConsoleHost(all, out, err).selectCompanies(list));
  EXPECT_EQ(out.str(), "2005 yılının bütün şirketleri 2006 yılına devredilmiş\n");
}

}  // namespace
