// A failed change never damages a table. Each writing operation runs once to
// count its file calls, then once per call with that call failing (its
// typical error: ENOSPC, EFBIG, EIO, EACCES), then once per call with the
// process "crashing" there (no call from there on reaches the disk) and the
// table re-opened. After each: the visible files equal the state before or
// after the operation byte for byte (an operation that reported failure:
// before, one that did not: after), the check is clean, pxlib reads the
// table and it opens again.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"
#include "support/file_faults.h"
#include "support/pxlib_reader.h"

namespace {

using namespace enginetest;
using Files = std::map<std::string, std::vector<unsigned char>>;

// Every file of the directory; working files (leading dot) only with `hidden`.
Files filesOf(const fs::path& dir, bool hidden = false) {
  Files out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name[0] == '.' && !hidden) continue;
    out[name] = readAll(e.path());
  }
  return out;
}

// Where the system cannot swap two names at once (Windows), a commit
// replaces the indexes one by one and cannot put them back: a failure or a
// crash among them leaves the recovery marker, and the next open rebuilds
// them. There only the data file is before or after byte for byte, and the
// table is sound once re-opened.
bool namesSwap() {
  static const bool swap = [] {
    TempDir d;
    writeAll(d.path() / "a", {});
    writeAll(d.path() / "b", {});
    return platform::exchangeFiles(d.path() / "a", d.path() / "b");
  }();
  return swap;
}

// The files whose bytes a failure or a crash must leave before or after.
Files compared(Files files) {
  if (namesSwap()) return files;
  return {{"Char.DB", files.at("Char.DB")}};
}

void restore(const fs::path& dir, const Files& files) {
  for (const auto& e : fs::directory_iterator(dir)) fs::remove(e.path());
  for (const auto& [name, bytes] : files) writeAll(dir / name, bytes);
}

std::string differences(const Files& got, const Files& want) {
  std::string out;
  for (const auto& [name, bytes] : want)
    if (!got.count(name) || got.at(name) != bytes) out += " " + name;
  for (const auto& [name, bytes] : got)
    if (!want.count(name)) out += " +" + name;
  return out;
}

struct Operation {
  const char* name;
  int rows;  // of the movement table it starts from
  // Structural changes are all or nothing: a reported failure leaves the
  // state before, success the state after. In-place edits are written into
  // the live table, so a failed flush may be completed by the close that
  // follows: before or after either way. Blob values go into the live .MB:
  // its structure stays sound, only the data file is before or after.
  enum Expect { kAllOrNothing, kInPlace, kDataFileInPlace } expect;
  std::function<void(const fs::path& db)> run;  // opens, changes, flushes
};

void editField(const fs::path& db, int field, const std::string& value) {
  auto t = pdx::Table::open(db);
  t->first();
  t->next();
  t->edit();
  t->setString(field, value);
  t->post();
  t->flush();
}

const std::vector<Operation>& operations() {
  static const std::vector<Operation> ops = {
      {"edit in place", 40, Operation::kInPlace,
       [](const fs::path& db) { editField(db, 2, "77.25"); }},
      {"edit of an indexed field", 40, Operation::kAllOrNothing,
       [](const fs::path& db) { editField(db, 1, "999.99"); }},
      {"edit of the key", 40, Operation::kAllOrNothing,
       [](const fs::path& db) { editField(db, 0, "500"); }},
      {"memo write", 40, Operation::kDataFileInPlace,
       [](const fs::path& db) { editField(db, 6, std::string(700, 'm')); }},
      {"insert", 40, Operation::kAllOrNothing,
       [](const fs::path& db) {
         auto t = pdx::Table::open(db);
         t->insert();
         t->setInteger(0, 25000);
         t->setString(1, "320.01");
         t->post();
         t->flush();
       }},
      {"append with auto-increment, growing the file", 16, Operation::kAllOrNothing,
       [](const fs::path& db) {
         auto t = pdx::Table::open(db);
         for (int i = 0; i < 6; ++i) {
           t->append();
           t->setString(1, accountOf(i));
           t->post();
         }
         t->flush();
       }},
      {"delete after a change", 40, Operation::kAllOrNothing,
       [](const fs::path& db) {
         auto t = pdx::Table::open(db);
         t->append();
         t->post();
         t->first();
         t->remove();
         t->remove();
         t->flush();
       }},
      {"marked deletes and the packed copy", 40, Operation::kAllOrNothing,
       [](const fs::path& db) {
         auto t = pdx::Table::open(db);
         t->setFilter("TAKSIT = TRUE");
         t->setFiltered(true);
         while (!t->eof()) t->remove();
         t->flush();
       }},
      {"index rebuild on the recovery marker", 40, Operation::kAllOrNothing,
       [](const fs::path& db) { pdx::Table::open(db); }},
  };
  return ops;
}

// The table sound by every reader: our check, pxlib, a writable open.
void expectSound(const fs::path& db) {
  const auto problems = pdx::checkTable(db);
  ASSERT_TRUE(problems.empty()) << problems.front();
  auto t = pdx::Table::open(db);
  const std::uint64_t records = t->recordCount();
  if (fixture::pxlib::available()) EXPECT_EQ(fixture::pxlib::read(db).rows.size(), records);
}

