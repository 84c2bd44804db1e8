#include "vrx/extension/dicom/vrx_dicomdirseries.h"

namespace vrx {

VRX_DICOMDIRSeries::VRX_DICOMDIRSeries(VRX_Manager* manager)
    : modality(manager),
      series_description(manager),
      series_instance_uid(manager),
      series_date(manager),
      series_time(manager),
      body_part_examined(manager),
      frame_of_reference_uid(manager),
      convolution_kernel(manager),
      photometric_interpretation(manager),
      tag_info(manager),
      tag_obj(manager),
      images(manager) {}

bool VRX_DICOMDIRSeries::load(const VRX_DICOMTagObj& item) {
    modality = item.get_string(0x0008, 0x0060);
    series_description = item.get_string(0x0008, 0x103E);
    series_instance_uid = item.get_string(0x0020, 0x000E);
    series_date = item.get_string(0x0008, 0x0021);
    series_time = item.get_string(0x0008, 0x0031);
    body_part_examined = item.get_string(0x0018, 0x0015);
    frame_of_reference_uid = item.get_string(0x0020, 0x0052);
    item.read_double(0x0018, 0x0060, kvp);
    item.read_double(0x0018, 0x1151, xray_tube_current);
    convolution_kernel = item.get_string(0x0018, 0x1210);
    item.read_double(0x0018, 0x0050, slice_thickness);
    if (!VRX_DICOMDIRImage::read_pixel_spacing(item, pixel_spacing_x, pixel_spacing_y))
        return false;
    item.read_integer(0x0028, 0x0011, columns);
    item.read_integer(0x0028, 0x0010, rows);
    photometric_interpretation = item.get_string(0x0028, 0x0004);
    item.read_integer(0x0028, 0x0008, number_of_frames);
    tag_obj = item;
    return item.get_tag_info_list(tag_info);
}

}  // namespace vrx
