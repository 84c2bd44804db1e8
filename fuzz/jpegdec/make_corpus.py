#!/usr/bin/python3
"""Writes the seed corpus of jpegdec_fuzz into corpus/: streams of the
decoder tests (tests/data/jpegdec), each behind the target's mode byte
(scale, RGB request, JFIF road) chosen to reach the decoder's paths.

    /usr/bin/python3 fuzz/jpegdec/make_corpus.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, '..', '..', 'tests', 'data', 'jpegdec')

SEEDS = [
    # stream, mode byte
    ('grey.jpg', 0x00), ('grey.jpg', 0x03), ('grey_1x1.jpg', 0x08), ('s444.jpg', 0x04),
    ('s420.jpg', 0x01), ('s420.jpg', 0x04), ('s422.jpg', 0x04), ('s411.jpg', 0x06),
    ('s422_mixed.jpg', 0x00), ('s420_restart.jpg', 0x00), ('grey_restart_rows.jpg', 0x08),
    ('prog_s420.jpg', 0x00), ('prog_s422_restart.jpg', 0x00), ('prog_script.jpg', 0x00),
    ('separate_scans_opt.jpg', 0x00), ('separate_scans_restart.jpg', 0x00), ('cmyk.jpg', 0x00),
]


def main():
    out = os.path.join(HERE, 'corpus')
    os.makedirs(out, exist_ok=True)
    for name, mode in SEEDS:
        with open(os.path.join(FIXTURES, name), 'rb') as f:
            stream = f.read()
        with open(os.path.join(out, '%s_%02x' % (name[:-4], mode)), 'wb') as f:
            f.write(bytes([mode]) + stream)


if __name__ == '__main__':
    main()
