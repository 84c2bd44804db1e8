#!/usr/bin/python3
"""DICOMDIRs as vendors' discs lay them out, with small images, and what
zrm-render --list must print for each (expected.txt).

  study_rooted/  STUDY records at the root (no PATIENT record); the images of
                 two patients.
  chained/       a STUDY record whose Referenced File ID names a directory
                 file (ST000000/DIRFILE) holding SERIES records, each naming
                 another (ST000000/SE00000n/DIRFILE) holding the IMAGE records;
                 every File ID is relative to the DICOMDIR's folder.
  empty/         a PATIENT, STUDY and SERIES record but no image.
  shuffled/      a series whose IMAGE records list the Instance Numbers out of
                 order, a series without numbers (the positions are in the
                 files only) and a coronal localiser.

expected.txt holds, per folder, "dir NAME" and then the listing's lines in
order with "{dir}" for the folder: the patients made from each study's first
image, and each series ordered by Instance Number, then by the position along
the slice normal of the first image, then as listed (a model in numpy written
apart from the program).

Run: /usr/bin/python3 make_dicomdir_fixtures.py   (writes beside itself)
"""
import os
import shutil

import numpy as np
import pydicom
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.filebase import DicomBytesIO
from pydicom.sequence import Sequence

HERE = os.path.dirname(os.path.abspath(__file__))
CT = "1.2.840.10008.5.1.4.1.1.2"
DIRECTORY = "1.2.840.10008.1.3.10"
EXPLICIT = "1.2.840.10008.1.2.1"
AXIAL = [1, 0, 0, 0, 1, 0]
CORONAL = [1, 0, 0, 0, 0, -1]


def uid(*parts):
    return "1.2.826.0.1.3680043.10.1139." + ".".join(str(p) for p in parts)


def meta(sop_class, sop_instance):
    m = FileMetaDataset()
    m.MediaStorageSOPClassUID = sop_class
    m.MediaStorageSOPInstanceUID = sop_instance
    m.TransferSyntaxUID = EXPLICIT
    m.ImplementationClassUID = uid(0)
    return m


