#!/usr/bin/python3
"""Small DICOM files whose values come from more than the top-level
attributes, and what zrm-render must show of them, computed independently
of it with pydicom and numpy.

Files (explicit VR little endian):
  enhanced_ct.dcm   Enhanced CT, two frames: spacing and orientation in the
                    shared functional groups; rescale, window and position
                    in each frame's own groups (frame 2 with a fractional
                    slope); different top-level values that must not count.
  modality_lut16.dcm  a Modality LUT of 16-bit entries (OW), first mapped
                    value 100, stored values below and beyond the table, and
                    a rescale that the LUT replaces.
  modality_lut8.dcm signed samples through a Modality LUT of 8-bit entries
                    (US, one per word) whose first mapped value is -50 (SS).
  voi_lut.dcm       no window; two VOI LUTs of 12-bit entries, the first
                    applied.
  no_spacing.dcm    no pixel spacing of any kind.
  ultrasound.dcm    no pixel spacing; Sequence of Ultrasound Regions with a
                    region in centimetres and one in other units.
  nonsquare.dcm     rows 0.5 mm apart, columns 0.8 mm.
  huge_spacing.dcm  a pixel spacing of 1e308 mm: lengths and sizes overflow.
  huge_ultrasound.dcm  an ultrasound region in centimetres whose deltas
                    overflow lengths.
  palette<N>_entries16.dcm  PALETTE COLOR of N (10, 12) bits stored in 16
                    with 16-bit entries: red falls, green rises, blue holds
                    at the middle; some indices carry bits above the stored
                    ones, which do not count.
  ybr<N>_<native|rle>_planar<P>.dcm  YBR_FULL of N (9, 12, 15) bits stored in
                    16, native or RLE, planar configuration P: a grey ramp
                    (chroma at 2^(N - 1)) above rows of colours.
  ybr12_lossless.dcm  ybr12_native_planar0.dcm as lossless JPEG (dcmcjpeg),
                    shown as dcmj2pnm shows the native file.
  ybr12_422.dcm     YBR_FULL_422 of 12 bits stored in 16: the same lightness,
                    each row of one chroma.

frame_values.txt has one case per line, fields separated by tabs:
  NAME FILE ARGS WIDTH HEIGHT PICTURE PROBE MEASURE DFOV ORIENTATION
ARGS are the program's options (blank-separated, "-" for none); PICTURE the
expected render at those options without annotations and overlays (rows
top first, one grey sample or red, green and blue per pixel, zlib and base64;
"-" when not checked); PROBE and MEASURE the expected labels ("-" when the
case makes none); DFOV the field of view text ("" when it is left out);
ORIENTATION the top, bottom, left and right letters joined by "/".

Modality values come from pydicom's apply_modality_lut (for the enhanced
image from numpy with each frame's rescale), VOI LUT output from pydicom's
apply_voi_lut scaled to 8 bits as dcmtk scales it (entry x 256 / 2^bits,
rounded down; checked against dcmj2pnm +Wl 1 when it is installed); colour
pictures are dcmj2pnm's (which must be installed); windows
are DICOM's linear VOI function, the file's first, else the frame's range
(centre (min + max + 1) / 2, width max - min + 1), rounded half up.

Run in this folder: /usr/bin/python3 make_frame_values.py
"""
import base64
import os
import shutil
import subprocess
import tempfile
import zlib

import numpy as np
import pydicom
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.encaps import encapsulate
from pydicom.pixel_data_handlers.rle_handler import rle_encode_frame
from pydicom.pixel_data_handlers.util import apply_modality_lut, apply_voi_lut
from pydicom.sequence import Sequence
from pydicom.uid import ExplicitVRLittleEndian, RLELossless, generate_uid

HERE = os.path.dirname(os.path.abspath(__file__))
RNG = np.random.default_rng(28)
SECONDARY_CAPTURE = "1.2.840.10008.5.1.4.1.1.7"


