#!/usr/bin/python3
"""Time and peak memory of zrm-render on each case of the hostile-files table
(tests/data/Source/hostile/make_hostile_files.py), against the case's
ceilings.

  hostile_bench.py [--program PATH] [--runs N] [--only NAME]...

PATH is the zrm-render to measure (default: build/release/Source/zrm-render
of this tree). Each case runs N times (default 3), every case of the table
(those the sanitizer build's test passes over too); the median processor
time (user and system, from wait4: other work on the machine changes it far
less than the wall time, which is shown beside it) and the largest peak
resident memory (ru_maxrss) are printed against the ceilings, with the exit
code, and the machine's load average before and after. The exit status is 1
when a case goes over a ceiling or exits with another code than its row
says.
"""
import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
GENERATOR = os.path.join(ROOT, "tests", "data", "Source", "hostile", "make_hostile_files.py")


def read_cases(folder):
    cases = []
    with open(os.path.join(folder, "cases.tsv"), encoding="utf-8") as f:
        for line in f:
            f = line.rstrip("\n").split("\t")
            name, program, path, extras, code, _, seconds, mebibytes = f[:8]
            cases.append((name, program, path, [a for a in extras.split("\x1f") if a], int(code),
                          float(seconds), float(mebibytes), int(f[11]) << 20))
    return cases


def run_once(program, path, extras, output, address_space):
    """Processor seconds, wall seconds, peak resident MiB and exit code of
    one run, its address space limited to `address_space` bytes unless 0."""
    def limit():
        if address_space:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
    start = time.monotonic()
    child = subprocess.Popen([program] + extras + [path, output], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, preexec_fn=limit)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    return (usage.ru_utime + usage.ru_stime, wall, usage.ru_maxrss / 1024.0,
            child.returncode)


def load():
    return " ".join("%.2f" % v for v in os.getloadavg())


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "release", "Source",
                                                          "zrm-render"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", action="append", default=[])
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="hostile_bench_") as folder:
        only = [a for name in args.only for a in ("--only", name)]
        subprocess.run(["/usr/bin/python3", GENERATOR, "--program", args.program] + only + [folder],
                       check=True)
        output = os.path.join(folder, "out.bmp")
        failed = False
        print(f"load average {load()} ({os.cpu_count()} processors)")
        print(f"{'case':36} {'cpu s':>8} {'wall s':>8} {'ceiling':>8} {'MiB':>8} {'ceiling':>8}"
              " exit")
        for name, program, path, extras, code, seconds, mebibytes, address_space in read_cases(folder):
            runs = [run_once(program, path, extras, output, address_space) for _ in range(args.runs)]
            cpu = statistics.median(r[0] for r in runs)
            wall = statistics.median(r[1] for r in runs)
            peak = max(r[2] for r in runs)
            codes = {r[3] for r in runs}
            over = cpu > seconds or peak > mebibytes or codes != {code}
            failed |= over
            shown = ",".join(str(c) for c in sorted(codes))
            print(f"{name:36} {cpu:8.3f} {wall:8.3f} {seconds:8.1f} {peak:8.1f} {mebibytes:8.0f} "
                  f"{shown:>4}{'  OVER' if over else ''}")
        print(f"load average {load()}")
        return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
