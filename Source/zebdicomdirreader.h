#pragma once
// Reads a DICOMDIR into the list of its images in the directory's tree order
// (patients, studies, series), each series in the order a viewer shows it
// (ZEBSeriesOrder), with what the program shows of each and the file each
// refers to.
//
//   ZEBDicomFile parsed("/media/DICOMDIR");
//   std::vector<ZEBDirectoryImage> images;
//   std::vector<ZEBUnfollowedFile> unfollowed;
//   if (parsed.Load(error) && ZEBDicomDirReader::IsDirectory(parsed) &&
//       ZEBDicomDirReader::Read(parsed, "/media/DICOMDIR", images, unfollowed, error)) ...
#include <cstdint>
#include <string>
#include <vector>

struct ZEBDicomFile;
struct ZEBVRXError;

// One image of a DICOMDIR, in the listing's order.
struct ZEBDirectoryImage {
    std::string path;  // the referenced file (UTF-8); empty when it was not found
    bool outside = false;  // not found: its File ID leads outside the DICOMDIR's folder
    std::u16string fileId;  // as the directory gives it
    std::u16string patientName;
    std::u16string patientId;
    std::u16string studyDate;
    std::u16string studyDescription;
    std::u16string modality;
    std::u16string seriesNumber;
    std::u16string seriesDescription;
    int32_t series = 0;            // the series among all of the directory's, from 0
    int32_t indexInSeries = 0;     // its place in the series' order, from 0
    int32_t seriesImageCount = 0;  // images of the series
    bool hasInstanceNumber = false;
    int32_t instanceNumber = 0;
    // The position along the series' slice normal (mm), when the series'
    // order needed positions and the image's is known.
    bool hasSlicePosition = false;
    double slicePosition = 0.0;
};

// A directory file a record of the DICOMDIR names whose records could not
// be had (the record stays, without them).
struct ZEBUnfollowedFile {
    std::u16string fileId;  // as the record gives it
    std::string cause;      // "is missing; its records are left out", ...
};

class ZEBDicomDirReader {
public:
    // Whether a loaded DICOM file is a DICOMDIR: by its media storage class,
    // else by its directory records.
    static bool IsDirectory(const ZEBDicomFile& parsed);
    // The images of a loaded DICOMDIR read from `path`, whose folder holds
    // the files it refers to, and the directory files its records name that
    // could not be followed, in the directory's order. False when its
    // records cannot be read, with the failure in `error`. Where Instance
    // Numbers do not order a series, the images' files give what their
    // records lack.
    static bool Read(ZEBDicomFile& parsed, const std::string& path,
                     std::vector<ZEBDirectoryImage>& images,
                     std::vector<ZEBUnfollowedFile>& unfollowed, ZEBVRXError& error);
    // The DICOMDIR of a folder (named so in any case), as CD viewers find
    // it; false when there is none.
    static bool FindInFolder(const std::string& folder, std::string& path);
};
