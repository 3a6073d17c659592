// ud-share: a stand-in file share for tests and benchmarks. A FUSE
// passthrough of SOURCE at MOUNTPOINT that asks "the server" (SOURCE) on
// every call: the kernel's attribute, entry and page caches are off, so
// nothing is answered from memory that a share would have to fetch (and no
// file can be mapped). --page-cache keeps file pages in the kernel's cache
// between the opens of a file, as a share that caches data does.
//
//   ud-share SOURCE MOUNTPOINT [--delay-us N] [--page-cache]
//
// Prints "ready" on standard output once mounted, then reads commands from
// standard input, one a line, and answers each with a line "ok [value]" or
// "error: why":
//
//   delay US                  every call waits US microseconds first
//   fail OP NAME AFTER ERROR  calls OP on the file NAME (its last component,
//                             any case; a pattern: *sirket.db* takes the
//                             working files .sirket.db.new~ too) fail with ERROR
//                             (EIO, ENOSPC, or a number) once AFTER of them
//                             went through, and keep failing until heal
//   shrink NAME AFTER BYTES   after AFTER reads of NAME (a plain name), its file is cut to
//                             BYTES (once): a file shrinking under a reader
//   count OP NAME             how many calls OP on NAME (a pattern) came so far
//   counts                    every OP:NAME=N so far, on one line
//   total                     every call so far and each OP's part: "ok N OP=N ..."
//   reset                     forgets the counts
//   heal                      forgets every fail and shrink rule
//
// OP: open, create, read, write, truncate, sync, rename (either name),
// remove, mkdir, or any. Every other call (getattr, access, opendir,
// readdir, releasedir, release, setattr, statfs, ...) waits and is counted
// too, but takes no fault. End of standard input unmounts and exits, so a
// test that dies leaves no mount behind; so does fusermount3 -u MOUNTPOINT.
#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <fuse.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace serve {

std::string g_source;  // no trailing separator
std::atomic<long> g_delayUs{0};
bool g_directIo = true;

struct FailRule {
  std::string op, name;
  long after = 0;
  int error = EIO;
  long seen = 0;
};
struct ShrinkRule {
  std::string name;
  long after = 0;
  off_t bytes = 0;
  long seen = 0;
  bool done = false;
};

std::mutex g_mutex;
std::vector<FailRule> g_fails;
std::vector<ShrinkRule> g_shrinks;
std::map<std::pair<std::string, std::string>, long> g_counts;

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string lastName(const char* path) {
  const std::string p = path ? path : "";
  const std::size_t slash = p.find_last_of('/');
  return lower(slash == std::string::npos ? p : p.substr(slash + 1));
}

std::string real(const char* path) {
  return g_source + path;
}

// Every call waits the delay and is counted; a call that fault rules can
// take passes through gate() instead.
void pace(const char* op, const std::string& name) {
  if (long us = g_delayUs.load()) std::this_thread::sleep_for(std::chrono::microseconds(us));
  std::lock_guard<std::mutex> lock(g_mutex);
  ++g_counts[{op, name}];
}

void pace(const char* op, const char* path) {
  pace(op, lastName(path));
}

// The delay, the count, then the fault rules.
// Returns 0 or a negative errno for the call to answer.
int gate(const char* op, const std::string& name) {
  if (long us = g_delayUs.load()) std::this_thread::sleep_for(std::chrono::microseconds(us));
  std::lock_guard<std::mutex> lock(g_mutex);
  ++g_counts[{op, name}];
  for (ShrinkRule& s : g_shrinks) {
    if (s.done || std::strcmp(op, "read") != 0 || s.name != name) continue;
    if (s.seen++ >= s.after) {
      s.done = true;
      // The path is not known here: the rule's file is found by name under
      // the source, any depth.
      std::vector<std::string> dirs{g_source};
      while (!dirs.empty()) {
        std::string dir = dirs.back();
        dirs.pop_back();
        if (DIR* d = ::opendir(dir.c_str())) {
          while (dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            const std::string p = dir + "/" + e->d_name;
            struct stat st {};
            if (::lstat(p.c_str(), &st) != 0) continue;
            if (S_ISDIR(st.st_mode))
              dirs.push_back(p);
            else if (lower(e->d_name) == name && st.st_size > s.bytes)
              (void)::truncate(p.c_str(), s.bytes);
          }
          ::closedir(d);
        }
      }
    }
  }
  for (FailRule& r : g_fails) {
    if (r.op != "any" && r.op != op) continue;
    if (::fnmatch(r.name.c_str(), name.c_str(), 0) != 0) continue;
    if (r.seen++ >= r.after) return -r.error;
  }
  return 0;
}

