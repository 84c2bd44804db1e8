#pragma once
// Reads raw lines, or the blocks of an encoded stream, from an input storage.
#include <cstdint>

#include "vrx/framework/io/vrx_endianconversion.h"
#include "vrx/framework/io/vrx_readengine.h"

namespace vrx {

class VRX_ReadStorageEngine : public VRX_ReadEngine {
public:
    explicit VRX_ReadStorageEngine(VRX_Manager* manager) : VRX_ReadEngine(manager) {}
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

private:
    // Reverses the bytes of every sample of the line in place.
    void swap_samples(unsigned char* line, uint32_t bytes) const;

    uint32_t gap_ = 0;
    uint32_t lines_read_ = 0;
    uint32_t sample_bytes_ = 0;
    int32_t byte_order_ = VRX_MACHINE_ORDER;
    VRX_EndianConversion swapper_;
};

}  // namespace vrx
