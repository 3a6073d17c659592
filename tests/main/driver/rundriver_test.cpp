#include "main/driver/rundriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "jobs/workspace.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

using fixture::TempDir;

namespace {

const char* const kProduct =
    "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız";
const char* const kOldEmpty =
    "Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex versiyonunun kullandığı\r\nDATA dizininin "
    "tam yolunu giriniz";
const char* const kOldMissing =
    "KMX Orvan veya Lumex versiyonu için belirttiğiniz DATA dizini bulunamadı";
const char* const kDataEmpty = "Pravex versiyonunun kullandığı DATA dizininin tam yolunu giriniz";
const char* const kDataMissing = "Pravex versiyonu için belirttiğiniz DATA dizini bulunamadı";
const char* const kDone = "İşlem tamamlandı";

struct Errors : ErrorReport {
  std::vector<std::string> texts;
  void errorBox(const std::string& text) override { texts.push_back(text); }
};

// Runs the driver with jobs that only record that they ran.
class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    tmp.write("data/sirket.db", "");
    tmp.write("old/sirket.db", "");
    host.newDir = tmp.str() + "\\data";
    jobs.upgrade = [this](RunHost& h, const RunOptions&, Workspace&) {
      ran.push_back("upgrade");
      h.setStatusVisible(true);
      h.setStatusVisible(false);
      return upgradeResult;
    };
    jobs.carryForward = [this](RunHost& h, const RunOptions&, Workspace& w) {
      ran.push_back("carry");
      sequenceSeenByCarry = w.NewCompanySequence;
      if (carryEnds) h.infoBox(kDone);
    };
  }
  RunEnd run() {
    return Button1Click(
        host, host.options(), ws, errors, [this] { return product; }, jobs);
  }

  TempDir tmp;
  RecordingHost host;
  Workspace ws;
  Errors errors;
  RunJobs jobs;
  platform::ProductStatus product;
  bool upgradeResult = true;
  bool carryEnds = true;
  int sequenceSeenByCarry = 0;
  std::vector<std::string> ran;
};

// --- the checks, in their order -----------------------------------------

struct CheckCase {
  const char* label;
  bool product;
  bool upgrade;
  const char* oldDir;   // relative to the scratch directory unless blank
  const char* dataDir;  // likewise
  const char* message;
};

class DriverChecks : public DriverTest, public ::testing::WithParamInterface<CheckCase> {};

std::string place(const TempDir& tmp, const char* text) {
  std::string t = text;
  bool blank = t.find_first_not_of(" \t") == std::string::npos;
  return blank ? t : tmp.str() + "\\" + t;
}

