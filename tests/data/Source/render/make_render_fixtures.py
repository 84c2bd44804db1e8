#!/usr/bin/python3
"""Expected renders of pydicom's test files by zrm-render at zoom 1 without
annotations, made independently of it.

Every file under pydicom's test_files gets one line:
  PATH ok WIDTH HEIGHT CHANNELS TOLERANCE DATA [lossless]
  PATH fail CATEGORY
DATA is the expected picture (rows top first; one grey sample or red, green,
blue per pixel; non-square grey pixels interpolated onto the tile's rows,
which the pixel spacing's aspect gives), zlib-compressed and base64-encoded;
TOLERANCE the largest difference allowed per sample: 2 for lossy JPEG, 3 for
lossy JPEG colour coded as YCbCr (a difference of 1 in Y, Cb and Cr, which
decoders' inverse transforms may have, grows to 3 in RGB), else 1.
"lossless" marks lossless JPEG. A DICOMDIR renders the first image it lists
(first_directory_image). CATEGORY names why a file cannot render: nodicm
(no "DICM" at offset 128), empty (a DICOMDIR without images),
nopixels, unsupported (transfer syntax or JPEG process), corrupt (a data set
that does not match its transfer syntax, or truncated pixel data).

Pixels come from pydicom's pixel_array (modality LUT applied), lossy JPEG
frames from libjpeg-turbo's "djpeg -dct int -nosmooth" (a stream without
JFIF or Adobe segment gets an Adobe segment naming the colour space of its
DICOM photometric interpretation, as DICOM readers take it), lossless JPEG
from dcmtk's dcmdjpeg. Grey images go through DICOM's linear VOI function with the
file's first window, else the frame's range (centre (min + max + 1) / 2,
width max - min + 1), rounded half up; MONOCHROME1 is inverted; YBR colour is
converted to RGB by pydicom; colour of more than 8 bits is scaled over its
range.

Run: /usr/bin/python3 make_render_fixtures.py > pydicom_render.txt
"""
import base64
import os
import subprocess
import sys
import tempfile
import warnings
import zlib

import numpy as np
import pydicom
from pydicom.encaps import generate_pixel_data_frame
from pydicom.pixel_data_handlers.util import apply_modality_lut, convert_color_space

ROOT = "/usr/lib/python3/dist-packages/pydicom/data/test_files"
NATIVE = {"1.2.840.10008.1.2", "1.2.840.10008.1.2.1", "1.2.840.10008.1.2.2"}
RLE = "1.2.840.10008.1.2.5"
JPEG = {"1.2.840.10008.1.2.4.50", "1.2.840.10008.1.2.4.51", "1.2.840.10008.1.2.4.57",
        "1.2.840.10008.1.2.4.70"}


def jpeg_markers(data):
    """The start-of-frame marker, its precision and component count, and
    whether the stream carries a JFIF or an Adobe segment (and the Adobe
    transform), up to the first scan."""
    info = {"sof": None, "precision": None, "components": 0, "jfif": False, "adobe": None}
    i = 2
    while i + 4 <= len(data) and data[i] == 0xFF:
        marker, length = data[i + 1], data[i + 2] << 8 | data[i + 3]
        segment = data[i + 4:i + 2 + length]
        if marker == 0xE0 and segment[:5] == b"JFIF\0":
            info["jfif"] = True
        elif marker == 0xEE and segment[:5] == b"Adobe" and len(segment) >= 12:
            info["adobe"] = segment[11]
        elif 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            info.update(sof=marker, precision=segment[0], components=segment[5])
        elif marker == 0xDA:
            break
        i += 2 + length
    return info


def run(args, **kw):
    return subprocess.run(args, check=True, capture_output=True, **kw).stdout


def read_pnm(data):
    parts = data.split(maxsplit=4)
    kind, width, height = parts[0], int(parts[1]), int(parts[2])
    pixels = np.frombuffer(parts[4], dtype=np.uint8)
    return pixels.reshape(height, width, 3) if kind == b"P6" else pixels.reshape(height, width)


