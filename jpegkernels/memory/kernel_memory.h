#pragma once
// Zero-fill, copy and 32-bit fill helpers, one build per processor index.
// Every build of a helper leaves exactly the bytes of the generic one; they
// differ in store width, alignment handling and when they stream past the
// cache. None of them calls the C library's memory routines.
//
//   index  zero-fill          copy               fill                checked copy
//   0      KernelZero         KernelCopy         KernelFill32        KernelCopyChecked
//   1      KernelZero_Mmx     KernelCopy_Mmx     KernelFill32_Mmx    KernelCopyChecked_Mmx
//   2      KernelZero_Sse2    KernelCopy_Sse2    KernelFill32_Sse2   KernelCopyChecked_Sse2
//   3      KernelZero_Sse3    KernelCopy_Sse3    KernelFill32_Sse3   KernelCopyChecked_Sse3
//   4      KernelZero_Ssse3   KernelCopy_Ssse3   KernelFill32_Ssse3  KernelCopyChecked_Ssse3
//   5      KernelZero_Sse41   KernelCopy_Sse41   KernelFill32_Sse41  KernelCopyChecked_Sse41
//
// Zero-fills (destination, byte count) and copies (source, destination, byte
// count) return the destination; a count below 1 does nothing. Fills
// (value, destination, word count) store the 32-bit value into count
// consecutive words at any byte alignment. Checked copies return -8 for a null
// pointer, -6 for a count below 1, else copy and return 0. Copied areas must
// not overlap.
#include <cstdint>

#include "jpegkernels/kernel_status.h"

namespace jpegkernels {

void* KernelZero(void* destination, int32_t count);
void* KernelZero_Mmx(void* destination, int32_t count);
void* KernelZero_Sse2(void* destination, int32_t count);
void* KernelZero_Sse3(void* destination, int32_t count);
void* KernelZero_Ssse3(void* destination, int32_t count);
void* KernelZero_Sse41(void* destination, int32_t count);

void* KernelCopy(const void* source, void* destination, int32_t count);
void* KernelCopy_Mmx(const void* source, void* destination, int32_t count);
void* KernelCopy_Sse2(const void* source, void* destination, int32_t count);
void* KernelCopy_Sse3(const void* source, void* destination, int32_t count);
void* KernelCopy_Ssse3(const void* source, void* destination, int32_t count);
void* KernelCopy_Sse41(const void* source, void* destination, int32_t count);

void* KernelFill32(uint32_t value, void* destination, int32_t count);
void* KernelFill32_Mmx(uint32_t value, void* destination, int32_t count);
void* KernelFill32_Sse2(uint32_t value, void* destination, int32_t count);
void* KernelFill32_Sse3(uint32_t value, void* destination, int32_t count);
void* KernelFill32_Ssse3(uint32_t value, void* destination, int32_t count);
void* KernelFill32_Sse41(uint32_t value, void* destination, int32_t count);

KernelStatus KernelCopyChecked(const void* source, void* destination, int32_t count);
KernelStatus KernelCopyChecked_Mmx(const void* source, void* destination, int32_t count);
KernelStatus KernelCopyChecked_Sse2(const void* source, void* destination, int32_t count);
KernelStatus KernelCopyChecked_Sse3(const void* source, void* destination, int32_t count);
KernelStatus KernelCopyChecked_Ssse3(const void* source, void* destination, int32_t count);
KernelStatus KernelCopyChecked_Sse41(const void* source, void* destination, int32_t count);

// Index 1 large copies, reached through KernelCopyChecked_Mmx: below 8192
// bytes KernelCopy_Mmx, up to 16383 the non-temporal copy, from 16384 the
// page-wise copy with prefetching.
void* KernelCopyNonTemporal_Mmx(const void* source, void* destination, int32_t count);
void* KernelCopyLarge_Mmx(const void* source, void* destination, int32_t count);
void KernelPrefetch_Mmx(const void* address, int32_t count);
// Index 1 zero-fill past the cache: 8-byte non-temporal stores after an
// aligning head, then a fence; returns the destination.
void* KernelZeroStreaming_Mmx(void* destination, int32_t count);

// The helpers of one processor index, for code that is handed a column.
struct KernelMemoryHelpers {
    void* (*zero)(void*, int32_t);
    void* (*copy)(const void*, void*, int32_t);
    void* (*fill32)(uint32_t, void*, int32_t);
    KernelStatus (*copyChecked)(const void*, void*, int32_t);
};
inline constexpr KernelMemoryHelpers kKernelMemoryHelpers[6] = {
    {KernelZero, KernelCopy, KernelFill32, KernelCopyChecked},
    {KernelZero_Mmx, KernelCopy_Mmx, KernelFill32_Mmx, KernelCopyChecked_Mmx},
    {KernelZero_Sse2, KernelCopy_Sse2, KernelFill32_Sse2, KernelCopyChecked_Sse2},
    {KernelZero_Sse3, KernelCopy_Sse3, KernelFill32_Sse3, KernelCopyChecked_Sse3},
    {KernelZero_Ssse3, KernelCopy_Ssse3, KernelFill32_Ssse3, KernelCopyChecked_Ssse3},
    {KernelZero_Sse41, KernelCopy_Sse41, KernelFill32_Sse41, KernelCopyChecked_Sse41},
};

}  // namespace jpegkernels
