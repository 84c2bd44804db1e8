#include "vrx/extension/dicom/vrx_dicomdirstudy.h"

namespace vrx {

VRX_DICOMDIRStudy::VRX_DICOMDIRStudy(VRX_Manager* manager)
    : study_instance_uid(manager),
      study_date(manager),
      study_time(manager),
      study_description(manager),
      patient_age(manager),
      study_id(manager),
      modalities_in_study(manager),
      accession_number(manager),
      body_part_examined(manager),
      tag_info(manager),
      tag_obj(manager),
      series(manager) {}

bool VRX_DICOMDIRStudy::load(const VRX_DICOMTagObj& item) {
    study_instance_uid = item.get_string(0x0020, 0x000D);
    study_date = item.get_string(0x0008, 0x0020);
    study_time = item.get_string(0x0008, 0x0030);
    study_description = item.get_string(0x0008, 0x1030);
    patient_age = item.get_string(0x0010, 0x1010);
    study_id = item.get_string(0x0020, 0x0010);
    modalities_in_study = item.get_string(0x0008, 0x0061);
    accession_number = item.get_string(0x0008, 0x0050);
    body_part_examined = item.get_string(0x0018, 0x0015);
    tag_obj = item;
    return item.get_tag_info_list(tag_info);
}

}  // namespace vrx
