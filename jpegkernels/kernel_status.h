#pragma once
// Result codes of every kernel of the JPEG kernel set.
#include <cstdint>

namespace jpegkernels {

using KernelStatus = int32_t;

inline constexpr KernelStatus kKernelOk = 0;
// Fast kernels only: nothing was done or committed, take the general path.
inline constexpr KernelStatus kKernelFastDeclined = 1;
// Warning: a quantisation value was 0; the table is complete all the same.
inline constexpr KernelStatus kKernelZeroQuantiser = 6;
inline constexpr KernelStatus kKernelCorruptData = -2;
inline constexpr KernelStatus kKernelOutOfRange = -5;
inline constexpr KernelStatus kKernelSizeBelowOne = -6;
inline constexpr KernelStatus kKernelCategoryAbove16 = -7;
inline constexpr KernelStatus kKernelNullPointer = -8;
inline constexpr KernelStatus kKernelRowStepBelowOne = -14;
inline constexpr KernelStatus kKernelDataEnded = -62;
inline constexpr KernelStatus kKernelNoCode = -63;
inline constexpr KernelStatus kKernelTooManyCodes = -64;
// A row of the dispatch table whose kernels are not part of this build yet:
// its entries check their arguments and then return this instead of running.
inline constexpr KernelStatus kKernelNotBuilt = -99;

}  // namespace jpegkernels
