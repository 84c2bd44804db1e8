// Lossless encoding rows of processor index 2; its row-27 entry serves
// indexes 3 to 5 as well.
#include "jpegkernels/losslessenc/lossless_encode_level.h"

namespace jpegkernels {
namespace {
// Two 8-byte loads make the unaligned 16-byte load of this level.
struct UnalignedLoad {
    static __m128i Unaligned(const uint16_t* p) {
        return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                                  _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 4)));
    }
};
}  // namespace

KernelStatus LosslessGatherStatistics_Sse2(const int16_t* difference, uint32_t* counts) {
    return CountCategory(difference, counts);
}

}  // namespace jpegkernels

JPEGKERNELS_DEFINE_LOSSLESS_ENCODE_LEVEL(Sse2, UnalignedLoad, 1, nullptr)
