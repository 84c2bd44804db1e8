#include "vrx/core/crop/vrx_cropwidth8xnbitsengine.h"

#include <cstring>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_CropWidth8xNBitsEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                          VRX_DstBuffer* dst, uint32_t x, uint32_t width) {
    constexpr const char* text = "VRX_CropWidth8xNBitsEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 65)) return false;
    if (!VRX_CropWidthEngine::initiate(header, src, dst, x, width)) return false;
    const VRX_DataType* type = header->data_type();
    const bool typed = type->is_u_integer() || type->is_s_integer() || type->is_floating();
    const uint16_t b = header->bits;
    if (!typed || (b != 8 && b != 16 && b != 32 && b != 64)) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 74);
        return false;
    }
    return true;
}

bool VRX_CropWidth8xNBitsEngine::process_line(const unsigned char* src, unsigned char* dst) {
    if (out_bytes_ != 0) std::memcpy(dst, src + offset_, out_bytes_);
    return true;
}

}  // namespace vrx
