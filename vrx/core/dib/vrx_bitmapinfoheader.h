#pragma once
// The info header of a device-independent bitmap: the 40-byte form, or the
// 12-byte form with 16-bit width and height. Fields are little-endian.
#include <cstdint>

#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

class VRX_OutputStorage;

class VRX_BitmapInfoHeader : public VRX_Utility {
public:
    // Computes the row stride ((bits x width + 7) / 8 rounded up to a multiple
    // of 4) and the image size (height x stride).
    VRX_BitmapInfoHeader(VRX_Manager* manager, uint32_t header_size, int32_t width, int32_t height,
                         uint16_t bits_per_pixel, uint32_t compression, int32_t x_pixels_per_metre,
                         int32_t y_pixels_per_metre, uint32_t colors_used);
    ~VRX_BitmapInfoHeader() override = default;

    // Bytes of one row of `bits_per_pixel` x `width` bits, padded to 4 bytes.
    static uint64_t row_stride(uint64_t bits_per_pixel, uint64_t width);

    // Writes the header at the storage's position. A null or closed storage:
    // 0x80800000; a short write: 0x80020000. False in both cases.
    bool write(VRX_OutputStorage* storage);

    uint32_t header_size;
    int32_t width;
    int32_t height;
    uint16_t planes = 1;
    uint16_t bits_per_pixel;
    uint32_t compression;
    uint32_t image_size;
    int32_t x_pixels_per_metre;
    int32_t y_pixels_per_metre;
    uint32_t colors_used;
    uint32_t colors_important = 0;
    // Fields of the longer header versions; never written.
    uint32_t red_mask = 0;
    uint32_t green_mask = 0;
    uint32_t blue_mask = 0;
    uint32_t alpha_mask = 0;
    uint32_t color_space_type = 0;
    int32_t end_points[9] = {};
    uint32_t gamma_red = 0;
    uint32_t gamma_green = 0;
    uint32_t gamma_blue = 0;
    uint32_t intent = 4;
    uint32_t profile_data = 0;
    uint32_t profile_size = 0;
    uint32_t reserved = 0;
    uint32_t stride;
};

}  // namespace vrx
