#pragma once
// Memory helpers of processor indexes 2 to 5: 16-byte stores, aligned bulk
// loops and non-temporal stores for areas beyond the largest cache. Every
// level's translation unit includes this once and compiles its own copy with
// its own instruction set (internal linkage throughout).
//
// Level differences: the small-copy path (levels 2-3 copy 32-bit words
// downwards from the end, levels 4-5 in parts of 32, 16, 8, 4 bytes), the
// source loads (SSE3 unaligned loads from level 3), the direction rule for
// copies whose source and destination are both 16-byte aligned (levels 3-5),
// and the size from which a copy considers streaming.
#include <emmintrin.h>
#if defined(__SSE3__)
#include <pmmintrin.h>
#endif

#include "jpegkernels/cpu/cache_info.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

inline __m128i LoadU(const uint8_t* s) {
#if defined(__SSE3__)
    return _mm_lddqu_si128(reinterpret_cast<const __m128i*>(s));
#else
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
#endif
}
inline __m128i LoadA(const uint8_t* s) { return _mm_load_si128(reinterpret_cast<const __m128i*>(s)); }
inline void StoreU(uint8_t* d, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v); }
inline void StoreA(uint8_t* d, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(d), v); }
// Four aligned 16-byte stores of one value.
inline void StoreA64(uint8_t* d, __m128i v) {
    StoreA(d, v);
    StoreA(d + 16, v);
    StoreA(d + 32, v);
    StoreA(d + 48, v);
}
// One 64-byte group: four loads, then four aligned stores.
template <__m128i (*Load)(const uint8_t*)>
inline void CopyGroup64(const uint8_t* s, uint8_t* d) {
    const __m128i a = Load(s), b = Load(s + 16), c = Load(s + 32), e = Load(s + 48);
    StoreA(d, a);
    StoreA(d + 16, b);
    StoreA(d + 32, c);
    StoreA(d + 48, e);
}
inline void Store8(uint8_t* d, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v); }
inline void Move8(const uint8_t* s, uint8_t* d) { Put64(d, Get64(s)); }

// Stores below 16 bytes: 8..15 as two overlapping 8-byte stores, 4..7 as two
// overlapping 32-bit stores, 1..3 byte by byte.
inline void ZeroShort(uint8_t* p, int32_t r) {
    if (r >= 8) {
        if (r > 8) Put64(p, 0);
        Put64(p + r - 8, 0);
    } else if (r >= 4) {
        if (r > 4) Put32(p, 0);
        Put32(p + r - 4, 0);
    } else {
        for (int32_t i = 0; i < r; ++i) p[i] = 0;
    }
}

inline void* ZeroSimd(void* destination, int32_t count) {
    uint8_t* p = static_cast<uint8_t*>(destination);
    if (count < 16) {
        if (count > 0) ZeroShort(p, count);
        return destination;
    }
    const __m128i z = _mm_setzero_si128();
    if (const uintptr_t mis = Address(p) & 15) {
        const uintptr_t h = 16 - mis;
        if (h & 1) { *p = 0; p += 1; }
        if (h & 2) { Put16(p, 0); p += 2; }
        if (h & 4) { Put32(p, 0); p += 4; }
        if (h & 8) { Put64(p, 0); p += 8; }
        count -= static_cast<int32_t>(h);
        if (count == 0) return destination;
    }
    if (count > 524288) {
        const int64_t threshold = StreamingThreshold();
        if (threshold != kNoStreamingThreshold && count >= threshold) {
            for (; count >= 16; count -= 16, p += 16) _mm_stream_si128(reinterpret_cast<__m128i*>(p), z);
            _mm_sfence();
            if (count > 0) ZeroShort(p, count);
            return destination;
        }
    }
    for (; count >= 64; count -= 64, p += 64) StoreA64(p, z);
    for (; count >= 16; count -= 16, p += 16) StoreA(p, z);
    if (count > 0) ZeroShort(p, count);
    return destination;
}

// Copies below 64 bytes.
template <int Level>
inline void SmallCopy(const uint8_t* s, uint8_t* d, int32_t count) {
    if constexpr (Level <= 3) {
        if (count < 4) {
            for (int32_t i = count - 1; i >= 0; --i) d[i] = s[i];
            return;
        }
        // The last word, the words at offsets aligned to the destination's
        // end going down, then the first word.
        Put32(d + count - 4, Get32(s + count - 4));
        const int32_t alignedEnd = static_cast<int32_t>(((Address(d) + count) & ~uintptr_t{3}) - Address(d));
        for (int32_t o = alignedEnd - 4; o > 0; o -= 4) Put32(d + o, Get32(s + o));
        Put32(d, Get32(s));
    } else {
        if (count & 32) {
            for (int i = 0; i < 32; i += 8) Move8(s + i, d + i);
            s += 32; d += 32;
        }
        if (count & 16) { Move8(s, d); Move8(s + 8, d + 8); s += 16; d += 16; }
        if (count & 8) { Move8(s, d); s += 8; d += 8; }
        if (count & 4) { Put32(d, Get32(s)); s += 4; d += 4; }
        for (int32_t i = (count & 3) - 1; i >= 0; --i) d[i] = s[i];
    }
}

