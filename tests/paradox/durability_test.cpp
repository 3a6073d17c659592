// A process killed at any point while changing a table leaves it as it was
// at some flush: sound, with indexes that agree with the data, and every
// record whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;

// Rounds of filter-and-delete, appends, key edits and flushes, forever.
[[noreturn]] void churn(const fs::path& db) {
  for (int round = 0;; ++round) {
    auto t = pdx::Table::open(db);
    t->setFilter("TAKSIT = TRUE");
    t->setFiltered(true);
    for (int k = 0; k < 40 && !t->eof(); ++k) t->remove();
    t->setFiltered(false);
    t->flush();
    for (int k = 0; k < 60; ++k) {
      t->append();
      t->post();
      const int id = static_cast<int>(t->asInteger(0));
      t->edit();
      t->setString(1, accountOf(id));
      t->setBoolean(3, id % 2 == 1);
      t->post();
    }
    t->flush();
  }
}

TEST(Durability, KilledWhileChangingLeavesASoundTable) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(400).write(db);
  std::mt19937 rng(20240607);
  for (int trial = 0; trial < 25; ++trial) {
    SCOPED_TRACE(trial);
    const pid_t pid = fork();
    if (pid == 0) churn(db);
    ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(200, 60000)(rng)));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own";
    {
      auto t = pdx::Table::open(db);  // finishes an interrupted index rewrite
      for (t->first(); !t->eof(); t->next())
        ASSERT_EQ(t->asString(1), accountOf(static_cast<int>(t->asInteger(0)))) << "a torn record";
    }
    const auto problems = pdx::checkTable(db);
    ASSERT_TRUE(problems.empty()) << problems.front();
  }
}

}  // namespace