int gate(const char* op, const char* path) {
  return gate(op, lastName(path));
}

// An open file: its descriptor and the name it was opened by, which the
// rules keep seeing after a rename or an unlink.
struct Open {
  int fd;
  std::string name;
};
Open* openOf(fuse_file_info* fi) {
  return reinterpret_cast<Open*>(static_cast<std::uintptr_t>(fi->fh));
}

void* init(fuse_conn_info*, fuse_config* cfg) {
  cfg->use_ino = 1;
  cfg->nullpath_ok = 1;
  cfg->hard_remove = 1;  // no .fuse_hidden files for names replaced while open
  cfg->entry_timeout = 0;
  cfg->attr_timeout = 0;
  cfg->negative_timeout = 0;
  cfg->kernel_cache = 0;
  cfg->auto_cache = 0;
  cfg->direct_io = g_directIo ? 1 : 0;
  return nullptr;
}

int getattr(const char* path, struct stat* st, fuse_file_info* fi) {
  pace("getattr", fi ? openOf(fi)->name : lastName(path));
  const int r = fi ? ::fstat(openOf(fi)->fd, st) : ::lstat(real(path).c_str(), st);
  return r == 0 ? 0 : -errno;
}

int access(const char* path, int mask) {
  pace("access", path);
  return ::access(real(path).c_str(), mask) == 0 ? 0 : -errno;
}

int readlink(const char* path, char* buf, size_t size) {
  pace("readlink", path);
  const ssize_t n = ::readlink(real(path).c_str(), buf, size - 1);
  if (n < 0) return -errno;
  buf[n] = 0;
  return 0;
}

int opendir(const char* path, fuse_file_info* fi) {
  pace("opendir", path);
  DIR* d = ::opendir(real(path).c_str());
  if (!d) return -errno;
  fi->fh = reinterpret_cast<std::uintptr_t>(d);
  return 0;
}

int readdir(const char*, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info* fi,
            fuse_readdir_flags) {
  pace("readdir", std::string());
  DIR* d = reinterpret_cast<DIR*>(static_cast<std::uintptr_t>(fi->fh));
  ::rewinddir(d);
  while (dirent* e = ::readdir(d)) {
    struct stat st {};
    st.st_ino = e->d_ino;
    st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
    if (fill(buf, e->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0))) break;
  }
  return 0;
}

int releasedir(const char*, fuse_file_info* fi) {
  pace("releasedir", std::string());
  ::closedir(reinterpret_cast<DIR*>(static_cast<std::uintptr_t>(fi->fh)));
  return 0;
}

int mkdir(const char* path, mode_t mode) {
  if (int e = gate("mkdir", path)) return e;
  return ::mkdir(real(path).c_str(), mode) == 0 ? 0 : -errno;
}

int unlink(const char* path) {
  if (int e = gate("remove", path)) return e;
  return ::unlink(real(path).c_str()) == 0 ? 0 : -errno;
}

int rmdir(const char* path) {
  if (int e = gate("remove", path)) return e;
  return ::rmdir(real(path).c_str()) == 0 ? 0 : -errno;
}

int symlink(const char* to, const char* path) {
  pace("symlink", path);
  return ::symlink(to, real(path).c_str()) == 0 ? 0 : -errno;
}

int rename(const char* from, const char* to, unsigned int flags) {
  if (int e = gate("rename", to)) return e;
  if (lastName(from) != lastName(to))
    if (int e = gate("rename", from)) return e;
  const int r = flags ? ::renameat2(AT_FDCWD, real(from).c_str(), AT_FDCWD, real(to).c_str(), flags)
                      : ::rename(real(from).c_str(), real(to).c_str());
  return r == 0 ? 0 : -errno;
}

int link(const char* from, const char* to) {
  pace("link", to);
  return ::link(real(from).c_str(), real(to).c_str()) == 0 ? 0 : -errno;
}