// Bytes from which a copy of this level considers streaming past the cache,
// and the stride at which it touches the source first.
template <int Level>
constexpr int32_t kStreamingCopyBound = Level == 2 ? 131073 : Level == 3 ? 524288 : 1048576;
template <int Level>
constexpr int32_t kTouchStride = Level == 2 ? 32 : 64;

// Copies in blocks of 256 KiB: touch the block's source, then copy it with
// non-temporal stores. The destination is a multiple of 16.
template <int Level>
void StreamingCopy(const uint8_t* s, uint8_t* d, int32_t count) {
    constexpr int32_t kBlock = 262144;
    for (; count >= kBlock; count -= kBlock, s += kBlock, d += kBlock) {
        const volatile uint8_t* t = s;
        for (int32_t i = 0; i < kBlock; i += kTouchStride<Level>) (void)t[i];
        for (int32_t i = 0; i < kBlock; i += 16) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + i), LoadU(s + i));
        }
    }
    const volatile uint8_t* t = s;
    for (int32_t i = count - 1; i >= 0; i -= kTouchStride<Level>) (void)t[i];
    for (; count >= 16; count -= 16, s += 16, d += 16) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(d), LoadU(s));
    }
    _mm_sfence();
    SmallCopy<Level>(s, d, count);
}

// Both pointers multiples of 16.
template <int Level>
void ForwardAlignedCopy(const uint8_t* s, uint8_t* d, int32_t count) {
    for (; count >= 64; count -= 64, s += 64, d += 64) CopyGroup64<LoadA>(s, d);
    if (count & 32) { StoreA(d, LoadA(s)); StoreA(d + 16, LoadA(s + 16)); s += 32; d += 32; }
    if (count & 16) { StoreA(d, LoadA(s)); s += 16; d += 16; }
    if (count & 8) { Move8(s, d); s += 8; d += 8; }
    if (count & 4) { Put32(d, Get32(s)); s += 4; d += 4; }
    if (count & 2) { Put16(d, Get16(s)); s += 2; d += 2; }
    if (count & 1) *d = *s;
}

// Both pointers multiples of 16: the parts below 64 bytes at the end first,
// then 64-byte groups from the end towards the start.
template <int Level>
void BackwardAlignedCopy(const uint8_t* s, uint8_t* d, int32_t count) {
    int32_t e = count;
    const int32_t rest = count & 63;
    if (rest & 1) { e -= 1; d[e] = s[e]; }
    if (rest & 2) { e -= 2; Put16(d + e, Get16(s + e)); }
    if (rest & 4) { e -= 4; Put32(d + e, Get32(s + e)); }
    if (rest & 8) { e -= 8; Move8(s + e, d + e); }
    if (rest & 16) { e -= 16; StoreU(d + e, LoadU(s + e)); }
    if (rest & 32) { e -= 32; StoreU(d + e, LoadU(s + e)); StoreU(d + e + 16, LoadU(s + e + 16)); }
    for (e -= 64; e >= 0; e -= 64) {
        const __m128i a = LoadA(s + e + 48), b = LoadA(s + e + 32), c = LoadA(s + e + 16), f = LoadA(s + e);
        StoreA(d + e + 48, a);
        StoreA(d + e + 32, b);
        StoreA(d + e + 16, c);
        StoreA(d + e, f);
    }
}

