#pragma once
// Starts a chain from an image in caller memory, block after block: raw
// images line by line, encoded streams in blocks of the workflow's size.
// When the current memory block is used up the callback is asked for the
// next one.
#include "vrx/core/memory/vrx_memoryblockchain.h"
#include "vrx/framework/engine/vrx_bufferoutputengine.h"

namespace vrx {

class VRX_ReadMemoryEngine : public VRX_BufferOutputEngine {
public:
    explicit VRX_ReadMemoryEngine(VRX_Manager* manager) : VRX_BufferOutputEngine(manager) {}
    ~VRX_ReadMemoryEngine() override = default;

    // Fills one destination block. A raw image whose memory runs out (the
    // callback refuses or gives an empty block) is malformed: 0x80400000. For
    // an encoded stream a refusal is the end of the data: a partly filled
    // block is committed as it is.
    bool execute() override;
    // Version test (0x80040000), the output side, memory, size and callback
    // present (0x80800000); the count behind `read` (or an own count) is set
    // to 0; the destination's block size becomes one line (raw) or the
    // workflow's block size.
    virtual bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, const void* memory,
                          uint32_t size, uint32_t* read, VRX_MemoryCallback callback,
                          void* user_data);
    using VRX_BufferOutputEngine::initiate;

    const VRX_ReadMemoryCallbackInfo& callback_info() const { return info_; }
    uint32_t lines_read() const { return lines_read_; }

private:
    VRX_ReadMemoryCallbackInfo info_;
    VRX_MemoryBlockChain memory_;
    uint32_t lines_read_ = 0;
};

}  // namespace vrx
