#pragma once
// What the interpolating and area scalers share: arrays drawn from the
// manager, the images they accept, Q12 values of positions of any size, the
// two ways back from a Q12 sum to a sample, and the choice of the sample type
// by the source header.
#include <cstdint>
#include <type_traits>

#include "platform/byte_count.h"
#include "vrx/core/lut/vrx_fixedrealimpl.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// count elements of E from the manager; null when the size does not fit or
// the memory cannot be had (the manager has reported that).
template <class E>
E* allocate_array(VRX_Manager* manager, uint64_t count) {
    const platform::ByteCount bytes = platform::ByteCount(count) * sizeof(E);
    if (!bytes.fits<size_t>() || bytes.value() == 0) return nullptr;
    return static_cast<E*>(manager->allocate(static_cast<size_t>(bytes.value())));
}

// Gives an array back and clears the pointer.
template <class E>
void release_array(VRX_Manager* manager, E*& array) {
    if (array) manager->deallocate(array);
    array = nullptr;
}

// Raw, palette-free integer samples of exactly the width of T; signed and
// unsigned data are both accepted (the interpolating engines).
template <class T>
bool is_integer_input(const VRX_Header& h) {
    const VRX_DataType* type = h.data_type();
    return h.encode_type()->is_raw() && h.palette().empty() &&
           (type->is_u_integer() || type->is_s_integer()) && h.bits == 8 * sizeof(T);
}

// Raw, palette-free unsigned samples of exactly 8 or 16 bits (the area
// engines).
inline bool is_supported_u8(const VRX_Header& h) {
    return h.encode_type()->is_raw() && h.data_type()->is_u_integer() && h.bits == 8 &&
           h.palette().empty();
}
inline bool is_supported_u16(const VRX_Header& h) {
    return h.encode_type()->is_raw() && h.data_type()->is_u_integer() && h.bits == 16 &&
           h.palette().empty();
}
template <class T>
bool is_supported_unsigned(const VRX_Header& h) {
    static_assert(std::is_same_v<T, unsigned char> || std::is_same_v<T, unsigned short>);
    return sizeof(T) == 1 ? is_supported_u8(h) : is_supported_u16(h);
}

// The Q12 value of x (x x 4096 rounded to the nearest integer, halves away
// from zero) for any x whose scaled value fits 63 bits: the same numbers as
// VRX_FixedReal12 where that one has room, also for the positions of lines
// of 2^19 samples and more.
inline int64_t q12_wide(double x) {
    constexpr double half_step = 1.0 / 8192.0;
    return static_cast<int64_t>((x > 0 ? x + half_step : x - half_step) * 4096.0);
}

// The Q12 value of x for weights and ratios, which always fit 32 bits.
inline int32_t q12(double x) { return VRX_FixedReal12(x).raw(); }

// A Q12 sum back to a sample: halves rounded up.
inline int32_t round_q12_up(int32_t v) { return (v + 2048) >> 12; }
// Halves rounded away from zero.
inline int32_t round_q12_symmetric(int32_t v) {
    return v >= 0 ? (v + 2048) >> 12 : -((2048 - v) >> 12);
}
template <bool Unsigned>
int32_t round_q12(int32_t v) {
    if constexpr (Unsigned)
        return round_q12_up(v);
    else
        return round_q12_symmetric(v);
}

// The integer index of a non-negative position, held at last should the
// accumulated position ever pass it.
inline uint32_t index_at(double position, uint32_t last) {
    return position >= static_cast<double>(last) ? last : static_cast<uint32_t>(position);
}

// f(std::integral_constant<uint32_t, CH>{}) with CH the channel count for 1,
// 3 and 4 channels and 0 for any other count: the loops of the common pixel
// layouts are compiled apart.
template <class F>
decltype(auto) by_channel_count(uint32_t channels, F&& f) {
    switch (channels) {
        case 1:
            return f(std::integral_constant<uint32_t, 1>{});
        case 3:
            return f(std::integral_constant<uint32_t, 3>{});
        case 4:
            return f(std::integral_constant<uint32_t, 4>{});
        default:
            return f(std::integral_constant<uint32_t, 0>{});
    }
}

// make(static_cast<T*>(nullptr)) with T the 8- or 16-bit integer sample type
// of the header (unsigned char, unsigned short, char, short). Other depths
// of u_integer or s_integer samples and other data types are reported with
// 0x81000000 under `text` on the given lines; the result is then null.
template <class Make>
VRX_Engine* by_integer_sample(VRX_Manager* manager, const VRX_Header& h, const char* text,
                              const char* file, uint32_t u_line, uint32_t s_line,
                              uint32_t other_line, Make&& make) {
    const VRX_DataType* type = h.data_type();
    uint32_t line = other_line;
    if (type->is_u_integer()) {
        if (h.bits == 8) return make(static_cast<unsigned char*>(nullptr));
        if (h.bits == 16) return make(static_cast<unsigned short*>(nullptr));
        line = u_line;
    } else if (type->is_s_integer()) {
        if (h.bits == 8) return make(static_cast<char*>(nullptr));
        if (h.bits == 16) return make(static_cast<short*>(nullptr));
        line = s_line;
    }
    manager->report(VRX_ERROR_UNSUPPORTED, text, file, line);
    return nullptr;
}

// make(static_cast<T*>(nullptr)) with T unsigned char for 8 bits per sample
// and unsigned short for 16; other depths are reported with 0x81000000 under
// `text` and give null.
template <class Make>
VRX_Engine* by_unsigned_sample(VRX_Manager* manager, const VRX_Header& h, const char* text,
                               const char* file, uint32_t line, Make&& make) {
    if (h.bits == 8) return make(static_cast<unsigned char*>(nullptr));
    if (h.bits == 16) return make(static_cast<unsigned short*>(nullptr));
    manager->report(VRX_ERROR_UNSUPPORTED, text, file, line);
    return nullptr;
}

}  // namespace vrx