class FaultSweep : public testing::TestWithParam<Operation> {
 protected:
  void SetUp() override {
    const Operation& op = GetParam();
    m_db = m_dir / "Char.DB";
    movements(op.rows).write(m_db);
    if (std::string(op.name).find("recovery") != std::string::npos) {
      // A commit cut off before its marker was removed, with an index
      // that does not agree with the data.
      writeAll(m_dir / ".Char.DB.ix~", {});
      auto px = readAll(m_dir / "Char.PX");
      px[0x2C] ^= 0x40;
      writeAll(m_dir / "Char.PX", px);
    }
    m_before = filesOf(m_dir.path(), true);
    fixture::FaultPlan counter = fixture::FaultPlan::counting();
    counter.skippingSyncs();
    {
      fixture::ScopedFaults on(counter);
      op.run(m_db);
    }
    m_calls = counter.calls();
    m_after = filesOf(m_dir.path());
    ASSERT_TRUE(filesOf(m_dir.path(), true) == m_after)
        << "working files left after success:" << differences(filesOf(m_dir.path(), true), m_after);
    restore(m_dir.path(), m_before);
    RecordProperty("injection_points", m_calls);
    std::printf("[ sweep    ] %s: %d file calls\n", op.name, m_calls);
  }

  // The visible files as they must be: before when the operation reported
  // its failure, after when it reported success.
  void expectState(bool failed, const std::string& what) {
    const Files now = filesOf(m_dir.path());
    Files before = m_before;
    for (auto it = before.begin(); it != before.end();)
      it = it->first[0] == '.' ? before.erase(it) : std::next(it);
    switch (GetParam().expect) {
      case Operation::kAllOrNothing: {
        const Files& want = failed ? before : m_after;
        EXPECT_TRUE(compared(now) == compared(want))
            << what
            << (failed ? ": reported failure, differs from before in"
                       : ": reported success, differs from after in")
            << differences(now, want);
        break;
      }
      case Operation::kInPlace:
        EXPECT_TRUE(now == before || now == m_after)
            << what << ": neither before nor after; differs from before in"
            << differences(now, before) << ", from after in" << differences(now, m_after);
        break;
      case Operation::kDataFileInPlace:
        EXPECT_TRUE(now.at("Char.DB") == before.at("Char.DB") ||
                    now.at("Char.DB") == m_after.at("Char.DB"))
            << what << ": the data file is neither before nor after";
    }
  }

  // In memory where the system has it: the sweep models a killed process,
  // for which the disk's speed makes no difference, and runs a thousand
  // commits.
  TempDir m_dir{fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()};
  fs::path m_db;
  Files m_before, m_after;
  int m_calls = 0;
};

TEST_P(FaultSweep, AFailedCallLeavesTheTableBeforeOrAfter) {
  ASSERT_GT(m_calls, 0);
  for (int call = 1; call <= m_calls; ++call) {
    restore(m_dir.path(), m_before);
    fixture::FaultPlan plan = fixture::FaultPlan::failAt(call);
    plan.skippingSyncs();
    bool failed = false;
    std::string message;
    {
      fixture::ScopedFaults on(plan);
      try {
        GetParam().run(m_db);
      } catch (const EDBEngineError& e) {
        failed = true;
        message = e.what();
      }
    }
    const std::string what = "call " + std::to_string(call) + " (" +
                             platform::fileOpName(plan.firedOp()) + ") failing" +
                             (failed ? " [" + message + "]" : "");
    SCOPED_TRACE(what);
    ASSERT_TRUE(plan.fired());
    expectState(failed, what);
    if (plan.firedOp() != platform::FileOp::kRemove)
      for (const auto& [name, bytes] : filesOf(m_dir.path(), true))
        EXPECT_TRUE(name[0] != '.' || m_before.count(name) ||
                    (!namesSwap() && name == ".Char.DB.ix~"))
            << "working file left: " << name;
    if (!namesSwap()) pdx::Table::open(m_db);  // rebuilds the indexes on the marker
    expectSound(m_db);
    if (HasFailure()) return;
  }
}

TEST_P(FaultSweep, ACrashAtAnyCallLeavesTheTableBeforeOrAfter) {
  for (int call = 1; call <= m_calls; ++call) {
    restore(m_dir.path(), m_before);
    fixture::FaultPlan plan = fixture::FaultPlan::crashAt(call);
    plan.skippingSyncs();
    {
      fixture::ScopedFaults on(plan);
      try {
        GetParam().run(m_db);
      } catch (const EDBEngineError&) {
      }
    }
    const std::string what =
        "crash at call " + std::to_string(call) + " (" + platform::fileOpName(plan.firedOp()) + ")";
    SCOPED_TRACE(what);
    {
      fixture::FaultPlan fast = fixture::FaultPlan::counting();
      fixture::ScopedFaults on(fast.skippingSyncs());
      pdx::Table::open(m_db);  // puts an interrupted commit right
    }
    const Files now = filesOf(m_dir.path());
    Files before = m_before;
    before.erase(".Char.DB.ix~");
    if (GetParam().expect != Operation::kDataFileInPlace)
      EXPECT_TRUE(compared(now) == compared(before) || compared(now) == compared(m_after))
          << what << ": neither before nor after; differs from before in"
          << differences(now, before) << ", from after in" << differences(now, m_after);
    expectSound(m_db);
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultSweep, testing::ValuesIn(operations()),
                         [](const testing::TestParamInfo<Operation>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p; ++p)
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           return name;
                         });

}  // namespace
