#include "Source/zebdicomdirreader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "Source/zebdicomfile.h"
#include "Source/zebdicomvalues.h"
#include "Source/zebseriesorder.h"
#include "Source/zebvrxchain.h"
#include "vrx/extension/dicom/vrx_dicomdirinfo.h"
#include "vrx/extension/dicom/vrx_dicomdirlayout.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_status.h"

namespace {

constexpr const char* kOutOfMemory = "out of memory reading the directory";

std::u16string Text(const vrx::VRX_BasicString<char16_t>& s) {
    return std::u16string(s.view());
}

// What of the series' order `tags` gives and `key` lacks.
void ReadKey(const vrx::VRX_DICOMTagObj& tags, ZEBSeriesKey& key) {
    vrx::VRX_Vector<int32_t> numbers(tags.tag_manager());
    if (!key.hasNumber && tags.read_int_values(0x0020, 0x0013, numbers) && !numbers.empty()) {
        key.hasNumber = true;
        key.number = numbers[0];
    }
    vrx::VRX_Vector<double> values(tags.tag_manager());
    if (!key.hasPosition && tags.read_double_values(0x0020, 0x0032, values) && values.size() == 3) {
        key.hasPosition = true;
        std::copy(values.begin(), values.end(), key.position);
    }
    if (!key.hasOrientation && tags.read_double_values(0x0020, 0x0037, values) && values.size() == 6) {
        key.hasOrientation = true;
        std::copy(values.begin(), values.end(), key.orientation);
    }
}

// The images of one series, appended to `images` in the series' order.
void AddSeries(std::vector<ZEBDirectoryImage>& entries, std::vector<ZEBSeriesKey>& keys,
               std::vector<ZEBDirectoryImage>& images) {
    const bool numbersSuffice = ZEBSeriesOrder::NumbersSuffice(keys);
    if (!numbersSuffice) {
        // The files give what the records lack.
        for (size_t i = 0; i < keys.size(); ++i) {
            const ZEBSeriesKey& k = keys[i];
            if ((k.hasNumber && k.hasPosition && k.hasOrientation) || entries[i].path.empty()) continue;
            ZEBDicomFile file(entries[i].path);
            ZEBVRXError ignored;
            if (file.Load(ignored)) ReadKey(file.info, keys[i]);
        }
    }
    std::vector<double> slice;
    const std::vector<size_t> order = ZEBSeriesOrder::Sort(keys, slice);
    for (size_t k = 0; k < order.size(); ++k) {
        ZEBDirectoryImage& e = entries[order[k]];
        e.indexInSeries = static_cast<int32_t>(k);
        e.seriesImageCount = static_cast<int32_t>(order.size());
        e.hasInstanceNumber = keys[order[k]].hasNumber;
        e.instanceNumber = keys[order[k]].number;
        e.hasSlicePosition = !numbersSuffice && !std::isnan(slice[order[k]]);
        e.slicePosition = e.hasSlicePosition ? slice[order[k]] : 0.0;
        images.push_back(std::move(e));
    }
}

// What became of a directory file that could not be followed, after its
// File ID in a message.
std::string Cause(const vrx::VRX_DICOMDIRInfo::Unfollowed& u) {
    using Unfollowed = vrx::VRX_DICOMDIRInfo::Unfollowed;
    const std::string leftOut = "; its records are left out";
    switch (u.cause) {
        case Unfollowed::missing: return "is missing" + leftOut;
        case Unfollowed::outside: return "lies outside the DICOMDIR's folder" + leftOut;
        case Unfollowed::unreadable:
            return "cannot be read: " + std::string(std::strerror(u.error)) + leftOut;
        case Unfollowed::not_directory:
            return "is not a directory file; no records are taken from it";
        case Unfollowed::cut_short: return "is cut short" + leftOut;
        case Unfollowed::too_deep:
            return "is nested deeper than " + std::to_string(vrx::VRX_DICOMDIRInfo::kMaxNesting) +
                   " directory files" + leftOut;
        case Unfollowed::no_fitting_records:
        case Unfollowed::misfit_records: {
            const std::string below = u.below == vrx::VRX_DICOMDIRLayout::patient ? "patient"
                                      : u.below == vrx::VRX_DICOMDIRLayout::study  ? "study"
                                                                                   : "series";
            return u.cause == Unfollowed::misfit_records
                       ? "holds records that do not fit under a " + below + "; they are left out"
                       : "holds no records that fit under a " + below;
        }
        case Unfollowed::cycle:
            return "is already being read (it names itself or a directory file that names it); "
                   "its records are not read again";
    }
    return "cannot be followed" + leftOut;
}

}  // namespace

