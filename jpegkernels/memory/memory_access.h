#pragma once
// Unaligned, alias-safe scalar loads and stores for the memory helpers.
// Internal linkage: included by the translation units of every level.
#include <cstdint>

namespace jpegkernels {
namespace {

typedef uint16_t __attribute__((may_alias, aligned(1))) UnalignedU16;
typedef uint32_t __attribute__((may_alias, aligned(1))) UnalignedU32;
typedef uint64_t __attribute__((may_alias, aligned(1))) UnalignedU64;

inline void Put16(uint8_t* p, uint16_t v) { *reinterpret_cast<UnalignedU16*>(p) = v; }
inline void Put32(uint8_t* p, uint32_t v) { *reinterpret_cast<UnalignedU32*>(p) = v; }
inline void Put64(uint8_t* p, uint64_t v) { *reinterpret_cast<UnalignedU64*>(p) = v; }
inline uint16_t Get16(const uint8_t* p) { return *reinterpret_cast<const UnalignedU16*>(p); }
inline uint32_t Get32(const uint8_t* p) { return *reinterpret_cast<const UnalignedU32*>(p); }
inline uint64_t Get64(const uint8_t* p) { return *reinterpret_cast<const UnalignedU64*>(p); }

inline uintptr_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// True when one of the eight bytes of w is 0xFF (a byte the entropy-coded
// data stuffs).
inline bool HasByteFF(uint64_t w) {
    const uint64_t inverse = ~w;
    return ((inverse - 0x0101010101010101ull) & w & 0x8080808080808080ull) != 0;
}

// The 32-bit fill value as it continues at a byte offset of phase (0..3)
// past a word boundary, for little-endian stores.
inline uint32_t RotateForPhase(uint32_t value, uintptr_t phase) {
    const unsigned bits = static_cast<unsigned>(phase & 3) * 8;
    return bits == 0 ? value : (value >> bits) | (value << (32 - bits));
}

}  // namespace
}  // namespace jpegkernels
