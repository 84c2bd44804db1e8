#include "Source/zebdicomdirreader.h"

#include <new>

#include "Source/zebdicomfile.h"
#include "Source/zebdicomvalues.h"
#include "Source/zebvrxchain.h"
#include "vrx/extension/dicom/vrx_dicomdirinfo.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_status.h"

namespace {

std::u16string Text(const vrx::VRX_BasicString<char16_t>& s) {
    return std::u16string(s.view());
}

}  // namespace

bool ZEBDicomDirReader::Read(const std::string& path, std::vector<ZEBDirectoryImage>& images,
                             bool& isDirectory, ZEBVRXError& error) {
    images.clear();
    isDirectory = false;
    vrx::VRX_DefaultManager manager;
    ZEBFileStorage file(manager, path);
    if (!file.get()) return error.Fail(manager, "cannot open the file");
    vrx::VRX_DICOMDIRInfo dir(&manager);
    if (!dir.load(file.get())) return error.Fail(manager, "not a DICOMDIR");
    isDirectory = true;
    int32_t seriesIndex = 0;
    try {
        for (const vrx::VRX_DICOMDIRPatient& patient : dir.patients) {
            for (const vrx::VRX_DICOMDIRStudy& study : patient.studies) {
                for (const vrx::VRX_DICOMDIRSeries& series : study.series) {
                    int32_t index = 0;
                    for (const vrx::VRX_DICOMDIRImage& image : series.images) {
                        ZEBDirectoryImage entry;
                        vrx::VRX_BasicString<char> file_path(&manager);
                        if (dir.resolve_file_id(image.referenced_file_id, file_path))
                            entry.path = std::string(file_path.view());
                        entry.fileId = Text(image.referenced_file_id);
                        entry.patientName = Text(patient.patient_name);
                        entry.patientId = Text(patient.patient_id);
                        entry.studyDate = Text(study.study_date);
                        entry.studyDescription = Text(study.study_description);
                        entry.modality = Text(series.modality);
                        entry.seriesNumber = AttributeText(series.tag_obj, 0x0020, 0x0011);
                        entry.seriesDescription = Text(series.series_description);
                        entry.series = seriesIndex;
                        entry.indexInSeries = index++;
                        entry.seriesImageCount = static_cast<int32_t>(series.images.size());
                        entry.instanceNumber = static_cast<int32_t>(image.instance_number);
                        images.push_back(std::move(entry));
                    }
                    ++seriesIndex;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        images.clear();
        return error.Fail(vrx::VRX_ERROR_OUT_OF_MEMORY, "ZEBVRXHelper::ReadDicomDir()",
                          "not enough memory for the directory");
    }
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    return true;
}
