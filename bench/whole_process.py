"""Whole-process timings of a lock against its peers, in one run on the same generated files.

For each size (256 MiB and 1 GiB by default) it times, median of --runs runs after one
warm-up run: the native lock by the builder (bench/driver/lock_driver), the Windows build's
lock_driver.exe under Wine, 7-Zip's self-extracting archive with AES-256 and no compression
(7z a -sfx -mx0 -mhe=on -p...), openssl enc -aes-256-cbc -pbkdf2, and cp. Then one more run of
each, sampled every 5 ms, gives its peak memory: the peak resident set (VmHWM, file pages
included) and the peak anonymous memory (RssAnon summed over the process and its children;
file pages mapped from the data are not in it). Ratios are against the native lock.

The page cache is warm for every tool alike (the warm-up run reads the file). Files live in
build/bench-lock; they are removed at the end. With the defaults the whole run takes about
five minutes on a 2-core machine.

Usage: whole_process.py <native lock_driver> <windows lock_driver.exe> <unlocker.exe>
                        <wine prefix> [--runs N] [--sizes MiB,MiB]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
PASSWORD = "correct horse battery staple"


def generate(path, mib):
    if os.path.exists(path) and os.path.getsize(path) == mib << 20:
        return
    with open(path, "wb") as out:
        for _ in range(mib):
            out.write(os.urandom(1 << 20))  # incompressible, like encrypted or packed data


def descendants(pid):
    found, frontier = [], [pid]
    while frontier:
        current = frontier.pop()
        found.append(current)
        try:
            with open("/proc/%d/task/%d/children" % (current, current)) as f:
                frontier += [int(c) for c in f.read().split()]
        except OSError:
            pass
    return found


def status_kib(pid, field):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def sampled(command, env):
    """Peak anonymous and peak resident memory, in MiB, of a command and its children."""
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    peak_anon = peak_rss = 0
    while proc.poll() is None:
        tree = descendants(proc.pid)
        peak_anon = max(peak_anon, sum(status_kib(p, "RssAnon") for p in tree))
        peak_rss = max(peak_rss, max(status_kib(p, "VmHWM") for p in tree))
        time.sleep(0.005)
    if proc.returncode != 0:
        sys.exit("failed: %s" % " ".join(command))
    return peak_anon / 1024, peak_rss / 1024


def timed(command, env, before):
    before()
    start = time.perf_counter()
    subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("native")
    parser.add_argument("windows")
    parser.add_argument("unlocker")
    parser.add_argument("prefix")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="256,1024")
    args = parser.parse_args()

    work = os.path.abspath("build/bench-lock")
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    subprocess.run([WINE, "wineboot", "-i"], env=env, capture_output=True)
    subprocess.run([WINESERVER, "-p"], env=env)  # one server for every Wine run
    print("| File | Tool | Median wall time | Time / native lock | Peak anonymous | Peak RSS |")
    print("|---|---|---|---|---|---|", flush=True)
    try:
        for mib in [int(s) for s in args.sizes.split(",")]:
            target = os.path.join(work, "target-%d.bin" % mib)
            generate(target, mib)
            out = os.path.join(work, "out")

            def clean():
                for name in os.listdir(work):
                    path = os.path.join(work, name)
                    if not name.startswith("target-"):
                        shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
                os.makedirs(os.path.join(work, "appdata"), exist_ok=True)

            appdata = os.path.join(work, "appdata")
            tools = [
                ("Cofrex lock, native", [args.native, args.unlocker, target, out + ".exe", appdata]),
                ("Cofrex lock, Windows build under Wine",
                 [WINE, args.windows, "Z:" + args.unlocker, "Z:" + target, "Z:" + out + ".exe",
                  "Z:" + appdata]),
                ("7-Zip SFX, AES-256, no compression",
                 ["7z", "a", "-sfx", "-mx0", "-mhe=on", "-p" + PASSWORD, "-bd", out + ".exe",
                  target]),
                ("openssl enc -aes-256-cbc -pbkdf2",
                 ["openssl", "enc", "-aes-256-cbc", "-pbkdf2", "-pass", "pass:" + PASSWORD,
                  "-in", target, "-out", out + ".enc"]),
                ("cp", ["cp", target, out + ".copy"]),
            ]
            results = []
            for name, command in tools:
                times = [timed(command, env, clean) for _ in range(args.runs + 1)][1:]
                clean()
                anon, rss = sampled(command, env)
                results.append((name, statistics.median(times), anon, rss))
            base = results[0][1]
            for name, seconds, anon, rss in results:
                print("| %d MiB | %s | %.2f s | %.2f | %.0f MiB | %.0f MiB |"
                      % (mib, name, seconds, seconds / base, anon, rss), flush=True)
            clean()
    finally:
        subprocess.run([WINESERVER, "-k"], env=env)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
