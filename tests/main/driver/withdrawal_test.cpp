// --withdraw-carry as a run: the command line's statuses and messages, the
// checks that stop it (product, another run, a table held open, a company
// used since, bad arguments) with nothing written, and a withdrawal cut off
// that the next run of any job finishes first.
#include "main/driver/withdrawal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <sstream>

#include "data/datamodule.h"
#include "main/driver/headless.h"
#include "paradox/table.h"
#include "platform/file_holder.h"
#include "platform/rawfile.h"
#include "platform/runlock.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using V = std::vector<std::string>;

namespace {

class WithdrawCommand : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";
  std::string out, err;
  bool productOpen = false;

  void SetUp() override {
    fixture::DataDir d(data);
    d.registry().company("2005_001", "Ak", 2005).company("2005_002", "Su", 2005);
    d.company("2005_001").withCard("120.01", 250, "Borç").withStock("S1", 3, 1000);
    d.company("2005_002").withCard("100.01", 7, "Borç");
    d.write();
    ASSERT_EQ(run({"--devir", "--data", data.string(), "--from", "2005", "--to", "2006"}), 0)
        << err;
  }

  int run(const V& args) {
    std::ostringstream o, e;
    const int status = RunHeadless(args, o, e, [this] {
      return productOpen ? platform::ProductStatus::running() : platform::ProductStatus::closed();
    });
    out = o.str();
    err = e.str();
    return status;
  }

  int withdraw(const std::string& companies, const V& more = {}) {
    V args{"--withdraw-carry", "--data", data.string(), "--to", "2006", "--companies", companies};
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
  }

  V registered() {
    TDM dm;
    TTable& t = dm.SirketPravex_T;
    t.setDatabaseName(data.string());
    t.open();
    V codes;
    for (t.first(); !t.eof(); t.next()) codes.push_back(t.field("SIRKET_KOD").asString());
    t.close();
    return codes;
  }
};

TEST_F(WithdrawCommand, WithdrawsNamedCompaniesSayingWhereTheyWentAndADryRunWritesNothing) {
  {
    const fixture::UnchangedDir guard(data);
    EXPECT_EQ(withdraw("all", {"--dry-run"}), 0) << err;
    EXPECT_NE(out.find("Devri geri alınacak şirketler:\n  2006_001 (Ak 2006), 2005_001 "
                       "şirketinden devredilmiş\n  2006_002 (Su 2006)"),
              std::string::npos)
        << out;
    guard.expectUnchanged();
  }
  EXPECT_EQ(withdraw("2006_002"), 0) << err;
  EXPECT_NE(out.find("2006_002 (Su 2006) şirketinin devri geri alındı"), std::string::npos) << out;
  EXPECT_NE(out.find(data.string() + "\\UD_YEDEK_GERIALMA_2006_002_"), std::string::npos) << out;
  EXPECT_EQ(registered(), (V{"2005_001", "2005_002", "2006_001"}));
}

// Each stops with its message, exit status 1 (3 for the arguments), and
// writes nothing.
TEST_F(WithdrawCommand, ChecksStopTheRunBeforeAnythingIsWritten) {
  struct Case {
    const char* label;
    std::function<int()> run;
    int status;
    std::string message;
  } cases[] = {
      {"product open",
       [&] {
         productOpen = true;
         const int s = withdraw("2006_001");
         productOpen = false;
         return s;
       },
       1, "açık olan tüm KMX programlarını kapatınız"},
      {"another run",
       [&] {
         platform::RunLock other;
         EXPECT_EQ(other.acquire(data), platform::RunLock::Result::kTaken);
         return withdraw("2006_001");
       },
       1, "dizininde başka bir Upgrade-Devir işlemi çalışıyor"},
      {"a table held open",
       [&] {
         fixture::FileHolder product(data / "2006_001" / "Cari.DB");
         EXPECT_TRUE(product.holding());
         return withdraw("2006_001");
       },
       1, "Veriler başka bir programda açık"},
      {"a posting since",
       [&] {
         auto t = pdx::Table::open(data / "2006_001" / "Char.DB");
         t->append();
         t->post();
         t->flush();
         t.reset();
         return withdraw("all");
       },
       1, "2006_001 (Ak 2006):\n  Char.DB: 1 yeni kayıt"},
      {"not of the year", [&] { return withdraw("2005_001"); }, 1,
       "2005_001 kodlu şirket 2006 yılının şirketi değil"},
      {"no companies named",
       [&] {
         return run({"--withdraw-carry", "--data", data.string(), "--to", "2006"});
       },
       3, "--companies ister"},
  };
  for (const Case& c : cases) {
    const fixture::UnchangedDir guard(data);
    EXPECT_EQ(c.run(), c.status) << c.label << "\n" << out << err;
    EXPECT_NE((out + err).find(c.message), std::string::npos) << c.label << "\n" << out << err;
    guard.expectUnchanged([](const std::string& line) {
      return line.find(".upgrade-devir.lock") != std::string::npos ||
             line.find("Char.") != std::string::npos;  // the posting's own change
    });
  }
}

// Killed once the registry row is gone: any next run that writes moves the
// company into its backup folder before it looks at anything, so a carry
// run offers the old company again under its first code.
TEST_F(WithdrawCommand, TheNextRunOfAnyJobFinishesAWithdrawalCutOff) {
  // Killed as the directory moves: every call from there on fails.
  class CrashAtTheMove final : public platform::FileFaults {
   public:
    int before(platform::FileOp op, const fs::path& path) override {
      crashed = crashed || (op == platform::FileOp::kRename && path.filename() == "2006_001");
      return crashed ? EIO : 0;
    }
    bool crashed = false;
  } crash;
  {
    platform::g_fileFaults = &crash;
    withdraw("2006_001");
    platform::g_fileFaults = nullptr;
  }
  ASSERT_TRUE(crash.crashed);
  ASSERT_TRUE(fs::exists(data / "2006_001" / ".ud-geri-aliniyor"));
  EXPECT_EQ(run({"--devir", "--data", data.string(), "--from", "2005", "--to", "2006",
                 "--companies", "2005_001"}),
            0)
      << out << err;
  EXPECT_NE(err.find("Yarım kalmış devir geri alma işlemi"), std::string::npos) << err;
  bool backedUp = false;
  for (const auto& e : fs::directory_iterator(data))
    backedUp =
        backedUp || (e.path().filename().string().rfind("UD_YEDEK_GERIALMA_2006_001_", 0) == 0 &&
                     fs::exists(e.path() / "2006_001" / "Cari.DB"));
  V codes = registered();
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(codes, (V{"2005_001", "2005_002", "2006_001", "2006_002"})) << out;
  EXPECT_TRUE(backedUp);
  EXPECT_FALSE(fs::exists(data / "2006_001" / ".ud-geri-aliniyor"));
}

}  // namespace
