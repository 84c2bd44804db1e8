#pragma once
// The caller's memory as the memory engines walk it: a current block with a
// position and the bytes left in it, the next block asked of the callback
// when this one is used up, and the count of bytes moved so far.
#include <cstdint>

#include "vrx/core/memory/vrx_memorycallback.h"

namespace vrx {

class VRX_MemoryBlockChain {
public:
    enum class Outcome {
        done,         // every byte moved
        refused,      // the callback refused the next block
        empty_block,  // the callback handed over a block without memory or size
    };

    // Starts at `memory` (size bytes); the count behind `count` (or an own
    // count when it is null) is set to 0.
    void start(VRX_MemoryCallbackInfo* info, unsigned char* memory, uint32_t size, uint32_t* count,
               VRX_MemoryCallback callback, void* user_data);

    // Copies n bytes into the caller's memory, or out of it into `bytes`;
    // `moved` tells how many were copied. Any outcome but done leaves the
    // chain no longer good.
    Outcome put(const unsigned char* bytes, uint32_t n, uint32_t& moved);
    Outcome take(unsigned char* bytes, uint32_t n, uint32_t& moved);

    // False once the callback refused or handed over an empty block.
    bool good() const { return good_; }
    // Next byte of the caller's memory to be used.
    unsigned char* position() const { return position_; }

private:
    // Asks the callback for the next block; false (good cleared) when none.
    Outcome next_block();
    template <bool into_memory>
    Outcome move(unsigned char* bytes, uint32_t n, uint32_t& moved);

    VRX_MemoryCallbackInfo* info_ = nullptr;
    VRX_MemoryCallback callback_ = nullptr;
    uint32_t* count_ = &own_count_;
    uint32_t own_count_ = 0;
    bool good_ = true;
    unsigned char* position_ = nullptr;
    uint32_t remaining_ = 0;
};

}  // namespace vrx
