#!/usr/bin/env python3
"""Randomized trials of what a killed, failed or doubled carry-forward leaves.

Not part of the test suite (CI does not run it): it takes minutes and its
timings depend on the machine. Needs a build with the tools:

    bench/run_trials.py BUILD_DIR [--kills N] [--pairs N] [--limits N] [--seed S]

On fresh sample data (make-sample-data --newest) it runs, many times:

  kill   a carry-forward (--ytl, every company) killed with SIGKILL at a
         random moment, then a second run;
  pair   two carry-forwards started a random interval apart on one directory;
  limit  a carry-forward under a random file-size limit (ulimit -f, the
         write fails with EFBIG as a full disk fails with ENOSPC), then a
         second run without the limit;
  disk   (--disks, as root) a carry-forward on a tmpfs of a random size
         between the data's size and three times it, then a second run
         after the file system is made large.

After each step it checks the rules of a sound run: the old companies and the
template byte for byte as before; the registry passes `pdxtool check`; every
registered new company identical, file for file, to the one an uninterrupted
run makes for the same old company; no company registered twice; after the
second run, no directory of an unfinished company and every company carried.
It prints the number of trials per outcome.
"""
import argparse
import collections
import hashlib
import json
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

MARKER = ".ud-devir-yapiliyor"
LOCK = ".upgrade-devir.lock"
OLD = ("2003_009", "2004_001", "2005_001", "2005_002", "2005_003", "DBBACKUP")


def digest_dir(path):
    out = {}
    for root, _, files in os.walk(path):
        for f in files:
            if f in (MARKER, LOCK):
                continue
            full = os.path.join(root, f)
            with open(full, "rb") as fh:
                out[os.path.relpath(full, path)] = hashlib.sha256(fh.read()).hexdigest()
    return out