template <int Level>
void* CopySimd(const void* source, void* destination, int32_t count) {
    if (count < 1) return destination;
    const uint8_t* s = static_cast<const uint8_t*>(source);
    uint8_t* d = static_cast<uint8_t*>(destination);
    if (count < 64) {
        SmallCopy<Level>(s, d, count);
        return destination;
    }
    const int32_t total = count;
    const bool destinationWasAligned = (Address(d) & 15) == 0;
    if (!destinationWasAligned) {
        const int32_t h = static_cast<int32_t>(16 - (Address(d) & 15));
        StoreU(d, LoadU(s));
        s += h;
        d += h;
        count -= h;
    }
    const bool sourceAligned = (Address(s) & 15) == 0;

    if (total >= kStreamingCopyBound<Level> && (Level == 2 || destinationWasAligned || !sourceAligned)) {
        const int64_t threshold = StreamingThreshold();
        if (threshold != kNoStreamingThreshold && total >= threshold / 2) {
            StreamingCopy<Level>(s, d, count);
            return destination;
        }
    }

    if constexpr (Level >= 3) {
        if (sourceAligned) {
            bool forward = false;
            if (Level >= 4 || count >= 512) {
                const int64_t delta = static_cast<int64_t>(Address(s) & 4095) - static_cast<int64_t>(Address(d) & 4095);
                forward = (delta > 0 && delta <= 160) || delta < -3936;
            }
            if (forward) {
                ForwardAlignedCopy<Level>(s, d, count);
            } else {
                BackwardAlignedCopy<Level>(s, d, count);
            }
            return destination;
        }
        for (; count >= 64; count -= 64, s += 64, d += 64) CopyGroup64<LoadU>(s, d);
    } else {
        const uintptr_t sourceMod = Address(s) & 15;
        for (; count >= 64; count -= 64, s += 64, d += 64) {
            for (int i = 0; i < 64; i += 16) {
                __m128i v;
                if (sourceMod == 0) {
                    v = LoadA(s + i);
                } else if ((sourceMod & 7) == 4) {
                    v = _mm_setr_epi32(static_cast<int>(Get32(s + i)), static_cast<int>(Get32(s + i + 4)),
                                       static_cast<int>(Get32(s + i + 8)), static_cast<int>(Get32(s + i + 12)));
                } else {
                    v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + i)),
                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + i + 8)));
                }
                StoreA(d + i, v);
            }
        }
        if (sourceMod == 0) {
            for (; count >= 16; count -= 16, s += 16, d += 16) StoreA(d, LoadA(s));
        }
    }
    SmallCopy<Level>(s, d, count);
    return destination;
}

// The 32-bit fill: value broadcast to 16 bytes, aligned bulk stores.
inline void* Fill32Simd(uint32_t value, void* destination, int32_t count) {
    if (count < 1) return destination;
    uint8_t* p = static_cast<uint8_t*>(destination);
    if (Address(p) & 1) {
        for (; count > 0; --count, p += 4) Put32(p, value);
        return destination;
    }
    if (Address(p) & 2) {
        // First and last word directly; the rest continues two bytes on with
        // the value's 16-bit halves swapped.
        Put32(p, value);
        Put32(p + 4 * static_cast<int64_t>(count) - 4, value);
        value = (value >> 16) | (value << 16);
        p += 2;
        count -= 1;
        if (count == 0) return destination;
    }
    const __m128i v = _mm_set1_epi32(static_cast<int32_t>(value));
    int64_t bytes = 4 * static_cast<int64_t>(count);
    if (bytes < 16) {
        if (bytes == 4) {
            Put32(p, value);
        } else {
            Store8(p, v);
            if (bytes == 12) Store8(p + 4, v);
        }
        return destination;
    }
    if (count > 262144) {
        while (Address(p) & 15) {
            Put32(p, value);
            p += 4;
            bytes -= 4;
        }
        const int64_t threshold = StreamingThreshold();
        if (threshold != kNoStreamingThreshold && bytes > threshold) {
            for (; bytes >= 16; bytes -= 16, p += 16) _mm_stream_si128(reinterpret_cast<__m128i*>(p), v);
            _mm_sfence();
        }
    } else if (Address(p) & 15) {
        StoreU(p, v);
        const uintptr_t h = 16 - (Address(p) & 15);
        p += h;
        bytes -= static_cast<int64_t>(h);
    }
    for (; bytes >= 64; bytes -= 64, p += 64) StoreA64(p, v);
    for (; bytes >= 16; bytes -= 16, p += 16) StoreA(p, v);
    // Tail of 0, 4, 8 or 12 bytes: a word, or 8-byte stores ending at the end.
    if (bytes == 4) {
        Put32(p, value);
    } else if (bytes >= 8) {
        if (bytes == 12) Store8(p, v);
        Store8(p + bytes - 8, v);
    }
    return destination;
}

template <int Level>
KernelStatus CopyCheckedSimd(const void* source, void* destination, int32_t count) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    CopySimd<Level>(source, destination, count);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels

// Defines the four helpers of one processor index with the given suffix.
#define JPEGKERNELS_DEFINE_MEMORY_HELPERS(Suffix, Level)                                     \
    namespace jpegkernels {                                                                  \
    void* KernelZero_##Suffix(void* destination, int32_t count) {                            \
        return ZeroSimd(destination, count);                                                 \
    }                                                                                        \
    void* KernelCopy_##Suffix(const void* source, void* destination, int32_t count) {        \
        return CopySimd<Level>(source, destination, count);                                  \
    }                                                                                        \
    void* KernelFill32_##Suffix(uint32_t value, void* destination, int32_t count) {          \
        return Fill32Simd(value, destination, count);                                        \
    }                                                                                        \
    KernelStatus KernelCopyChecked_##Suffix(const void* source, void* destination,           \
                                            int32_t count) {                                 \
        return CopyCheckedSimd<Level>(source, destination, count);                           \
    }                                                                                        \
    }
