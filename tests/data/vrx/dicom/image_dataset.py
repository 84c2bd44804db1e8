"""The skeleton of a small image data set, shared by the fixture, seed and
benchmark scripts: the meta group and the image pixel attributes, with the
samples left to the caller."""
from pydicom.dataset import Dataset, FileMetaDataset
from pydicom.uid import ExplicitVRBigEndian, ExplicitVRLittleEndian

SECONDARY_CAPTURE = "1.2.840.10008.5.1.4.1.1.7"


def image_dataset(rows, columns, bits, samples, photometric, instance_uid,
                  syntax=ExplicitVRLittleEndian, sop_class=SECONDARY_CAPTURE):
    """An explicit VR data set of unsigned samples of `bits` bits (all
    stored) under the transfer syntax `syntax` (big endian for explicit VR
    big endian, else little endian)."""
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = sop_class
    meta.MediaStorageSOPInstanceUID = instance_uid
    meta.TransferSyntaxUID = syntax
    ds = Dataset()
    ds.file_meta = meta
    ds.is_little_endian = syntax != ExplicitVRBigEndian
    ds.is_implicit_VR = False
    ds.SamplesPerPixel = samples
    ds.PhotometricInterpretation = photometric
    ds.Rows = rows
    ds.Columns = columns
    ds.BitsAllocated = bits
    ds.BitsStored = bits
    ds.HighBit = bits - 1
    ds.PixelRepresentation = 0
    return ds