def save(ds, folder, parts):
    path = os.path.join(folder, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    ds.is_little_endian, ds.is_implicit_VR = True, False
    ds.save_as(path, write_like_original=False)
    return path


def image(folder, parts, patient, study, series, index, number=None, position=None,
          orientation=AXIAL, size=8, spacing=4.0):
    """A CT image of size x size 8-bit samples, each image's values its own."""
    sop = uid(study[0], series[0], index)
    ds = Dataset()
    ds.file_meta = meta(CT, sop)
    ds.SOPClassUID, ds.SOPInstanceUID = CT, sop
    ds.PatientName, ds.PatientID = patient
    ds.StudyInstanceUID, ds.StudyDate, ds.StudyDescription = uid(study[0]), "20240102", study[1]
    ds.SeriesInstanceUID, ds.SeriesNumber, ds.Modality = uid(study[0], series[0]), series[0], "CT"
    ds.SeriesDescription = series[1]
    if number is not None:
        ds.InstanceNumber = number
    if position is not None:
        ds.ImagePositionPatient = list(position)
        ds.ImageOrientationPatient = orientation
    ds.PixelSpacing = [spacing, spacing]
    ds.Rows = ds.Columns = size
    ds.SamplesPerPixel, ds.PhotometricInterpretation = 1, "MONOCHROME2"
    ds.BitsAllocated, ds.BitsStored, ds.HighBit, ds.PixelRepresentation = 8, 8, 7, 0
    values = (np.arange(size * size) * 3 + 17 * index + 40 * series[0]) % 256
    ds.PixelData = values.astype(np.uint8).tobytes()
    save(ds, folder, parts)
    return ds


def record(kind, **attributes):
    r = Dataset()
    r.OffsetOfTheNextDirectoryRecord = 0
    r.RecordInUseFlag = 0xFFFF
    r.OffsetOfReferencedLowerLevelDirectoryEntity = 0
    r.DirectoryRecordType = kind
    for keyword, value in attributes.items():
        setattr(r, keyword, value)
    return r


def image_record(parts, ds, with_number=True):
    r = record("IMAGE", ReferencedFileID=list(parts), ReferencedSOPClassUIDInFile=CT,
               ReferencedSOPInstanceUIDInFile=ds.SOPInstanceUID,
               ReferencedTransferSyntaxUIDInFile=EXPLICIT)
    if with_number:
        r.InstanceNumber = ds.InstanceNumber
    return r


def study_record(ds, **more):
    return record("STUDY", StudyDate=ds.StudyDate, StudyTime="120000",
                  StudyDescription=ds.StudyDescription, StudyInstanceUID=ds.StudyInstanceUID,
                  StudyID="1", AccessionNumber="", **more)


def series_record(ds, **more):
    return record("SERIES", Modality=ds.Modality, SeriesInstanceUID=ds.SeriesInstanceUID,
                  SeriesNumber=ds.SeriesNumber, SeriesDescription=ds.SeriesDescription, **more)


def directory(path, tree):
    """A directory file whose root holds `tree`: (record, [children]) pairs,
    linked by their offsets, the records in depth-first item order."""
    flat = []

    def walk(nodes):
        for rec, children in nodes:
            flat.append((rec, children))
            walk(children)

    walk(tree)
    ds = Dataset()
    ds.file_meta = meta(DIRECTORY, uid(9, len(path)))
    ds.FileSetID = "FIXTURE"
    ds.OffsetOfTheFirstDirectoryRecordOfTheRootDirectoryEntity = 0
    ds.OffsetOfTheLastDirectoryRecordOfTheRootDirectoryEntity = 0
    ds.FileSetConsistencyFlag = 0
    ds.DirectoryRecordSequence = Sequence([rec for rec, _ in flat])
    ds.is_little_endian, ds.is_implicit_VR = True, False
    for _ in range(2):  # the second pass writes the offsets the first one found
        buffer = DicomBytesIO()
        pydicom.dcmwrite(buffer, ds, write_like_original=False)
        placed = pydicom.dcmread(DicomBytesIO(buffer.getvalue()))
        at = {id(rec): r.seq_item_tell
              for (rec, _), r in zip(flat, placed.DirectoryRecordSequence)}

        def link(nodes):
            for k, (rec, children) in enumerate(nodes):
                rec.OffsetOfTheNextDirectoryRecord = at[id(nodes[k + 1][0])] if k + 1 < len(nodes) else 0
                rec.OffsetOfReferencedLowerLevelDirectoryEntity = at[id(children[0][0])] if children else 0
                link(children)

        link(tree)
        ds.OffsetOfTheFirstDirectoryRecordOfTheRootDirectoryEntity = at[id(tree[0][0])] if tree else 0
        ds.OffsetOfTheLastDirectoryRecordOfTheRootDirectoryEntity = at[id(tree[-1][0])] if tree else 0
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(buffer.getvalue())


def order(images):
    """The listing's order of one series: (ds, parts) in directory order."""
    normal = None
    for ds, _ in images:
        if "ImageOrientationPatient" in ds:
            o = np.array(ds.ImageOrientationPatient, dtype=float)
            normal = np.cross(o[:3], o[3:])
            break
    keys = []
    for k, (ds, _) in enumerate(images):
        number = ds.get("InstanceNumber")
        at = (float(np.dot(normal, np.array(ds.ImagePositionPatient, dtype=float)))
              if normal is not None and "ImagePositionPatient" in ds else None)
        keys.append(((0, int(number)) if number is not None else (1, 0),
                     (0, at) if at is not None else (1, 0), k))
    distinct = len({key[0] for key in keys}) == len(keys) and all(key[0][0] == 0 for key in keys)
    return [(images[k], key[1][1] if not distinct and key[1][0] == 0 else None)
            for key, k in sorted((key, key[2]) for key in keys)]


def listing(studies):
    """The expected --list lines: studies of (ds, [series of [(ds, parts)]])."""
    lines, n, s = [], 0, 0
    for study in studies:
        first = study[0][0][0]
        for series in study:
            s += 1
            ranked = order(series)
            for k, ((ds, parts), at) in enumerate(ranked):
                n += 1
                number = ds.get("InstanceNumber")
                text = "instance %d" % number if number is not None else "no number"
                if at is not None:
                    text += ", at %.2f mm" % at
                lines.append("%d\t%s [%s]\t%s %s\tseries %d (%s %s %s)\timage %d of %d (%s)\t{dir}/%s" % (
                    n, first.PatientName, first.PatientID, first.StudyDate, first.StudyDescription, s,
                    ds.Modality, ds.SeriesNumber, ds.SeriesDescription, k + 1, len(ranked), text,
                    "/".join(parts)))
    return lines


def study_rooted(folder):
    """Studies of one patient under one made-up patient, in the order of the
    first study of each."""
    studies, tree = [], []
    for st, patient in ((1, ("Roe^Anna", "RA1")), (2, ("Poe^Ben", "PB2")), (3, ("Roe^Anna", "RA1"))):
        series = []
        for k in range(2):
            parts = ("S%d" % st, "I%d" % k)
            ds = image(folder, parts, patient, (st, "Head"), (1, "Axial"), k, number=k + 1,
                       position=(0, 0, 5 * k))
            series.append((ds, parts))
        studies.append([series])
        first = series[0][0]
        tree.append((study_record(first), [(series_record(first), [
            (image_record(parts, ds), []) for ds, parts in series])]))
    directory(os.path.join(folder, "DICOMDIR"), tree)
    return listing([studies[0], studies[2], studies[1]])


def chained(folder):
    patient, study = ("Chain^Carl", "CC3"), (3, "Chest")
    series_list, series_records = [], []
    for se in range(2):
        images = []
        for k in range(2):
            parts = ("ST000000", "SE%06d" % se, "IM%06d" % k)
            images.append((image(folder, parts, patient, study, (se + 1, "Lung"), k, number=k + 1,
                                 position=(0, 0, 5 * k)), parts))
        series_list.append(images)
        dirfile = ("ST000000", "SE%06d" % se, "DIRFILE")
        directory(os.path.join(folder, *dirfile), [(image_record(p, ds), []) for ds, p in images])
        series_records.append((series_record(images[0][0], ReferencedFileID=list(dirfile),
                                             ReferencedSOPClassUIDInFile=DIRECTORY), []))
    directory(os.path.join(folder, "ST000000", "DIRFILE"), series_records)
    directory(os.path.join(folder, "DICOMDIR"), [
        (study_record(series_list[0][0][0], ReferencedFileID=["ST000000", "DIRFILE"],
                      ReferencedSOPClassUIDInFile=DIRECTORY), [])])
    return listing([series_list])


def empty(folder):
    ds = Dataset()
    ds.StudyDate, ds.StudyDescription, ds.StudyInstanceUID = "20240102", "None", uid(4)
    ds.Modality, ds.SeriesInstanceUID, ds.SeriesNumber = "CT", uid(4, 1), 1
    ds.SeriesDescription = "Nothing"
    directory(os.path.join(folder, "DICOMDIR"), [
        (record("PATIENT", PatientName="Void^Vera", PatientID="VV4"),
         [(study_record(ds), [(series_record(ds), [])])])])
    return []


def shuffled(folder):
    patient, study = ("Shuffle^Sam", "SS5"), (5, "Abdomen")
    numbered, unnumbered = [], []
    for k, number in enumerate((3, 1, 5, 2, 4)):
        parts = ("A", "I%d" % k)
        numbered.append((image(folder, parts, patient, study, (1, "Numbered"), k, number=number,
                               position=(0, 0, 5 * number)), parts))
    for k, z in enumerate((20, 0, 30, 10)):
        parts = ("B", "I%d" % k)
        unnumbered.append((image(folder, parts, patient, study, (2, "Unnumbered"), k,
                                 position=(0, 0, z)), parts))
    parts = ("C", "I0")
    localiser = [(image(folder, parts, patient, study, (3, "Localiser"), 0, number=1,
                        position=(-1, 2, 30), orientation=CORONAL, size=16, spacing=2.0), parts)]
    series = [numbered, unnumbered, localiser]
    first = numbered[0][0]
    directory(os.path.join(folder, "DICOMDIR"), [
        (record("PATIENT", PatientName=first.PatientName, PatientID=first.PatientID),
         [(study_record(first), [
             (series_record(images[0][0]), [(image_record(p, ds, with_number=images is not unnumbered), [])
                                            for ds, p in images]) for images in series])])])
    return listing([series])


def main():
    lines = []
    for name, make in (("study_rooted", study_rooted), ("chained", chained), ("empty", empty),
                       ("shuffled", shuffled)):
        folder = os.path.join(HERE, name)
        shutil.rmtree(folder, ignore_errors=True)
        lines.append("dir " + name)
        lines.extend(make(folder))
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
