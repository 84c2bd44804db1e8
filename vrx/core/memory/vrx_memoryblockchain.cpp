#include "vrx/core/memory/vrx_memoryblockchain.h"

#include <algorithm>
#include <cstring>

namespace vrx {

void VRX_MemoryBlockChain::start(VRX_MemoryCallbackInfo* info, unsigned char* memory, uint32_t size,
                                 uint32_t* count, VRX_MemoryCallback callback, void* user_data) {
    info_ = info;
    info_->memory = memory;
    info_->size = size;
    info_->user_data = user_data;
    callback_ = callback;
    count_ = count ? count : &own_count_;
    *count_ = 0;
    position_ = memory;
    remaining_ = size;
}

VRX_MemoryBlockChain::Outcome VRX_MemoryBlockChain::next_block() {
    good_ = callback_(info_);
    ++info_->block_count;
    if (!good_) return Outcome::refused;
    if (!info_->memory || info_->size == 0) {
        good_ = false;
        return Outcome::empty_block;
    }
    position_ = info_->memory;
    remaining_ = info_->size;
    return Outcome::done;
}

template <bool into_memory>
VRX_MemoryBlockChain::Outcome VRX_MemoryBlockChain::move(unsigned char* bytes, uint32_t n,
                                                         uint32_t& moved) {
    moved = 0;
    while (moved < n) {
        if (remaining_ == 0) {
            const Outcome outcome = next_block();
            if (outcome != Outcome::done) return outcome;
        }
        const uint32_t piece = std::min(n - moved, remaining_);
        if constexpr (into_memory)
            std::memcpy(position_, bytes + moved, piece);
        else
            std::memcpy(bytes + moved, position_, piece);
        position_ += piece;
        remaining_ -= piece;
        moved += piece;
        *count_ += piece;
    }
    return Outcome::done;
}

VRX_MemoryBlockChain::Outcome VRX_MemoryBlockChain::put(const unsigned char* bytes, uint32_t n,
                                                        uint32_t& moved) {
    // Only read from: the same loop serves both directions.
    return move<true>(const_cast<unsigned char*>(bytes), n, moved);
}

VRX_MemoryBlockChain::Outcome VRX_MemoryBlockChain::take(unsigned char* bytes, uint32_t n,
                                                         uint32_t& moved) {
    return move<false>(bytes, n, moved);
}

}  // namespace vrx
