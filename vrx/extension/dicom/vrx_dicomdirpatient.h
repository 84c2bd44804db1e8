#pragma once
// A PATIENT record of a DICOMDIR with its STUDY records.
#include "vrx/extension/dicom/vrx_dicomdirstudy.h"

namespace vrx {

class VRX_DICOMDIRPatient {
   public:
    using String = VRX_DICOMTagObj::String;

    explicit VRX_DICOMDIRPatient(VRX_Manager* manager);

    // Fills the fields from the record's item; false when memory runs out.
    bool load(const VRX_DICOMTagObj& item);

    String patient_name;  // (0010,0010)
    String patient_id;    // (0010,0020)
    String patient_sex;   // (0010,0040)
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tag_info;
    VRX_DICOMTagObj tag_obj;
    VRX_Vector<VRX_DICOMDIRStudy> studies;
};

}  // namespace vrx