def new_file(sop_class, modality, pixels, bits_stored, signed=False, frames=1):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = sop_class
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    ds.preamble = b"\0" * 128
    ds.SOPClassUID = sop_class
    ds.Modality = modality
    ds.PatientName = "Values^Test"
    ds.InstanceNumber = 1
    ds.SamplesPerPixel = 1
    ds.PhotometricInterpretation = "MONOCHROME2"
    ds.Rows, ds.Columns = pixels.shape[-2:]
    ds.BitsAllocated = pixels.dtype.itemsize * 8
    ds.BitsStored = bits_stored
    ds.HighBit = bits_stored - 1
    ds.PixelRepresentation = 1 if signed else 0
    if frames > 1:
        ds.NumberOfFrames = frames
    ds.PixelData = pixels.tobytes()
    return ds


def item(**values):
    d = Dataset()
    for k, v in values.items():
        setattr(d, k, v)
    return d


def voi(values, centre, width):
    if width <= 1:
        return np.where(values <= centre - 0.5, 0.0, 255.0)
    y = ((values - (centre - 0.5)) / (width - 1) + 0.5) * 255.0
    return np.floor(np.clip(y, 0.0, 255.0) + 0.5)


def range_window(values):
    low, high = float(values.min()), float(values.max())
    return (low + high + 1) / 2, high - low + 1


def packed(picture):
    return base64.b64encode(zlib.compress(np.asarray(picture, np.uint8).tobytes(), 9)).decode()


def letters(direction):
    """Patient-direction letters, strongest component first."""
    out = ""
    for axis in sorted(range(3), key=lambda a: -abs(direction[a])):
        if abs(direction[axis]) > 0.0001:
            out += ("L", "P", "H")[axis] if direction[axis] > 0 else ("R", "A", "F")[axis]
    return out


def orientation(cosines):
    row, column = np.array(cosines[:3]), np.array(cosines[3:])
    return "/".join([letters(-column), letters(column), letters(-row), letters(row)])


CASES = []


def case(name, path, args, picture=None, probe="-", measure="-", dfov="", orient="///"):
    height, width = (picture.shape if picture is not None else (0, 0))
    CASES.append([name, os.path.basename(path), " ".join(args) if args else "-", str(width),
                  str(height), packed(picture) if picture is not None else "-", probe, measure,
                  dfov, orient])


def save(ds, name):
    # The same UIDs at every run: the files change only when their content does.
    uid = generate_uid(entropy_srcs=[name])
    ds.SOPInstanceUID = ds.file_meta.MediaStorageSOPInstanceUID = uid
    path = os.path.join(HERE, name)
    ds.save_as(path, write_like_original=False)
    return pydicom.dcmread(path)