int chmod(const char* path, mode_t mode, fuse_file_info* fi) {
  pace("setattr", path ? lastName(path) : std::string());
  const int r = fi ? ::fchmod(openOf(fi)->fd, mode) : ::chmod(real(path).c_str(), mode);
  return r == 0 ? 0 : -errno;
}

int chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
  pace("setattr", path ? lastName(path) : std::string());
  const int r = fi ? ::fchown(openOf(fi)->fd, uid, gid) : ::lchown(real(path).c_str(), uid, gid);
  return r == 0 ? 0 : -errno;
}

int truncate(const char* path, off_t size, fuse_file_info* fi) {
  if (int e = gate("truncate", fi ? openOf(fi)->name : lastName(path))) return e;
  const int r = fi ? ::ftruncate(openOf(fi)->fd, size) : ::truncate(real(path).c_str(), size);
  return r == 0 ? 0 : -errno;
}

int utimens(const char* path, const struct timespec tv[2], fuse_file_info* fi) {
  pace("setattr", path ? lastName(path) : std::string());
  const int r = fi ? ::futimens(openOf(fi)->fd, tv)
                   : ::utimensat(AT_FDCWD, real(path).c_str(), tv, AT_SYMLINK_NOFOLLOW);
  return r == 0 ? 0 : -errno;
}

int openWith(const char* op, const char* path, int flags, mode_t mode, fuse_file_info* fi) {
  if (int e = gate(op, path)) return e;
  const int fd = ::open(real(path).c_str(), flags, mode);
  if (fd < 0) return -errno;
  fi->fh = reinterpret_cast<std::uintptr_t>(new Open{fd, lastName(path)});
  fi->direct_io = g_directIo ? 1 : 0;
  return 0;
}

int create(const char* path, mode_t mode, fuse_file_info* fi) {
  return openWith("create", path, fi->flags | O_CREAT, mode, fi);
}

int open(const char* path, fuse_file_info* fi) {
  return openWith((fi->flags & O_TRUNC) ? "create" : "open", path, fi->flags, 0, fi);
}

int read(const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi) {
  Open* f = openOf(fi);
  if (int e = gate("read", f->name)) return e;
  const ssize_t n = ::pread(f->fd, buf, size, offset);
  return n < 0 ? -errno : static_cast<int>(n);
}

int write(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi) {
  Open* f = openOf(fi);
  if (int e = gate("write", f->name)) return e;
  const ssize_t n = ::pwrite(f->fd, buf, size, offset);
  return n < 0 ? -errno : static_cast<int>(n);
}

int statfs(const char* path, struct statvfs* st) {
  pace("statfs", path);
  return ::statvfs(real(path).c_str(), st) == 0 ? 0 : -errno;
}

int release(const char*, fuse_file_info* fi) {
  Open* f = openOf(fi);
  pace("release", f->name);
  ::close(f->fd);
  delete f;
  return 0;
}

int fsync(const char*, int dataOnly, fuse_file_info* fi) {
  Open* f = openOf(fi);
  if (int e = gate("sync", f->name)) return e;
  return (dataOnly ? ::fdatasync(f->fd) : ::fsync(f->fd)) == 0 ? 0 : -errno;
}

int fsyncdir(const char* path, int, fuse_file_info* fi) {
  if (int e = gate("sync", path ? lastName(path) : std::string())) return e;
  DIR* d = reinterpret_cast<DIR*>(static_cast<std::uintptr_t>(fi->fh));
  return ::fsync(::dirfd(d)) == 0 ? 0 : -errno;
}

int errorNumber(const std::string& word) {
  if (word == "EIO") return EIO;
  if (word == "ENOSPC") return ENOSPC;
  if (word == "EACCES") return EACCES;
  if (word == "ENOENT") return ENOENT;
  if (word == "EROFS") return EROFS;
  if (word == "ENOTCONN") return ENOTCONN;
  return std::atoi(word.c_str());
}

