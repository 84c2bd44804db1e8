#include "vrx/core/storage/vrx_readstorageengine.h"

#include <algorithm>
#include <array>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_ReadStorageEngine::initiate()";
constexpr const char* kExecuteText = "VRX_ReadStorageEngine::execute()";

// Each byte with its bits in the opposite order.
constexpr auto kReversed = [] {
    std::array<unsigned char, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        unsigned r = 0;
        for (unsigned b = 0; b < 8; ++b) r |= ((v >> b) & 1u) << (7 - b);
        table[v] = static_cast<unsigned char>(r);
    }
    return table;
}();

template <class Swap>
void swap_each(unsigned char* line, uint32_t bytes, uint32_t size, Swap swap) {
    for (uint32_t i = 0; i + size <= bytes; i += size) swap(line + i);
}
}  // namespace

bool VRX_ReadStorageEngine::initiate(VRX_InputStorage* storage, const VRX_Header* header,
                                     VRX_DstBuffer* dst, int32_t position, uint32_t gap,
                                     int32_t byte_order) {
    if (!check_version(VRX_INTERFACE_VERSION, kInitiateText, __FILE__, 52)) return false;
    if (!VRX_ReadEngine::initiate(storage, header, dst)) return false;
    if (position < 0) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 61);
        return false;
    }
    gap_ = gap;
    byte_order_ = byte_order;
    swapper_.set_order(byte_order);
    sample_bytes_ = (uint32_t{header->bits} + 7) / 8;
    if (!storage->seek_from_begin(position)) {
        manager_->report(VRX_ERROR_DATA, kInitiateText, __FILE__, 72);
        return false;
    }
    if (!header_.encode_type()->is_raw()) return dst->block_bytes(manager_->block_bytes());
    uint32_t line = 0;
    return header_.line_bytes(line) && dst->block_bytes(line);
}

bool VRX_ReadStorageEngine::initiate_bit_stream(VRX_InputStorage* storage,
                                                const VRX_Header* header, VRX_DstBuffer* dst,
                                                int32_t position, uint32_t first_bit) {
    if (!initiate(storage, header, dst, position, 0, VRX_MACHINE_ORDER)) return false;
    if (header_.bits != 1 || header_.channels != 1 || !header_.encode_type()->is_raw() ||
        first_bit > 7) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, __LINE__);
        return false;
    }
    // A row with the byte it starts in, and one byte of zeros past it.
    uint32_t line = 0;
    if (!header_.line_bytes(line) || !stream_.resize(size_t{line} + 2)) return false;
    bit_stream_ = true;
    pending_bits_ = first_bit == 0 ? 0 : 8 - first_bit;
    return true;
}

bool VRX_ReadStorageEngine::gather_row(unsigned char* line, uint32_t bytes) {
    unsigned char* data = stream_.data();
    // The image starts inside its first byte.
    if (lines_read_ == 0 && pending_bits_ != 0 && storage_->read(&pending_, 1) != 1) return false;
    const uint32_t width = header_.width;
    const uint32_t have = pending_bits_;
    // Bits of data[0] that precede the row.
    const uint32_t skip = have == 0 ? 0 : 8 - have;
    uint32_t used = 0;
    if (have != 0) data[used++] = pending_;
    const uint32_t fresh = width > have ? (width - have + 7) / 8 : 0;
    if (fresh != 0 && storage_->read(data + used, static_cast<int32_t>(fresh)) !=
                          static_cast<int32_t>(fresh))
        return false;
    used += fresh;
    std::fill(data + used, data + bytes + 2, static_cast<unsigned char>(0));
    // Output byte o holds the row's samples 8o to 8o + 7, first in the most
    // significant bit: the eight stream bits from bit skip of data[o] on,
    // reversed.
    for (uint32_t o = 0; o < bytes; ++o)
        line[o] = kReversed[static_cast<unsigned char>((data[o] >> skip) | (data[o + 1] << (8 - skip)))];
    if (width % 8 != 0) line[bytes - 1] &= static_cast<unsigned char>(0xFF00u >> (width % 8));
    // What is left of the row's last byte begins the next row.
    const uint32_t end = skip + width;
    pending_bits_ = (8 - end % 8) % 8;
    if (pending_bits_ != 0) pending_ = data[end / 8];
    return true;
}

bool VRX_ReadStorageEngine::execute() {
    const bool raw = header_.encode_type()->is_raw();
    if (raw && lines_read_ >= header_.height) return false;
    const uint32_t room = dst_buffer_->get_block_bytes();
    unsigned char* out = dst_buffer_->get();
    if (!out) return false;
    if (bit_stream_) {
        if (!gather_row(out, room)) {
            manager_->report(VRX_ERROR_DATA, kExecuteText, __FILE__, 123);
            dst_buffer_->release(0);
            return false;
        }
        ++lines_read_;
        return dst_buffer_->release(room);
    }
    if (lines_read_ > 0 && gap_ != 0) {
        // Skips in steps a signed count can carry.
        uint32_t left = gap_;
        while (left > 0) {
            const int32_t step = static_cast<int32_t>(std::min<uint32_t>(left, INT32_MAX));
            const int32_t skipped = storage_->skip(step);
            if (skipped != step) {
                manager_->report(VRX_ERROR_DATA, kExecuteText, __FILE__, 112);
                dst_buffer_->release(0);
                return false;
            }
            left -= static_cast<uint32_t>(step);
        }
    }
    const int32_t wanted = static_cast<int32_t>(std::min<uint32_t>(room, INT32_MAX));
    const int32_t got = std::max(storage_->read(out, wanted), int32_t{0});
    if (raw) {
        if (static_cast<uint32_t>(got) < room) {
            manager_->report(VRX_ERROR_DATA, kExecuteText, __FILE__, 123);
            dst_buffer_->release(0);
            return false;
        }
        if (sample_bytes_ >= 2 && byte_order_ != VRX_MACHINE_ORDER)
            swap_samples(out, static_cast<uint32_t>(got));
    } else if (got == 0) {
        dst_buffer_->release(0);
        return false;
    }
    ++lines_read_;
    return dst_buffer_->release(static_cast<uint32_t>(got));
}

void VRX_ReadStorageEngine::swap_samples(unsigned char* line, uint32_t bytes) const {
    switch (sample_bytes_) {
        case 2:
            return swap_each(line, bytes, 2, [](unsigned char* p) { std::swap(p[0], p[1]); });
        case 4:
            return swap_each(line, bytes, 4, [](unsigned char* p) {
                std::swap(p[0], p[3]);
                std::swap(p[1], p[2]);
            });
        default:
            return swap_each(line, bytes, sample_bytes_,
                             [&](unsigned char* p) { swapper_.convert(p, sample_bytes_); });
    }
}

}  // namespace vrx
