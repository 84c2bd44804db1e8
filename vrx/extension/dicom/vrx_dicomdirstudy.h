#pragma once
// A STUDY record of a DICOMDIR with its SERIES records.
#include "vrx/extension/dicom/vrx_dicomdirseries.h"

namespace vrx {

class VRX_DICOMDIRStudy {
   public:
    using String = VRX_DICOMTagObj::String;

    explicit VRX_DICOMDIRStudy(VRX_Manager* manager);

    // Fills the fields from the record's item; false when memory runs out.
    bool load(const VRX_DICOMTagObj& item);

    String study_instance_uid;   // (0020,000D)
    String study_date;           // (0008,0020)
    String study_time;           // (0008,0030)
    String study_description;    // (0008,1030)
    String patient_age;          // (0010,1010)
    String study_id;             // (0020,0010)
    String modalities_in_study;  // (0008,0061)
    String accession_number;     // (0008,0050)
    String body_part_examined;   // (0018,0015)
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tag_info;
    VRX_DICOMTagObj tag_obj;
    VRX_Vector<VRX_DICOMDIRSeries> series;
    const VRX_DICOMDIRPatient* patient = nullptr;
};

}  // namespace vrx
