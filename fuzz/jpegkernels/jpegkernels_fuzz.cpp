// Differential fuzz target across the processor columns of the kernel set.
//
// Row 13: any coefficient block and quantisation table; the processor columns
// must agree bit for bit, stay in -512..511 and leave the coefficients alone;
// the generic column must match its own kernels run step by step.
// Memory helpers: zero, copy and fill of any size and alignment must leave the
// same bytes in every column.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/kernel_dispatch.h"
#include "jpegkernels/memory/kernel_memory.h"

namespace {

using namespace jpegkernels;

void Check(bool ok) {
    if (!ok) std::abort();
}

void FuzzRow13(const uint8_t* data, size_t size) {
    int16_t coefficients[64 + 8] = {}, table[64 + 8] = {};
    std::memcpy(coefficients, data, std::min<size_t>(size, 128));
    if (size > 128) std::memcpy(table, data + 128, std::min<size_t>(size - 128, 128));
    const size_t offset = size > 0 ? data[0] % 8 : 0;
    int16_t reference[64];
    int16_t* const input = coefficients + offset;
    int16_t saved[64];
    std::memcpy(saved, input, sizeof saved);

    int16_t generic[64];
    std::memcpy(generic, input, sizeof generic);
    Check(DequantBlock(input, table, generic, 64) == kKernelOk);
    Check(InverseDct8x8(generic) == kKernelOk);

    for (int k = 0; k < kProcessorColumns; ++k) {
        int16_t out[64 + 8];
        int16_t* const o = out + (offset + static_cast<size_t>(k)) % 8;
        Check(kKernelDispatchTable.Row<KernelRow::DequantInverseDct8x8>()[k](input, o, table) == kKernelOk);
        Check(std::memcmp(input, saved, sizeof saved) == 0);
        if (k == 0) {
            Check(std::memcmp(o, generic, sizeof generic) == 0);
        } else if (k == 1) {
            std::memcpy(reference, o, sizeof reference);
            for (int16_t v : reference) Check(v >= -512 && v <= 511);
        } else {
            Check(std::memcmp(o, reference, sizeof reference) == 0);
        }
    }
}

void FuzzMemory(const uint8_t* data, size_t size) {
    if (size < 4) return;
    const size_t from = data[0] % 16, to = data[1] % 16;
    const int32_t count = static_cast<int32_t>((data[2] | data[3] << 8) % 5000);
    const uint32_t value = size >= 8 ? static_cast<uint32_t>(data[4] | data[5] << 8 | data[6] << 16 | data[7] << 24) : 0;
    std::vector<uint8_t> source(static_cast<size_t>(count) + 32);
    for (size_t i = 0; i < source.size(); ++i) source[i] = data[i % size];
    std::vector<uint8_t> expected;
    for (int k = 0; k < kProcessorColumns; ++k) {
        const KernelMemoryHelpers& h = kKernelMemoryHelpers[k];
        std::vector<uint8_t> area(4 * static_cast<size_t>(count) + 64, 0x5A);
        h.copy(source.data() + from, area.data() + to, count);
        h.zero(area.data() + to + static_cast<size_t>(count) / 3, count / 2);
        h.fill32(value, area.data() + (to + 1) % 16 + static_cast<size_t>(count) / 2, count / 4);
        if (k == 0) {
            expected = area;
        } else {
            Check(area == expected);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0 && (data[size - 1] & 1)) {
        FuzzMemory(data, size);
    } else {
        FuzzRow13(data, size);
    }
    return 0;
}
