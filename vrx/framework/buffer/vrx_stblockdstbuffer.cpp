#include "vrx/framework/buffer/vrx_stblockdstbuffer.h"

#include <algorithm>
#include <cstring>

#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_STBlockDstBuffer::VRX_STBlockDstBuffer(VRX_Manager* manager)
    : VRX_DstBufferBase(manager), blocks_(manager), readers_(manager) {}

void VRX_STBlockDstBuffer::free_memory(unsigned char* memory) {
    if (memory) manager_->deallocate(memory);
}

bool VRX_STBlockDstBuffer::terminate() {
    free_memory(staging_);
    staging_ = nullptr;
    for (const Block& block : blocks_)
        if (block.owned) free_memory(block.memory);
    blocks_.clear();
    if (cache_.owned) free_memory(cache_.memory);
    cache_ = BlockCache();
    readers_.clear();
    return true;
}

uint32_t VRX_STBlockDstBuffer::mem_block_bytes() {
    if (mem_block_bytes_ != 0) return mem_block_bytes_;
    const uint64_t p = block_bytes_;
    const uint64_t s = src_block_bytes_;
    const uint64_t m = s == 0 ? 0 : (p > s ? p / s * s + s : s);
    if (m == 0 || m < p || m % s != 0 || m > 0xFFFFFFFFu) {
        manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_STBlockDstBuffer::mem_block_bytes()", __FILE__,
                         __LINE__);
        return 0;
    }
    mem_block_bytes_ = static_cast<uint32_t>(m);
    return mem_block_bytes_;
}

bool VRX_STBlockDstBuffer::add_block() {
    Block block;
    if (cache_.memory) {
        block.memory = cache_.memory;
        block.owned = cache_.owned;
        cache_ = BlockCache();
    } else {
        block.memory = static_cast<unsigned char*>(manager_->allocate(mem_block_bytes_));
        if (!block.memory) return false;
        block.owned = true;
    }
    if (blocks_.push_back(block)) return true;
    if (block.owned) free_memory(block.memory);
    return false;
}

bool VRX_STBlockDstBuffer::drop_first_block() {
    if (blocks_.empty()) return false;
    const uint32_t m = mem_block_bytes_;
    if (base_ > 0xFFFFFFFFu - m) return false;  // the stream position would wrap
    const Block first = blocks_.data()[0];
    if (first.owned) {
        if (cache_.owned) free_memory(cache_.memory);
        cache_.memory = first.memory;
        cache_.owned = true;
    }
    blocks_.erase(0);
    base_ += m;
    return true;
}

unsigned char* VRX_STBlockDstBuffer::get() {
    if (state_ != state_ready || written_ > capacity_) {
        manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::get()", __FILE__, __LINE__);
        return nullptr;
    }
    const uint32_t m = mem_block_bytes();
    if (m == 0) return nullptr;
    const size_t index = (written_ - base_) / m;
    const uint32_t offset = written_ % m;
    if (offset == 0 && index >= blocks_.size() && !add_block()) return nullptr;
    if (index >= blocks_.size()) return nullptr;
    if (offset == 0 || m - offset >= block_bytes_) {
        state_ = state_in_place;
        return blocks_.data()[index].memory + offset;
    }
    if (!staging_) {
        staging_ = static_cast<unsigned char*>(manager_->allocate(block_bytes_));
        if (!staging_) return nullptr;
    }
    state_ = state_staging;
    return staging_;
}

bool VRX_STBlockDstBuffer::release(uint32_t bytes) {
    if (state_ == state_in_place) {
        written_ += bytes;
        state_ = state_ready;
        return true;
    }
    if (state_ != state_staging) {
        manager_->report(VRX_ERROR_STATE, "VRX_STBlockDstBuffer::release()", __FILE__, __LINE__);
        return false;
    }
    const uint32_t m = mem_block_bytes_;
    const size_t index = (written_ - base_) / m;
    const uint32_t offset = written_ % m;
    const uint32_t room = m - offset;
    unsigned char* block = blocks_.data()[index].memory;
    if (bytes <= room) {
        std::memcpy(block + offset, staging_, bytes);
    } else {
        std::memcpy(block + offset, staging_, room);
        if (!add_block()) return false;
        std::memcpy(blocks_.data()[index + 1].memory, staging_ + room, bytes - room);
    }
    written_ += bytes;
    state_ = state_ready;
    return true;
}

const unsigned char* VRX_STBlockDstBuffer::src_get(uint32_t position, uint32_t& count) {
    count = 0;
    const uint32_t m = mem_block_bytes();
    if (m == 0) return nullptr;
    const uint64_t wanted = uint64_t{position} + src_block_bytes_;
    while (written_ < wanted) {
        if (!manager_->run(owner_)) break;
    }
    if (written_ >= capacity_) manager_->run(owner_);
    if (written_ <= position || position < base_) return nullptr;
    const size_t index = (position - base_) / m;
    if (index >= blocks_.size()) return nullptr;
    count = std::min(written_ - position, src_block_bytes_);
    return blocks_.data()[index].memory + position % m;
}

bool VRX_STBlockDstBuffer::read(void* memory, uint32_t position, uint32_t& count) {
    count = 0;
    const uint32_t m = mem_block_bytes();
    if (m == 0) return false;
    const bool lend = readers_.size() <= 1 && m == src_block_bytes_ && state_ == state_ready &&
                      uint64_t{position} + src_block_bytes_ > written_ && position >= base_ &&
                      position <= written_;
    if (lend) {
        // The producer writes straight into the reader's memory.
        auto* target = static_cast<unsigned char*>(memory);
        const size_t index = (position - base_) / m;
        if (index < blocks_.size()) {
            Block& block = blocks_.data()[index];
            std::memcpy(target, block.memory + position % m, written_ - position);
            if (block.owned) {
                if (cache_.owned) free_memory(cache_.memory);
                cache_.memory = block.memory;
                cache_.owned = true;
            }
            block.memory = target;
            block.owned = false;
        } else if (index == blocks_.size()) {
            if (!blocks_.push_back(Block{target, false})) return false;
        } else {
            return false;
        }
        return src_get(position, count) == target;
    }
    const unsigned char* bytes = src_get(position, count);
    if (!bytes) return false;
    std::memcpy(memory, bytes, count);
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
    while (!blocks_.empty() && uint64_t{lowest} >= uint64_t{base_} + m) {
        if (!drop_first_block()) return false;
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