bool ZEBDicomDirReader::IsDirectory(const ZEBDicomFile& parsed) {
    return vrx::VRX_DICOMDIRInfo::is_directory(parsed.info);
}

bool ZEBDicomDirReader::Read(ZEBDicomFile& parsed, const std::string& path,
                             std::vector<ZEBDirectoryImage>& images,
                             std::vector<ZEBUnfollowedFile>& unfollowed, ZEBVRXError& error) {
    images.clear();
    unfollowed.clear();
    vrx::VRX_DICOMDIRInfo dir(&parsed.manager);
    if (!dir.load_parsed(parsed.info, path.c_str())) {
        error.Fail(parsed.manager, "unreadable directory records");
        if (vrx::status_category(error.code) == vrx::VRX_ERROR_OUT_OF_MEMORY)
            error.message = kOutOfMemory;
        return false;
    }
    int32_t seriesIndex = 0;
    try {
        for (const vrx::VRX_DICOMDIRInfo::Unfollowed& u : dir.unfollowed)
            unfollowed.push_back({Text(u.file_id), Cause(u)});
        for (const vrx::VRX_DICOMDIRPatient& patient : dir.patients) {
            for (const vrx::VRX_DICOMDIRStudy& study : patient.studies) {
                for (const vrx::VRX_DICOMDIRSeries& series : study.series) {
                    std::vector<ZEBDirectoryImage> entries;
                    std::vector<ZEBSeriesKey> keys;
                    for (const vrx::VRX_DICOMDIRImage& image : series.images) {
                        ZEBDirectoryImage entry;
                        vrx::VRX_BasicString<char> file_path(&parsed.manager);
                        entry.fileId = Text(image.referenced_file_id);
                        if (dir.resolve_file_id(image.referenced_file_id, file_path,
                                                &entry.outside))
                            entry.path = std::string(file_path.view());
                        entry.patientName = Text(patient.patient_name);
                        entry.patientId = Text(patient.patient_id);
                        entry.studyDate = Text(study.study_date);
                        entry.studyDescription = Text(study.study_description);
                        entry.modality = Text(series.modality);
                        entry.seriesNumber = AttributeText(series.tag_obj, 0x0020, 0x0011);
                        entry.seriesDescription = Text(series.series_description);
                        entry.series = seriesIndex;
                        entries.push_back(std::move(entry));
                        keys.emplace_back();
                        ReadKey(image.tag_obj, keys.back());
                    }
                    AddSeries(entries, keys, images);
                    ++seriesIndex;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        images.clear();
        unfollowed.clear();
        return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, "ZEBDicomDirReader::Read()", kOutOfMemory);
    }
    vrx::VRX_Status status(&parsed.manager);
    parsed.manager.execute(status);
    return true;
}

bool ZEBDicomDirReader::FindInFolder(const std::string& folder, std::string& path) {
    vrx::VRX_DefaultManager manager;
    vrx::VRX_BasicString<char16_t> name(&manager);
    vrx::VRX_BasicString<char> found(&manager);
    struct stat st;
    if (!name.assign(u"DICOMDIR") ||
        !vrx::VRX_DICOMDIRInfo::resolve_file_id(&manager, folder.c_str(), name, found) ||
        ::stat(found.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    path.assign(found.view());
    return true;
}
