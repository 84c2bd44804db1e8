#include "vrx/core/dib/vrx_bitmapinfoheader.h"

#include "vrx/framework/io/vrx_dataoutput.h"
#include "vrx/framework/io/vrx_outputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_BitmapInfoHeader::VRX_BitmapInfoHeader(VRX_Manager* manager, uint32_t header_size,
                                           int32_t width, int32_t height, uint16_t bits_per_pixel,
                                           uint32_t compression, int32_t x_pixels_per_metre,
                                           int32_t y_pixels_per_metre, uint32_t colors_used)
    : VRX_Utility(manager),
      header_size(header_size),
      width(width),
      height(height),
      bits_per_pixel(bits_per_pixel),
      compression(compression),
      x_pixels_per_metre(x_pixels_per_metre),
      y_pixels_per_metre(y_pixels_per_metre),
      colors_used(colors_used) {
    const uint64_t row = row_stride(bits_per_pixel, static_cast<uint32_t>(width));
    stride = static_cast<uint32_t>(row);
    image_size = static_cast<uint32_t>(row * static_cast<uint32_t>(height));
}

uint64_t VRX_BitmapInfoHeader::row_stride(uint64_t bits_per_pixel, uint64_t width) {
    return ((bits_per_pixel * width + 7) / 8 + 3) & ~uint64_t{3};
}

bool VRX_BitmapInfoHeader::write(VRX_OutputStorage* storage) {
    const char* function = "VRX_BitmapInfoHeader::write()";
    if (!storage || storage->is_closed()) {
        manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, __LINE__);
        return false;
    }
    using Output = VRX_DataOutput<VRX_OutputStorage>;
    Output* out = Output::create(manager_, storage, VRX_LITTLE_ENDIAN_ORDER);
    if (!out) return false;
    bool ok = out->write_value(header_size);
    if (header_size == 12) {
        ok = ok && out->write_value(static_cast<uint16_t>(width)) &&
             out->write_value(static_cast<uint16_t>(height)) && out->write_value(planes) &&
             out->write_value(bits_per_pixel);
    } else {
        ok = ok && out->write_value(width) && out->write_value(height) &&
             out->write_value(planes) && out->write_value(bits_per_pixel) &&
             out->write_value(compression) && out->write_value(image_size) &&
             out->write_value(x_pixels_per_metre) && out->write_value(y_pixels_per_metre) &&
             out->write_value(colors_used) && out->write_value(colors_important);
    }
    out->destroy();
    if (!ok) manager_->report(VRX_ERROR_IO, function, __FILE__, __LINE__);
    return ok;
}

}  // namespace vrx
