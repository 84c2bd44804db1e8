#!/usr/bin/python3
"""Makes the hostile JPEG DICOM files of the decoder's damage and size tests
and writes hostile.txt, the table the tests check them against:

    file  exit-code  status  function  words...

exit-code is what zrm-render gives for the file, status and function the
first status of the job that reads the frame through the DICOM reader (0 and
'-' for none), words what zrm-render's message holds (each word between '|'
signs; '-' for nothing).

Each file wraps one JPEG stream, made from the decoder fixtures beside this
folder or by hand:

- restart intervals of a progressive frame broken: RST0 twice, a DNL segment
  in place of RST1 (the progressive stream with intervals, prog_s422_restart);
- progressive streams without their end of image, and cut short;
- a progressive 23168 x 23168 frame of one scan of end-of-band runs (its
  coefficient store just under 1 GiB), and the same at 23200 x 23200 (over);
- a colour frame of 65535 x 65535, more bytes than any memory block holds;
- streams that do not match their file: 32768 x 32768 in a 61 x 45 frame, a
  61 x 45 stream in a 512 x 512 frame, colour in MONOCHROME2, a lossless
  precision of 12 in 8 allocated bits;
- a lossless frame whose first component is sampled 2 x 1, with restart
  intervals of one row of its units.

With --big FOLDER it writes instead, into FOLDER, the files too large to keep:
comments_1m.dcm (the grey fixture behind one million 1-byte COM segments, 5
MB). The benchmarks time them (bench/jpegdec).

Run with Debian's python3 (pydicom):
    /usr/bin/python3 tests/data/jpegdec/hostile/make_hostile.py [--big FOLDER]
"""
import os
import struct
import sys

from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.encaps import encapsulate
from pydicom.uid import ExplicitVRLittleEndian

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, '..')
sys.path.insert(0, os.path.join(FIXTURES, 'lossless_dicom'))
from make_lossless_dicom import BitWriter  # noqa: E402
BASELINE = '1.2.840.10008.1.2.4.50'
LOSSLESS = '1.2.840.10008.1.2.4.70'


def fixture(name):
    with open(os.path.join(FIXTURES, name), 'rb') as f:
        return f.read()


def segment(marker, body):
    return bytes([0xFF, marker]) + struct.pack('>H', len(body) + 2) + body


def find_marker(stream, code, n=0):
    """Position of the n-th (from 0) marker with this code."""
    at = -1
    for _ in range(n + 1):
        at = stream.index(bytes([0xFF, code]), at + 1)
    return at


def frame_header(stream):
    """(position of the SOFn marker, P, Y, X, Nf)."""
    i = 2
    while True:
        marker = stream[i + 1]
        if marker in (0xC0, 0xC2, 0xC3):
            p, y, x, nf = struct.unpack('>BHHB', stream[i + 4:i + 10])
            return i, p, y, x, nf
        i += 2 + struct.unpack('>H', stream[i + 2:i + 4])[0]


def with_size(stream, width, height):
    at = frame_header(stream)[0]
    return stream[:at + 5] + struct.pack('>HH', height, width) + stream[at + 9:]


def write_dicom(path, stream, rows, columns, samples, bits, syntax=BASELINE):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = '1.2.840.10008.5.1.4.1.1.7'
    meta.MediaStorageSOPInstanceUID = '1.2.826.0.1.3680043.2.1125.31.1'
    meta.TransferSyntaxUID = syntax
    ds = Dataset()
    ds.file_meta = meta
    ds.SOPClassUID = meta.MediaStorageSOPClassUID
    ds.SOPInstanceUID = meta.MediaStorageSOPInstanceUID
    ds.Modality = 'OT'
    ds.PatientName = 'Hostile'
    ds.PatientID = 'hostile'
    ds.Rows, ds.Columns, ds.SamplesPerPixel = rows, columns, samples
    ds.PhotometricInterpretation = 'MONOCHROME2' if samples == 1 else 'YBR_FULL_422'
    if samples == 3:
        ds.PlanarConfiguration = 0
    ds.BitsAllocated = bits
    ds.BitsStored = bits
    ds.HighBit = bits - 1
    ds.PixelRepresentation = 0
    ds.PixelData = encapsulate([stream])
    ds['PixelData'].VR = 'OB'
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    ds.save_as(path, write_like_original=False)


