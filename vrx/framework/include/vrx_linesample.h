#pragma once
// Sample i of a line of T samples, loaded and stored with memcpy: lines may
// lie at any address (caller memory is read in place), and the compilers make
// the same plain loads and stores of it.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vrx {

template <class T>
inline T load_sample(const unsigned char* line, size_t i) {
    T v;
    std::memcpy(&v, line + i * sizeof(T), sizeof(T));
    return v;
}

template <class T>
inline void store_sample(unsigned char* line, size_t i, T v) {
    std::memcpy(line + i * sizeof(T), &v, sizeof(T));
}

// Pixels of three bytes with the order of their bytes reversed (RGB to BGR
// and back) from `in` to `out`, which do not overlap. A pixel moves as one
// four-byte load and store, the fourth byte overwritten by the next pixel;
// the last moves byte by byte.
inline void reverse_triplets(const unsigned char* in, unsigned char* out, size_t pixels) {
    if constexpr (std::endian::native == std::endian::little) {
        for (; pixels > 1; --pixels, in += 3, out += 3) {
            uint32_t v;
            std::memcpy(&v, in, 4);
            v = (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
            std::memcpy(out, &v, 4);
        }
    }
    for (; pixels > 0; --pixels, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

}  // namespace vrx
