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
  chain_missing/ two STUDY records chained as in chained/; the second one's
                 directory file is not there.
  chain_cut/     a study's three series chained through directory files; the
                 second series' file is cut inside its third of four records.
  chain_broken/  a study's series records naming, besides a directory file,
                 an image file, their own directory file and a folder.
  chain_gone/    a STUDY record naming a directory file that is not there, and
                 no other record.
  control_text/  text with control characters, in UTF-8: a patient name with an
                 ESC, a study description with a line break, a series
                 description with a tab and a C1 character, and a missing
                 directory file whose File ID holds an ESC.
  chain_misfit/  a patient's STUDY records naming directory files: the second
                 one's file is a copy of the DICOMDIR (none of its records fits
                 under a study), the third names the DICOMDIR itself; the first
                 one's SERIES records name, besides the file of their images,
                 one of presentation state and report records (they fit, and
                 are not listed), one without records and one of a STUDY
                 record.
  chain_mixed/   a series record naming a directory file of its two IMAGE
                 records and a STUDY record with an image under it (which does
                 not fit under a series).
  file_id_paths/ File IDs read as paths: ".\\IMI" and "A\\..\\IMJ" name
                 files of the folder, "A\\\\..\\..\\IMX" one outside it; a
                 series record names the directory file ".\\S2\\DIRFILE",
                 another one "..\\OUT\\DIRFILE", outside the folder.

