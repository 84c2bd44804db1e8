#pragma once
// Size from which the fill and copy helpers of processor levels 2 to 5 switch
// to non-temporal stores: the largest cache the processor lists in its CPUID
// leaf-2 descriptors. Looked up once and kept.
#include <cstdint>

namespace jpegkernels {

// -1 when the processor lists no known cache (every vendor but GenuineIntel,
// and Intel processors that describe their caches elsewhere).
inline constexpr int64_t kNoStreamingThreshold = -1;

// The threshold in bytes as the processor reports it, asked anew.
int64_t LookUpStreamingThreshold();

// The cached threshold; the first call looks it up.
int64_t StreamingThreshold();

// Replaces the cached threshold (tests force the streaming paths with it);
// ResetStreamingThreshold makes the next call look it up again.
void SetStreamingThreshold(int64_t bytes);
void ResetStreamingThreshold();

}  // namespace jpegkernels
