#pragma once
// Decodes a JPEG stream into raw lines, one line per execute, through the
// decoder that the stream's information read the header with.
#include <cstdint>

#include "jpegdec/jpeg_decoder.h"
#include "vrx/core/jpeg/vrx_jpeginfointernal.h"
#include "vrx/framework/include/vrx_sharedowner.h"
#include "vrx/framework/io/vrx_readengine.h"

namespace vrx {

class VRX_JPEGInfo;

class VRX_DecodeJPEGEngine : public VRX_ReadEngine {
public:
    explicit VRX_DecodeJPEGEngine(VRX_Manager* manager) : VRX_ReadEngine(manager) {}
    // Drops the shared decoder (the last owner destroys it).
    ~VRX_DecodeJPEGEngine() override = default;

    // The samples of the lines of a lossless frame that damage or a stream
    // cut short loses, when the reader does not know the middle of the
    // frame's range: bytes of 128.
    static constexpr uint16_t kLostSampleBytes128 = jpegdec::kJpegLostSampleBytes128;

    // Made and initiated (initiated flag set), or null (destroyed) when the
    // initiate failed.
    static VRX_DecodeJPEGEngine* create(VRX_Manager* manager, VRX_InputStorage* storage,
                                        const VRX_JPEGInfo& info, VRX_DstBuffer* dst, uint32_t scale,
                                        uint16_t lost_sample = kLostSampleBytes128);

    using VRX_ReadEngine::initiate;
    // Accepts the frame (channels 1, 3 or 4; 8-bit DCT frames with a
    // sampling the decoder offers; lossless frames of 8 or 16 bits at full
    // size; else 0x81000000) and starts decompression at `scale` / 256 (full
    // size 256; 128, 64 and 32 for the frames that can be scaled), with
    // `lost_sample` the samples of lost lines of a lossless frame (those
    // of a DCT frame are lost as 128).
    virtual bool initiate(VRX_InputStorage* storage, const VRX_JPEGInfo& info, VRX_DstBuffer* dst,
                          uint32_t scale, uint16_t lost_sample);
    // One output line; false after the last line or a failure.
    bool execute() override;

private:
    bool accepts(const VRX_JPEGInfo& info, uint32_t scale) const;
    // A decoder status below 1, reported through the decoder's mapping with
    // `operation`, or as out of memory with the engine's `text` for -1.
    void report_failure(int32_t status, const char* text, const char* operation, uint32_t line);

    uint32_t line_count_ = 0;
    uint32_t line_bytes_ = 0;
    VRX_SharedOwner<VRX_JPEGInfoInternal> internal_;
    VRX_JPEGInfoInternal* decoder_ = nullptr;
};

}  // namespace vrx