expected.txt holds, per folder, "dir NAME", then a line "warning WORDS" for
each directory file that cannot be followed or holds records that do not fit,
in the directory's order (the program's warning lines read "zrm-render:
INPUT: warning: WORDS"), then the listing's lines in order with "{dir}" for
the folder (an image outside it shown by its File ID after "(outside the
DICOMDIR's folder)"): the patients made from each study's first image, and
each series ordered by Instance Number, then by the position along the slice
normal of the first image, then as listed (a model in numpy written apart
from the program). A series whose directory file
cannot be followed keeps its number and lists no image. The records of a cut
directory file are all left out: the DICOM reader keeps a sequence only when
it reads all of it.

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


def directory(path, tree, charset=None):
    """A directory file whose root holds `tree`: (record, [children]) pairs,
    linked by their offsets, the records in depth-first item order."""
    flat = []

    def walk(nodes):
        for rec, children in nodes:
            flat.append((rec, children))
            walk(children)

    walk(tree)
    ds = Dataset()
    # Numbered by the length of the file's path as the first fixtures were
    # made, in a folder of 45 characters with its slash: a run from any
    # folder writes the same bytes.
    ds.file_meta = meta(DIRECTORY, uid(9, 45 + len(os.path.relpath(path, HERE))))
    ds.FileSetID = "FIXTURE"
    if charset:
        ds.SpecificCharacterSet = charset
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


def shown(text):
    """Text as the program prints it: control characters (C0, DEL, C1) as
    escapes, the rest as it is."""
    names = {0: "\\0", 9: "\\t", 10: "\\n", 13: "\\r"}
    return "".join(names.get(ord(c), "\\x%02x" % ord(c)) if ord(c) < 0x20 or ord(c) == 0x7F else
                   "\\u%04x" % ord(c) if 0x80 <= ord(c) < 0xA0 else c for c in str(text))


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
                lines.append("%d\t%s [%s]\t%s %s\tseries %d (%s %s %s)\timage %d of %d (%s)\t%s" % (
                    n, shown(first.PatientName), first.PatientID, first.StudyDate,
                    shown(first.StudyDescription), s, ds.Modality, ds.SeriesNumber,
                    shown(ds.SeriesDescription), k + 1, len(ranked), text,
                    "{dir}/" + "/".join(parts) if isinstance(parts, tuple) else
                    "(outside the DICOMDIR's folder) " + "\\".join(parts)))
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


def series_chain(folder, st, patient, study, series_numbers, count=2):
    """Series of `count` images in folders st/SE0000nn, each with a
    directory file st/SE0000nn/DIRFILE holding their IMAGE records; the
    series' images and the SERIES records naming those files."""
    series_list, records = [], []
    for se in series_numbers:
        images = []
        for k in range(count):
            parts = (st, "SE%06d" % (se - 1), "IM%06d" % k)
            images.append((image(folder, parts, patient, study, (se, "Lung"), k, number=k + 1,
                                 position=(0, 0, 5 * k)), parts))
        series_list.append(images)
        dirfile = (st, "SE%06d" % (se - 1), "DIRFILE")
        directory(os.path.join(folder, *dirfile), [(image_record(p, ds), []) for ds, p in images])
        records.append((series_record(images[0][0], ReferencedFileID=list(dirfile),
                                      ReferencedSOPClassUIDInFile=DIRECTORY), []))
    return series_list, records


def study_chain_record(first, st):
    return (study_record(first, ReferencedFileID=[st, "DIRFILE"],
                         ReferencedSOPClassUIDInFile=DIRECTORY), [])


def warning(file_id, words):
    return "warning directory file %s %s" % (shown(file_id), words)


LEFT_OUT = "; its records are left out"


def chain_missing(folder):
    """Two studies, each a directory file of one series; the second study's
    file is removed."""
    studies, roots = [], []
    for st in range(2):
        study = (10 + st, "Chest %d" % st)
        series_list, records = series_chain(folder, "ST%06d" % st, ("Chain^Mia", "CM10"), study, [1])
        directory(os.path.join(folder, "ST%06d" % st, "DIRFILE"), records)
        studies.append(series_list)
        roots.append(study_chain_record(series_list[0][0][0], "ST%06d" % st))
    directory(os.path.join(folder, "DICOMDIR"), roots)
    os.remove(os.path.join(folder, "ST000001", "DIRFILE"))
    return [warning("ST000001\\DIRFILE", "is missing" + LEFT_OUT)] + listing([studies[0]])


def chain_cut(folder):
    """Three series of four images; the second series' directory file is cut
    inside its third record, after two whole ones."""
    series_list, records = series_chain(folder, "ST000002", ("Chain^Cy", "CC12"), (12, "Chest"),
                                        [1, 2, 3], count=4)
    directory(os.path.join(folder, "ST000002", "DIRFILE"), records)
    directory(os.path.join(folder, "DICOMDIR"), [study_chain_record(series_list[0][0][0], "ST000002")])
    path = os.path.join(folder, "ST000002", "SE000001", "DIRFILE")
    third = pydicom.dcmread(path).DirectoryRecordSequence[2].seq_item_tell
    with open(path, "rb") as f:
        data = f.read()
    assert third + 40 < len(data)
    with open(path, "wb") as f:
        f.write(data[:third + 40])
    return ([warning("ST000002\\SE000001\\DIRFILE", "is cut short" + LEFT_OUT)] +
            listing([[series_list[0], [], series_list[2]]]))


def chain_broken(folder):
    """A patient's study whose directory file holds four series records: the
    first names its series' directory file; the second an image file, the
    third the study's directory file itself and the fourth a folder (the one
    holding its image)."""
    patient, study = ("Chain^Bo", "CB13"), (13, "Chest")
    series_list, records = series_chain(folder, "ST000003", patient, study, [1, 2, 3, 4], count=1)
    names = [None, ["ST000003", "SE000001", "IM000000"], ["ST000003", "DIRFILE"],
             ["ST000003", "SE000003"]]
    for (rec, _), name in zip(records, names):
        if name:
            rec.ReferencedFileID = name
    for se in (2, 3, 4):
        os.remove(os.path.join(folder, "ST000003", "SE%06d" % (se - 1), "DIRFILE"))
    directory(os.path.join(folder, "ST000003", "DIRFILE"), records)
    first = series_list[0][0][0]
    directory(os.path.join(folder, "DICOMDIR"), [
        (record("PATIENT", PatientName=first.PatientName, PatientID=first.PatientID),
         [study_chain_record(first, "ST000003")])])
    return [warning("ST000003\\SE000001\\IM000000",
                    "is not a directory file; no records are taken from it"),
            warning("ST000003\\DIRFILE", "is already being read (it names itself or a directory "
                    "file that names it); its records are not read again"),
            warning("ST000003\\SE000003", "cannot be read: Is a directory" + LEFT_OUT)] + \
        listing([[series_list[0], [], [], []]])


def chain_gone(folder):
    """The one study's directory file is not there: no image at all."""
    ds = Dataset()
    ds.StudyDate, ds.StudyDescription, ds.StudyInstanceUID = "20240102", "Gone", uid(14)
    directory(os.path.join(folder, "DICOMDIR"), [study_chain_record(ds, "ST000004")])
    return [warning("ST000004\\DIRFILE", "is missing" + LEFT_OUT)]


def chain_misfit(folder):
    """Three studies of a patient: the first one's directory file holds its
    series, the second one's is a copy of the DICOMDIR (its PATIENT and STUDY
    records fit under no study), the third names the DICOMDIR itself. The
    first study's series 2 to 4 name directory files of records the listing
    does not show (a presentation state and a report), of no records, and of
    a STUDY record."""
    patient = ("Chain^Fay", "CF15")
    studies, records = [], []
    for st in range(2):
        series_list, series_records = series_chain(folder, "ST%06d" % (st + 5), patient,
                                                   (15 + st, "Chest %d" % st), [1])
        if st == 0:
            first = series_list[0][0][0]
            unlisted = [record("PRESENTATION", ReferencedFileID=["ST000005", "PR000000"],
                               ReferencedSOPClassUIDInFile="1.2.840.10008.5.1.4.1.1.11.1"),
                        record("SR DOCUMENT", ReferencedFileID=["ST000005", "SR000000"],
                               ReferencedSOPClassUIDInFile="1.2.840.10008.5.1.4.1.1.88.11")]
            for se, held in ((2, [(r, []) for r in unlisted]), (3, []), (4, [(study_record(first), [])])):
                dirfile = ("ST000005", "SE%06d" % (se - 1), "DIRFILE")
                directory(os.path.join(folder, *dirfile), held)
                series_records.append((record("SERIES", Modality=first.Modality, SeriesInstanceUID=uid(15, se),
                                              SeriesNumber=se, SeriesDescription="Apart",
                                              ReferencedFileID=list(dirfile),
                                              ReferencedSOPClassUIDInFile=DIRECTORY), []))
                series_list.append([])
        directory(os.path.join(folder, "ST%06d" % (st + 5), "DIRFILE"), series_records)
        studies.append(series_list)
        records.append(study_chain_record(series_list[0][0][0], "ST%06d" % (st + 5)))
    ds = Dataset()
    ds.StudyDate, ds.StudyDescription, ds.StudyInstanceUID = "20240102", "Itself", uid(17)
    records.append((study_record(ds, ReferencedFileID=["DICOMDIR"], ReferencedSOPClassUIDInFile=DIRECTORY),
                    []))
    path = os.path.join(folder, "DICOMDIR")
    directory(path, [(record("PATIENT", PatientName=patient[0], PatientID=patient[1]), records)])
    shutil.copyfile(path, os.path.join(folder, "ST000006", "DIRFILE"))
    return [warning("ST000005\\SE000002\\DIRFILE", "holds no records that fit under a series"),
            warning("ST000005\\SE000003\\DIRFILE", "holds no records that fit under a series"),
            warning("ST000006\\DIRFILE", "holds no records that fit under a study"),
            warning("DICOMDIR", "is already being read (it names itself or a directory file that names "
                    "it); its records are not read again")] + listing([studies[0]])


def chain_mixed(folder):
    """A series whose directory file holds its first two images' records
    and a STUDY record with the third one's under it: the two are listed,
    the file is said to hold records that do not fit."""
    patient = ("Mixed^Max", "MM19")
    series_list, records = series_chain(folder, "ST000007", patient, (19, "Chest"), [1], count=3)
    images = series_list[0]
    held = [(image_record(p, ds), []) for ds, p in images[:2]]
    held.append((study_record(images[0][0]), [(image_record(images[2][1], images[2][0]), [])]))
    directory(os.path.join(folder, "ST000007", "SE000000", "DIRFILE"), held)
    directory(os.path.join(folder, "DICOMDIR"), [
        (record("PATIENT", PatientName=patient[0], PatientID=patient[1]),
         [(study_record(images[0][0]), records)])])
    return ([warning("ST000007\\SE000000\\DIRFILE",
                     "holds records that do not fit under a series; they are left out")] +
            listing([[images[:2]]]))


def file_id_paths(folder):
    """File IDs through ".", ".." and empty components, read as paths: the
    first series' images by ".\\IMI", "A\\..\\IMJ" (no folder A) and
    "A\\\\..\\..\\IMX" (outside the folder); the second series' directory file
    by ".\\S2\\DIRFILE", the third one's by "..\\OUT\\DIRFILE"."""
    patient, study = ("Path^Pat", "PP20"), (20, "Head")
    first, held = [], []
    for k, (name, file_id) in enumerate((("IMI", [".", "IMI"]), ("IMJ", ["A", "..", "IMJ"]),
                                         ("IMX", ["A", "", "..", "..", "IMX"]))):
        ds = image(folder, (name,), patient, study, (1, "Axial"), k, number=k + 1)
        first.append((ds, (name,) if name != "IMX" else file_id))
        held.append((image_record(file_id, ds), []))
    os.remove(os.path.join(folder, "IMX"))
    series_list, records = series_chain(folder, "S2", patient, study, [2, 3])
    series_list[1] = []
    for (rec, _), file_id in zip(records, ([".", "S2", "DIRFILE"], ["..", "OUT", "DIRFILE"])):
        rec.ReferencedFileID = file_id
    os.rename(os.path.join(folder, "S2", "SE000001", "DIRFILE"), os.path.join(folder, "S2", "DIRFILE"))
    shutil.rmtree(os.path.join(folder, "S2", "SE000002"))
    directory(os.path.join(folder, "DICOMDIR"), [
        (record("PATIENT", PatientName=patient[0], PatientID=patient[1]),
         [(study_record(first[0][0]), [(series_record(first[0][0]), held)] + records)])])
    return ([warning("..\\OUT\\DIRFILE", "lies outside the DICOMDIR's folder" + LEFT_OUT)] +
            listing([[first] + series_list]))


def control_text(folder):
    """A study whose texts hold control characters, and a second one whose
    directory file, named with an ESC, is not there."""
    patient, first = ("Ctrl\x1b[2J^Cy", "CC18"), []
    for k in range(2):
        parts = ("S", "I%d" % k)
        ds = image(folder, parts, patient, (18, "Head\nNeck"), (1, "Lung\tAxial\u0085"), k, number=k + 1)
        ds.SpecificCharacterSet = "ISO_IR 192"
        save(ds, folder, parts)
        first.append((ds, parts))
    gone = Dataset()
    gone.StudyDate, gone.StudyDescription, gone.StudyInstanceUID = "20240102", "Gone", uid(18, 2)
    tree = [(study_record(first[0][0]), [(series_record(first[0][0]), [
        (image_record(parts, ds), []) for ds, parts in first])]),
        (study_record(gone, ReferencedFileID=["ST\x1b[2J", "DIRFILE"], ReferencedSOPClassUIDInFile=DIRECTORY),
         [])]
    directory(os.path.join(folder, "DICOMDIR"), [(record("PATIENT", PatientName=patient[0],
                                                        PatientID=patient[1]), tree)], "ISO_IR 192")
    return [warning("ST\x1b[2J\\DIRFILE", "is missing" + LEFT_OUT)] + listing([[first]])


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
                       ("shuffled", shuffled), ("chain_missing", chain_missing),
                       ("chain_cut", chain_cut), ("chain_broken", chain_broken),
                       ("chain_gone", chain_gone), ("chain_misfit", chain_misfit),
                       ("control_text", control_text), ("chain_mixed", chain_mixed),
                       ("file_id_paths", file_id_paths)):
        folder = os.path.join(HERE, name)
        shutil.rmtree(folder, ignore_errors=True)
        lines.append("dir " + name)
        lines.extend(make(folder))
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
