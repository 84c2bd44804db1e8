#pragma once
// Encoder tables from BITS and HUFFVAL (row 10) and optimal BITS and HUFFVAL
// from symbol counts (row 28), over the memory helpers of one level.
// Internal linkage: every level's translation unit compiles its own copy.
#include <cstdint>

#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/kernel_records.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace jpegkernels {
namespace {

// Canonical codes of ITU-T T.81 Annex C in HUFFVAL order.
template <const KernelMemoryHelpers& Memory>
KernelStatus BuildEncoderTable(const uint8_t* bits, const uint8_t* huffval, HuffmanEncoderTable* table) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanEncoderTableInit>::Run(bits, huffval, table);
        s != kKernelOk) {
        return s;
    }
    uint32_t lengths[257], codes[257];
    Memory.zero(table, static_cast<int32_t>(sizeof *table));
    Memory.zero(lengths, static_cast<int32_t>(sizeof lengths));
    Memory.zero(codes, static_cast<int32_t>(sizeof codes));
    int32_t total = 0;
    for (int32_t l = 0; l < 16; ++l) total += bits[l];
    if (total > 256) return kKernelTooManyCodes;
    // Consecutive codes within a length; the code doubles from one length to
    // the next, and a length whose codes reach 2^length does not fit.
    uint32_t code = 0;
    int32_t k = 0;
    for (uint32_t l = 1; l <= 16 && k < total; ++l, code <<= 1) {
        for (int32_t i = 0; i < bits[l - 1]; ++i, ++k) {
            lengths[k] = l;
            codes[k] = code++;
        }
        if (code >= (1u << l)) return kKernelTooManyCodes;
    }
    for (int32_t k = 0; k < total; ++k) table->entries[huffval[k]] = lengths[k] << 16 | (codes[k] & 0xFFFF);
    return kKernelOk;
}


// Counts the procedure can work on: none negative, not all of symbols
// 0..255 zero, a total below 1,000,000,000 (the bound of its minimum
// search, which a merged count must never reach).
inline bool UsableCounts(const int32_t* counts) {
    int64_t total = 0;
    bool any = false;
    for (int v = 0; v < 256; ++v) {
        if (counts[v] < 0) return false;
        total += counts[v];
        any = any || counts[v] != 0;
    }
    return any && total < 1000000000;
}

// The symbol with the smallest non-zero count, the largest index winning a
// tie, skipping `skip`; -1 when there is none.
inline int32_t LeastCount(const int32_t* freq, int32_t skip) {
    int32_t least = 1000000000, found = -1;
    for (int32_t v = 0; v <= 256; ++v) {
        if (freq[v] != 0 && freq[v] <= least && v != skip) {
            least = freq[v];
            found = v;
        }
    }
    return found;
}

// ITU-T T.81 K.2: code sizes by merging the two least frequent subtrees,
// symbol 256 reserved with a count of 1 so that no code is all ones;
// lengths limited to 16, the reserved code taken out, symbols listed by
// code size, then by value. Outputs are written only on success.
template <const KernelMemoryHelpers& Memory>
KernelStatus CodesFromStatistics(const int32_t* counts, uint8_t* bits, uint8_t* huffval) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::HuffmanTableFromStatistics>::Run(counts, bits, huffval);
        s != kKernelOk) {
        return s;
    }
    if (!UsableCounts(counts)) return kKernelOutOfRange;
    int32_t freq[257], codeSize[257], others[257];
    // Codes per length 0..32, 32-bit so that 256 codes of one length fit.
    int32_t perLength[33];
    Memory.copy(counts, freq, static_cast<int32_t>(sizeof freq));
    freq[256] = 1;
    Memory.zero(codeSize, static_cast<int32_t>(sizeof codeSize));
    Memory.zero(perLength, static_cast<int32_t>(sizeof perLength));
    Memory.fill32(0xFFFFFFFFu, others, 257);
    for (;;) {
        int32_t c1 = LeastCount(freq, -1);
        int32_t c2 = LeastCount(freq, c1);
        if (c2 < 0) break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        for (++codeSize[c1]; others[c1] >= 0; ++codeSize[c1]) c1 = others[c1];
        others[c1] = c2;
        for (++codeSize[c2]; others[c2] >= 0; ++codeSize[c2]) c2 = others[c2];
    }
    for (int32_t v = 0; v <= 256; ++v) {
        if (codeSize[v] > 32) return kKernelTooManyCodes;
        if (codeSize[v] != 0) ++perLength[codeSize[v]];
    }
    // Lengths above 16: two codes of length i become one of i - 1, and a
    // code of the longest shorter length j with codes becomes two of j + 1.
    for (int32_t i = 32; i > 16; --i) {
        while (perLength[i] > 0) {
            int32_t j = i - 2;
            while (j > 0 && perLength[j] == 0) --j;
            perLength[i] -= 2;
            perLength[i - 1] += 1;
            perLength[j + 1] += 2;
            perLength[j] -= 1;
        }
    }
    int32_t longest = 16;
    while (longest > 0 && perLength[longest] == 0) --longest;
    perLength[longest] -= 1;
    uint8_t out[16];
    for (int32_t l = 1; l <= 16; ++l) out[l - 1] = static_cast<uint8_t>(perLength[l]);
    Memory.copyChecked(out, bits, 16);
    int32_t n = 0;
    for (int32_t l = 1; l <= 32; ++l) {
        for (int32_t v = 0; v < 256; ++v) {
            if (codeSize[v] == l) huffval[n++] = static_cast<uint8_t>(v);
        }
    }
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels
