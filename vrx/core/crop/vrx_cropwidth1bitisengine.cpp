#include "vrx/core/crop/vrx_cropwidth1bitisengine.h"

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_CropWidth1BitISEngine::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                         VRX_DstBuffer* dst, uint32_t x, uint32_t width) {
    constexpr const char* text = "VRX_CropWidth1BitISEngine::initiate()";
    if (!check_version(VRX_INTERFACE_VERSION, text, __FILE__, 79)) return false;
    if (!VRX_CropWidth1BitEngine::initiate(header, src, dst, x, width)) return false;
    const uint32_t s = static_cast<uint32_t>(uint64_t{header->channels} * x % 8);
    if (s == 0) {
        manager_->report(VRX_ERROR_UNSUPPORTED, text, __FILE__, 89);
        return false;
    }
    if (!header->line_bytes(src_bytes_)) return false;
    left_ = static_cast<uint8_t>(s);
    right_ = static_cast<uint8_t>(8 - s);
    return true;
}

bool VRX_CropWidth1BitISEngine::process_line(const unsigned char* src, unsigned char* dst) {
    const unsigned char* p = src + offset_;
    const uint32_t n = out_bytes_;
    for (uint32_t i = 1; i < n; ++i, ++p)
        dst[i - 1] = static_cast<unsigned char>((p[0] << left_) | (p[1] >> right_));
    // The last output byte takes bits of a following source byte only when
    // the line has one.
    const bool last_source_byte = uint64_t{offset_} + n >= src_bytes_;
    unsigned char last = static_cast<unsigned char>(p[0] << left_);
    if (!last_source_byte) last = static_cast<unsigned char>(last | (p[1] >> right_));
    dst[n - 1] = static_cast<unsigned char>(last & tail_mask_);
    return true;
}

}  // namespace vrx
