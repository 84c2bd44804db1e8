// Forward DCT, quantiser and quantisation-table kernels of processor index
// 1: four lanes at a time, integer division, streaming stores.
#include "jpegkernels/fdct/fdct_simd.h"

namespace jpegkernels {

void ConvertU8ToU16Row_Mmx(const uint8_t* source, uint16_t* destination, int64_t count) {
    int64_t i = 0;
    for (; i < count && (Address(destination + i) & 7) != 0; ++i) destination[i] = source[i];
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        _mm_prefetch(reinterpret_cast<const char*>(source + i) + 128, _MM_HINT_T0);
        for (int j = 0; j < 16; j += 4) {
            const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(Get32(source + i + j))), zero);
            _mm_stream_si64(reinterpret_cast<long long*>(destination + i + j), _mm_cvtsi128_si64(v));
        }
    }
    for (; i < count; ++i) destination[i] = source[i];
    _mm_sfence();
}

KernelStatus KernelZero16Checked_Mmx(int16_t* destination, int32_t count) {
    return Zero16Checked<KernelZero_Mmx, KernelZeroStreaming_Mmx, 10240>(destination, count);
}

KernelStatus DivideValueBy16_Mmx(const uint16_t* source, uint16_t value, uint16_t* destination, int32_t count) {
    return DivideInteger<KernelZero16Checked_Mmx>(source, value, destination, count);
}

namespace {
inline void WidenRowMmx(const uint8_t* source, uint16_t* destination, int64_t count, bool) {
    ConvertU8ToU16Row_Mmx(source, destination, count);
}
}  // namespace

}  // namespace jpegkernels

JPEGKERNELS_DEFINE_FDCT_LEVEL(Mmx, false, 1, WidenRowMmx, 0, 0)
