#pragma once
// An IMAGE record of a DICOMDIR: the referenced file and the attributes the
// directory repeats from it.
#include <cstdint>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"

namespace vrx {

class VRX_DICOMDIRPatient;
class VRX_DICOMDIRSeries;
class VRX_DICOMDIRStudy;

class VRX_DICOMDIRImage {
   public:
    using String = VRX_DICOMTagObj::String;

    explicit VRX_DICOMDIRImage(VRX_Manager* manager);

    // Fills the fields from the record's item; false when (0004,1500) is
    // absent or unreadable, a split value cannot be read, or memory runs out.
    bool load(const VRX_DICOMTagObj& item);

    // The record's Referenced File ID (0004,1500), components joined with
    // "\"; false (and `id` empty) when absent or unreadable. A NUL byte
    // inside the value (not padding at its end) is kept in the text, where
    // every file lookup refuses it, rather than cutting the ID there.
    static bool read_file_id(const VRX_DICOMTagObj& item, String& id);

    // Reads a multi-valued decimal attribute as text and cuts it at its
    // first (and, for three values, second) backslash into `count` numbers
    // (2 or 3). Absent, or a backslash missing: all 0.0. False when the
    // attribute is present but its text cannot be read.
    static bool read_split(const VRX_DICOMTagObj& item, uint16_t group, uint16_t element,
                           double* out, uint32_t count);
    // (0028,0030) split: the column spacing (second value) into `x`, the row
    // spacing (first value) into `y`.
    static bool read_pixel_spacing(const VRX_DICOMTagObj& item, double& x, double& y);

    // (0004,1500), components joined with "\": a path relative to the
    // DICOMDIR's folder.
    String referenced_file_id;
    // (0008,0018), or (0004,1511) when that is empty.
    String sop_instance_uid;
    uint32_t instance_number = 0;                   // (0020,0013)
    String referenced_sop_class_uid_in_file;        // (0004,1510)
    String sop_class_uid;                           // (0008,0016)
    String referenced_transfer_syntax_uid_in_file;  // (0004,1512)
    String image_type;                              // (0008,0008)
    String content_date;                            // (0008,0023)
    String content_time;                            // (0008,0033)
    String columns;                                 // (0028,0011) as text
    String rows;                                    // (0028,0010) as text
    uint32_t number_of_frames = 0;                  // (0028,0008)
    // (0028,0030): column spacing (second value) and row spacing (first).
    double pixel_spacing_x = 0.0;
    double pixel_spacing_y = 0.0;
    double slice_location = 0.0;  // (0020,1041)
    // (0020,0032): x, y, z.
    double image_position[3] = {0.0, 0.0, 0.0};
    String image_orientation;  // (0020,0037), not split
    // (0020,1041) is present with a value.
    bool has_slice_location = false;
    // Every element of the record's item: group, element, VR, value length.
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tag_info;
    // Tag access over the record's item.
    VRX_DICOMTagObj tag_obj;
    const VRX_DICOMDIRSeries* series = nullptr;
    const VRX_DICOMDIRStudy* study = nullptr;
    const VRX_DICOMDIRPatient* patient = nullptr;
};

}  // namespace vrx
