#pragma once
// The kernel dispatch table: 29 rows of six entries, one entry per processor
// index, and the process-wide choice of the index.
//
// Callers reach a row through its dispatch stub, which reads the processor
// index and calls the row's entry for it with the caller's arguments:
//
//   KernelStatus s = KernelDispatchStub<KernelRow::DequantInverseDct8x8>(coefficients, output, table);
//
// The index is 0 (generic entries) until InitKernelDispatchOnce has run.
// A row whose kernels are not part of the build yet has entries that check
// their arguments and return kKernelNotBuilt.
#include <array>
#include <atomic>
#include <cstdint>
#include <tuple>
#include <utility>

#include "jpegkernels/kernel_rows.h"

namespace jpegkernels {

template <KernelRow R>
using KernelRowEntries = std::array<KernelRowFunction<R>, kProcessorColumns>;

namespace detail {
template <class Seq>
struct DispatchRows;
template <int... I>
struct DispatchRows<std::integer_sequence<int, I...>> {
    using type = std::tuple<KernelRowEntries<static_cast<KernelRow>(I + 1)>...>;
};
}  // namespace detail

struct KernelDispatchTable {
    detail::DispatchRows<std::make_integer_sequence<int, kKernelRowCount>>::type rows;

    // The six entries of a row: Row<KernelRow::X>()[processorIndex].
    template <KernelRow R>
    constexpr const KernelRowEntries<R>& Row() const {
        return std::get<static_cast<int>(R) - 1>(rows);
    }
    // An entry's address, for comparing entries across rows and columns.
    const void* EntryAddress(KernelRow row, int column) const;
};

extern const KernelDispatchTable kKernelDispatchTable;

// False while the row's entries are the not-built placeholders.
bool IsKernelRowBuilt(KernelRow row);

// Process-wide column (0..5) used by every stub.
namespace detail {
extern std::atomic<int32_t> processorIndex;
}
inline int32_t ProcessorIndex() { return detail::processorIndex.load(std::memory_order_relaxed); }

// First call of the process: marks the choice made and runs
// ChooseKernelVariant. Later calls do nothing. Always returns 1.
int32_t InitKernelDispatchOnce();
// Classifies the processor and sets the processor index; returns 0, or 20
// when the processor has no CPUID or is not GenuineIntel (the index is set all
// the same).
int32_t ChooseKernelVariant();
// True once InitKernelDispatchOnce has made the choice.
bool KernelDispatchChosen();

// For tests: forget the choice (index 0, next InitKernelDispatchOnce chooses
// again), or pin the index.
void ResetKernelDispatch();
void SetProcessorIndex(int32_t index);

namespace detail {
template <KernelRow R, class F = typename KernelRowTraits<R>::Function>
struct DispatchStub;
template <KernelRow R, class... A>
struct DispatchStub<R, KernelStatus(A...)> {
    static_assert(KernelRowTraits<R>::kHasStub, "this row is reached by nothing and has no dispatch stub");
    static KernelStatus Call(A... args) { return kKernelDispatchTable.Row<R>()[ProcessorIndex()](args...); }
};
}  // namespace detail

// Stub of a row (rows 1-6, 12-18 and 20-22), usable as a function pointer.
template <KernelRow R>
inline constexpr KernelRowFunction<R> KernelDispatchStub = &detail::DispatchStub<R>::Call;

}  // namespace jpegkernels
