// How a new company reaches the disk: every file is synced before the
// rename that gives the company its code; the steps' own syncs before that
// only start the writing.
#include <filesystem>
#include <set>

#include "carry/carry_test_base.h"
#include "platform/rawfile.h"

namespace fs = std::filesystem;

namespace {

// Records which files were synced when a directory was renamed to `watched`.
// A file sync passes the seam without its path: it belongs to the file
// opened just before it.
class SyncRecorder final : public platform::FileFaults {
 public:
  explicit SyncRecorder(fs::path watched) : m_watched(std::move(watched)) {}

  int before(platform::FileOp op, const fs::path& path) override {
    using platform::FileOp;
    if (op == FileOp::kOpen || op == FileOp::kCreate) m_opened = path;
    // Syncs in a directory whose syncs are deferred only start the writing:
    // they do not count.
    const fs::path synced = path.empty() ? m_opened : path;
    if (op == FileOp::kSync)
      (platform::syncsDeferredFor(synced) ? m_deferred : m_synced).insert(synced);
    if (op == FileOp::kRename && path == m_watched) {
      m_atRename = m_synced;
      m_renamed = true;
    }
    return 0;
  }

  bool renamed() const { return m_renamed; }
  bool syncedBeforeRename(const fs::path& p) const { return m_atRename.count(p) > 0; }
  std::size_t deferred() const { return m_deferred.size(); }

 private:
  fs::path m_watched, m_opened;
  std::set<fs::path> m_synced, m_deferred, m_atRename;
  bool m_renamed = false;
};

class CarryPublishTest : public CarryTest {
 protected:
  fixture::CompanyDir& old = dir.company("2005_001");
  fs::path made = data / "2006_001";

  void runOne() {
    dir.registry().company("2005_001", "Ak", 2005);
    dir.write();
    const fixture::UnchangedDir oldCompany(company("2005_001"));
    run();
    ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
    oldCompany.expectUnchanged();
  }
};

TEST_F(CarryPublishTest, EveryFileIsSyncedBeforeTheRenameThatPublishesTheCompany) {
  old.withCheque("Bankada", 5).withCheque("Ödendi", 6);
  SyncRecorder recorder(made);
  {
    struct Installed {  // removed again even when the run throws
      explicit Installed(SyncRecorder* r) { platform::g_fileFaults = r; }
      ~Installed() { platform::g_fileFaults = nullptr; }
    } installed(&recorder);
    runOne();
  }
  ASSERT_TRUE(recorder.renamed()) << "the rename did not pass the file seam";
  const fs::path work = data / ".ud-devir-2006_001";
#ifndef _WIN32  // Windows has no sync of a directory
  EXPECT_TRUE(recorder.syncedBeforeRename(work));
#endif
  int files = 0;
  for (const auto& e : fs::directory_iterator(made)) {
    ++files;
    EXPECT_TRUE(recorder.syncedBeforeRename(work / e.path().filename())) << e.path().filename();
  }
  EXPECT_GT(files, 10);
  EXPECT_GT(recorder.deferred(), 0u);  // the steps' commits did not wait for the disk
}

}  // namespace
