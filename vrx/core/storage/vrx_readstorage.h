#pragma once
// Creator of the plain reader at the head of a chain that takes its bytes from
// an input storage: raw lines, or the blocks of a compressed stream that a
// decoder behind it consumes.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_InputStorage;

class VRX_ReadStorage : public VRX_EngineCreator {
public:
    explicit VRX_ReadStorage(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadStorage() override = default;

    // A registered reader of the image `header` describes, stored in `storage`
    // from the absolute `position` on, or null. `gap` bytes are skipped before
    // every line but the first. With `byte_order` 1 samples pass as stored;
    // with any other value every sample of two or more bytes is byte-swapped.
    // A raw header gives lines; any other encode type gives blocks of the
    // workflow's block size until the storage ends.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_Header& header,
                               int32_t position, uint32_t gap, int32_t byte_order);
    // A registered reader of a 1-bit, 1-channel raw image stored as one
    // stream of bits, least significant bit first, rows not padded (as DICOM
    // packs them): the first sample is bit `first_bit` (0 to 7) of the byte
    // at `position`. Each row is gathered into the framework's line (first
    // sample in the most significant bit, the padding bits 0). Any other
    // header, or a first bit above 7, is refused with 0x80800000.
    virtual VRX_Engine* bit_stream_engine(VRX_InputStorage* storage, const VRX_Header& header,
                                          int32_t position, uint32_t first_bit);
};

}  // namespace vrx
