#pragma once
// One run of set pixels of a run-length coded binary line, and the byte
// format of such lines: every run is 8 bytes (first column, last column, both
// inclusive, each 32-bit little-endian), a line ends with the end pair
// (0xFFFFFFFF, 0xFFFFFFFF) and lines follow one another without padding.
#include <cstdint>

#include "platform/byte_count.h"

namespace vrx {

class VRX_Manager;

struct VRX_QMRLERun {
    static constexpr uint32_t end_value = 0xFFFFFFFFu;

    // Without values: the end pair.
    constexpr VRX_QMRLERun() = default;
    constexpr VRX_QMRLERun(uint32_t f, uint32_t l) : first(f), last(l) {}

    constexpr bool is_end() const { return first > end_value - 1 && last > end_value - 1; }

    uint32_t first = end_value;
    uint32_t last = end_value;
};

// Bytes of the longest line of n pixels (every other pixel set) with its end
// pair: ((n + 1) / 2) x 8 + 8, computed without wrapping.
constexpr platform::ByteCount run_array_bytes(uint32_t n) {
    return (platform::ByteCount(n) + 1) / 2 * 8 + 8;
}

// run_array_bytes(width) as a block size; a count beyond 32 bits is reported
// (0x80800000 with the caller's function text and line) and refused.
bool run_block_bytes(VRX_Manager* manager, uint32_t width, uint32_t& out, const char* function,
                     const char* file, uint32_t line);

// The wire form of one 32-bit value.
inline uint32_t load_run_value(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline void store_run_value(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline VRX_QMRLERun load_run(const unsigned char* p) {
    return VRX_QMRLERun(load_run_value(p), load_run_value(p + 4));
}
inline void store_run(unsigned char* p, uint32_t first, uint32_t last) {
    store_run_value(p, first);
    store_run_value(p + 4, last);
}

// Whether a run read from a stream may follow the runs before it on a line
// `width` pixels wide: first <= last <= width (a run ending at the width
// passes) and, behind an earlier run, first beyond that run's last column.
constexpr bool is_valid_run(const VRX_QMRLERun& run, uint32_t width, bool after_run,
                            uint32_t previous_last) {
    return run.first <= run.last && run.last <= width && (!after_run || run.first > previous_last);
}

}  // namespace vrx
