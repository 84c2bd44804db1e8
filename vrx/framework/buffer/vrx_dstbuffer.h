#pragma once
// Writing side of a line buffer. A producer writes blocks into it; every
// consumer reads it through a source buffer of its own. Engines are given a
// proxy (VRX_DstBufferProxy) that the workflow binds to the real buffer when
// the engine is registered.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_SrcBuffer;

class VRX_DstBuffer : public VRX_Object {
public:
    using VRX_Object::VRX_Object;

    // ---- producer side ----
    virtual uint32_t get_block_bytes() = 0;
    // The producer's block size: non-zero and at most the capacity; refused
    // once the buffer is closed to a new block size.
    virtual bool block_bytes(uint32_t bytes) = 0;
    // The next writable block, or null.
    virtual unsigned char* get() = 0;
    // Commits `bytes` bytes of the block just written.
    virtual bool release(uint32_t bytes) = 0;

    // ---- reader side (called by source buffers) ----
    virtual uint32_t get_src_block_bytes() = 0;
    virtual bool src_block_bytes(uint32_t bytes) = 0;
    // Copies the bytes at `position` (at most one reader block) into memory.
    virtual bool read(void* memory, uint32_t position, uint32_t& count) = 0;
    // Readable bytes at `position` (count set), or null at the end.
    virtual const unsigned char* src_get(uint32_t position, uint32_t& count) = 0;
    // Records that `reader` has released everything before `position`.
    virtual bool src_release(VRX_SrcBuffer* reader, uint32_t position) = 0;
    // Removes a reader.
    virtual bool src_end(VRX_SrcBuffer* reader) = 0;

    // ---- readers ----
    // `count` readers of `target` (empty on failure).
    virtual VRX_Vector<VRX_SrcBuffer*> create_src_buffers(VRX_DstBuffer* target,
                                                          uint32_t count) = 0;
    // One reader of `target`, or null; refused once readers were made.
    virtual VRX_SrcBuffer* create_src_buffer(VRX_DstBuffer* target) = 0;
    // The producer has ended.
    virtual void producer_end() = 0;
    // Readers of this buffer as engines see it (through its proxy).
    virtual VRX_Vector<VRX_SrcBuffer*> make_src_buffers(uint32_t count) = 0;
    virtual VRX_SrcBuffer* make_src_buffer() = 0;

    // Closes the buffer to a new producer block size.
    virtual bool initiate() = 0;
    // Sets the most bytes the producer may write.
    virtual bool initiate(uint32_t capacity) = 0;
};

}  // namespace vrx
