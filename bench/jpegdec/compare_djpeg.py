#!/usr/bin/python3
"""Whole-process timing of the benchmark streams decoded by our JPEG reader
(jpegdec_decode) against libjpeg-turbo's `djpeg -outfile /dev/null`, with
hyperfine. The two commands run interleaved: each round is one hyperfine
call timing both, so that a change of the machine's load reaches both alike.
Printed per stream: the medians of all runs, the ratio ours / djpeg of the
times (below 1: ours is faster) as the median of the rounds' ratios, the
lowest and highest ratio of single rounds, and the load average before and
after.

    /usr/bin/python3 bench/jpegdec/compare_djpeg.py \\
        build/release/bench/jpegdec/jpegdec_decode build/release/bench/jpegdec/data [rounds]
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile

STREAMS = ['grey_4096_q90.jpg', 'rgb_3840_444.jpg', 'rgb_3840_420.jpg', 'rgb_3840_420_prog.jpg']
RUNS_PER_ROUND = 5


def median(command, stderr=None):
    """hyperfine's median of `command` alone in seconds (`stderr` takes
    hyperfine's warnings); compare_dcmdjpeg.py times its tools with it."""
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        subprocess.run(['hyperfine', '--warmup', '2', '--runs', '15', '--style', 'none',
                        '--export-json', out.name, command], check=True, stdout=subprocess.DEVNULL,
                       stderr=stderr)
        return json.load(open(out.name))['results'][0]['median']


def one_round(commands):
    """The times in seconds of each command in one hyperfine call."""
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        subprocess.run(['hyperfine', '-N', '--warmup', '1', '--runs', str(RUNS_PER_ROUND), '--style', 'none',
                        '--export-json', out.name] + commands, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        return [r['times'] for r in json.load(open(out.name))['results']]


def load():
    return '%.1f' % os.getloadavg()[0]


def main():
    ours, data = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 11
    print('%-24s %9s %9s %7s %13s %11s' % ('stream', 'ours ms', 'djpeg ms', 'ratio', 'rounds lo-hi', 'load'))
    for name in STREAMS:
        path = os.path.join(data, name)
        before = load()
        a, b, ratios = [], [], []
        for i in range(rounds):
            # The order within a round alternates too.
            commands = ['%s %s' % (ours, path), 'djpeg -outfile /dev/null %s' % path]
            times = one_round(commands if i % 2 == 0 else commands[::-1])
            ta, tb = (times[0], times[1]) if i % 2 == 0 else (times[1], times[0])
            a += ta
            b += tb
            ratios.append(statistics.median(ta) / statistics.median(tb))
        ma, mb = statistics.median(a), statistics.median(b)
        print('%-24s %9.1f %9.1f %7.3f %6.2f-%-6.2f %5s-%-5s' %
              (name, ma * 1e3, mb * 1e3, statistics.median(ratios), min(ratios), max(ratios), before, load()))


if __name__ == '__main__':
    main()
