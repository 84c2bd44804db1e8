#include "vrx/extension/dicom/vrx_dicomdirpatient.h"

namespace vrx {

VRX_DICOMDIRPatient::VRX_DICOMDIRPatient(VRX_Manager* manager)
    : patient_name(manager),
      patient_id(manager),
      patient_sex(manager),
      tag_info(manager),
      tag_obj(manager),
      studies(manager) {}

bool VRX_DICOMDIRPatient::load(const VRX_DICOMTagObj& item) {
    patient_name = item.get_string(0x0010, 0x0010);
    patient_id = item.get_string(0x0010, 0x0020);
    patient_sex = item.get_string(0x0010, 0x0040);
    tag_obj = item;
    return item.get_tag_info_list(tag_info);
}

}  // namespace vrx
