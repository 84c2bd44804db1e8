#pragma once
// Cross-column harness: runs the six entries of one kernel row on identical
// inputs and compares what they leave behind. Each caller prepares fresh
// inputs per column through GuardedArray, so every output is surrounded by
// guard bytes and can sit at any pointer offset.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "jpegkernels/kernel_dispatch.h"

namespace jpegkernels::testing {

// An array of n values of T at an element offset from a 16-byte boundary,
// with guard bytes before and after.
template <class T>
class GuardedArray {
public:
    static constexpr uint8_t kGuard = 0xC3;
    static constexpr size_t kGuardBytes = 64;

    GuardedArray(size_t n, size_t offset) : n_(n), offset_(offset), storage_(kGuardBytes * 2 + (n + offset) * sizeof(T) + 16) {
        std::memset(storage_.data(), kGuard, storage_.size());
    }
    T* data() { return reinterpret_cast<T*>(Start()) + offset_; }
    size_t size() const { return n_; }

    void Assign(const T* values) { std::memcpy(data(), values, n_ * sizeof(T)); }
    std::vector<T> Values() { return std::vector<T>(data(), data() + n_); }
    std::vector<uint8_t> Bytes() {
        const uint8_t* p = reinterpret_cast<const uint8_t*>(data());
        return std::vector<uint8_t>(p, p + n_ * sizeof(T));
    }
    // True when nothing outside the n values was written.
    bool GuardsIntact() const {
        const uint8_t* begin = reinterpret_cast<const uint8_t*>(const_cast<GuardedArray*>(this)->data());
        const uint8_t* end = begin + n_ * sizeof(T);
        for (const uint8_t& b : storage_) {
            if ((&b < begin || &b >= end) && b != kGuard) return false;
        }
        return true;
    }

private:
    uint8_t* Start() {
        const uintptr_t a = reinterpret_cast<uintptr_t>(storage_.data()) + kGuardBytes;
        return reinterpret_cast<uint8_t*>((a + 15) & ~uintptr_t{15});
    }
    size_t n_, offset_;
    std::vector<uint8_t> storage_;
};

// What one column left behind: its status and the bytes of its outputs.
struct ColumnResult {
    KernelStatus status = 0;
    std::vector<uint8_t> output;
    bool guardsIntact = true;
};

// Columns whose results must agree bit for bit, per row. Rows whose
// processor builds compute with their own rounding (and so may differ from
// the generic build by one) list their groups here; every other row must
// agree across all six columns.
template <KernelRow R>
std::vector<std::vector<int>> ExactColumnGroups() {
    if constexpr (R == KernelRow::DequantInverseDct8x8 || R == KernelRow::ForwardDctQuant8x8 ||
                  R == KernelRow::RgbToYCbCrLevelShift444 || R == KernelRow::RgbToYCbCrLevelShift422 ||
                  R == KernelRow::RgbToYCbCrLevelShift420) {
        return {{0}, {1, 2, 3, 4, 5}};
    } else {
        return {{0, 1, 2, 3, 4, 5}};
    }
}

// Calls run(entry, column) for every column of row R.
template <KernelRow R>
std::array<ColumnResult, kProcessorColumns> RunAllColumns(
    const std::function<ColumnResult(KernelRowFunction<R>, int)>& run) {
    std::array<ColumnResult, kProcessorColumns> results;
    for (int k = 0; k < kProcessorColumns; ++k) results[k] = run(kKernelDispatchTable.Row<R>()[k], k);
    return results;
}

// Guards intact everywhere, and identical status and output within every
// group (by default ExactColumnGroups<R>(); a caller whose inputs move a
// row onto another path names the groups itself).
template <KernelRow R>
::testing::AssertionResult ColumnsAgree(const std::array<ColumnResult, kProcessorColumns>& results,
                                        const std::vector<std::vector<int>>& groups = ExactColumnGroups<R>()) {
    for (int k = 0; k < kProcessorColumns; ++k) {
        if (!results[k].guardsIntact) return ::testing::AssertionFailure() << "column " << k << " wrote outside its output";
    }
    for (const std::vector<int>& group : groups) {
        const ColumnResult& first = results[group.front()];
        for (int k : group) {
            if (results[k].status != first.status) {
                return ::testing::AssertionFailure() << "status of column " << k << " is " << results[k].status
                                                     << ", column " << group.front() << " gave " << first.status;
            }
            if (results[k].output != first.output) {
                size_t i = 0;
                while (i < first.output.size() && results[k].output[i] == first.output[i]) ++i;
                return ::testing::AssertionFailure() << "column " << k << " differs from column " << group.front()
                                                     << " at output byte " << i;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace jpegkernels::testing