def voi(values, centre, width):
    if width <= 1:
        return np.where(values <= centre - 0.5, 0.0, 255.0)
    y = ((values - (centre - 0.5)) / (width - 1) + 0.5) * 255.0
    return np.floor(np.clip(y, 0.0, 255.0) + 0.5)


def interpolate_rows(values, rows):
    """Linear interpolation of the rows onto `rows` rows, centre-aligned:
    new row i lies at old row (i + 0.5) x old / rows - 0.5 between its two
    neighbours, the edge rows repeated outside."""
    old = values.shape[0]
    out = np.zeros((rows,) + values.shape[1:])
    for i in range(rows):
        q = (i + 0.5) * old / rows - 0.5
        j = int(np.floor(q))
        w = q - j
        out[i] = values[min(max(j, 0), old - 1)] * (1 - w) + values[min(max(j + 1, 0), old - 1)] * w
    return out


def shown_rows(ds, rows):
    """Rows of the tile at zoom 1: the image's height times its vertical
    aspect (row spacing over column spacing), rounded."""
    spacing = ds.get("PixelSpacing")
    if spacing is not None and float(spacing[0]) > 0 and float(spacing[1]) > 0:
        return int(np.floor(rows * float(spacing[0]) / float(spacing[1]) + 0.5))
    return rows


def first(ds, keyword):
    value = ds.get(keyword)
    if value is None or value == "":
        return None
    return float(value[0]) if isinstance(value, pydicom.multival.MultiValue) else float(value)


def frame_pixels(path, ds):
    """Frame 1 as decoded, and its tolerance: 3 for lossy colour coded as
    YCbCr (a difference of 1 in Y, Cb and Cr grows to 3 in RGB), 2 for other
    lossy JPEG, else 1; and whether it is lossless JPEG."""
    syntax = ds.file_meta.TransferSyntaxUID
    if syntax in JPEG:
        frame = next(generate_pixel_data_frame(ds.PixelData, int(ds.get("NumberOfFrames", 1))))
        info = jpeg_markers(frame)
        if info["sof"] in (0xC0, 0xC2) and info["precision"] == 8:
            ycbcr = info["components"] == 3 and (
                info["jfif"] or info["adobe"] == 1 or
                (info["adobe"] is None and ds.PhotometricInterpretation.startswith("YBR")))
            if not info["jfif"] and info["adobe"] is None:
                # A stream that names no colour space is read in the one
                # its DICOM photometric interpretation gives.
                adobe = b"Adobe\0\x64\0\0\0\0" + bytes([1 if ycbcr else 0])
                frame = frame[:2] + b"\xFF\xEE\x00\x0E" + adobe + frame[2:]
            with tempfile.NamedTemporaryFile(suffix=".jpg") as f:
                f.write(frame)
                f.flush()
                pixels = read_pnm(run(["djpeg", "-dct", "int", "-nosmooth", "-pnm", f.name]))
            return pixels, 3 if ycbcr else 2, False
        if info["sof"] != 0xC3:
            raise LookupError("unsupported")
        with tempfile.TemporaryDirectory() as d:
            out = os.path.join(d, "plain.dcm")
            run(["dcmdjpeg", path, out])
            plain = pydicom.dcmread(out)
            pixels = plain.pixel_array
            return (pixels if int(plain.get("NumberOfFrames", 1)) == 1 else pixels[0]), 1, True
    try:
        frames = int(ds.get("NumberOfFrames", 1))
    except ValueError:  # an unreadable count is one frame
        ds.NumberOfFrames = 1
        frames = 1
    pixels = ds.pixel_array
    return (pixels[0] if frames > 1 else pixels), 1, False


