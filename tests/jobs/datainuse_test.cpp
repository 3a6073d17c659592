// No carry-forward while another program has the data open; lock files
// nobody holds neither stop a run nor are copied.
#include "jobs/datainuse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "jobs/filelist.h"
#include "jobs/filesetcopy.h"
#include "jobs/workspace.h"
#include "platform/file_holder.h"
#include "platform/inuse.h"
#include "platform/wildcard.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;

namespace {

class DataInUseTest : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";
  fixture::DataDir dir{data};
  RecordingHost host;
  Workspace ws;

  void SetUp() override {
    // No Wine prefix to ask: the check looks at this computer's processes.
    testos::setEnvironment("WINEPREFIX", (tmp.path() / "no-prefix").string().c_str());
    dir.registry().company("2005_001", "Ak", 2005);
    dir.company("2005_001").withCard("120.01", 250, "Alacak").withFile("fatura.db", "x");
    dir.write();
    host.carry2005(data.string(), false);
  }
  // A file of the data directory's tree, as the check names it.
  std::string typed(const std::string& subdir) const {
    return subdir.empty() ? data.string() : data.string() + "\\" + subdir;
  }
  void put(const std::string& relative) { std::ofstream(data / relative) << ""; }
};

// The company list as the selection leaves it: 2005_001 selected.
void select2005(Workspace& w) {
  w.RxSirket.append();
  w.RxSirket.setValue("SIRKET_KOD", Variant{std::string("2005_001")});
  w.RxSirket.setValue("DEVIR", Variant{true});
}

TEST_F(DataInUseTest, AFileAnotherProgramHoldsIsAStopAndNothingIsWritten) {
  put("2005_001/PDOXUSRS.LCK");
  put("DBBACKUP/PARADOX.LCK");
  const struct {
    const char* subdir;
    const char* file;
    bool stops;
  } cases[] = {
      {"2005_001", "Cari.DB", true}, {"2005_001", "PDOXUSRS.LCK", true},
      {"", "sirket.db", true},       {"DBBACKUP", "PARADOX.LCK", true},
      {"DBBACKUP", "ayar.db", true}, {"2005_001", "fatura.db", false},  // not carried
  };
  for (auto c : cases) {
    SCOPED_TRACE(std::string(c.subdir) + "/" + c.file);
    // The message names the file as the directory spells it.
    std::string spelled = c.file;
    for (const auto& entry : fs::directory_iterator(data / c.subdir))
      if (platform::sameNameNoCase(entry.path().filename().string(), c.file))
        spelled = entry.path().filename().string();
    c.file = spelled.c_str();
    fixture::UnchangedDir guard(data);
    RecordingHost probe = host;
    fixture::FileHolder holder(data / c.subdir / c.file);
    ASSERT_TRUE(holder.holding());
    Workspace fresh;
    select2005(fresh);
    EXPECT_EQ(CheckCarryDataInUse(probe, probe.options(), fresh), !c.stops);
    if (c.stops) {
      EXPECT_EQ(probe.infos, std::vector<std::string>{
                                 "Veriler başka bir programda açık: " + typed(c.subdir) + " (" +
                                 c.file + "). Ürünü bütün bilgisayarlarda kapatınız."});
    }
    guard.expectUnchanged();
  }
}

// The upgrade reads every company of the older registry and writes the
// newest edition's namesakes.
TEST_F(DataInUseTest, TheUpgradeLooksAtBothDataDirectories) {
  const fs::path old = tmp.path() / "OLD";
  fixture::DataDir older(old, fixture::Edition::kOlder);
  older.registry().company("2004_007", "Eski", 2004);
  older.company("2004_007").withCard("120.01", 10, "Alacak");
  older.write();
  host.upgrade = true;
  host.oldDir = old.string();
  for (const fs::path& file : {old / "2004_007" / "Cari.DB", data / "sirket.db"}) {
    RecordingHost probe = host;
    fixture::FileHolder holder(file);
    EXPECT_FALSE(CheckUpgradeDataInUse(probe, probe.options(), ws)) << file;
    ASSERT_EQ(probe.infos.size(), 1u);
    EXPECT_NE(probe.infos[0].find("(" + file.filename().string() + ")"), std::string::npos);
  }
  RecordingHost probe = host;
  fixture::FileHolder untouched(data / "2005_001" / "Cari.DB");  // no such older company
  EXPECT_TRUE(CheckUpgradeDataInUse(probe, probe.options(), ws));
}

TEST_F(DataInUseTest, TheRegistryIsAskedAgainRightBeforeItIsRewritten) {
  ws.DM.SirketPravex_T.setDatabaseName(data.string());
  ws.DM.SirketPravex_T.open();  // the carry holds it open to register
  EXPECT_TRUE(CheckRegistryBeforeRewrite(host, host.options(), ws));
  {
    fixture::FileHolder product(data / "sirket.db");
    EXPECT_FALSE(CheckRegistryBeforeRewrite(host, host.options(), ws));
  }
  EXPECT_EQ(host.infos, std::vector<std::string>{"Veriler başka bir programda açık: " + typed("") +
                                                 " (sirket.db). Ürünü bütün bilgisayarlarda "
                                                 "kapatınız."});
  EXPECT_TRUE(ws.DM.SirketPravex_T.active());
}

