#pragma once
// A SERIES record of a DICOMDIR with its IMAGE records.
#include <cstdint>

#include "vrx/extension/dicom/vrx_dicomdirimage.h"

namespace vrx {

class VRX_DICOMDIRSeries {
   public:
    using String = VRX_DICOMTagObj::String;

    explicit VRX_DICOMDIRSeries(VRX_Manager* manager);

    // Fills the fields from the record's item (the images are added by the
    // DICOMDIR walk); false when a split value cannot be read or memory runs
    // out.
    bool load(const VRX_DICOMTagObj& item);

    String modality;                 // (0008,0060)
    String series_description;       // (0008,103E)
    String series_instance_uid;      // (0020,000E)
    String series_date;              // (0008,0021)
    String series_time;              // (0008,0031)
    String body_part_examined;       // (0018,0015)
    String frame_of_reference_uid;   // (0020,0052)
    double kvp = 0.0;                // (0018,0060)
    double xray_tube_current = 0.0;  // (0018,1151)
    String convolution_kernel;       // (0018,1210)
    double slice_thickness = 0.0;    // (0018,0050)
    // (0028,0030): column spacing (second value) and row spacing (first).
    double pixel_spacing_x = 0.0;
    double pixel_spacing_y = 0.0;
    uint32_t columns = 0;               // (0028,0011)
    uint32_t rows = 0;                  // (0028,0010)
    String photometric_interpretation;  // (0028,0004)
    uint32_t number_of_frames = 0;      // (0028,0008)
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tag_info;
    VRX_DICOMTagObj tag_obj;
    VRX_Vector<VRX_DICOMDIRImage> images;
    const VRX_DICOMDIRPatient* patient = nullptr;
    const VRX_DICOMDIRStudy* study = nullptr;
};

}  // namespace vrx
