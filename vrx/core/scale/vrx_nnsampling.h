#pragma once
// What the nearest-neighbour scalers share: the images they take, the
// centre rule that picks a source pixel or line for every destination one,
// and the copies by a table of picks.
#include <cstdint>
#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// A table of count 32-bit entries from the manager; null when it cannot be
// had (the manager has reported it).
inline uint32_t* allocate_table(VRX_Manager* manager, uint32_t count) {
    const platform::ByteCount bytes = platform::ByteCount(count) * sizeof(uint32_t);
    if (!bytes.fits<size_t>()) return nullptr;
    return static_cast<uint32_t*>(manager->allocate(static_cast<size_t>(bytes.value())));
}

// Raw u_integer or s_integer samples of 8 or 16 bits (any channel count),
// or of 1 bit with one channel.
inline bool is_nn_input(const VRX_Header& h) {
    const VRX_DataType* type = h.data_type();
    return h.encode_type()->is_raw() && (type->is_u_integer() || type->is_s_integer()) &&
           ((h.bits == 1 && h.channels == 1) || h.bits == 8 || h.bits == 16);
}

// The source index at accumulated position p (truncated toward zero), held
// at the last index `last` should the accumulation ever pass it.
inline uint32_t nn_index(double p, uint32_t last) {
    return p >= static_cast<double>(last) ? last : static_cast<uint32_t>(p);
}

// table[i] = (the source index of destination index i) x unit, i < count:
// the position starts at ratio / 2 and grows by ratio = source / count per
// index, accumulated in double arithmetic.
inline void fill_nn_table(uint32_t* table, uint32_t count, uint32_t source, uint32_t unit) {
    const double ratio = static_cast<double>(source) / static_cast<double>(count);
    double p = ratio * 0.5;
    for (uint32_t i = 0; i < count; ++i, p += ratio) table[i] = nn_index(p, source - 1) * unit;
}

namespace detail {
template <uint32_t Bytes, uint32_t Unit>
void gather_fixed(const unsigned char* src, const uint32_t* table, uint32_t count,
                  unsigned char* dst) {
    for (uint32_t i = 0; i < count; ++i, dst += Bytes)
        std::memcpy(dst, src + size_t{table[i]} * Unit, Bytes);
}
}  // namespace detail

// Destination pixel i (pixel_bytes bytes) is the pixel at src + table[i] x
// Unit bytes, for i < count.
template <uint32_t Unit>
void gather_pixels(const unsigned char* src, const uint32_t* table, uint32_t count,
                   uint32_t pixel_bytes, unsigned char* dst) {
    switch (pixel_bytes) {
        case 1:
            return detail::gather_fixed<1, Unit>(src, table, count, dst);
        case 2:
            return detail::gather_fixed<2, Unit>(src, table, count, dst);
        case 3:
            return detail::gather_fixed<3, Unit>(src, table, count, dst);
        case 4:
            return detail::gather_fixed<4, Unit>(src, table, count, dst);
        case 6:
            return detail::gather_fixed<6, Unit>(src, table, count, dst);
        case 8:
            return detail::gather_fixed<8, Unit>(src, table, count, dst);
        default:
            // Byte plane by byte plane.
            for (uint32_t k = 0; k < pixel_bytes; ++k)
                for (uint32_t i = 0; i < count; ++i)
                    dst[size_t{i} * pixel_bytes + k] = src[size_t{table[i]} * Unit + k];
    }
}

// Packs count bits, bit i being source bit table[i] (first pixel in the most
// significant bit); the padding bits of the last byte are 0.
inline void gather_bits(const unsigned char* src, const uint32_t* table, uint32_t count,
                        unsigned char* dst) {
    for (uint32_t i = 0; i < count; i += 8) {
        unsigned value = 0;
        const uint32_t n = count - i < 8 ? count - i : 8;
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t bit = table[i + k];
            if (src[bit / 8] & (0x80u >> (bit % 8))) value |= 0x80u >> k;
        }
        dst[i / 8] = static_cast<unsigned char>(value);
    }
}

}  // namespace vrx
