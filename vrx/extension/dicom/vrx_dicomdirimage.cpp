#include "vrx/extension/dicom/vrx_dicomdirimage.h"

#include <algorithm>
#include <string_view>

#include "dicomlib/togstring.h"

namespace vrx {

VRX_DICOMDIRImage::VRX_DICOMDIRImage(VRX_Manager* manager)
    : referenced_file_id(manager),
      sop_instance_uid(manager),
      referenced_sop_class_uid_in_file(manager),
      sop_class_uid(manager),
      referenced_transfer_syntax_uid_in_file(manager),
      image_type(manager),
      content_date(manager),
      content_time(manager),
      columns(manager),
      rows(manager),
      image_orientation(manager),
      tag_info(manager),
      tag_obj(manager) {}

bool VRX_DICOMDIRImage::read_split(const VRX_DICOMTagObj& item, uint16_t group, uint16_t element,
                                   double* out, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) out[i] = 0.0;
    if (!item.exists(group, element)) return true;
    String text(item.tag_manager());
    if (!item.read_string(group, element, text)) return false;
    // Where each value starts: the text's start, then after each backslash.
    size_t starts[3] = {0, 0, 0};
    size_t from = 0;
    for (uint32_t i = 1; i < count; ++i) {
        const size_t cut = text.view().find(u'\\', from);
        if (cut == String::view_type::npos) return true;
        starts[i] = cut + 1;
        from = cut + 1;
    }
    for (uint32_t i = 0; i < count; ++i)
        out[i] = togutils::StrToDouble(text.c_str() + starts[i], nullptr);
    return true;
}

bool VRX_DICOMDIRImage::read_file_id(const VRX_DICOMTagObj& item, String& id) {
    if (!item.read_string(0x0004, 0x1500, id)) {
        id.clear();
        return false;
    }
    const void* value = nullptr;
    if (!item.get_value_data(0x0004, 0x1500, value)) return true;
    // The value as stored, without the blanks before it and the padding
    // after it.
    const std::string_view bytes(static_cast<const char*>(value), item.length(0x0004, 0x1500));
    const size_t begin = std::min(bytes.find_first_not_of(' '), bytes.size());
    const size_t end = bytes.find_last_not_of(std::string_view(" \0", 2)) + 1;
    if (end <= begin || bytes.find('\0', begin) >= end) return true;
    id.clear();
    for (size_t i = begin; i < end; ++i)
        if (!id.append(static_cast<char16_t>(static_cast<unsigned char>(bytes[i])))) return false;
    return true;
}

bool VRX_DICOMDIRImage::read_pixel_spacing(const VRX_DICOMTagObj& item, double& x, double& y) {
    double spacing[2];
    if (!read_split(item, 0x0028, 0x0030, spacing, 2)) return false;
    y = spacing[0];
    x = spacing[1];
    return true;
}

bool VRX_DICOMDIRImage::load(const VRX_DICOMTagObj& item) {
    // A record without a file keeps an empty Referenced File ID.
    read_file_id(item, referenced_file_id);
    sop_instance_uid = item.get_string(0x0008, 0x0018);
    if (sop_instance_uid.empty()) sop_instance_uid = item.get_string(0x0004, 0x1511);
    item.read_integer(0x0020, 0x0013, instance_number);
    referenced_sop_class_uid_in_file = item.get_string(0x0004, 0x1510);
    sop_class_uid = item.get_string(0x0008, 0x0016);
    referenced_transfer_syntax_uid_in_file = item.get_string(0x0004, 0x1512);
    image_type = item.get_string(0x0008, 0x0008);
    content_date = item.get_string(0x0008, 0x0023);
    content_time = item.get_string(0x0008, 0x0033);
    columns = item.get_string(0x0028, 0x0011);
    rows = item.get_string(0x0028, 0x0010);
    item.read_integer(0x0028, 0x0008, number_of_frames);
    if (!read_pixel_spacing(item, pixel_spacing_x, pixel_spacing_y)) return false;
    if (item.exists(0x0020, 0x1041) && item.length(0x0020, 0x1041) != 0) {
        const String text = item.get_string(0x0020, 0x1041);
        slice_location = TogString(text.c_str(), static_cast<int>(text.size())).ToFloat();
        has_slice_location = true;
    }
    if (!read_split(item, 0x0020, 0x0032, image_position, 3)) return false;
    image_orientation = item.get_string(0x0020, 0x0037);
    tag_obj = item;
    return item.get_tag_info_list(tag_info);
}

}  // namespace vrx
