#pragma once
// Reading side of a line buffer: one per consumer. Blocks come in stream
// order; several may be held at once; every get is followed by one release.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"

namespace vrx {

class VRX_DstBuffer;

class VRX_SrcBuffer : public VRX_Object {
public:
    using VRX_Object::VRX_Object;

    // Bytes one get delivers (the readers' block size of the destination).
    virtual uint32_t get_block_bytes() = 0;
    // Sets the bytes one get delivers; refused once a block was obtained.
    virtual bool block_bytes(uint32_t bytes) = 0;
    // Copies the next block into memory. Without `count` a block shorter than
    // the block size (the end of the stream) makes it fail; with `count` the
    // bytes delivered are written there.
    virtual bool get(void* memory, uint32_t* count = nullptr) = 0;
    // The next block in place, valid until released; null when there is none.
    virtual const unsigned char* get(uint32_t* count = nullptr) = 0;
    // Gives back the oldest block taken and not yet released.
    virtual bool release() = 0;
    // Binds the reader to the destination buffer it reads.
    virtual bool initiate(VRX_DstBuffer* dst) = 0;
};

}  // namespace vrx
