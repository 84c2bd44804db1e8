#pragma once
// Reads raw lines, or the blocks of an encoded stream, from an input storage.
#include <cstdint>

#include "vrx/framework/include/vrx_vector.h"
#include "vrx/framework/io/vrx_endianconversion.h"
#include "vrx/framework/io/vrx_readengine.h"

namespace vrx {

class VRX_ReadStorageEngine : public VRX_ReadEngine {
public:
    explicit VRX_ReadStorageEngine(VRX_Manager* manager)
        : VRX_ReadEngine(manager), stream_(manager) {}
    ~VRX_ReadStorageEngine() override = default;

    // One line (raw) or one block (encoded) per call; false at the end of the
    // image or the stream, or after a failure.
    bool execute() override;

    using VRX_ReadEngine::initiate;
    // The read-engine initiate, then seeks the storage to `position` and asks
    // the destination for lines of the header (raw) or for blocks of the
    // workflow's block size (any other encode type).
    virtual bool initiate(VRX_InputStorage* storage, const VRX_Header* header, VRX_DstBuffer* dst,
                          int32_t position, uint32_t gap, int32_t byte_order);
    // The same for a 1-bit, 1-channel raw image stored as one stream of
    // bits, least significant bit first, whose first sample is bit
    // `first_bit` of the byte at `position`; rows are gathered into padded
    // lines, first sample in the most significant bit.
    virtual bool initiate_bit_stream(VRX_InputStorage* storage, const VRX_Header* header,
                                     VRX_DstBuffer* dst, int32_t position, uint32_t first_bit);

private:
    // Reverses the bytes of every sample of the line in place.
    void swap_samples(unsigned char* line, uint32_t bytes) const;
    // Reads the next row of the bit stream into `line`; false when the
    // storage ends first.
    bool gather_row(unsigned char* line, uint32_t bytes);

    uint32_t gap_ = 0;
    uint32_t lines_read_ = 0;
    uint32_t sample_bytes_ = 0;
    int32_t byte_order_ = VRX_MACHINE_ORDER;
    VRX_EndianConversion swapper_;
    // Bit stream: the bytes of one row with the byte it starts in, the bits
    // of that byte not yet taken (its most significant ones) and the byte.
    bool bit_stream_ = false;
    VRX_Vector<unsigned char> stream_;
    uint32_t pending_bits_ = 0;
    unsigned char pending_ = 0;
};

}  // namespace vrx
