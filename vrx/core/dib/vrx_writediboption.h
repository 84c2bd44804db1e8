#pragma once
// What the bitmap writer writes: compression (only 0, uncompressed, is
// written), resolution in pixels per metre, depth and info header size.
#include <cstdint>

namespace vrx {

class VRX_WriteDIBOption {
public:
    // Resolutions are given in dots per inch and kept in pixels per metre,
    // truncated toward zero (300 dots per inch give 11811). A bits per pixel of
    // 0 chooses the depth from the image; else 1, 4, 8, 16, 24 or 32. The info
    // header size is 40; 12 writes the short header.
    explicit VRX_WriteDIBOption(uint32_t compression = 0, double x_dots_per_inch = 0.0,
                                double y_dots_per_inch = 0.0, uint32_t bits_per_pixel = 0);
    VRX_WriteDIBOption(const VRX_WriteDIBOption&) = default;
    VRX_WriteDIBOption& operator=(const VRX_WriteDIBOption&) = default;
    virtual ~VRX_WriteDIBOption() = default;

    // Pixels per metre of a resolution in dots per inch, truncated toward
    // zero and limited to the 32-bit range (not-a-number gives 0).
    static int32_t pixels_per_metre(double dots_per_inch);

    uint32_t compression = 0;
    int32_t x_resolution = 0;
    int32_t y_resolution = 0;
    uint32_t bits_per_pixel = 0;
    uint32_t info_header_size = 40;
};

}  // namespace vrx
