#!/usr/bin/python3
"""Writes the inputs of the data-set reader benchmarks into a folder (the
build tree; nothing here is committed):

- fileset/: 10,000 small generated CT images (100 patients x 2 studies x 2
  series x 25 images) and the DICOMDIR that dcmtk's dcmmkdir makes over them
  (10,700 directory records).
- ct.dcm: a 512 x 512 16-bit CT image in explicit VR little endian, the
  header of pydicom's CT_small.dcm with new pixel data.

Usage: /usr/bin/python3 bench/dicomlib/make_bench_data.py <folder>
Runs under Debian's python3-pydicom and python3-numpy; needs dcmmkdir.
"""
import os
import subprocess
import sys

import numpy as np
import pydicom
from pydicom.data import get_testdata_file
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.uid import ExplicitVRLittleEndian, generate_uid

CT_IMAGE_STORAGE = "1.2.840.10008.5.1.4.1.1.2"
PATIENTS, STUDIES, SERIES, IMAGES = 100, 2, 2, 25


def small_image(patient, study, series, image, uids):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = CT_IMAGE_STORAGE
    meta.MediaStorageSOPInstanceUID = uids["sop"]
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.SpecificCharacterSet = "ISO_IR 100"
    ds.ImageType = ["ORIGINAL", "PRIMARY", "AXIAL"]
    ds.SOPClassUID = CT_IMAGE_STORAGE
    ds.SOPInstanceUID = uids["sop"]
    ds.StudyDate = "2024%02d%02d" % (1 + study, 1 + patient % 28)
    ds.StudyTime = "1200%02d" % series
    ds.AccessionNumber = "A%05d%d" % (patient, study)
    ds.Modality = "CT"
    ds.Manufacturer = "Bench"
    ds.StudyDescription = "Study %d of patient %d" % (study, patient)
    ds.SeriesDescription = "Series %d" % series
    ds.PatientName = "Patient^%05d" % patient
    ds.PatientID = "P%05d" % patient
    ds.PatientBirthDate = "19700101"
    ds.PatientSex = "O"
    ds.StudyInstanceUID = uids["study"]
    ds.SeriesInstanceUID = uids["series"]
    ds.StudyID = str(study + 1)
    ds.SeriesNumber = series + 1
    ds.InstanceNumber = image + 1
    ds.ImagePositionPatient = [0, 0, image * 2.5]
    ds.ImageOrientationPatient = [1, 0, 0, 0, 1, 0]
    ds.SliceThickness = "2.5"
    ds.SamplesPerPixel = 1
    ds.PhotometricInterpretation = "MONOCHROME2"
    ds.Rows = 8
    ds.Columns = 8
    ds.PixelSpacing = [0.5, 0.5]
    ds.BitsAllocated = 16
    ds.BitsStored = 12
    ds.HighBit = 11
    ds.PixelRepresentation = 0
    ds.RescaleIntercept = "-1024"
    ds.RescaleSlope = "1"
    ds.PixelData = (np.arange(64, dtype="<u2") * (image + 1)).tobytes()
    return ds


def make_fileset(folder):
    fileset = os.path.join(folder, "fileset")
    if os.path.exists(os.path.join(fileset, "DICOMDIR")):
        return
    os.makedirs(fileset, exist_ok=True)
    names = []
    for p in range(PATIENTS):
        for st in range(STUDIES):
            study = generate_uid()
            for se in range(SERIES):
                series = generate_uid()
                sub = os.path.join("P%04d" % p, "S%d" % st, "E%d" % se)
                os.makedirs(os.path.join(fileset, sub), exist_ok=True)
                for im in range(IMAGES):
                    uids = {"study": study, "series": series, "sop": generate_uid()}
                    name = os.path.join(sub, "I%04d" % im)
                    small_image(p, st, se, im, uids).save_as(os.path.join(fileset, name), write_like_original=False)
                    names.append(name)
    subprocess.run(["dcmmkdir", "-q", "+r", "+I", "+id", fileset, "+D", os.path.join(fileset, "DICOMDIR")],
                   check=True)


def make_ct(folder):
    target = os.path.join(folder, "ct.dcm")
    if os.path.exists(target):
        return
    ds = pydicom.dcmread(get_testdata_file("CT_small.dcm"))
    small = ds.pixel_array.astype(np.int32)
    big = np.kron(small, np.ones((4, 4), dtype=np.int32)).astype("<i2")
    ds.Rows, ds.Columns = big.shape
    ds.PixelData = big.tobytes()
    ds.save_as(target, write_like_original=False)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    make_ct(folder)
    make_fileset(folder)


if __name__ == "__main__":
    main()
