// Memory helpers of processor index 1: 64-bit lanes (built for SSE2
// registers, so no MMX state is left behind), non-temporal 8-byte stores and
// prefetch hints for large copies, and a streaming zero-fill.
#include <emmintrin.h>

#include "jpegkernels/memory/kernel_memory.h"
#include "jpegkernels/memory/memory_access.h"

namespace jpegkernels {
namespace {

inline void Zero8(uint8_t* p) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_setzero_si128()); }

inline void Move8(const uint8_t* s, uint8_t* d) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
}

inline void Move16(const uint8_t* s, uint8_t* d) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
}

// Below 64 bytes: 16-byte groups of two 8-byte moves, then 8, 4, 2, 1.
void SmallCopy(const uint8_t* s, uint8_t* d, int32_t count) {
    for (; count >= 16; count -= 16, s += 16, d += 16) {
        Move8(s, d);
        Move8(s + 8, d + 8);
    }
    if (count & 8) { Move8(s, d); s += 8; d += 8; }
    if (count & 4) { Put32(d, Get32(s)); s += 4; d += 4; }
    if (count & 2) { Put16(d, Get16(s)); s += 2; d += 2; }
    if (count & 1) *d = *s;
}

// One unaligned 16-byte move, then both pointers advance to the
// destination's next multiple of 16. Needs count >= 16.
inline int32_t AlignDestination16(const uint8_t*& s, uint8_t*& d) {
    const int32_t h = static_cast<int32_t>((16 - (Address(d) & 15)) & 15);
    Move16(s, d);
    s += h;
    d += h;
    return h;
}

// Stores a 4-periodic byte pattern over words consecutive 32-bit words from
// a destination that is a multiple of 4.
void FillWordsAligned4(uint8_t* p, uint32_t pattern, int32_t words) {
    const __m128i v = _mm_set1_epi32(static_cast<int32_t>(pattern));
    int64_t bytes = 4 * static_cast<int64_t>(words);
    if (bytes >= 64) {
        if (Address(p) & 7) {
            Put32(p, pattern);
            p += 4;
            bytes -= 4;
        }
        for (; bytes >= 64; bytes -= 64, p += 64) {
            for (int i = 0; i < 64; i += 8) _mm_storel_epi64(reinterpret_cast<__m128i*>(p + i), v);
        }
    }
    if (bytes & 32) {
        for (int i = 0; i < 32; i += 8) _mm_storel_epi64(reinterpret_cast<__m128i*>(p + i), v);
        p += 32;
    }
    if (bytes & 16) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 8), v);
        p += 16;
    }
    if (bytes & 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
        p += 8;
    }
    if (bytes & 4) Put32(p, pattern);
}

}  // namespace

void* KernelZero_Mmx(void* destination, int32_t count) {
    if (count < 1) return destination;
    uint8_t* p = static_cast<uint8_t*>(destination);
    if (count >= 64 && (Address(p) & 7)) {
        Zero8(p);
        const int32_t h = static_cast<int32_t>(8 - (Address(p) & 7));
        p += h;
        count -= h;
    }
    for (; count >= 64; count -= 64, p += 64) {
        for (int i = 0; i < 64; i += 8) Zero8(p + i);
    }
    if (count >= 32) {
        for (int i = 0; i < 32; i += 8) Zero8(p + i);
        p += 32;
        count -= 32;
    }
    if (count >= 16) {
        Zero8(p);
        Zero8(p + 8);
        p += 16;
        count -= 16;
    }
    if (count >= 8) {
        Zero8(p);
        p += 8;
        count -= 8;
    }
    if (count >= 4) {
        Put32(p, 0);
        p += 4;
        count -= 4;
    }
    for (; count > 0; --count) *p++ = 0;
    return destination;
}

void* KernelCopy_Mmx(const void* source, void* destination, int32_t count) {
    if (count < 1) return destination;
    const uint8_t* s = static_cast<const uint8_t*>(source);
    uint8_t* d = static_cast<uint8_t*>(destination);
    if (count >= 64) {
        count -= AlignDestination16(s, d);
        if ((Address(s) & 15) == 0) {
            for (; count >= 64; count -= 64, s += 64, d += 64) {
                for (int i = 0; i < 64; i += 16) {
                    _mm_store_si128(reinterpret_cast<__m128i*>(d + i),
                                    _mm_load_si128(reinterpret_cast<const __m128i*>(s + i)));
                }
            }
        } else {
            for (; count >= 64; count -= 64, s += 64, d += 64) {
                for (int i = 0; i < 64; i += 8) Move8(s + i, d + i);
            }
        }
    }
    SmallCopy(s, d, count);
    return destination;
}

