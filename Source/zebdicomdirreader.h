#pragma once
// Reads a DICOMDIR into the list of its images in the directory's tree
// order (patients, studies, series, images), with what the program shows of
// each and the file each refers to.
//
//   std::vector<ZEBDirectoryImage> images;
//   bool isDirectory = false;
//   if (!ZEBDicomDirReader::Read("/media/DICOMDIR", images, isDirectory, error)) ...
#include <cstdint>
#include <string>
#include <vector>

struct ZEBVRXError;

// One image of a DICOMDIR, in the directory's tree order.
struct ZEBDirectoryImage {
    std::string path;  // the referenced file (UTF-8); empty when it was not found
    std::u16string fileId;
    std::u16string patientName;
    std::u16string patientId;
    std::u16string studyDate;
    std::u16string studyDescription;
    std::u16string modality;
    std::u16string seriesNumber;
    std::u16string seriesDescription;
    int32_t series = 0;            // the series among all of the directory's, from 0
    int32_t indexInSeries = 0;     // from 0
    int32_t seriesImageCount = 0;  // images of the series
    int32_t instanceNumber = 0;
};

class ZEBDicomDirReader {
public:
    // False when the file is not a DICOMDIR or cannot be read, with the
    // failure in `error`; `isDirectory` tells which (true once the file was
    // read as one).
    static bool Read(const std::string& path, std::vector<ZEBDirectoryImage>& images,
                     bool& isDirectory, ZEBVRXError& error);
};
