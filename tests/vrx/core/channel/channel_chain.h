#pragma once
// Test support of the channel stages: several input images kept alive while
// chains read them, and the bits of packed one-bit lines.
#include <cstdint>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"

namespace vrx_pixel_test {

// Keeps the input images alive while a chain reads them.
struct Planes {
    std::vector<std::vector<uint8_t>> bytes;
    std::vector<Format> formats;
};

inline VRX_Vector<VRX_Engine*> sources_of(VRX_Manager& manager, const Planes& planes) {
    VRX_Vector<VRX_Engine*> sources(&manager);
    for (size_t i = 0; i < planes.bytes.size(); ++i)
        sources.push_back(read_memory(manager, planes.formats[i], planes.bytes[i]));
    return sources;
}

// Bit `at` of packed bytes, the first bit the most significant of byte 0.
inline bool bit_at(const std::vector<uint8_t>& bytes, size_t at) {
    return (bytes[at >> 3] >> (7 - (at & 7))) & 1;
}

inline void set_bit(std::vector<uint8_t>& bytes, size_t at, bool value) {
    const uint8_t mask = static_cast<uint8_t>(0x80u >> (at & 7));
    bytes[at >> 3] = static_cast<uint8_t>(value ? bytes[at >> 3] | mask : bytes[at >> 3] & ~mask);
}

}  // namespace vrx_pixel_test