def eob_run_frame(side):
    """A grey progressive frame of side x side whose one scan (AC 1..63 of
    the one component) is end-of-band runs of 32767 blocks: every block
    stays zero, mid-grey."""
    blocks = ((side + 7) // 8) ** 2
    # One AC code, '0', for EOBRUN with r = 14 (2^14 plus 14 bits); the DC
    # table every scan names, one code for 0.
    bits = bytes([1] + [0] * 15)
    table = segment(0xC4, bytes([0x00]) + bits + bytes([0x00]) + bytes([0x10]) + bits + bytes([0xE0]))
    data = BitWriter()
    while blocks > 0:
        run = min(blocks, (1 << 15) - 1)
        data.put(0, 1)
        data.put(run - (1 << 14), 14)
        blocks -= run
    stream = b'\xff\xd8' + segment(0xDB, bytes([0]) + bytes([1] * 64))
    stream += segment(0xC2, struct.pack('>BHHB', 8, side, side, 1) + bytes([1, 0x11, 0]))
    data.flush()
    stream += table + segment(0xDA, bytes([1, 1, 0x00, 1, 63, 0x00])) + bytes(data.out) + b'\xff\xd9'
    return stream


def restart_broken(replace):
    """The progressive stream with intervals, its first scan's first
    restart marker (from its 0xFF) replaced by `replace(stream, at)`."""
    stream = fixture('prog_s422_restart.jpg')
    at = min(stream.index(bytes([0xFF, 0xD0 + k])) for k in range(8) if bytes([0xFF, 0xD0 + k]) in stream)
    return replace(stream, at)


def lossless_subsampled():
    """The 3-component lossless stream with its first component sampled
    2 x 1 and a restart interval of one row of its units."""
    stream = fixture('../jpegkernels/lossless/c8_sv1_pt0.jpg')
    at, _, _, columns, _ = frame_header(stream)
    sampling = at + 11  # H<<4|V of the first component
    stream = stream[:sampling] + b'\x21' + stream[sampling + 1:]
    return stream[:at] + segment(0xDD, struct.pack('>H', columns // 2)) + stream[at:]


def cases():
    """(file, stream, rows, columns, samples, bits, syntax, exit, status, function, words)."""
    grey, colour = fixture('grey.jpg'), fixture('s444.jpg')
    progressive = fixture('prog_s420.jpg')
    lossless12 = fixture('../jpegkernels/lossless/g12_sv1_pt0.jpg')
    _, _, rows12, cols12, _ = frame_header(lossless12)
    subsampled = lossless_subsampled()
    _, _, rows3, cols3, _ = frame_header(subsampled)
    warning = ('0', '0x40400000', 'VRX_DecodeJPEGEngine::execute()', '-')
    mismatch = ('1', '0x80400000', 'VRX_ReadDICOM::engine()')
    end = progressive.rindex(b'\xff\xd9')
    return [
        ('prog_restart_rst0_twice.dcm',
         restart_broken(lambda s, at: s[:at + 2] + s[at:at + 2] + s[at + 2:]), 45, 61, 3, 8, BASELINE) + warning,
        ('prog_restart_dnl_for_rst0.dcm',
         restart_broken(lambda s, at: s[:at] + segment(0xDC, struct.pack('>H', 45)) +
                        s[at + 2:]), 45, 61, 3, 8, BASELINE) + warning,
        ('prog_without_eoi.dcm', progressive[:end], 45, 61, 3, 8, BASELINE) + warning,
        ('prog_cut_short.dcm', progressive[:len(progressive) * 6 // 10], 45, 61, 3, 8, BASELINE) + warning,
        ('prog_23168_eob_runs.dcm', eob_run_frame(23168), 23168, 23168, 1, 8, BASELINE, '0', '0', '-', '-'),
        ('prog_23200_eob_runs.dcm', eob_run_frame(23200), 23200, 23200, 1, 8, BASELINE, '1', '0x80010000',
         'VRX_DecodeJPEGEngine::initiate()', 'out of memory in frame 1'),
        ('colour_65535_square.dcm', with_size(colour, 65535, 65535), 65535, 65535, 3, 8, BASELINE, '1',
         '0x80010000', 'VRX_DecodeJPEGEngine::initiate()', 'out of memory in frame 1'),
        ('stream_32768_in_61x45.dcm', with_size(grey, 32768, 32768), 45, 61, 1, 8, BASELINE) + mismatch +
        ('the JPEG stream is 32768 x 32768|the file declares 61 x 45',),
        ('stream_61x45_in_512x512.dcm', grey, 512, 512, 1, 8, BASELINE) + mismatch +
        ('the JPEG stream is 61 x 45|the file declares 512 x 512',),
        ('colour_in_monochrome2.dcm', colour, 45, 61, 1, 8, BASELINE) + mismatch +
        ('with 3 components of 8 bits|with 1 sample in 8 bits',),
        ('lossless_p12_in_8_bits.dcm', lossless12, rows12, cols12, 1, 8, LOSSLESS) + mismatch +
        ('1 component of 12 bits|1 sample in 8 bits',),
        ('lossless_subsampled.dcm', subsampled, rows3, cols3, 3, 8, LOSSLESS, '1', '0x81000000',
         'VRX_JPEGInfoInternal::initiate()', 'unsupported compression or coding process in frame 1'),
    ]


def write_big(folder):
    os.makedirs(folder, exist_ok=True)
    grey = fixture('grey.jpg')
    comments = segment(0xFE, b'c') * 1000000
    write_dicom(os.path.join(folder, 'comments_1m.dcm'), grey[:2] + comments + grey[2:], 45, 61, 1, 8)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--big':
        write_big(sys.argv[2])
        return
    table = []
    for name, stream, rows, columns, samples, bits, syntax, code, status, function, words in cases():
        write_dicom(os.path.join(HERE, name), stream, rows, columns, samples, bits, syntax)
        table.append(' '.join([name, code, status, function, words.replace(' ', '_')]))
    with open(os.path.join(HERE, 'hostile.txt'), 'w') as f:
        f.write('# file exit-code status function words (| between them, _ for a space; - none)\n')
        f.write('\n'.join(table) + '\n')


if __name__ == '__main__':
    main()
