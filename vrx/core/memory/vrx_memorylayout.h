#pragma once
// Layout of an image in caller memory: packed lines, top line first, no
// stride; an encoded stream is moved in blocks of the workflow's size.
#include <cstdint>

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

// Mask for the last byte of a line of a raw 1-bit image whose samples per
// line are not a multiple of 8 (the padding bits become 0); 0xFF otherwise.
uint8_t memory_last_byte_mask(const VRX_Header& header);

// The whole raw image, line bytes x height, in 64 bits (poisoned on overflow).
platform::ByteCount memory_image_bytes(const VRX_Header& header);

// Bytes moved per step: one line of a raw image (a line too long for 32 bits
// is reported), else the manager's workflow block size.
bool memory_step_bytes(VRX_Manager* manager, const VRX_Header& header, uint32_t& out);

}  // namespace vrx
