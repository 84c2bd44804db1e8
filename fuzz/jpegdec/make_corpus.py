#!/usr/bin/python3
"""Writes the seed corpus of jpegdec_fuzz into corpus/: streams of the
decoder tests (tests/data/jpegdec and the lossless streams of the kernel
tests), each behind the target's mode byte (scale, RGB request, JFIF road,
kernel column) chosen to reach the decoder's paths, and the streams of
the hostile-files table (tests/data/Source/hostile/make_hostile_files.py):
broken restart intervals, cut progressive, baseline and lossless streams,
frame headers far larger than their data, a 4096 x 4096 progressive frame of
end-of-band runs, bits no code begins with on the generic path, and ten
thousand comment segments.

    /usr/bin/python3 fuzz/jpegdec/make_corpus.py
"""
import importlib.util
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
    # The kernel path on several columns.
    ('grey.jpg', 0x10), ('s420_restart.jpg', 0x20), ('s444.jpg', 0x40), ('s422.jpg', 0x50),
    ('../jpegkernels/lossless/g16_sv1_pt0.jpg', 0x00), ('../jpegkernels/lossless/g16_sv1_pt0.jpg', 0x50),
    ('../jpegkernels/lossless/g12_sv5_pt2.jpg', 0x20), ('../jpegkernels/lossless/g8_sv2_pt1.jpg', 0x30),
    ('../jpegkernels/lossless/c16_sv7_pt2.jpg', 0x40), ('../jpegkernels/lossless/c8_sv6_pt2.jpg', 0x10),
]


# Codestreams of the lossless DICOM fixtures (restart intervals, long codes
# the look-ahead tables cannot hold).
DICOM_SEEDS = [('ct16_restart2.dcm', 0x30), ('rgb8_restart3_sv6.dcm', 0x50),
               ('ct16_shared_long_codes.dcm', 0x20), ('mr12_restart1_sv4.dcm', 0x40)]


# Streams of the hostile-files table (its DICOM files' fragments): broken
# restart intervals, cut progressive, baseline and lossless streams, a
# lossless frame of subsampled components, and frame headers of 32768 x
# 32768 grey and 65535 x 65535 colour.
HOSTILE_SEEDS = [('prog_restart_rst0_twice', 0x00), ('prog_restart_dnl_for_rst0', 0x08),
                 ('prog_without_eoi', 0x00), ('prog_cut_short', 0x00), ('lossless_subsampled', 0x00),
                 ('stream_32768_in_61x45', 0x00), ('colour_65535_square', 0x00),
                 ('baseline_cut_short', 0x00), ('lossless_cut_short', 0x00)]


def hostile_table():
    path = os.path.join(HERE, '..', '..', 'tests', 'data', 'Source', 'hostile', 'make_hostile_files.py')
    found = importlib.util.spec_from_file_location('make_hostile_files', path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def hostile_streams():
    """(name, mode, stream) of the hostile seeds."""
    table = hostile_table()
    cases = {c.name: c for c in table.CASES}
    seeds = []
    for name, mode in HOSTILE_SEEDS:
        # The fragment as the DICOM file holds it, padded to an even length.
        stream = cases[name].make.stream
        seeds.append((name, mode, stream + bytes(len(stream) % 2)))
    # Smaller than the table's: a 4096 x 4096 progressive frame of
    # end-of-band runs, the third restart interval of optimised tables all
    # ones (RGB asked: the generic path), and ten thousand comment segments
    # (the kept text's limit lies beyond the inputs' 64 KiB).
    return seeds + [('eob_runs_4096', 0x00, table.eob_run_frame(4096)),
                    ('no_code_interval', 0x04, table.interval_without_code()),
                    ('comments_10000', 0x00, table.comments_before(10000, table.grey()))]


def codestream(path):
    with open(path, 'rb') as f:
        data = f.read()
    return data[data.index(b'\xff\xd8'):data.rindex(b'\xff\xd9') + 2]


def main():
    out = os.path.join(HERE, 'corpus')
    os.makedirs(out, exist_ok=True)
    for name, mode in DICOM_SEEDS:
        stream = codestream(os.path.join(FIXTURES, 'lossless_dicom', name))
        with open(os.path.join(out, '%s_%02x' % (name[:-4], mode)), 'wb') as f:
            f.write(bytes([mode]) + stream)
    for name, mode, stream in hostile_streams():
        with open(os.path.join(out, 'hostile_%s_%02x' % (name, mode)), 'wb') as f:
            f.write(bytes([mode]) + stream)
    for name, mode in SEEDS:
        with open(os.path.join(FIXTURES, name), 'rb') as f:
            stream = f.read()
        with open(os.path.join(out, '%s_%02x' % (os.path.basename(name)[:-4], mode)), 'wb') as f:
            f.write(bytes([mode]) + stream)


if __name__ == '__main__':
    main()
