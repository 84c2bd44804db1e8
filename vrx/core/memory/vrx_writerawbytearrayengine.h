#pragma once
// Writes a raw image into one contiguous caller array. An image whose lines
// need no mask is taken from the source as one block, copied straight into
// the array (or written there by the producer itself when the source lends
// the array to it); 1-bit images whose lines end inside a byte go line by
// line so that the padding bits can be cleared.
#include "vrx/framework/engine/vrx_analyzeengine.h"

namespace vrx {

class VRX_WriteRawByteArrayEngine : public VRX_AnalyzeEngine {
public:
    explicit VRX_WriteRawByteArrayEngine(VRX_Manager* manager) : VRX_AnalyzeEngine(manager) {}
    ~VRX_WriteRawByteArrayEngine() override = default;

    // Whole-image mode: the first call writes everything (0x80020000 when the
    // array is smaller than the image), later calls return false. Line mode:
    // one line per call up to the height (0x80020000 for a line that does not
    // fit; nothing of it is written).
    bool execute() override;
    // Version test (0x80040000), the input part, a raw image (0x81000000),
    // memory and size present (0x80800000); the count behind `written` (or an
    // own count) is set to 0; the source's block size becomes one line when a
    // mask is needed, else the whole image (an image beyond 32 bits is refused
    // with 0x81000000).
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, void* memory, uint32_t size,
                          uint32_t* written);
    using VRX_AnalyzeEngine::initiate;

    bool is_short() const { return short_; }
    uint8_t last_byte_mask() const { return mask_; }

private:
    unsigned char* position_ = nullptr;
    uint32_t remaining_ = 0;
    bool short_ = false;
    uint32_t calls_ = 0;
    uint32_t height_ = 0;
    uint8_t mask_ = 0xFF;
    uint32_t* written_ = &own_written_;
    uint32_t own_written_ = 0;
};

}  // namespace vrx
