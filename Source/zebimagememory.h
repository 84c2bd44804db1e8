#pragma once
// The decoded pixels of one frame: interleaved samples as the decode chain
// stored them, with what is needed to read one pixel back.
#include <cstdint>
#include <vector>

namespace vrx {
class VRX_DICOMInfo;
class VRX_InputStorage;
class VRX_Manager;
}  // namespace vrx

class ZEBImageMemory {
public:
    enum ColorKind { kGray = 0, kRgb = 1, kCmyk = 2, kYCbCr = 3 };

    ZEBImageMemory() = default;
    virtual ~ZEBImageMemory() = default;

    // Decodes frame `frame` (from 0) of the file whose information is loaded
    // into the memory, under `manager`: 0, or the status code of the first
    // error (the memory is then empty).
    uint32_t DecodeFrame(vrx::VRX_Manager& manager, vrx::VRX_InputStorage* storage,
                         const vrx::VRX_DICOMInfo& info, uint32_t frame);
    void ClearImage();

    int32_t m_colorKind = kGray;
    int32_t m_samplesPerPixel = 0;
    int32_t m_bitsPerSample = 0;  // 8 or less: 8-bit samples; else 16 or 32
    std::vector<uint8_t> m_buffer;
    int32_t m_rowLength = 0;  // pixels per row
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    int32_t m_signed = 0;
};
