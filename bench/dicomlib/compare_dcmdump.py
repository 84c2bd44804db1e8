#!/usr/bin/python3
"""Times togdicomdump against dcmtk's dcmdump as whole processes on the
benchmark inputs (make_bench_data.py) and prints the ratio.

Each command runs once to warm the file cache, then `runs` times with its
output sent to /dev/null; the table gives the mean and the fastest run.

Usage: /usr/bin/python3 bench/dicomlib/compare_dcmdump.py <togdicomdump> <data folder> [runs]
"""
import os
import subprocess
import sys
import time


def timed(command, runs):
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        times.append(time.perf_counter() - start)
    return sum(times) / len(times), min(times)


def main():
    tool, folder = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    inputs = [("DICOMDIR, 10,700 records", os.path.join(folder, "fileset", "DICOMDIR")),
              ("CT image 512x512", os.path.join(folder, "ct.dcm"))]
    print("%-26s %-26s %10s %10s" % ("input", "command", "mean ms", "min ms"))
    for label, path in inputs:
        results = {}
        for name, command in (("dcmdump -q", ["dcmdump", "-q", path]),
                              ("togdicomdump", [tool, path]),
                              ("togdicomdump --parse-only", [tool, "--parse-only", path])):
            mean, best = timed(command, runs)
            results[name] = mean
            print("%-26s %-26s %10.2f %10.2f" % (label, name, mean * 1000, best * 1000))
        print("%-26s dcmdump / togdicomdump: %.1fx (parse only: %.1fx)" % (
            "", results["dcmdump -q"] / results["togdicomdump"],
            results["dcmdump -q"] / results["togdicomdump --parse-only"]))


if __name__ == "__main__":
    main()
