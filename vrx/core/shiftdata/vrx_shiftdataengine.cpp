#include "vrx/core/shiftdata/vrx_shiftdataengine.h"

#include "vrx/core/shiftdata/vrx_shiftdata.h"
#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

bool VRX_ShiftDataEngine::initiate_shift(const VRX_Header* header, VRX_SrcBuffer* src,
                                         VRX_DstBuffer* dst, const VRX_DataType* type,
                                         uint16_t bits, int16_t shift, uint16_t source_bits,
                                         uint16_t destination_bits, const char* function,
                                         const Lines& lines) {
    if (!check_version(VRX_INTERFACE_VERSION, function, __FILE__, lines.version)) return false;
    if (!VRX_ProcessLineToLineEngine::initiate(header, src, dst)) return false;
    // The engine reads and writes samples of its own types: a depth that is
    // not theirs would run the line loop past a line.
    if (!shift_source_supported(header) || header->bits != source_bits) {
        manager_->report(VRX_ERROR_UNSUPPORTED, function, __FILE__, lines.source);
        return false;
    }
    if ((bits != 8 && bits != 16 && bits != 32) || bits != destination_bits) {
        manager_->report(VRX_ERROR_UNSUPPORTED, function, __FILE__, lines.bits);
        return false;
    }
    if (!type || (!type->is_u_integer() && !type->is_s_integer())) {
        manager_->report(VRX_ERROR_UNSUPPORTED, function, __FILE__, lines.type);
        return false;
    }
    if (shift < -31 || shift > 31) {
        manager_->report(VRX_ERROR_ARGUMENT, function, __FILE__, lines.shift);
        return false;
    }
    magnitude_ = static_cast<uint16_t>(shift < 0 ? -shift : shift);
    left_ = shift >= 0;
    samples_ = header->channels * header->width;
    if (!header_.data_type(type)) return false;
    header_.bits = bits;
    uint32_t bytes = 0;
    return header_.line_bytes(bytes) && dst->block_bytes(bytes);
}

}  // namespace vrx