def render(path, ds):
    pixels, tolerance, lossless = frame_pixels(path, ds)
    decoded_rgb = tolerance > 1  # djpeg gives RGB
    samples = int(ds.SamplesPerPixel)
    if samples == 1:
        values = apply_modality_lut(pixels, ds).astype(np.float64)
        centre, width = first(ds, "WindowCenter"), first(ds, "WindowWidth")
        if centre is None or width is None or width < 1:
            low, high = float(values.min()), float(values.max())
            centre, width = (low + high + 1) / 2, high - low + 1
        rows = shown_rows(ds, values.shape[0])
        if rows != values.shape[0]:
            values = interpolate_rows(values, rows)
        out = voi(values, centre, width)
        if ds.PhotometricInterpretation == "MONOCHROME1":
            out = 255 - out
    else:
        out = pixels
        if ds.PhotometricInterpretation.startswith("YBR") and not decoded_rgb:
            out = convert_color_space(out, ds.PhotometricInterpretation, "RGB")
        bits = int(ds.BitsAllocated)
        if bits > 8:
            out = np.floor(out.astype(np.float64) * 255.0 / (2.0 ** bits - 1) + 0.5)
    return np.asarray(out).astype(np.uint8), tolerance, lossless


def first_directory_image(path, ds):
    """The first image the program lists: of the first series in tree order,
    the one with the lowest Instance Number. A directory without patient
    records is walked from its records no link leads to, through records of
    other types."""
    records = ds.DirectoryRecordSequence
    linked = {r.get(k) for r in records for k in ("OffsetOfTheNextDirectoryRecord",
                                                  "OffsetOfReferencedLowerLevelDirectoryEntity")}
    roots = list(ds.patient_records) or [r for r in records if r.seq_item_tell not in linked]

    def first_series(record):
        if record.DirectoryRecordType == "SERIES":
            images = [c for c in getattr(record, "children", []) if c.DirectoryRecordType == "IMAGE"]
            return min(images, key=lambda i: int(i.InstanceNumber)) if images else None
        for child in getattr(record, "children", []):
            found = first_series(child)
            if found is not None:
                return found
        return None

    for root in roots:
        image = first_series(root)
        if image is not None:
            parts = image.ReferencedFileID
            parts = [parts] if isinstance(parts, str) else list(parts)
            return os.path.join(os.path.dirname(path), *parts)
    return None


def classify(path):
    with open(path, "rb") as f:
        head = f.read(132)
    if head[128:132] != b"DICM":
        return "fail nodicm"
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        ds = pydicom.dcmread(path)
    if "TransferSyntaxUID" not in ds.file_meta:
        return "fail corrupt"
    if ds.file_meta.get("MediaStorageSOPClassUID") == "1.2.840.10008.1.3.10":
        image = first_directory_image(path, ds)
        return classify(image) if image else "fail empty"
    if "PixelData" not in ds:
        return "fail nopixels"
    if ds.file_meta.TransferSyntaxUID not in NATIVE | JPEG | {RLE}:
        return "fail unsupported"
    try:
        picture, tolerance, lossless = render(path, ds)
    except LookupError:
        return "fail unsupported"
    except ValueError as e:
        if "length of the pixel data" in str(e):
            return "fail corrupt"
        raise
    except AttributeError as e:  # image attributes missing
        if "required elements are missing" in str(e):
            return "fail corrupt"
        raise
    channels = 1 if picture.ndim == 2 else picture.shape[2]
    data = base64.b64encode(zlib.compress(picture.tobytes(), 9)).decode()
    return "ok %d %d %d %d %s%s" % (picture.shape[1], picture.shape[0], channels, tolerance, data,
                                    " lossless" if lossless else "")


def main():
    warnings.simplefilter("ignore")
    names = []
    for folder, _, files in os.walk(ROOT):
        names += [os.path.relpath(os.path.join(folder, f), ROOT) for f in files]
    print("# made by make_render_fixtures.py from pydicom %s" % pydicom.__version__)
    for name in sorted(names):
        print(name, classify(os.path.join(ROOT, name)))
    sys.stdout.flush()


if __name__ == "__main__":
    main()