def enhanced_ct():
    rows, columns = 20, 32
    stored = RNG.integers(0, 4096, size=(2, rows, columns), dtype=np.uint16)
    stored[:, :, :4] = 0          # air and the darkest corner
    stored[:, :, -4:] = 4095      # beyond every window
    stored[1, 7, 5] = 2162        # 2162 x 0.5 - 1000 = 81 HU
    ds = new_file("1.2.840.10008.5.1.4.1.1.2.1", "CT", stored, 12, frames=2)
    # Top-level values an enhanced image does not use.
    ds.RescaleIntercept, ds.RescaleSlope, ds.RescaleType = "0", "1", "US"
    ds.WindowCenter, ds.WindowWidth = "2000", "10"
    ds.PixelSpacing = [2, 2]
    ds.ImageOrientationPatient = [0, 1, 0, 0, 0, -1]
    ds.ImagePositionPatient = [9, 9, 9]
    cosines = [1, 0, 0, 0, 1, 0]
    ds.SharedFunctionalGroupsSequence = Sequence([item(
        PixelMeasuresSequence=Sequence([item(PixelSpacing=[0.6, 0.6], SliceThickness="1")]),
        PlaneOrientationSequence=Sequence([item(ImageOrientationPatient=cosines)]))])
    frames = [(-1024, 1, 40, 400, 10.0), (-1000, 0.5, 300, 1500, 20.0)]
    ds.PerFrameFunctionalGroupsSequence = Sequence([item(
        PixelValueTransformationSequence=Sequence([item(
            RescaleIntercept=str(b), RescaleSlope=str(m), RescaleType="HU")]),
        FrameVOILUTSequence=Sequence([item(WindowCenter=str(c), WindowWidth=str(w))]),
        PlanePositionSequence=Sequence([item(ImagePositionPatient=[-100, -100, z])]))
        for b, m, c, w, z in frames])
    save(ds, "enhanced_ct.dcm")
    hu = [stored[i].astype(np.float64) * frames[i][1] + frames[i][0] for i in range(2)]
    orient = orientation(cosines)
    dfov = "19.20 x 12.00"  # 32 x 0.6 by 20 x 0.6 mm
    case("enhanced frame 1", "enhanced_ct.dcm", ["--measure", "2,3,22,3"],
         voi(hu[0], 40, 400), measure="12.00mm", dfov=dfov, orient=orient)
    case("enhanced frame 2", "enhanced_ct.dcm", ["--frame", "2", "--probe", "5,7"],
         voi(hu[1], 300, 1500), probe="%.2f HU" % hu[1][7, 5], dfov=dfov, orient=orient)
    case("enhanced frame 2 at 40,400", "enhanced_ct.dcm",
         ["--frame", "2", "--window", "40,400"], voi(hu[1], 40, 400), dfov=dfov, orient=orient)


def modality_lut(name, stored, signed, entries, first, bits, lut, vr):
    ds = new_file(SECONDARY_CAPTURE, "OT", stored, stored.dtype.itemsize * 8, signed)
    ds.RescaleIntercept, ds.RescaleSlope = "7", "3"  # the LUT takes their place
    lut_item = Dataset()
    lut_item.add_new(0x00283002, "SS" if first < 0 else "US", [entries, first, bits])
    lut_item.add_new(0x00283006, vr, lut.tobytes() if vr == "OW" else [int(v) for v in lut])
    lut_item.ModalityLUTType = "US"  # unspecified units
    ds.ModalityLUTSequence = Sequence([lut_item])
    ds = save(ds, name)
    values = apply_modality_lut(ds.pixel_array, ds).astype(np.float64)
    return values


def modality_luts():
    rows, columns = 16, 24
    # 16-bit entries over stored values 100 to 1123; stored values from 0
    # to 1500 reach below and beyond the table.
    stored = RNG.integers(0, 1501, size=(rows, columns), dtype=np.uint16)
    stored[0, 0], stored[0, 1] = 3, 1500
    index = np.arange(1024, dtype=np.float64)
    lut = np.floor(65535.0 * (index / 1023.0) ** 2 + 0.5).astype(np.uint16)
    lut[0] = 1234
    values = modality_lut("modality_lut16.dcm", stored, False, 1024, 100, 16, lut, "OW")
    case("modality LUT 16", "modality_lut16.dcm", ["--probe", "0,0"],
         voi(values, *range_window(values)), probe="%.2f " % values[0, 0])
    case("modality LUT 16 beyond", "modality_lut16.dcm", ["--probe", "1,0"],
         probe="%.2f " % values[0, 1])

    # 8-bit entries for stored -50 to 149; stored values from -120 to 200.
    stored = RNG.integers(-120, 201, size=(rows, columns), dtype=np.int16)
    stored[2, 3], stored[2, 4] = -120, 200
    lut = (np.arange(200) * 7 % 251 + 3).astype(np.uint8)
    values = modality_lut("modality_lut8.dcm", stored, True, 200, -50, 8,
                          lut.astype(np.uint16), "US")
    case("modality LUT 8", "modality_lut8.dcm", ["--probe", "3,2"],
         voi(values, *range_window(values)), probe="%.2f " % values[2, 3])
    case("modality LUT 8 beyond", "modality_lut8.dcm", ["--probe", "4,2"],
         probe="%.2f " % values[2, 4])


