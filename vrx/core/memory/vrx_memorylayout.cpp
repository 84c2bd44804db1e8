#include "vrx/core/memory/vrx_memorylayout.h"

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

uint8_t memory_last_byte_mask(const VRX_Header& header) {
    if (!header.encode_type()->is_raw() || header.bits != 1) return 0xFF;
    const uint64_t samples = uint64_t{header.channels} * header.width;
    const unsigned r = static_cast<unsigned>(samples % 8);
    return r == 0 ? 0xFF : static_cast<uint8_t>(0xFFu << (8 - r));
}

platform::ByteCount memory_image_bytes(const VRX_Header& header) {
    return platform::packed_bytes(header.channels, header.bits, header.width) * header.height;
}

bool memory_step_bytes(VRX_Manager* manager, const VRX_Header& header, uint32_t& out) {
    if (header.encode_type()->is_raw()) return header.line_bytes(out);
    out = manager->block_bytes();
    return true;
}

}  // namespace vrx
