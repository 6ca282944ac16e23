"""Whole-process timings of a lock and an unlock against their peers, in one run on the same
generated files.

For each size (256 MiB and 1 GiB by default) it times, median of --runs runs after one
warm-up run: the native lock by the builder (bench/driver/lock_driver), the Windows build's
lock_driver.exe under Wine, `cofrex lock`, 7-Zip's self-extracting archive with AES-256 and no
compression (7z a -sfx -mx0 -mhe=on -p...), openssl enc -aes-256-cbc -pbkdf2, and cp; then the
way back: `cofrex unlock`, 7-Zip's extraction of the same archive without the SFX module
(7z x), the self-extracting archive run on its own, openssl enc -d, and cp. Then one more run of
each, sampled every 5 ms, gives its peak memory: the peak resident set (VmHWM, file pages
included) and the peak anonymous memory (RssAnon summed over the process and its children;
file pages mapped from the data are not in it). Ratios are against the native lock.

The page cache is warm for every tool alike (the warm-up run reads the file). Files live in
build/bench-lock; they are removed at the end. With the defaults the whole run takes about
five minutes on a 2-core machine.

Usage: whole_process.py <native lock_driver> <windows lock_driver.exe> <unlocker.exe>
                        <wine prefix> <cofrex> [--runs N] [--sizes MiB,MiB]
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


def stdin_of(command):
    """cofrex reads its password from standard input; the other tools take it as an argument."""
    return (PASSWORD + "\n").encode() if "--password-stdin" in command else None


def sampled(command, env):
    """Peak anonymous and peak resident memory, in MiB, of a command and its children."""
    proc = subprocess.Popen(command, env=env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)
    proc.stdin.write(stdin_of(command) or b"")
    proc.stdin.close()
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
    subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL,
                   input=stdin_of(command) or b"")
    return time.perf_counter() - start


def measure(mib, tools, env, before, runs):
    """Times each tool and prints its rows, with ratios to the first tool of the group."""
    results = []
    for name, command in tools:
        times = [timed(command, env, before) for _ in range(runs + 1)][1:]
        before()
        anon, rss = sampled(command, env)
        results.append((name, statistics.median(times), anon, rss))
    base = results[0][1]
    for name, seconds, anon, rss in results:
        print("| %d MiB | %s | %.2f s | %.2f | %.0f MiB | %.0f MiB |"
              % (mib, name, seconds, seconds / base, anon, rss), flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("native")
    parser.add_argument("windows")
    parser.add_argument("unlocker")
    parser.add_argument("prefix")
    parser.add_argument("cofrex")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="256,1024")
    args = parser.parse_args()

    work = os.path.abspath("build/bench-lock")
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", XDG_DATA_HOME=os.path.join(work, "appdata"))
    subprocess.run([WINE, "wineboot", "-i"], env=env, capture_output=True)
    subprocess.run([WINESERVER, "-p"], env=env)  # one server for every Wine run
    print("| File | Tool | Median wall time | Time / first of its group | Peak anonymous | Peak RSS |")
    print("|---|---|---|---|---|---|", flush=True)
    try:
        for mib in [int(s) for s in args.sizes.split(",")]:
            target = os.path.join(work, "target-%d.bin" % mib)
            generate(target, mib)
            out = os.path.join(work, "out")

            def clean():
                for name in os.listdir(work):
                    path = os.path.join(work, name)
                    if not name.startswith(("target-", "made-")):
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
            tools.insert(2, ("cofrex lock", [args.cofrex, "lock", target, "-o", out + ".exe",
                                             "--password-stdin"]))
            measure(mib, tools, env, clean, args.runs)

            # The way back starts from what each tool made, made once and kept.
            made = os.path.join(work, "made-%d" % mib)
            os.makedirs(made, exist_ok=True)
            package, archive, sfx, enc = (os.path.join(made, n)
                                          for n in ("package.exe", "archive.7z", "sfx.exe", "file.enc"))
            clean()
            for command in ([args.cofrex, "lock", target, "-o", package, "--password-stdin"],
                            ["7z", "a", "-mx0", "-mhe=on", "-p" + PASSWORD, "-bd", archive, target],
                            ["7z", "a", "-sfx", "-mx0", "-mhe=on", "-p" + PASSWORD, "-bd", sfx,
                             target],
                            ["openssl", "enc", "-aes-256-cbc", "-pbkdf2", "-pass",
                             "pass:" + PASSWORD, "-in", target, "-out", enc]):
                subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL,
                               input=stdin_of(command) or b"")
            os.chmod(sfx, 0o755)

            def clean_out():
                clean()
                os.makedirs(out, exist_ok=True)

            back = [
                ("cofrex unlock", [args.cofrex, "unlock", package, "-C", out, "--password-stdin"]),
                ("7-Zip extraction (7z x)",
                 ["7z", "x", "-p" + PASSWORD, "-o" + out, "-y", "-bd", archive]),
                ("7-Zip SFX run on its own", [sfx, "-p" + PASSWORD, "-o" + out, "-y"]),
                ("openssl enc -d -aes-256-cbc -pbkdf2",
                 ["openssl", "enc", "-d", "-aes-256-cbc", "-pbkdf2", "-pass", "pass:" + PASSWORD,
                  "-in", enc, "-out", os.path.join(out, "file")]),
                ("cp", ["cp", enc, os.path.join(out, "file")]),
            ]
            measure(mib, back, env, clean_out, args.runs)
            shutil.rmtree(made)
            clean()
    finally:
        subprocess.run([WINESERVER, "-k"], env=env)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