def voi_lut():
    rows, columns = 16, 24
    stored = RNG.integers(0, 4096, size=(rows, columns), dtype=np.uint16)
    ds = new_file(SECONDARY_CAPTURE, "OT", stored, 12)
    ramp = np.arange(2048, dtype=np.float64)
    first = np.floor(4095.0 * np.sqrt(ramp / 2047.0) + 0.5).astype(np.uint16)
    luts = []
    for table in (first, first[::-1].copy()):
        lut_item = Dataset()
        lut_item.add_new(0x00283002, "US", [2048, 500, 12])
        lut_item.add_new(0x00283006, "OW", table.tobytes())
        luts.append(lut_item)
    ds.VOILUTSequence = Sequence(luts)
    ds = save(ds, "voi_lut.dcm")
    out = np.floor(apply_voi_lut(ds.pixel_array, ds).astype(np.float64) * 256.0 / 4096.0)
    if shutil.which("dcmj2pnm"):
        with tempfile.TemporaryDirectory() as d:
            pgm = os.path.join(d, "voi.pgm")
            subprocess.run(["dcmj2pnm", "+Wl", "1", os.path.join(HERE, "voi_lut.dcm"), pgm],
                           check=True, capture_output=True)
            data = open(pgm, "rb").read()
            header = [b"P5", b"%d" % columns, b"%d" % rows, b"255"]
            assert data.split()[:4] == header
            dcmtk = np.frombuffer(data[len(data) - rows * columns:], np.uint8)
            dcmtk = dcmtk.reshape(rows, columns)
            assert np.array_equal(dcmtk, out), "the model differs from dcmtk's VOI LUT"
    case("VOI LUT", "voi_lut.dcm", ["--probe", "2,2"], out, probe="%.2f " % stored[2, 2])


