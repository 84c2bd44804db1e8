#pragma once
// Argument checks of every kernel row, in the order each row makes them. A
// check returns kKernelOk when the row may go on, else the status the row
// returns before reading or writing anything.
//
// Everything here has internal linkage: the header is compiled into the
// translation units of every processor level, and a shared inline copy could
// carry one level's instructions into another.
#include <cstdint>

#include "jpegkernels/kernel_rows.h"

namespace jpegkernels {
namespace {

template <KernelRow R>
struct KernelArgumentCheck;

template <class... P>
inline bool AnyNull(const P*... p) {
    return ((p == nullptr) || ...);
}

inline KernelStatus CheckMcuConversion(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {
    if (AnyNull(source, planes)) return kKernelNullPointer;
    if (rowStep < 1) return kKernelRowStepBelowOne;
    if (AnyNull(planes[0], planes[1], planes[2])) return kKernelNullPointer;
    return kKernelOk;
}

inline KernelStatus CheckSizeQuery(const int32_t* size) {
    return size == nullptr ? kKernelNullPointer : kKernelOk;
}

// Rows 21 and 24.
inline KernelStatus CheckFirstRow(const uint16_t* in, const uint16_t* out, int32_t count, int32_t precision,
                                  int32_t pointTransform) {
    if (AnyNull(in, out)) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if (precision < 2 || precision > 16 || pointTransform < 0) return kKernelOutOfRange;
    return kKernelOk;
}

// Rows 22 and 25.
inline KernelStatus CheckPredictedRow(const uint16_t* in, const uint16_t* previous, const uint16_t* out,
                                      int32_t count, int32_t predictor) {
    if (AnyNull(in, previous, out)) return kKernelNullPointer;
    if (count < 1) return kKernelSizeBelowOne;
    if (predictor < 1 || predictor > 7) return kKernelOutOfRange;
    return kKernelOk;
}

// The leading checks of the encoding rows 8, 23 and 26, made before the
// flush flag is looked at.
inline KernelStatus CheckEncoderOutput(const uint8_t* buffer, int32_t capacity, const uint32_t* position,
                                       const HuffmanEncoderState* state) {
    if (buffer == nullptr) return kKernelNullPointer;
    if (capacity < 1) return kKernelSizeBelowOne;
    if (AnyNull(position, state)) return kKernelNullPointer;
    return kKernelOk;
}

template <KernelRow R>
struct McuConversionCheck {
    static KernelStatus Run(const uint8_t* source, int32_t rowStep, int16_t* const* planes) {
        return CheckMcuConversion(source, rowStep, planes);
    }
};
template <> struct KernelArgumentCheck<KernelRow::RgbToYCbCrLevelShift444> : McuConversionCheck<KernelRow::RgbToYCbCrLevelShift444> {};
template <> struct KernelArgumentCheck<KernelRow::RgbToYCbCrLevelShift422> : McuConversionCheck<KernelRow::RgbToYCbCrLevelShift422> {};
template <> struct KernelArgumentCheck<KernelRow::RgbToYCbCrLevelShift420> : McuConversionCheck<KernelRow::RgbToYCbCrLevelShift420> {};
template <> struct KernelArgumentCheck<KernelRow::LevelShiftSplit444> : McuConversionCheck<KernelRow::LevelShiftSplit444> {};
template <> struct KernelArgumentCheck<KernelRow::LevelShiftSplit422> : McuConversionCheck<KernelRow::LevelShiftSplit422> {};
template <> struct KernelArgumentCheck<KernelRow::LevelShiftSplit420> : McuConversionCheck<KernelRow::LevelShiftSplit420> {};

template <>
struct KernelArgumentCheck<KernelRow::ForwardDctQuant8x8> {
    static KernelStatus Run(const int16_t* block, const uint16_t* reciprocals) {
        return AnyNull(block, reciprocals) ? kKernelNullPointer : kKernelOk;
    }
};

// A set flush flag only needs the output checks; the rest is not examined.
template <>
struct KernelArgumentCheck<KernelRow::HuffmanEncodeBlock8x8> {
    static KernelStatus Run(const int16_t* block, const uint8_t* buffer, int32_t size, const uint32_t* position,
                            const int16_t* dcPredictor, const HuffmanEncoderTable* dcTable,
                            const HuffmanEncoderTable* acTable, const HuffmanEncoderState* state, uint32_t flush) {
        if (KernelStatus s = CheckEncoderOutput(buffer, size, position, state); s != kKernelOk) return s;
        if (flush != 0) return kKernelOk;
        return AnyNull(block, dcPredictor, dcTable, acTable) ? kKernelNullPointer : kKernelOk;
    }
};

template <> struct KernelArgumentCheck<KernelRow::HuffmanEncoderTableSize> {
    static KernelStatus Run(const int32_t* size) { return CheckSizeQuery(size); }
};
template <> struct KernelArgumentCheck<KernelRow::HuffmanDecoderTableSize> {
    static KernelStatus Run(const int32_t* size) { return CheckSizeQuery(size); }
};
template <> struct KernelArgumentCheck<KernelRow::HuffmanDecoderStateSize> {
    static KernelStatus Run(const int32_t* size) { return CheckSizeQuery(size); }
};
template <> struct KernelArgumentCheck<KernelRow::HuffmanTableFromStatisticsBufferSize> {
    static KernelStatus Run(const int32_t* size) { return CheckSizeQuery(size); }
};

template <>
struct KernelArgumentCheck<KernelRow::HuffmanEncoderTableInit> {
    static KernelStatus Run(const uint8_t* bits, const uint8_t* huffval, const HuffmanEncoderTable* table) {
        return AnyNull(bits, huffval, table) ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::HuffmanDecoderTableInit> {
    static KernelStatus Run(const uint8_t* bits, const uint8_t* huffval, const HuffmanDecoderTable* table) {
        return AnyNull(bits, huffval, table) ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::HuffmanEncoderStateInit> {
    static KernelStatus Run(const HuffmanEncoderState* state) {
        return state == nullptr ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::HuffmanDecoderStateInit> {
    static KernelStatus Run(const HuffmanDecoderState* state) {
        return state == nullptr ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::QuantTableInit> {
    static KernelStatus Run(const uint8_t* zigzagTable, const uint16_t* reciprocals) {
        return AnyNull(zigzagTable, reciprocals) ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::DequantInverseDct8x8> {
    static KernelStatus Run(const int16_t* coefficients, const int16_t* output, const int16_t* quantTable) {
        return AnyNull(coefficients, output, quantTable) ? kKernelNullPointer : kKernelOk;
    }
};

template <>
struct KernelArgumentCheck<KernelRow::HuffmanDecodeBlock8x8> {
    static KernelStatus Run(const uint8_t* data, int32_t length, const uint32_t* position, const int16_t* block,
                            const int16_t* dcPredictor, const MarkerWord* marker,
                            const HuffmanDecoderTable* dcTable, const HuffmanDecoderTable* acTable,
                            const HuffmanDecoderState* state) {
        if (data == nullptr) return kKernelNullPointer;
        if (length < 0) return kKernelOutOfRange;
        return AnyNull(position, block, dcPredictor, marker, dcTable, acTable, state) ? kKernelNullPointer
                                                                                       : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::HuffmanDecodeOneDiff> {
    static KernelStatus Run(const uint8_t* data, int32_t length, const uint32_t* position,
                            const uint16_t* difference, const MarkerWord* marker, const HuffmanDecoderTable* table,
                            const HuffmanDecoderState* state) {
        if (data == nullptr) return kKernelNullPointer;
        if (length < 1) return kKernelSizeBelowOne;
        return AnyNull(position, difference, marker, table, state) ? kKernelNullPointer : kKernelOk;
    }
};

template <>
struct KernelArgumentCheck<KernelRow::LosslessDecodeRow> {
    static KernelStatus Run(const uint8_t* data, int32_t length, const uint32_t* position,
                            uint16_t* const* outputs, int32_t columns, int32_t components, const MarkerWord* marker,
                            const HuffmanDecoderTable* const* tables, const HuffmanDecoderState* state) {
        if (data == nullptr) return kKernelNullPointer;
        if (length < 1) return kKernelSizeBelowOne;
        if (AnyNull(position, outputs)) return kKernelNullPointer;
        if (columns < 1 || components < 1) return kKernelSizeBelowOne;
        if (AnyNull(marker, tables, state)) return kKernelNullPointer;
        for (int32_t c = 0; c < components && c < 4; ++c) {
            if (outputs[c] == nullptr || tables[c] == nullptr) return kKernelNullPointer;
        }
        return kKernelOk;
    }
};

template <>
struct KernelArgumentCheck<KernelRow::LosslessReconstructFirstRow> {
    static KernelStatus Run(const uint16_t* differences, const uint16_t* output, int32_t count, int32_t precision,
                            int32_t pointTransform) {
        return CheckFirstRow(differences, output, count, precision, pointTransform);
    }
};
template <>
struct KernelArgumentCheck<KernelRow::LosslessDiffFirstRow> {
    static KernelStatus Run(const uint16_t* samples, const uint16_t* differences, int32_t count, int32_t precision,
                            int32_t pointTransform) {
        return CheckFirstRow(samples, differences, count, precision, pointTransform);
    }
};
template <>
struct KernelArgumentCheck<KernelRow::LosslessReconstructRow> {
    static KernelStatus Run(const uint16_t* differences, const uint16_t* previous, const uint16_t* output,
                            int32_t count, int32_t predictor) {
        return CheckPredictedRow(differences, previous, output, count, predictor);
    }
};
template <>
struct KernelArgumentCheck<KernelRow::LosslessDiffRow> {
    static KernelStatus Run(const uint16_t* samples, const uint16_t* above, const uint16_t* differences,
                            int32_t count, int32_t predictor) {
        return CheckPredictedRow(samples, above, differences, count, predictor);
    }
};

template <>
struct KernelArgumentCheck<KernelRow::LosslessEncodeRow> {
    static KernelStatus Run(const int16_t* const* rows, int32_t columns, int32_t components, const uint8_t* buffer,
                            int32_t capacity, const uint32_t* position, const HuffmanEncoderTable* const* tables,
                            const HuffmanEncoderState* state, uint32_t flush) {
        if (KernelStatus s = CheckEncoderOutput(buffer, capacity, position, state); s != kKernelOk) return s;
        if (flush != 0) return kKernelOk;
        if (rows == nullptr) return kKernelNullPointer;
        if (columns < 1 || components < 1) return kKernelSizeBelowOne;
        if (tables == nullptr) return kKernelNullPointer;
        for (int32_t c = 0; c < components && c < 4; ++c) {
            if (rows[c] == nullptr || tables[c] == nullptr) return kKernelNullPointer;
        }
        return kKernelOk;
    }
};

template <>
struct KernelArgumentCheck<KernelRow::LosslessEncodeOneDiff> {
    static KernelStatus Run(const int16_t* difference, const uint8_t* buffer, int32_t capacity,
                            const uint32_t* position, const HuffmanEncoderTable* table,
                            const HuffmanEncoderState* state, uint32_t flush) {
        if (KernelStatus s = CheckEncoderOutput(buffer, capacity, position, state); s != kKernelOk) return s;
        if (flush != 0) return kKernelOk;
        return AnyNull(difference, table) ? kKernelNullPointer : kKernelOk;
    }
};

template <>
struct KernelArgumentCheck<KernelRow::LosslessGatherStatistics> {
    static KernelStatus Run(const int16_t* difference, const uint32_t* counts) {
        return AnyNull(difference, counts) ? kKernelNullPointer : kKernelOk;
    }
};
template <>
struct KernelArgumentCheck<KernelRow::HuffmanTableFromStatistics> {
    static KernelStatus Run(const int32_t* counts, const uint8_t* bits, const uint8_t* huffval) {
        return AnyNull(counts, bits, huffval) ? kKernelNullPointer : kKernelOk;
    }
};

}  // namespace
}  // namespace jpegkernels
