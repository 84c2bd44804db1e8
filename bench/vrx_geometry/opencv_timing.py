"""What the geometry benchmarks' OpenCV comparisons share: the benchmark
program named on the command line, its median times from one run, and the
best time of an OpenCV call on one thread."""
import json
import os
import subprocess
import sys
import timeit

import cv2


def benchmark_program(usage):
    """The program named on the command line (else exits with `usage`);
    OpenCV is set to one thread."""
    if len(sys.argv) != 2:
        sys.exit(usage)
    cv2.setNumThreads(1)
    return sys.argv[1]


def our_medians(program, env):
    """The median real time (microseconds) of every benchmark of `program`
    over five repetitions, by run name; `env` joins its environment."""
    result = subprocess.run(
        [program, "--benchmark_format=json", "--benchmark_repetitions=5",
         "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True, env=dict(os.environ, **env))
    return {b["run_name"]: b["real_time"] for b in json.loads(result.stdout)["benchmarks"]
            if b.get("aggregate_name") == "median"}


def best_microseconds(run, repeat=7):
    """The best of `repeat` timings of `run`, each long enough to count."""
    timer = timeit.Timer(run)
    number, _ = timer.autorange()
    return min(timer.repeat(repeat=repeat, number=number)) / number * 1e6
