#pragma once
// A window of bytes read ahead from positioned reads, so that reading byte by
// byte or in small pieces costs one positioned read per window. A window
// after a jump is small and grows while the reads go on from its end, so that
// a reader taking a few bytes between the places it skips does not read what
// it skips. The window's memory comes from the manager when it is first
// filled.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/read_ahead_span.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

class VRX_ReadAheadBuffer {
public:
    explicit VRX_ReadAheadBuffer(VRX_Manager* manager) : manager_(manager) {}
    VRX_ReadAheadBuffer(const VRX_ReadAheadBuffer&) = delete;
    VRX_ReadAheadBuffer& operator=(const VRX_ReadAheadBuffer&) = delete;
    ~VRX_ReadAheadBuffer() { release(); }

    // Gives the memory back and forgets the window.
    void release() {
        if (memory_) manager_->deallocate(memory_);
        memory_ = nullptr;
        capacity_ = 0;
        start_ = 0;
        bytes_ = 0;
        span_.Reset();
    }

    // The byte at `position` when the window holds it, else -1.
    int32_t byte_at(int32_t position) const {
        return holds(position) ? memory_[position - start_] : -1;
    }

    // Copies up to n bytes from `position` (advanced by the count) into out.
    // `fetch` (position, memory, n) is the positioned read; it gives the count
    // read, which is short only at the end of the data or on a failure.
    // Windows hold up to `capacity` bytes; requests of at least the window
    // that would be read, and every request when the window's memory cannot
    // be had, go straight into out. A capacity of 0 reads everything
    // straight.
    template <class Fetch>
    int32_t read(int32_t& position, unsigned char* out, int32_t n, int32_t capacity, Fetch&& fetch) {
        int32_t total = 0;
        while (total < n) {
            const int32_t rest = n - total;
            if (holds(position)) {
                const int32_t k = std::min(rest, bytes_ - (position - start_));
                std::memcpy(out + total, memory_ + (position - start_), static_cast<size_t>(k));
                total += k;
                position += k;
                continue;
            }
            const int32_t span =
                capacity > 0
                    ? static_cast<int32_t>(span_.Next(position, static_cast<uint32_t>(capacity)))
                    : 0;
            if (rest >= span || !fill(position, span, capacity, fetch)) {
                const int32_t got = fetch(position, out + total, rest);
                if (got > 0) span_.Fetched(position, static_cast<uint32_t>(got));
                total += got;
                position += got;
                break;
            }
        }
        return total;
    }

private:
    bool holds(int32_t position) const {
        return position >= start_ && position - start_ < bytes_;
    }

    // Reads `span` bytes from `position` into a window of `capacity` bytes.
    template <class Fetch>
    bool fill(int32_t position, int32_t span, int32_t capacity, Fetch& fetch) {
        if (memory_ && capacity_ != capacity) release();
        if (!memory_) {
            memory_ = static_cast<unsigned char*>(manager_->allocate(static_cast<size_t>(capacity)));
            if (!memory_) return false;
            capacity_ = capacity;
        }
        start_ = position;
        bytes_ = fetch(position, memory_, span);
        if (bytes_ > 0) span_.Fetched(position, static_cast<uint32_t>(bytes_));
        return bytes_ > 0;
    }

    VRX_Manager* manager_;
    unsigned char* memory_ = nullptr;
    int32_t capacity_ = 0;
    int32_t start_ = 0;
    int32_t bytes_ = 0;
    platform::ReadAheadSpan span_;
};

}  // namespace vrx
