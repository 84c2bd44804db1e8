#!/usr/bin/python3
"""Whole-process timing of the benchmark streams decoded by our JPEG reader
(jpegdec_decode) against libjpeg-turbo's `djpeg -outfile /dev/null`, with
hyperfine (medians). The ratio is djpeg's median over ours (above 1: ours is
faster).

    /usr/bin/python3 bench/jpegdec/compare_djpeg.py \\
        build/release/bench/jpegdec/jpegdec_decode build/release/bench/jpegdec/data
"""
import json
import os
import subprocess
import sys
import tempfile

STREAMS = ['grey_4096_q90.jpg', 'rgb_3840_420.jpg', 'rgb_3840_444.jpg', 'rgb_3840_420_prog.jpg']


def median(command, stderr=None):
    """hyperfine's median of `command` in seconds (`stderr` takes hyperfine's warnings)."""
    with tempfile.NamedTemporaryFile(suffix='.json') as out:
        subprocess.run(['hyperfine', '--warmup', '2', '--runs', '15', '--style', 'none',
                        '--export-json', out.name, command], check=True, stdout=subprocess.DEVNULL,
                       stderr=stderr)
        return json.load(open(out.name))['results'][0]['median']


def main():
    ours, data = sys.argv[1], sys.argv[2]
    print('%-24s %10s %10s %7s' % ('stream', 'ours ms', 'djpeg ms', 'ratio'))
    for name in STREAMS:
        path = os.path.join(data, name)
        a = median('%s %s' % (ours, path))
        b = median('djpeg -outfile /dev/null %s' % path)
        print('%-24s %10.1f %10.1f %7.2f' % (name, a * 1e3, b * 1e3, b / a))


if __name__ == '__main__':
    main()