def geometry():
    stored = RNG.integers(0, 256, size=(30, 40), dtype=np.uint8)
    ds = new_file(SECONDARY_CAPTURE, "OT", stored, 8)
    save(ds, "no_spacing.dcm")
    values = stored.astype(np.float64)
    case("no spacing", "no_spacing.dcm", ["--measure", "5,5,35,25"],
         voi(values, *range_window(values)), measure="%.2fpx" % np.hypot(30, 20))

    stored = RNG.integers(0, 256, size=(40, 64), dtype=np.uint8)
    ds = new_file("1.2.840.10008.5.1.4.1.1.6.1", "US", stored, 8)
    ds.SequenceOfUltrasoundRegions = Sequence([
        item(RegionSpatialFormat=1, RegionDataType=1, RegionFlags=0,
             RegionLocationMinX0=0, RegionLocationMinY0=0, RegionLocationMaxX1=31,
             RegionLocationMaxY1=39, PhysicalUnitsXDirection=3, PhysicalUnitsYDirection=3,
             PhysicalDeltaX=0.02, PhysicalDeltaY=0.03),
        item(RegionSpatialFormat=3, RegionDataType=3, RegionFlags=0,
             RegionLocationMinX0=32, RegionLocationMinY0=0, RegionLocationMaxX1=63,
             RegionLocationMaxY1=39, PhysicalUnitsXDirection=4, PhysicalUnitsYDirection=7,
             PhysicalDeltaX=0.01, PhysicalDeltaY=0.5)])
    save(ds, "ultrasound.dcm")
    values = stored.astype(np.float64)
    case("ultrasound region in cm", "ultrasound.dcm", ["--measure", "4,4,24,34"],
         voi(values, *range_window(values)), measure="%.2fmm" % np.hypot(20 * 0.2, 30 * 0.3))
    case("ultrasound region in other units", "ultrasound.dcm", ["--measure", "40,5,60,5"],
         measure="20.00px")
    case("ultrasound across regions", "ultrasound.dcm", ["--measure", "10,10,50,10"],
         measure="40.00px")

    stored = RNG.integers(0, 256, size=(30, 40), dtype=np.uint8)
    ds = new_file(SECONDARY_CAPTURE, "OT", stored, 8)
    ds.PixelSpacing = [0.5, 0.8]  # between rows, between columns
    save(ds, "nonsquare.dcm")
    # At zoom 4 every image row is 2.5 screen rows: the ends fall on whole
    # screen pixels. 40 x 0.8 by 30 x 0.5 mm shown.
    for name, ends, dx, dy in [("across", "2,2,32,2", 30, 0), ("down", "2,2,2,22", 0, 20),
                               ("oblique", "2,2,32,22", 30, 20)]:
        case("non-square pixels " + name, "nonsquare.dcm", ["--zoom", "4", "--measure", ends],
             measure="%.2fmm" % np.hypot(dx * 0.8, dy * 0.5), dfov="32.00 x 15.00")

    # Spacings whose lengths and sizes are not finite count as none: lengths
    # in pixels, no field of view.
    stored = RNG.integers(0, 256, size=(30, 40), dtype=np.uint8)
    ds = new_file(SECONDARY_CAPTURE, "OT", stored, 8)
    ds.PixelSpacing = ["1e308", "1e308"]
    save(ds, "huge_spacing.dcm")
    case("spacing too large", "huge_spacing.dcm", ["--measure", "5,5,35,25"],
         measure="%.2fpx" % np.hypot(30, 20))
    ds = new_file("1.2.840.10008.5.1.4.1.1.6.1", "US", stored, 8)
    ds.SequenceOfUltrasoundRegions = Sequence([
        item(RegionSpatialFormat=1, RegionDataType=1, RegionFlags=0,
             RegionLocationMinX0=0, RegionLocationMinY0=0, RegionLocationMaxX1=39,
             RegionLocationMaxY1=29, PhysicalUnitsXDirection=3, PhysicalUnitsYDirection=3,
             PhysicalDeltaX=1e307, PhysicalDeltaY=1e307)])
    save(ds, "huge_ultrasound.dcm")
    case("ultrasound deltas too large", "huge_ultrasound.dcm", ["--measure", "5,5,35,25"],
         measure="%.2fpx" % np.hypot(30, 20))