TEST_P(DriverChecks, StopsWithTheMessageAndRunsNoJob) {
  const CheckCase& c = GetParam();
  product = c.product ? platform::ProductStatus::running() : platform::ProductStatus::closed();
  host.upgrade = c.upgrade;
  host.devir = true;
  host.oldDir = place(tmp, c.oldDir);
  host.newDir = place(tmp, c.dataDir);
  ws.NewCompanySequence = 7;

  EXPECT_EQ(run(), RunEnd::kStopped);
  EXPECT_EQ(host.infos, std::vector<std::string>{c.message});
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(ws.NewCompanySequence, 1);
  EXPECT_FALSE(host.statusVisible);
  EXPECT_FALSE(host.gaugeVisible);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DriverChecks,
    ::testing::Values(CheckCase{"product_wins_over_everything", true, true, " ", "", kProduct},
                      CheckCase{"old_blanks", false, true, "   ", "data", kOldEmpty},
                      CheckCase{"old_empty", false, true, "", "", kOldEmpty},
                      CheckCase{"old_missing", false, true, "nothere", "data", kOldMissing},
                      CheckCase{"old_is_a_file", false, true, "old\\sirket.db", "data",
                                kOldMissing},
                      CheckCase{"old_ignored_without_upgrade", false, false, "", "", kDataEmpty},
                      CheckCase{"data_empty_upgrade_only", false, true, "old", "", kDataEmpty},
                      CheckCase{"data_blanks_and_tab", false, false, "", " \t ", kDataEmpty},
                      CheckCase{"data_missing", false, false, "", "data\\2005", kDataMissing}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(DriverTest, ProductCheckThatCannotTellStopsFirstWithItsReason) {
  product = platform::ProductStatus::unknown("Wine ortamı /x: wine 10 saniye içinde yanıt vermedi");
  host.upgrade = true;
  host.oldDir = " ";
  EXPECT_EQ(run(), RunEnd::kStopped);
  EXPECT_EQ(host.infos,
            std::vector<std::string>{
                "Açık KMX programı olup olmadığı denetlenemedi (Wine ortamı /x: wine 10 "
                "saniye içinde yanıt vermedi).\r\nWine ile açık olan tüm programları "
                "kapatıp yeniden deneyiniz"});
  EXPECT_TRUE(ran.empty());
}

// --- the jobs -----------------------------------------------------------

TEST_F(DriverTest, CarryForwardOnlyEndsWithItsOwnMessage) {
  ws.NewCompanySequence = 5;
  EXPECT_EQ(run(), RunEnd::kCompleted);
  EXPECT_EQ(ran, std::vector<std::string>{"carry"});
  EXPECT_EQ(sequenceSeenByCarry, 1);
  EXPECT_EQ(host.infos, std::vector<std::string>{kDone});
}

TEST_F(DriverTest, UpgradeOnlyShowsCompletionOnce) {
  host.upgrade = true;
  host.devir = false;
  host.oldDir = tmp.str() + "\\old\\";
  EXPECT_EQ(run(), RunEnd::kCompleted);
  EXPECT_EQ(ran, std::vector<std::string>{"upgrade"});
  EXPECT_EQ(host.infos, std::vector<std::string>{kDone});
}

TEST_F(DriverTest, BothJobsRunUpgradeFirstAndOneCompletion) {
  host.upgrade = true;
  host.oldDir = tmp.str() + "/old";
  EXPECT_EQ(run(), RunEnd::kCompleted);
  EXPECT_EQ(ran, (std::vector<std::string>{"upgrade", "carry"}));
  EXPECT_EQ(host.infos, std::vector<std::string>{kDone});
}

TEST_F(DriverTest, UpgradeStopMeansNoCarryForward) {
  host.upgrade = true;
  host.oldDir = tmp.str() + "/old";
  upgradeResult = false;
  EXPECT_EQ(run(), RunEnd::kStopped);
  EXPECT_EQ(ran, std::vector<std::string>{"upgrade"});
  EXPECT_TRUE(host.infos.empty());  // the upgrade's own message is its business
}

TEST_F(DriverTest, NoJobTickedStillCompletes) {
  host.devir = false;
  EXPECT_EQ(run(), RunEnd::kCompleted);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(host.infos, std::vector<std::string>{kDone});
}

TEST_F(DriverTest, CancelledSelectionEndsSilentlyAndNextRunStartsAfresh) {
  carryEnds = false;
  EXPECT_EQ(run(), RunEnd::kCancelled);
  EXPECT_TRUE(host.infos.empty());
  ws.NewCompanySequence = 4;  // as the cancelled run's list left it
  carryEnds = true;
  EXPECT_EQ(run(), RunEnd::kCompleted);
  EXPECT_EQ(sequenceSeenByCarry, 1);
}

TEST_F(DriverTest, CarryForwardStopIsNotCompletion) {
  jobs.carryForward = [](RunHost& h, const RunOptions&, Workspace&) {
    h.infoBox("X adlı şirketin verileri açılamadı");
  };
  EXPECT_EQ(run(), RunEnd::kStopped);
}

// --- failures -----------------------------------------------------------

TEST_F(DriverTest, FailureGoesToTheErrorReportAndLeavesProgressAsItWas) {
  jobs.carryForward = [](RunHost& h, const RunOptions&, Workspace&) {
    h.setStatusVisible(true);
    h.setGaugeVisible(true);
    h.setStatusText("ACME şirketinin cari kartları devrediliyor");
    throw std::runtime_error("Cannot open table Cari");
  };
  EXPECT_EQ(run(), RunEnd::kFailed);
  EXPECT_EQ(errors.texts, std::vector<std::string>{"Cannot open table Cari."});
  EXPECT_TRUE(host.infos.empty());
  EXPECT_TRUE(host.statusVisible);
  EXPECT_TRUE(host.gaugeVisible);
  // The window stays usable: the next run goes through the checks again.
  jobs.carryForward = [](RunHost& h, const RunOptions&, Workspace&) { h.infoBox(kDone); };
  EXPECT_EQ(run(), RunEnd::kCompleted);
}

struct ReportCase {
  const char* text;
  const char* shown;
};
class ErrorReportTextTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReportTextTest, FullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorReportText(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ErrorReportTextTest,
    ::testing::Values(ReportCase{"Disk full", "Disk full."}, ReportCase{"Error 42", "Error 42."},
                      ReportCase{"Done.", "Done."}, ReportCase{"Bad value (x)", "Bad value (x)"},
                      ReportCase{"trailing ", "trailing "}, ReportCase{"100%", "100%"},
                      ReportCase{"Really?", "Really?."}, ReportCase{"C:/", "C:/."},
                      ReportCase{"dosya bulunamadı", "dosya bulunamadı."}, ReportCase{"", ""}));

}  // namespace
