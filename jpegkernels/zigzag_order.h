#pragma once
// The zig-zag order of the 64 coefficients of a block (ITU-T T.81 Figure
// A.6), for the Huffman block coders of both directions and the
// quantisation-table rows. Internal linkage: every level's translation unit
// compiles its own copy.
#include <cstdint>

namespace jpegkernels {
namespace {

// Zig-zag position k -> natural index, k = 0..63.
constexpr uint8_t kNaturalOrder[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                       12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                       35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                       58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Natural index -> zig-zag position: the inverse of kNaturalOrder.
struct ZigzagPositions {
    uint32_t of[64];
    constexpr ZigzagPositions() : of() {
        for (uint32_t k = 0; k < 64; ++k) of[kNaturalOrder[k]] = k;
    }
    constexpr uint32_t operator[](int i) const { return of[i]; }
};
constexpr ZigzagPositions kNaturalToZigzag;

}  // namespace
}  // namespace jpegkernels
