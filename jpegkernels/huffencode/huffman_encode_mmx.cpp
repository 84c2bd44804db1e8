// Huffman encoding rows of processor index 1: the counting bit writer, a
// fast kernel testing four lanes at a time, and a checked zero-fill that
// streams large areas past the cache.
#include <emmintrin.h>

#include "jpegkernels/huffencode/huffman_encode_level.h"

namespace jpegkernels {

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

}  // namespace jpegkernels

JPEGKERNELS_DEFINE_HUFFMAN_ENCODE_LEVEL(Mmx, false, false, KernelZeroStreaming_Mmx)