def colour_file(name, pixels, photometric, stored, planar=0, rle=False, tables=(), probe=None):
    """Saves `pixels` ((rows, columns, samples) of 16 bits; a palette's
    `tables` of 16-bit entries) and adds its case: dcmj2pnm's picture, and
    the label of the pixel `probe` ((x, y, label)) when given. Returns the
    picture."""
    rows, columns, samples = pixels.shape
    pixels = pixels.astype(np.uint16)
    ds = new_file(SECONDARY_CAPTURE, "OT", pixels[..., 0], stored)
    ds.SamplesPerPixel = samples
    ds.PhotometricInterpretation = photometric
    if samples == 3:
        ds.PlanarConfiguration = planar
    for colour, table in zip(("Red", "Green", "Blue"), tables):
        setattr(ds, colour + "PaletteColorLookupTableDescriptor", [len(table), 0, 16])
        setattr(ds, colour + "PaletteColorLookupTableData", table.astype("<u2").tobytes())
    if rle:
        ds.file_meta.TransferSyntaxUID = RLELossless
        ds.PixelData = encapsulate([rle_encode_frame(pixels)])
        ds["PixelData"].VR = "OB"
        ds["PixelData"].is_undefined_length = True
    elif photometric == "YBR_FULL_422":
        # Each pair of pixels as Y0 Y1 Cb Cr, the pair's first chroma.
        pairs = pixels.reshape(rows, columns // 2, 2, 3)
        ds.PixelData = np.concatenate([pairs[:, :, :, 0], pairs[:, :, 0, 1:]], axis=2).tobytes()
    else:
        ds.PixelData = (pixels.transpose(2, 0, 1) if planar else pixels).tobytes()
    save(ds, name)
    with tempfile.TemporaryDirectory() as d:
        ppm = os.path.join(d, "colour.ppm")
        subprocess.run(["dcmj2pnm", os.path.join(HERE, name), ppm], check=True,
                       capture_output=True)
        data = open(ppm, "rb").read()
    assert data.split()[:4] == [b"P6", b"%d" % columns, b"%d" % rows, b"255"]
    picture = np.frombuffer(data[len(data) - rows * columns * 3:], np.uint8)
    args = ["--probe", "%d,%d" % probe[:2]] if probe else []
    CASES.append([name[:-4], name, " ".join(args) or "-", str(columns), str(rows),
                  packed(picture), probe[2] if probe else "-", "-", "", "///"])
    return picture


def ybr_rgb(ybr, stored):
    """RGB of YBR_FULL of `stored` bits: chroma centred on 2^(stored - 1),
    rounded half up and clamped to the stored range."""
    y, cb, cr = ybr.astype(np.float64) - [0, 1 << (stored - 1), 1 << (stored - 1)]
    rgb = np.array([y + 1.402 * cr, y - 0.3441 * cb - 0.7141 * cr, y + 1.772 * cb])
    return np.clip(np.floor(rgb + 0.5), 0, (1 << stored) - 1)


def colour():
    rows, columns = 8, 32
    # PALETTE COLOR: 16-bit entries, whatever bits the indices keep.
    ramp = np.arange(256)
    tables = (65535 - ramp * 257, ramp * 257, np.full(256, 32768))
    for stored in (10, 12):
        indices = (np.arange(rows * columns).reshape(rows, columns, 1) * 7) % 256
        indices[0, :8] |= 0xF000 & ~((1 << stored) - 1)
        colour_file("palette%d_entries16.dcm" % stored, indices, "PALETTE COLOR", stored,
                    tables=tables)

    # YBR_FULL: a grey ramp, then colours over the whole range.
    for stored in (9, 12, 15):
        top = (1 << stored) - 1
        ybr = RNG.integers(0, top + 1, size=(rows, columns, 3))
        ybr[:4, :, 0] = np.arange(columns) * top // (columns - 1)
        ybr[:4, :, 1:] = 1 << (stored - 1)
        for rle in (False, True):
            for planar in (0, 1):
                name = "ybr%d_%s_planar%d.dcm" % (stored, "rle" if rle else "native", planar)
                probe = (5, 6, "(%.2f, %.2f, %.2f) " % tuple(ybr_rgb(ybr[6, 5], stored)))
                picture = colour_file(name, ybr, "YBR_FULL", stored, planar, rle,
                                      probe=probe if planar == rle else None)
        if stored == 12:
            # Lossless JPEG keeps the samples: shown as the native file
            # (dcmj2pnm converts such a stream's colour as if of 16 bits).
            native = os.path.join(HERE, "ybr12_native_planar0.dcm")
            subprocess.run(["dcmcjpeg", "--encode-lossless-sv1", native,
                            os.path.join(HERE, "ybr12_lossless.dcm")], check=True)
            CASES.append(["ybr12_lossless", "ybr12_lossless.dcm", "-", str(columns), str(rows),
                          packed(picture), "-", "-", "", "///"])
            # One chroma along each row: pairs share it, and their second
            # pixel's mean with the next pair's is the same.
            ybr[:, :, 1:] = ybr[:, :1, 1:]
            colour_file("ybr12_422.dcm", ybr, "YBR_FULL_422", stored)


def main():
    enhanced_ct()
    modality_luts()
    voi_lut()
    geometry()
    colour()
    with open(os.path.join(HERE, "frame_values.txt"), "w") as f:
        f.write("# made by make_frame_values.py from pydicom %s\n" % pydicom.__version__)
        for c in CASES:
            f.write("\t".join(c) + "\n")


if __name__ == "__main__":
    main()