class Trials:
    def __init__(self, build, work):
        # Copies, so that a rebuild during the trials does not pull the
        # programs away from under them.
        self.exe = shutil.copy(os.path.join(build, "src/main/upgrade-devir"), work)
        self.pdxtool = shutil.copy(os.path.join(build, "tools/pdxtool/pdxtool"), work)
        self.work = work
        self.pristine = os.path.join(work, "pristine")
        subprocess.run([os.path.join(build, "tools/make-sample-data/make-sample-data"),
                        "--newest", self.pristine], check=True, stdout=subprocess.DEVNULL)
        self.old = {d: digest_dir(os.path.join(self.pristine, d)) for d in OLD}
        ref = self.fresh("reference")
        start = time.monotonic()
        code, _ = self.run(ref)
        self.duration = time.monotonic() - start
        assert code == 0, "the uninterrupted run failed"
        self.expected = {name: digest_dir(os.path.join(ref, c))
                         for c, name in self.registry(ref).items() if c.startswith("2006_")}

    def fresh(self, name):
        path = os.path.join(self.work, name)
        shutil.rmtree(path, ignore_errors=True)
        shutil.copytree(self.pristine, path)
        return path

    def command(self, data):
        return [self.exe, "--devir", "--data", data, "--from", "2005", "--to", "2006", "--ytl"]

    def run(self, data, limit_kib=None):
        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            if limit_kib:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit_kib * 1024, limit_kib * 1024))
        p = subprocess.run(self.command(data), preexec_fn=limited, capture_output=True, text=True)
        return p.returncode, p.stdout + p.stderr

    def registry(self, data):
        p = subprocess.run([self.pdxtool, "dump", os.path.join(data, "sirket.db")],
                           capture_output=True, text=True)
        if p.returncode != 0:
            return None
        return {row[0]: row[1] for row in json.loads(p.stdout)["rows"]}

    def faults(self, data, after_rerun):
        """The rules a directory breaks; empty when sound."""
        out = []
        for d in OLD:
            if digest_dir(os.path.join(data, d)) != self.old[d]:
                out.append("old company changed")
        if subprocess.run([self.pdxtool, "check", os.path.join(data, "sirket.db")],
                          capture_output=True).returncode != 0:
            return out + ["registry damaged"]
        rows = self.registry(data)
        names = collections.Counter(n for c, n in rows.items() if c.startswith("2006_"))
        if any(n > 1 for n in names.values()):
            out.append("registered twice")
        for code, name in rows.items():
            if code.startswith("2006_") and digest_dir(os.path.join(data, code)) != self.expected.get(name):
                out.append("registered but incomplete")
        if after_rerun:
            for entry in os.listdir(data):
                full = os.path.join(data, entry)
                if os.path.isdir(full) and (entry.startswith(".ud-devir-") or
                                            os.path.exists(os.path.join(full, MARKER)) or
                                            (entry.startswith("2006_") and entry not in rows)):
                    out.append("unfinished company left")
            if set(names) != set(self.expected):
                out.append("not every company carried")
        return sorted(set(out))

    def built_now(self, data):
        rows = self.registry(data) or {}
        done = sum(1 for c in rows if c.startswith("2006_"))
        left = any(e.startswith(".ud-devir-") or os.path.exists(os.path.join(data, e, MARKER))
                   for e in os.listdir(data) if os.path.isdir(os.path.join(data, e)))
        return f"{done} registered" + (", one marked directory" if left else "")

    def rerun(self, data):
        code, _ = self.run(data)
        bad = self.faults(data, after_rerun=True)
        return f"rerun exit {code}: " + (", ".join(bad) if bad else "sound")

    def kill(self, i):
        data = self.fresh(f"kill{i % 4}")
        p = subprocess.Popen(self.command(data), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, self.duration * 1.1))
        p.send_signal(signal.SIGKILL)
        code = p.wait()
        bad = self.faults(data, after_rerun=False)
        state = "ended before the kill" if code == 0 else "killed, " + self.built_now(data)
        return f"kill: {state}; " + (", ".join(bad) + "; " if bad else "") + self.rerun(data)

    def pair(self, i):
        data = self.fresh(f"pair{i % 4}")
        a = subprocess.Popen(self.command(data), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        time.sleep(random.uniform(0, self.duration * 1.2))
        b = subprocess.Popen(self.command(data), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        outs = [p.communicate()[0] for p in (a, b)]
        codes = [p.returncode for p in (a, b)]
        kinds = []
        for code, out in zip(codes, outs):
            if "başka bir Upgrade-Devir işlemi çalışıyor" in out:
                kinds.append("stopped by the lock")
            elif code == 0:
                kinds.append("completed")
            elif "bütün şirketleri" in out:
                kinds.append("nothing left to carry")
            else:
                kinds.append(f"exit {code}")
        bad = self.faults(data, after_rerun=True)
        return f"pair: first {kinds[0]}, second {kinds[1]}; " + (", ".join(bad) if bad else "sound")

    def disk(self, i):
        """A run on a file system of a random size (a tmpfs; needs root)."""
        mnt = os.path.join(self.work, "disk")
        os.makedirs(mnt, exist_ok=True)
        used = int(subprocess.run(["du", "-sk", self.pristine], capture_output=True,
                                  text=True).stdout.split()[0])
        kib = used + random.randint(0, 2 * used)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={kib}k", "tmpfs", mnt], check=True)
        try:
            data = os.path.join(mnt, "d")
            shutil.copytree(self.pristine, data)
            code, out = self.run(data)
            if code == 0:
                what = "completed"
            elif "Diskte yeterli boş yer yok" in out:
                what = "stopped by the space check"
            elif "(diskte yer kalmadı)" in out:
                what = f"exit {code}, Turkish disk-full message"
            else:
                what = f"exit {code}"
            bad = self.faults(data, after_rerun=False)
            subprocess.run(["mount", "-o", "remount,size=64m", mnt], check=True)
            return f"disk: {what}, {self.built_now(data)}; " + (", ".join(bad) + "; " if bad else "") + self.rerun(data)
        finally:
            subprocess.run(["umount", mnt], check=True)

    def limit(self, i):
        data = self.fresh(f"limit{i % 4}")
        kib = random.randint(1, 24)  # the sample's largest file is 20 KiB
        code, out = self.run(data, kib)
        what = "completed" if code == 0 else (
            f"exit {code}, Turkish message" if "(dosya boyutu sınırı aşıldı)" in out else f"exit {code}")
        bad = self.faults(data, after_rerun=False)
        return f"limit: {what}, {self.built_now(data)}; " + (", ".join(bad) + "; " if bad else "") + self.rerun(data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("build")
    ap.add_argument("--kills", type=int, default=200)
    ap.add_argument("--pairs", type=int, default=50)
    ap.add_argument("--limits", type=int, default=100)
    ap.add_argument("--disks", type=int, default=0, help="tmpfs trials (root only)")
    ap.add_argument("--seed", type=int, default=15)
    args = ap.parse_args()
    random.seed(args.seed)
    with tempfile.TemporaryDirectory(prefix="ud-trials-") as work:
        t = Trials(os.path.abspath(args.build), work)
        print(f"uninterrupted run: {t.duration:.2f} s, {len(t.expected)} new companies")
        outcomes = collections.Counter()
        for kind, count in (("kill", args.kills), ("pair", args.pairs), ("limit", args.limits),
                            ("disk", args.disks)):
            for i in range(count):
                outcomes[getattr(t, kind)(i)] += 1
        for outcome, n in sorted(outcomes.items()):
            print(f"{n:5d}  {outcome}")
        faults = ("changed", "damaged", "twice", "incomplete", "left", "not every")
        sys.exit(1 if any(f in o for o in outcomes for f in faults) else 0)


if __name__ == "__main__":
    main()
