#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {
namespace {

constexpr uint32_t kMaxPosition = std::numeric_limits<uint32_t>::max();
// Dropped blocks are compacted away once they are this many and at least half
// of the row, so dropping stays cheap when many blocks are held.
constexpr size_t kCompactAfter = 16;

}  // namespace

VRX_STBlockDstBuffer::VRX_STBlockDstBuffer(VRX_Manager* manager)
    : VRX_DstBufferBase(manager), blocks_(manager), readers_(manager) {}

void VRX_STBlockDstBuffer::free_memory(unsigned char* memory) {
    if (memory) manager_->deallocate(memory);
}

void VRX_STBlockDstBuffer::keep_spare(unsigned char* memory) {
    if (cache_.owned) free_memory(cache_.memory);
    cache_.memory = memory;
    cache_.owned = true;
}

bool VRX_STBlockDstBuffer::terminate() {
    free_memory(staging_);
    staging_ = nullptr;
    for (size_t i = first_; i < blocks_.size(); ++i)
        if (blocks_.data()[i].owned) free_memory(blocks_.data()[i].memory);
    blocks_.clear();
    first_ = 0;
    if (cache_.owned) free_memory(cache_.memory);
    cache_ = BlockCache();
    readers_.clear();
    producer_ = nullptr;
    return true;
}

uint32_t VRX_STBlockDstBuffer::mem_block_bytes() {
    if (mem_block_bytes_ != 0) return mem_block_bytes_;
    const uint64_t p = block_bytes_;
    const uint64_t s = src_block_bytes_;
    const uint64_t m = s == 0 ? 0 : (p > s ? p / s * s + s : s);
    if (m == 0 || m > kMaxPosition) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_STBlockDstBuffer::mem_block_bytes()", __FILE__,
                         __LINE__);
        return 0;
    }
    mem_block_bytes_ = static_cast<uint32_t>(m);
    return mem_block_bytes_;
}

bool VRX_STBlockDstBuffer::src_block_bytes(uint32_t bytes) {
    // Memory blocks are sized for the readers' block; a new size would let a
    // reader's block straddle two of them.
    if (mem_block_bytes_ != 0 && bytes != src_block_bytes_) {
        manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::src_block_bytes()", __FILE__,
                         __LINE__);
        return false;
    }
    return VRX_DstBufferBase::src_block_bytes(bytes);
}

bool VRX_STBlockDstBuffer::add_block() {
    Block added;
    if (cache_.memory) {
        added.memory = cache_.memory;
        added.owned = cache_.owned;
        cache_ = BlockCache();
    } else {
        added.memory = static_cast<unsigned char*>(manager_->allocate(mem_block_bytes_));
        if (!added.memory) return false;
        added.owned = true;
    }
    if (blocks_.push_back(added)) return true;
    if (added.owned) free_memory(added.memory);
    return false;
}

bool VRX_STBlockDstBuffer::drop_first_block() {
    if (block_count() == 0) return false;
    const uint32_t m = mem_block_bytes_;
    if (base_ > kMaxPosition - m) return false;  // the stream position would wrap
    const Block first = block(0);
    if (first.owned) keep_spare(first.memory);
    ++first_;
    if (first_ == blocks_.size()) {
        blocks_.clear();
        first_ = 0;
    } else if (first_ >= kCompactAfter && first_ * 2 >= blocks_.size()) {
        blocks_.erase(0, first_);
        first_ = 0;
    }
    base_ += m;
    return true;
}

unsigned char* VRX_STBlockDstBuffer::get() {
    if (state_ != state_ready || written_ > capacity_ || written_ < base_) {
        manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::get()", __FILE__, __LINE__);
        return nullptr;
    }
    const uint32_t m = mem_block_bytes();
    if (m == 0) return nullptr;
    const size_t index = (written_ - base_) / m;
    const uint32_t offset = written_ % m;
    if (offset == 0 && index >= block_count() && !add_block()) return nullptr;
    if (index >= block_count()) return nullptr;
    if (offset == 0 || m - offset >= block_bytes_) {
        state_ = state_in_place;
        return block(index).memory + offset;
    }
    if (!staging_) {
        staging_ = static_cast<unsigned char*>(manager_->allocate(block_bytes_));
        if (!staging_) return nullptr;
    }
    state_ = state_staging;
    return staging_;
}

bool VRX_STBlockDstBuffer::release(uint32_t bytes) {
    if (state_ != state_in_place && state_ != state_staging) {
        manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::release()", __FILE__, __LINE__);
        return false;
    }
    // More than the block handed out would have run past its memory.
    if (bytes > block_bytes_ || bytes > kMaxPosition - written_) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_STBlockDstBuffer::release()", __FILE__, __LINE__);
        return false;
    }
    if (state_ == state_staging) {
        const uint32_t m = mem_block_bytes_;
        const size_t index = (written_ - base_) / m;
        const uint32_t offset = written_ % m;
        const uint32_t room = m - offset;
        if (bytes <= room) {
            std::memcpy(block(index).memory + offset, staging_, bytes);
        } else {
            if (index + 1 >= block_count() && !add_block()) return false;
            std::memcpy(block(index).memory + offset, staging_, room);
            std::memcpy(block(index + 1).memory, staging_ + room, bytes - room);
        }
    }
    written_ += bytes;
    state_ = state_ready;
    return true;
}

