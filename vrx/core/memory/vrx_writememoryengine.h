#pragma once
// Writes the image that leaves an engine into caller memory, block after
// block: raw images line by line, encoded streams in blocks of the
// workflow's size. When the current memory block is used up the callback is
// asked for the next one.
#include "vrx/core/memory/vrx_memoryblockchain.h"
#include "vrx/framework/engine/vrx_analyzeengine.h"

namespace vrx {

class VRX_WriteMemoryEngine : public VRX_AnalyzeEngine {
public:
    explicit VRX_WriteMemoryEngine(VRX_Manager* manager) : VRX_AnalyzeEngine(manager) {}
    ~VRX_WriteMemoryEngine() override = default;

    // Writes one source block (one line of a raw image); false when done,
    // when the source has no more, or when the memory ran out and the
    // callback refused (0x80020000).
    bool execute() override;
    // Version test (0x80040000), the input part, memory, size and callback
    // present (0x80800000); the count behind `written` (or an own count) is
    // set to 0; the source's block size becomes one line (raw) or the
    // workflow's block size.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, void* memory, uint32_t size,
                          uint32_t* written, VRX_MemoryCallback callback, void* user_data);
    using VRX_AnalyzeEngine::initiate;

    const VRX_WriteMemoryCallbackInfo& callback_info() const { return info_; }
    uint32_t lines_written() const { return lines_written_; }
    uint8_t last_byte_mask() const { return mask_; }

private:
    VRX_WriteMemoryCallbackInfo info_;
    VRX_MemoryBlockChain memory_;
    uint32_t lines_written_ = 0;
    uint32_t height_ = 0;
    bool raw_ = true;
    uint8_t mask_ = 0xFF;
};

}  // namespace vrx
