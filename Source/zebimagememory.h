#pragma once
// The decoded pixels of one frame: interleaved samples as the decode chain
// stored them, with what is needed to read one pixel back and to render the
// frame again (sample type, colour type, the rescale still to apply).
#include <cstdint>
#include <vector>

#include "platform/default_init_allocator.h"

namespace vrx {
class VRX_ColorType;
class VRX_Header;
}  // namespace vrx

class ZEBImageMemory {
public:
    enum ColorKind { kGray = 0, kRgb = 1, kCmyk = 2, kYCbCr = 3 };

    ZEBImageMemory() = default;
    virtual ~ZEBImageMemory() = default;

    void ClearImage();
    bool HasImage() const { return !m_buffer.empty() && m_imageWidth > 0 && m_imageHeight > 0; }
    // Describes the memory as an image of the imaging library (raw samples,
    // packed lines); false when the memory holds no image.
    bool DescribeImage(vrx::VRX_Header& header) const;
    // A stored sample value in modality units (the rescale still to apply).
    double ModalityValue(double stored) const { return stored * m_rescaleSlope + m_rescaleIntercept; }

    int32_t m_colorKind = kGray;
    int32_t m_samplesPerPixel = 0;
    int32_t m_bitsPerSample = 0;  // 1, 8, 16 or 32; 8 or less: 8-bit samples when probed
    // The bits that hold a sample's value (the stored bits), at most
    // m_bitsPerSample: colour is shown over the range they hold.
    int32_t m_bitsStored = 0;
    // Not zeroed when it grows: the decode chain writes every byte.
    std::vector<uint8_t, platform::DefaultInitAllocator<uint8_t>> m_buffer;
    int32_t m_rowLength = 0;  // pixels per row
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    int32_t m_signed = 0;
    // The colour type the decode chain delivered (gray_reverse for
    // MONOCHROME1); null without an image.
    const vrx::VRX_ColorType* m_colorType = nullptr;
    // The rescale the decode chain could not apply into the samples (a
    // fractional slope, or values beyond 16 bits): modality value = sample x
    // slope + intercept. 1 and 0 when the samples hold modality values.
    double m_rescaleSlope = 1.0;
    double m_rescaleIntercept = 0.0;
};
