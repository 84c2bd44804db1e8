#pragma once
// A producer for buffer tests: writes a numbered byte stream of a given
// length in blocks of a given size (the last one shorter).
#include <algorithm>
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx_test {

// Byte i of the stream.
inline unsigned char stream_byte(uint64_t i) {
    return static_cast<unsigned char>((i * 2654435761u) >> 13);
}

class StreamEngine : public vrx::VRX_GenerateEngine {
public:
    explicit StreamEngine(vrx::VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const vrx::VRX_Header* header, vrx::VRX_DstBuffer* dst, uint32_t block,
                  uint32_t total, bool stall) {
        block_ = block;
        total_ = total;
        stall_ = stall;
        return VRX_GenerateEngine::initiate(header, dst) && dst->block_bytes(block);
    }
    // One producer block per step; a stalling engine reports progress and
    // writes nothing.
    bool execute() override {
        ++*steps;
        if (stall_) return true;
        if (done_ >= total_) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        const uint32_t n = std::min(block_, total_ - done_);
        for (uint32_t i = 0; i < n; ++i) out[i] = stream_byte(done_ + i);
        done_ += n;
        return dst_buffer_->release(n);
    }
    // Steps run so far; the test may point this at a counter that outlives
    // the engine.
    int* steps = &own_steps_;

private:
    int own_steps_ = 0;
    uint32_t block_ = 0;
    uint32_t total_ = 0;
    uint32_t done_ = 0;
    bool stall_ = false;
};

class StreamCreator : public vrx::VRX_EngineCreator {
public:
    explicit StreamCreator(vrx::VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    // `total` bytes in blocks of `block`, described by `header` (whose size
    // makes the buffer's capacity).
    StreamEngine* engine(const vrx::VRX_Header* header, uint32_t block, uint32_t total,
                         bool stall = false) {
        vrx::VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<StreamEngine>(nullptr, dst, [&](StreamEngine* e) {
            return e->initiate(header, dst, block, total, stall);
        });
    }
};

}  // namespace vrx_test