bool VRX_STBlockDstBuffer::run_producer() {
    if (!producer_) {
        if (producer_ended_) return false;
        // Found once: pulls then run the engine without a look-up.
        producer_ = manager_->find(owner_ ? owner_ : this);
        if (!producer_) return false;
    }
    VRX_Engine* engine = producer_;
    if (engine->execute()) return true;
    // Finished or failed: the workflow's rule, the engine goes. Destroying it
    // may release this buffer's last owner, so nothing is touched afterwards.
    producer_ = nullptr;
    producer_ended_ = true;
    engine->destroy();
    return false;
}

void VRX_STBlockDstBuffer::producer_end() {
    producer_ = nullptr;
    producer_ended_ = true;
}

const unsigned char* VRX_STBlockDstBuffer::src_get(uint32_t position, uint32_t& count) {
    count = 0;
    const uint32_t m = mem_block_bytes();
    if (m == 0) return nullptr;
    const uint64_t wanted = uint64_t{position} + src_block_bytes_;
    while (written_ < wanted) {
        const uint32_t before = written_;
        if (!run_producer()) break;
        if (written_ == before) {
            // A step that reports progress but writes nothing would be run
            // for ever.
            manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::src_get()", __FILE__,
                             __LINE__);
            break;
        }
    }
    // A producer that has written everything sees its end and goes.
    if (written_ >= capacity_) run_producer();
    if (written_ <= position || position < base_) return nullptr;
    const size_t index = (position - base_) / m;
    if (index >= block_count()) return nullptr;
    count = std::min(written_ - position, src_block_bytes_);
    return block(index).memory + position % m;
}

bool VRX_STBlockDstBuffer::lend(unsigned char* memory, uint32_t position, uint32_t& count) {
    const uint32_t m = mem_block_bytes_;
    const size_t index = (position - base_) / m;
    if (index < block_count()) {
        Block& lent = block(index);
        std::memmove(memory, lent.memory, written_ - position);
        if (lent.owned) keep_spare(lent.memory);
        lent.memory = memory;
        lent.owned = false;
    } else if (!blocks_.push_back(Block{memory, false})) {
        return false;
    }
    return src_get(position, count) == memory;
}

bool VRX_STBlockDstBuffer::read(void* memory, uint32_t position, uint32_t& count) {
    count = 0;
    const uint32_t m = mem_block_bytes();
    if (m == 0) return false;
    auto* target = static_cast<unsigned char*>(memory);
    // The lending shortcut: one reader, memory blocks of one reader block, a
    // block not yet fully written and no block out to the producer.
    const bool lending = readers_.size() <= 1 && m == src_block_bytes_ && state_ == state_ready &&
                         position >= base_ && position <= written_ && position % m == 0 &&
                         uint64_t{position} + m > written_ &&
                         (position - base_) / m <= block_count();
    if (lending) return lend(target, position, count);
    const unsigned char* bytes = src_get(position, count);
    if (!bytes) return false;
    std::memcpy(target, bytes, count);
    return true;
}

bool VRX_STBlockDstBuffer::src_release(VRX_SrcBuffer* reader, uint32_t position) {
    uint32_t lowest = position;
    if (readers_.size() > 1) {
        bool found = false;
        for (auto& entry : readers_) {
            if (entry.first == reader) {
                entry.second = position;
                found = true;
            }
        }
        if (!found) return false;
        for (const auto& entry : readers_) lowest = std::min(lowest, entry.second);
    } else if (!readers_.empty()) {
        readers_.front().second = position;
    }
    const uint32_t m = mem_block_bytes_;
    if (m == 0) return true;
    while (block_count() != 0 && uint64_t{lowest} >= uint64_t{base_} + m) {
        if (!drop_first_block()) break;  // dropped as far as the stream position allows
    }
    return true;
}

bool VRX_STBlockDstBuffer::src_end(VRX_SrcBuffer* reader) {
    for (auto it = readers_.begin(); it != readers_.end(); ++it) {
        if (it->first == reader) {
            readers_.erase(it);
            return true;
        }
    }
    manager_->report(VRX_ERROR_ARGUMENT, "VRX_STBlockDstBuffer::src_end()", __FILE__, __LINE__);
    return false;
}

bool VRX_STBlockDstBuffer::add_reader(VRX_SrcBuffer* reader) {
    return readers_.push_back({reader, 0});
}

}  // namespace vrx
