#pragma once
// The format information of a JPEG stream that carries a JFIF APP0 segment:
// the JPEG information plus the JFIF densities (dots per inch), which also
// become the resolution. A stream without that segment does not load.
#include <cstdint>

#include "vrx/core/jpeg/vrx_jpeginfo.h"

namespace vrx {

class VRX_JFIFInfo : public VRX_JPEGInfo {
public:
    explicit VRX_JFIFInfo(VRX_Manager* manager) : VRX_JPEGInfo(manager) {}
    ~VRX_JFIFInfo() override = default;

    const char* format_name() const override { return "jfif"; }

    uint32_t jfif_x_density() const { return jfif_x_density_; }
    uint32_t jfif_y_density() const { return jfif_y_density_; }

protected:
    // The JPEG information, then the JFIF fields; the colour type is ycbcr
    // for three channels and gray for one.
    bool load_body(VRX_InputStorage* storage) override;
    // False (not loaded, storage moved back to `position`) without a JFIF
    // APP0 segment.
    bool load_jfif_fields(VRX_InputStorage* storage, int32_t position);

    uint32_t jfif_x_density_ = 0;
    uint32_t jfif_y_density_ = 0;
};

}  // namespace vrx
