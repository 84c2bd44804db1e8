#include "jpegkernels/kernel_dispatch.h"

#include <mutex>

#include "jpegkernels/colorconv/colorconv_kernels.h"
#include "jpegkernels/cpu/cpu_detect.h"
#include "jpegkernels/fdct/fdct_kernels.h"
#include "jpegkernels/huffencode/huffman_encode_kernels.h"
#include "jpegkernels/huffdecode/huffman_decode_kernels.h"
#include "jpegkernels/idct/idct_kernels.h"
#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/lossless/lossless_kernels.h"
#include "jpegkernels/losslessenc/lossless_encode_kernels.h"

namespace jpegkernels {

namespace detail {
std::atomic<int32_t> processorIndex{0};
}

namespace {

std::atomic<bool> kernelDispatchChosen{false};
std::mutex dispatchMutex;

// Entry of a row not built yet: the row's own argument checks, then
// kKernelNotBuilt, so that a call never runs into nothing.
template <KernelRow R, class F = typename KernelRowTraits<R>::Function>
struct NotBuilt;
template <KernelRow R, class... A>
struct NotBuilt<R, KernelStatus(A...)> {
    static KernelStatus Entry(A... args) {
        const KernelStatus s = KernelArgumentCheck<R>::Run(args...);
        return s != kKernelOk ? s : kKernelNotBuilt;
    }
};

template <KernelRow R>
constexpr KernelRowEntries<R> NotBuiltRow() {
    constexpr KernelRowFunction<R> f = &NotBuilt<R>::Entry;
    return {f, f, f, f, f, f};
}

template <int... I>
constexpr auto AllRowsNotBuilt(std::integer_sequence<int, I...>) {
    return decltype(KernelDispatchTable::rows){NotBuiltRow<static_cast<KernelRow>(I + 1)>()...};
}

constexpr KernelDispatchTable MakeTable() {
    KernelDispatchTable t{AllRowsNotBuilt(std::make_integer_sequence<int, kKernelRowCount>{})};
    // Decoding rows 13 to 22.
    std::get<static_cast<int>(KernelRow::DequantInverseDct8x8) - 1>(t.rows) = {
        DequantInverseDct8x8,       DequantInverseDct8x8_Mmx,   DequantInverseDct8x8_Sse2,
        DequantInverseDct8x8_Sse3,  DequantInverseDct8x8_Ssse3, DequantInverseDct8x8_Sse41,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecoderTableSize) - 1>(t.rows) = {
        HuffmanDecoderTableSize, HuffmanDecoderTableSize, HuffmanDecoderTableSize,
        HuffmanDecoderTableSize, HuffmanDecoderTableSize, HuffmanDecoderTableSize,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecoderTableInit) - 1>(t.rows) = {
        HuffmanDecoderTableInit,      HuffmanDecoderTableInit_Mmx,   HuffmanDecoderTableInit_Sse2,
        HuffmanDecoderTableInit_Sse3, HuffmanDecoderTableInit_Ssse3, HuffmanDecoderTableInit_Sse41,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecoderStateSize) - 1>(t.rows) = {
        HuffmanDecoderStateSize, HuffmanDecoderStateSize, HuffmanDecoderStateSize,
        HuffmanDecoderStateSize, HuffmanDecoderStateSize, HuffmanDecoderStateSize,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecoderStateInit) - 1>(t.rows) = {
        HuffmanDecoderStateInit, HuffmanDecoderStateInit, HuffmanDecoderStateInit,
        HuffmanDecoderStateInit, HuffmanDecoderStateInit, HuffmanDecoderStateInit,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecodeBlock8x8) - 1>(t.rows) = {
        HuffmanDecodeBlock8x8,      HuffmanDecodeBlock8x8_Mmx,   HuffmanDecodeBlock8x8_Sse2,
        HuffmanDecodeBlock8x8_Sse3, HuffmanDecodeBlock8x8_Ssse3, HuffmanDecodeBlock8x8_Sse41,
    };
    std::get<static_cast<int>(KernelRow::HuffmanDecodeOneDiff) - 1>(t.rows) = {
        HuffmanDecodeOneDiff,      HuffmanDecodeOneDiff,       HuffmanDecodeOneDiff_Sse2,
        HuffmanDecodeOneDiff_Sse3, HuffmanDecodeOneDiff_Ssse3, HuffmanDecodeOneDiff_Sse41,
    };
    std::get<static_cast<int>(KernelRow::LosslessDecodeRow) - 1>(t.rows) = {
        LosslessDecodeRow,      LosslessDecodeRow,       LosslessDecodeRow_Sse2,
        LosslessDecodeRow_Sse2, LosslessDecodeRow_Ssse3, LosslessDecodeRow_Sse41,
    };
    std::get<static_cast<int>(KernelRow::LosslessReconstructFirstRow) - 1>(t.rows) = {
        LosslessReconstructFirstRow,      LosslessReconstructFirstRow,       LosslessReconstructFirstRow_Sse2,
        LosslessReconstructFirstRow_Sse3, LosslessReconstructFirstRow_Ssse3, LosslessReconstructFirstRow_Sse41,
    };
    std::get<static_cast<int>(KernelRow::LosslessReconstructRow) - 1>(t.rows) = {
        LosslessReconstructRow,      LosslessReconstructRow_Mmx,   LosslessReconstructRow_Sse2,
        LosslessReconstructRow_Sse3, LosslessReconstructRow_Ssse3, LosslessReconstructRow_Sse41,
    };

    // Encoding direction: rows 1 to 12 and 23 to 29.
#define JPEGKERNELS_OWN_ENTRIES(name) {name, name##_Mmx, name##_Sse2, name##_Sse3, name##_Ssse3, name##_Sse41}
    std::get<static_cast<int>(KernelRow::RgbToYCbCrLevelShift444) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(RgbToYCbCrLevelShift444);
    std::get<static_cast<int>(KernelRow::RgbToYCbCrLevelShift422) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(RgbToYCbCrLevelShift422);
    std::get<static_cast<int>(KernelRow::RgbToYCbCrLevelShift420) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(RgbToYCbCrLevelShift420);
    std::get<static_cast<int>(KernelRow::LevelShiftSplit444) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(LevelShiftSplit444);
    std::get<static_cast<int>(KernelRow::LevelShiftSplit422) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(LevelShiftSplit422);
    std::get<static_cast<int>(KernelRow::LevelShiftSplit420) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(LevelShiftSplit420);
    std::get<static_cast<int>(KernelRow::ForwardDctQuant8x8) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(ForwardDctQuant8x8);
    std::get<static_cast<int>(KernelRow::HuffmanEncodeBlock8x8) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(HuffmanEncodeBlock8x8);
    std::get<static_cast<int>(KernelRow::HuffmanEncoderTableSize) - 1>(t.rows) = {
        HuffmanEncoderTableSize, HuffmanEncoderTableSize, HuffmanEncoderTableSize,
        HuffmanEncoderTableSize, HuffmanEncoderTableSize, HuffmanEncoderTableSize,
    };
    std::get<static_cast<int>(KernelRow::HuffmanEncoderTableInit) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(HuffmanEncoderTableInit);
    std::get<static_cast<int>(KernelRow::HuffmanEncoderStateInit) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(HuffmanEncoderStateInit);
    std::get<static_cast<int>(KernelRow::QuantTableInit) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(QuantTableInit);
    std::get<static_cast<int>(KernelRow::LosslessEncodeRow) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(LosslessEncodeRow);
    std::get<static_cast<int>(KernelRow::LosslessDiffFirstRow) - 1>(t.rows) = {
        LosslessDiffFirstRow,      LosslessDiffFirstRow,       LosslessDiffFirstRow_Sse2,
        LosslessDiffFirstRow_Sse3, LosslessDiffFirstRow_Ssse3, LosslessDiffFirstRow_Sse41,
    };
    std::get<static_cast<int>(KernelRow::LosslessDiffRow) - 1>(t.rows) = JPEGKERNELS_OWN_ENTRIES(LosslessDiffRow);
    std::get<static_cast<int>(KernelRow::LosslessEncodeOneDiff) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(LosslessEncodeOneDiff);
    std::get<static_cast<int>(KernelRow::LosslessGatherStatistics) - 1>(t.rows) = {
        LosslessGatherStatistics,      LosslessGatherStatistics,      LosslessGatherStatistics_Sse2,
        LosslessGatherStatistics_Sse2, LosslessGatherStatistics_Sse2, LosslessGatherStatistics_Sse2,
    };
    std::get<static_cast<int>(KernelRow::HuffmanTableFromStatistics) - 1>(t.rows) =
        JPEGKERNELS_OWN_ENTRIES(HuffmanTableFromStatistics);
    std::get<static_cast<int>(KernelRow::HuffmanTableFromStatisticsBufferSize) - 1>(t.rows) = {
        HuffmanTableFromStatisticsBufferSize, HuffmanTableFromStatisticsBufferSize,
        HuffmanTableFromStatisticsBufferSize, HuffmanTableFromStatisticsBufferSize,
        HuffmanTableFromStatisticsBufferSize, HuffmanTableFromStatisticsBufferSize,
    };
#undef JPEGKERNELS_OWN_ENTRIES
    return t;
}

template <int... I>
const void* EntryAddressOf(const KernelDispatchTable& t, KernelRow row, int column,
                           std::integer_sequence<int, I...>) {
    const void* result = nullptr;
    ((static_cast<int>(row) == I + 1
          ? void(result = reinterpret_cast<const void*>(std::get<I>(t.rows)[static_cast<size_t>(column)]))
          : void()),
     ...);
    return result;
}

template <int... I>
bool IsNotBuiltEntry(const void* entry, KernelRow row, std::integer_sequence<int, I...>) {
    bool result = false;
    ((static_cast<int>(row) == I + 1
          ? void(result = entry == reinterpret_cast<const void*>(&NotBuilt<static_cast<KernelRow>(I + 1)>::Entry))
          : void()),
     ...);
    return result;
}

}  // namespace

constinit const KernelDispatchTable kKernelDispatchTable = MakeTable();

const void* KernelDispatchTable::EntryAddress(KernelRow row, int column) const {
    if (column < 0 || column >= kProcessorColumns) return nullptr;
    return EntryAddressOf(*this, row, column, std::make_integer_sequence<int, kKernelRowCount>{});
}

bool IsKernelRowBuilt(KernelRow row) {
    const void* entry = kKernelDispatchTable.EntryAddress(row, 0);
    return entry != nullptr &&
           !IsNotBuiltEntry(entry, row, std::make_integer_sequence<int, kKernelRowCount>{});
}

int32_t ChooseKernelVariant() {
    detail::processorIndex.store(ProcessorIndexForCpuType(DetectCpuType()), std::memory_order_relaxed);
    return (HasCpuid() == 0 || IsGenuineIntelCpu() == 0) ? 20 : 0;
}

int32_t InitKernelDispatchOnce() {
    std::lock_guard<std::mutex> lock(dispatchMutex);
    if (!kernelDispatchChosen.load(std::memory_order_relaxed)) {
        kernelDispatchChosen.store(true, std::memory_order_release);
        ChooseKernelVariant();
    }
    return 1;
}

bool KernelDispatchChosen() { return kernelDispatchChosen.load(std::memory_order_acquire); }

void ResetKernelDispatch() {
    std::lock_guard<std::mutex> lock(dispatchMutex);
    kernelDispatchChosen.store(false, std::memory_order_release);
    detail::processorIndex.store(0, std::memory_order_relaxed);
}

void SetProcessorIndex(int32_t index) {
    if (index < 0 || index >= kProcessorColumns) index = 0;
    detail::processorIndex.store(index, std::memory_order_relaxed);
}

}  // namespace jpegkernels
