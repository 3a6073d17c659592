// Engine benchmark. Builds a table of N movement records (default
// 1,000,000) and times, each in a child process so that its peak memory is
// its own: `cp` of the table's files, reading every record with the engine,
// reading it with pxlib, editing and posting one float field of every
// record, and filter-and-delete of 95% of a keyed table with two maintained
// secondary indexes.
//   paradox_bench [records] [work directory]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "paradox/table.h"
#include "support/paradox_builder.h"
#ifdef UD_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}
#endif

namespace fs = std::filesystem;
using T = pdx::FieldType;

namespace {

struct Run {
  double seconds = 0;
  long peakKiB = 0;
  bool ok = false;
};

// Runs `work` in a child process; wall time and the child's peak RSS.
Run measure(const std::function<void()>& work) {
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    try {
      work();
      std::fflush(stdout);
      _exit(0);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "failed: %s\n", e.what());
      _exit(1);
    }
  }
  int status = 0;
  struct rusage ru {};
  wait4(pid, &status, 0, &ru);
  Run r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.peakKiB = ru.ru_maxrss;
  r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return r;
}

void build(const fs::path& db, std::uint64_t n, bool indexes) {
  fixture::TableBuilder b({{"KAYIT", T::kAutoInc},
                           {"CARIKODU", T::kAlpha, 12},
                           {"TUTAR", T::kNumber},
                           {"TAKSIT", T::kLogical},
                           {"ODEDI", T::kLogical},
                           {"EVRAKDURUM", T::kAlpha, 20}});
  b.keyed(1).blockSizeKiB(2);
  if (indexes) b.secondaryIndex("CARIKODU").secondaryIndex("EVRAKDURUM");
  fixture::TableWriter w(b.spec(), db);
  for (std::uint64_t i = 1; i <= n; ++i) {
    char account[16];
    std::snprintf(account, sizeof account, "120.%05llu",
                  static_cast<unsigned long long>(i * 7919 % 100000));
    w.append({Variant{static_cast<std::int64_t>(i)}, Variant{std::string(account)},
              Variant{static_cast<double>(i) * 1250.5}, Variant{i % 2 == 0}, Variant{i % 3 == 0},
              Variant{std::string(i % 20 == 0 ? "Kasada" : "Bankada")}});
  }
  w.finish();
}

std::string filesOf(const fs::path& db) {
  std::string out;
  for (const auto& e : fs::directory_iterator(db.parent_path()))
    if (e.path().stem() == db.stem()) out += " '" + e.path().string() + "'";
  return out;
}

Run copyFiles(const fs::path& db, const fs::path& to) {
  fs::create_directories(to);
  const std::string cmd = "cp" + filesOf(db) + " '" + to.string() + "'";
  return measure([&] {
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("cp failed");
  });
}

void report(const char* what, const Run& r, const Run& cp) {
  std::printf("%-34s %8.3f s  %6.1f x cp  peak %7ld KiB%s\n", what, r.seconds,
              r.seconds / cp.seconds, r.peakKiB, r.ok ? "" : "  FAILED");
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const fs::path dir =
      argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "ud-paradox-bench";
  fs::remove_all(dir);
  fs::create_directories(dir / "plain");
  fs::create_directories(dir / "indexed");
  const fs::path db = dir / "plain" / "Char.DB";
  const fs::path idb = dir / "indexed" / "Char.DB";
  std::printf("building %llu records...\n", static_cast<unsigned long long>(n));
  build(db, n, false);
  build(idb, n, true);
  std::printf("table: %.1f MB; with two secondary indexes: files of %.1f MB\n",
              fs::file_size(db) / 1e6, [&] {
                double s = 0;
                for (const auto& e : fs::directory_iterator(idb.parent_path()))
                  s += static_cast<double>(e.file_size());
                return s / 1e6;
              }());

  const Run cp = copyFiles(db, dir / "copy");
  std::printf("%-34s %8.3f s                peak %7ld KiB\n", "cp of the table", cp.seconds,
              cp.peakKiB);
  const Run idle = measure([] {});
  std::printf("%-34s %8.3f s                peak %7ld KiB\n", "empty child (baseline)",
              idle.seconds, idle.peakKiB);

  const Run read = measure([&] {
    pdx::OpenOptions o;
    o.readOnly = true;
    auto t = pdx::Table::open(db, o);
    double sum = 0;
    std::uint64_t count = 0, flags = 0;
    for (t->first(); !t->eof(); t->next()) {
      sum += t->asFloat(2);
      flags += t->asBoolean(3) + t->asBoolean(4) + !t->isBlank(1) + !t->isBlank(5);
      ++count;
    }
    if (count != n) throw std::runtime_error("read " + std::to_string(count) + " records");
    std::printf("  (sum %.0f, flags %llu)\n", sum, static_cast<unsigned long long>(flags));
  });
  report("engine: read every record", read, cp);

#ifdef UD_HAVE_PXLIB
  const Run px = measure([&] {
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, db.c_str()) < 0) throw std::runtime_error("pxlib cannot open");
    const int records = PX_get_num_records(doc);
    double sum = 0;
    for (int i = 0; i < records; ++i) {
      pxval_t** values = PX_retrieve_record(doc, i);
      if (!values) continue;
      const int nf = PX_get_num_fields(doc);
      if (!values[2]->isnull) sum += values[2]->value.dval;
      for (int f = 0; f < nf; ++f) {
        if (values[f]->type == pxfAlpha && values[f]->value.str.val)
          doc->free(doc, values[f]->value.str.val);
        doc->free(doc, values[f]);
      }
      doc->free(doc, values);
    }
    std::printf("  (pxlib sum %.0f)\n", sum);
    PX_close(doc);
    PX_delete(doc);
  });
  report("pxlib: read every record", px, cp);
#else
  std::printf("pxlib: not available\n");
#endif

  const Run edit = measure([&] {
    auto t = pdx::Table::open(db);
    for (t->first(); !t->eof(); t->next()) {
      t->edit();
      t->setFloat(2, t->asFloat(2) / 1000000.0);
      t->post();
    }
    const auto before = std::chrono::steady_clock::now();
    t->flush();
    std::printf("  (flush with fsync: %.3f s)\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count());
  });
  report("engine: edit and post every record", edit, cp);

  const Run icp = copyFiles(idb, dir / "icopy");
  std::printf("%-34s %8.3f s                peak %7ld KiB\n", "cp of keyed table + 2 indexes",
              icp.seconds, icp.peakKiB);
  const Run del = measure([&] {
    auto t = pdx::Table::open(idb);
    t->setFilter("EVRAKDURUM <> 'Kasada'");
    t->setFiltered(true);
    std::uint64_t gone = 0;
    while (!t->eof()) {
      t->remove();
      ++gone;
    }
    t->setFiltered(false);
    const auto before = std::chrono::steady_clock::now();
    t->flush();
    std::printf("  (flush with fsync and index rewrite: %.3f s)\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count());
    std::printf("  (%llu deleted, %llu left)\n", static_cast<unsigned long long>(gone),
                static_cast<unsigned long long>(t->recordCount()));
  });
  report("engine: filter-and-delete 95%", del, icp);
  fs::remove_all(dir);
  return read.ok && edit.ok && del.ok ? 0 : 1;
}