std::string command(const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (verb == "delay") {
    long us = 0;
    if (!(in >> us) || us < 0) return "error: delay US";
    g_delayUs = us;
  } else if (verb == "fail") {
    FailRule r;
    std::string error;
    if (!(in >> r.op >> r.name >> r.after >> error)) return "error: fail OP NAME AFTER ERROR";
    r.name = lower(r.name);
    r.error = errorNumber(error);
    if (r.error <= 0) return "error: unknown error " + error;
    g_fails.push_back(r);
  } else if (verb == "shrink") {
    ShrinkRule s;
    long long bytes = 0;
    if (!(in >> s.name >> s.after >> bytes)) return "error: shrink NAME AFTER BYTES";
    s.name = lower(s.name);
    s.bytes = static_cast<off_t>(bytes);
    g_shrinks.push_back(s);
  } else if (verb == "count") {
    std::string op, name;
    if (!(in >> op >> name)) return "error: count OP NAME";
    long n = 0;
    for (const auto& [key, calls] : g_counts)
      if (key.first == op && ::fnmatch(lower(name).c_str(), key.second.c_str(), 0) == 0) n += calls;
    return "ok " + std::to_string(n);
  } else if (verb == "total") {
    // Every call so far, and each kind's share: "ok N getattr=N open=N ...".
    std::map<std::string, long> byOp;
    long all = 0;
    for (const auto& [key, n] : g_counts) {
      byOp[key.first] += n;
      all += n;
    }
    std::string answer = "ok " + std::to_string(all);
    for (const auto& [op, n] : byOp) answer += " " + op + "=" + std::to_string(n);
    return answer;
  } else if (verb == "reset") {
    g_counts.clear();
  } else if (verb == "counts") {
    std::string all = "ok";
    for (const auto& [key, n] : g_counts)
      all += " " + key.first + ":" + key.second + "=" + std::to_string(n);
    return all;
  } else if (verb == "heal") {
    g_fails.clear();
    g_shrinks.clear();
  } else {
    return "error: unknown command " + verb;
  }
  return "ok";
}

}  // namespace serve

int main(int argc, char** argv) {
  std::vector<std::string> free;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--delay-us" && i + 1 < argc)
      serve::g_delayUs = std::atol(argv[++i]);
    else if (a == "--page-cache")
      serve::g_directIo = false;
    else
      free.push_back(a);
  }
  if (free.size() != 2) {
    std::cerr << "usage: ud-share SOURCE MOUNTPOINT [--delay-us N] [--page-cache]\n";
    return 3;
  }
  char* source = ::realpath(free[0].c_str(), nullptr);
  if (!source) {
    std::perror(free[0].c_str());
    return 1;
  }
  serve::g_source = source;
  std::free(source);
  const std::string mountPoint = free[1];

  fuse_operations ops{};
  ops.init = serve::init;
  ops.getattr = serve::getattr;
  ops.access = serve::access;
  ops.readlink = serve::readlink;
  ops.opendir = serve::opendir;
  ops.readdir = serve::readdir;
  ops.releasedir = serve::releasedir;
  ops.mkdir = serve::mkdir;
  ops.unlink = serve::unlink;
  ops.rmdir = serve::rmdir;
  ops.symlink = serve::symlink;
  ops.rename = serve::rename;
  ops.link = serve::link;
  ops.chmod = serve::chmod;
  ops.chown = serve::chown;
  ops.truncate = serve::truncate;
  ops.utimens = serve::utimens;
  ops.create = serve::create;
  ops.open = serve::open;
  ops.read = serve::read;
  ops.write = serve::write;
  ops.statfs = serve::statfs;
  ops.release = serve::release;
  ops.fsync = serve::fsync;
  ops.fsyncdir = serve::fsyncdir;

  const char* fuseArgv[] = {"ud-share", "-o", "default_permissions,fsname=ud-share"};
  fuse_args args = FUSE_ARGS_INIT(3, const_cast<char**>(fuseArgv));
  fuse* f = fuse_new(&args, &ops, sizeof ops, nullptr);
  if (!f) return 1;
  if (fuse_mount(f, mountPoint.c_str()) != 0) {
    fuse_destroy(f);
    return 1;
  }
  std::cout << "ready" << std::endl;

  std::thread control([f, mountPoint] {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (line.empty()) continue;
      std::cout << serve::command(line) << std::endl;
    }
    // Wake the loop with one call so that it sees the exit.
    fuse_exit(f);
    struct stat st {};
    (void)::stat(mountPoint.c_str(), &st);
  });
  const int status = fuse_loop_mt(f, 0);
  fuse_unmount(f);
  fuse_destroy(f);
  // The control thread may still wait for a line (an unmount from outside).
  std::cout.flush();
  ::_exit(status == 0 ? 0 : 1);
}
