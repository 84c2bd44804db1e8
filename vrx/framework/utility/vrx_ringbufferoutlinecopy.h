#pragma once
// The ring buffer that fills every outline by repeating the nearest image
// pixel or line: margins repeat the first and last pixel of the line, lines
// above the image repeat the first line and lines below it the last.
#include "vrx/framework/utility/vrx_ringbuffer.h"

namespace vrx {

class VRX_RingBufferOutlineCopy : public VRX_RingBuffer {
public:
    explicit VRX_RingBufferOutlineCopy(VRX_Manager* manager) : VRX_RingBuffer(manager) {}
    ~VRX_RingBufferOutlineCopy() override = default;

    // Made through the manager and initiated; null on failure.
    static VRX_RingBufferOutlineCopy* create(VRX_Manager* manager, VRX_SrcBuffer* src,
                                             const VRX_Header* header,
                                             const VRX_KernelAttr& kernel);

    // The first call builds the whole window; every later call rotates it by
    // one line and reads (or, past the last image line, repeats) the new last
    // line.
    bool update() override;
};

}  // namespace vrx