TEST_F(DataInUseTest, LeftoverLockFilesAreNeitherAStopNorRemovedNorCopied) {
  for (const char* f : {"PDOXUSRS.LCK", "2005_001/PDOXUSRS.LCK", "2005_001/PARADOX.LCK",
                        "DBBACKUP/PARADOX.LCK", "DBBACKUP/PDOXUSRS.NET"})
    put(f);
  std::vector<std::string> leftovers;
  Workspace selected;
  select2005(selected);
  EXPECT_TRUE(CheckCarryDataInUse(host, host.options(), selected, &leftovers));
  EXPECT_EQ(leftovers,
            (std::vector<std::string>{
                typed("") + "\\PDOXUSRS.LCK", typed("DBBACKUP") + "\\PARADOX.LCK",
                typed("2005_001") + "\\PARADOX.LCK", typed("2005_001") + "\\PDOXUSRS.LCK"}));
  for (const char* f : {"PDOXUSRS.LCK", "2005_001/PARADOX.LCK", "DBBACKUP/PDOXUSRS.NET"})
    EXPECT_TRUE(fs::exists(data / f)) << f;
  // The copies of a new company: the template's "*.*" and the company's set.
  ws.FileListBox1.setMask("*.*");
  ws.FileListBox1.setDirectory(typed("DBBACKUP"));
  CopyFileSet(host, ws.FileListBox1.items(), typed("DBBACKUP"), typed("2006_001"), true);
  KMXList(ws, typed("2005_001"));
  CopyFileSet(host, ws.ListBoxCopy, typed("2005_001"), typed("2006_001"), true);
  ASSERT_TRUE(fs::exists(data / "2006_001/Cari.DB"));
  for (const char* f : {"PARADOX.LCK", "PDOXUSRS.LCK", "PDOXUSRS.NET"})
    EXPECT_FALSE(fs::exists(data / "2006_001" / f)) << f;
}

TEST_F(DataInUseTest, TheRunsOwnOpenTablesAreNotAnotherProgram) {
  // As a window would hold them between runs.
  ws.DM.SirketPravex_T.setDatabaseName(data.string());
  ws.DM.SirketPravex_T.open();
  ws.DM.CariPravex_T.setDatabaseName(typed("2005_001"));
  ws.DM.CariPravex_T.open();
  select2005(ws);
  EXPECT_TRUE(CheckCarryDataInUse(host, host.options(), ws));
  EXPECT_TRUE(host.infos.empty());
  // Opened again behind the question (Windows closes them for it).
  EXPECT_TRUE(ws.DM.SirketPravex_T.active());
  EXPECT_TRUE(ws.DM.CariPravex_T.active());
}

TEST(EngineControlFiles, AreNeverListedForACopy) {
  for (const char* name :
       {"PDOXUSRS.LCK", "paradox.lck", "CARI.LCK", "PDOXUSRS.NET", "pdoxusrs.net"})
    EXPECT_TRUE(IsEngineControlFile(name)) << name;
  for (const char* name : {"Cari.DB", "LCK", "PDOXUSRS.NE", "x.lckx", "PDOXUSRS.DB"})
    EXPECT_FALSE(IsEngineControlFile(name)) << name;
}

#ifndef _WIN32
std::optional<long long> cifs(const fs::path&) {
  return 0xFF534D42;
}

// On a network mount other computers' sessions cannot be seen: with lock
// files there the user is asked; without, nothing is asked.
TEST_F(DataInUseTest, OnANetworkMountWithLockFilesTheUserConfirms) {
  const platform::FileSystemTypeSource previous = platform::setFileSystemTypeSource(cifs);
  select2005(ws);
  EXPECT_TRUE(CheckCarryDataInUse(host, host.options(), ws));  // no lock file: no question
  put("2005_001/PDOXUSRS.LCK");
  const std::string unseen = typed("2005_001") +
                             " bir ağ sürücüsünde ve içinde kilit dosyaları var (PDOXUSRS.LCK). "
                             "Başka bilgisayarlarda açık olan programlar buradan görülemez.";
  EXPECT_FALSE(CheckCarryDataInUse(host, host.options(), ws));  // nobody to ask: a stop
  std::vector<std::string> asked;
  for (bool answer : {false, true}) {
    ScopedClosedQuestion question([&](const std::string& text) {
      asked.push_back(text);
      return answer;
    });
    EXPECT_EQ(CheckCarryDataInUse(host, host.options(), ws), answer);
  }
  EXPECT_EQ(asked,
            std::vector<std::string>(2, unseen + "\r\nÜrün bütün bilgisayarlarda kapalı mı?"));
  const std::string refused = unseen +
                              "\r\nÜrünü bütün bilgisayarlarda kapatınız ve kapalı olduğunu "
                              "onaylayarak yeniden deneyiniz.";
  EXPECT_EQ(host.infos, std::vector<std::string>(2, refused));
  platform::setFileSystemTypeSource(previous);
}
#endif

}  // namespace