void* KernelCopyNonTemporal_Mmx(const void* source, void* destination, int32_t count) {
    if (count < 1) return destination;
    const uint8_t* s = static_cast<const uint8_t*>(source);
    uint8_t* d = static_cast<uint8_t*>(destination);
    if (count >= 96) {
        count -= AlignDestination16(s, d);
        if (Address(s) & 7) {
            // One more unaligned move brings the source to its next multiple
            // of 16; the destination stays on a multiple of 8.
            const int32_t h = static_cast<int32_t>(16 - (Address(s) & 15));
            Move16(s, d);
            s += h;
            d += h;
            count -= h;
        }
        for (; count >= 64; count -= 64, s += 64, d += 64) {
            for (int i = 0; i < 64; i += 8) {
                _mm_stream_si64(reinterpret_cast<long long*>(d + i), static_cast<long long>(Get64(s + i)));
            }
        }
        _mm_sfence();
    }
    SmallCopy(s, d, count);
    return destination;
}

void* KernelZeroStreaming_Mmx(void* destination, int32_t count) {
    uint8_t* p = static_cast<uint8_t*>(destination);
    if (count >= 8) {
        if (const uintptr_t misalign = Address(p) & 7; misalign != 0) {
            Put64(p, 0);
            p += 8 - misalign;
            count -= static_cast<int32_t>(8 - misalign);
        }
        long long* q = reinterpret_cast<long long*>(p);
        for (; count >= 64; count -= 64, q += 8) {
            for (int i = 0; i < 8; ++i) _mm_stream_si64(q + i, 0);
        }
        for (int32_t block = 32; block >= 8; block >>= 1) {
            if (count >= block) {
                for (int i = 0; i < block / 8; ++i) _mm_stream_si64(q + i, 0);
                q += block / 8;
                count -= block;
            }
        }
        p = reinterpret_cast<uint8_t*>(q);
        if (count >= 4) {
            Put32(p, 0);
            p += 4;
            count -= 4;
        }
    }
    for (; count > 0; --count) *p++ = 0;
    _mm_sfence();
    return destination;
}

void KernelPrefetch_Mmx(const void* address, int32_t count) {
    const volatile uint8_t* p = static_cast<const volatile uint8_t*>(address);
    for (; count > 0; count -= 4096, p += 4096) {
        const int32_t n = count < 4096 ? count : 4096;
        (void)p[0];
        (void)p[n - 1];
        for (int32_t i = 0; i < n; i += 32) {
            _mm_prefetch(reinterpret_cast<const char*>(const_cast<const uint8_t*>(p)) + i, _MM_HINT_NTA);
        }
    }
}

void* KernelCopyLarge_Mmx(const void* source, void* destination, int32_t count) {
    if (count < 1) return destination;
    const uint8_t* s = static_cast<const uint8_t*>(source);
    uint8_t* d = static_cast<uint8_t*>(destination);
    while (count > 0 && (Address(d) & 7)) {
        *d++ = *s++;
        --count;
    }
    if (count < 20480) {
        KernelCopyNonTemporal_Mmx(s, d, count);
        return destination;
    }
    // Bring the source to its next page boundary, then copy page by page.
    const int32_t head = static_cast<int32_t>((0u - (Address(s) & 0xFF8)) & 0xFFF);
    KernelCopyNonTemporal_Mmx(s, d, head);
    s += head;
    d += head;
    count -= head;
    for (; count >= 4096; count -= 4096, s += 4096, d += 4096) {
        KernelPrefetch_Mmx(s, 4096);
        KernelCopyNonTemporal_Mmx(s, d, 4096);
    }
    KernelCopyNonTemporal_Mmx(s, d, count);
    return destination;
}

void* KernelFill32_Mmx(uint32_t value, void* destination, int32_t count) {
    if (count < 1) return destination;
    uint8_t* p = static_cast<uint8_t*>(destination);
    const uintptr_t misalign = Address(p) & 3;
    if (misalign != 0) {
        // First and last word directly; the pattern, rotated to continue the
        // value's byte sequence, fills from the next multiple of 4.
        Put32(p, value);
        Put32(p + 4 * static_cast<int64_t>(count) - 4, value);
        const uintptr_t h = 4 - misalign;
        FillWordsAligned4(p + h, RotateForPhase(value, h), count - 1);
        return destination;
    }
    FillWordsAligned4(p, value, count);
    return destination;
}

KernelStatus KernelCopyChecked_Mmx(const void* source, void* destination, int32_t count) {
    if (source == nullptr || destination == nullptr) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if (count < 8192) {
        KernelCopy_Mmx(source, destination, count);
    } else if (count < 16384) {
        KernelCopyNonTemporal_Mmx(source, destination, count);
    } else {
        KernelCopyLarge_Mmx(source, destination, count);
    }
    return kKernelOk;
}

}  // namespace jpegkernels
