#pragma once
// Reconstruction of lossless samples from differences (rows 21 and 22).
// Internal linkage: every level's translation unit compiles its own copy.
// All sums are modulo 2^16; predictions use the samples as unsigned values
// in 32-bit signed arithmetic with arithmetic shifts.
#include <cstddef>
#include <cstdint>

#include "jpegkernels/kernel_checks.h"
#include "jpegkernels/lossless/lossless_kernels.h"

namespace jpegkernels {
namespace {

// The first row's initial prediction 2^(P - Pt - 1), the shift count taken
// modulo 32 and the value modulo 2^16.
inline uint32_t FirstRowPrediction(int32_t precision, int32_t pointTransform) {
    return (1u << (static_cast<uint32_t>(precision - pointTransform - 1) & 31)) & 0xFFFF;
}

// output[0] = seed + differences[0], then the running sum along the row:
// nine columns a step, then four, then one. Each group is read before it
// is written, so the output may be the difference row itself.
inline void RunningSum(const uint16_t* differences, uint16_t* output, int32_t count, uint32_t seed) {
    uint32_t sum = seed;
    int32_t x = 0;
    for (; x + 9 <= count; x += 9) {
        uint32_t d[9];
        for (int i = 0; i < 9; ++i) d[i] = differences[x + i];
        for (int i = 0; i < 9; ++i) {
            sum += d[i];
            output[x + i] = static_cast<uint16_t>(sum);
        }
    }
    for (; x + 4 <= count; x += 4) {
        uint32_t d[4];
        for (int i = 0; i < 4; ++i) d[i] = differences[x + i];
        for (int i = 0; i < 4; ++i) {
            sum += d[i];
            output[x + i] = static_cast<uint16_t>(sum);
        }
    }
    for (; x < count; ++x) {
        sum += differences[x];
        output[x] = static_cast<uint16_t>(sum);
    }
}

// Predictions of columns 1 and on from Ra (left), Rb (above), Rc (above
// left), all 0..65535.
struct PredictRb {
    static int32_t Of(int32_t, int32_t rb, int32_t) { return rb; }
};
struct PredictRc {
    static int32_t Of(int32_t, int32_t, int32_t rc) { return rc; }
};
struct PredictPlane {
    static int32_t Of(int32_t ra, int32_t rb, int32_t rc) { return ra + rb - rc; }
};
struct PredictRaHalfB {
    static int32_t Of(int32_t ra, int32_t rb, int32_t rc) { return ra + ((rb - rc) >> 1); }
};
struct PredictRbHalfA {
    static int32_t Of(int32_t ra, int32_t rb, int32_t rc) { return rb + ((ra - rc) >> 1); }
};
struct PredictAverage {
    static int32_t Of(int32_t ra, int32_t rb, int32_t) { return (ra + rb) >> 1; }
};

// Column 0 from the sample above, then columns 1.. from the predictor; with
// Step 2 two columns per loop pass.
template <class Predict, int Step>
void PredictRow(const uint16_t* differences, const uint16_t* previous, uint16_t* output, int32_t count) {
    int32_t ra = static_cast<uint16_t>(differences[0] + previous[0]);
    output[0] = static_cast<uint16_t>(ra);
    int32_t x = 1;
    if constexpr (Step == 2) {
        for (; x + 2 <= count; x += 2) {
            const int32_t rc = previous[x - 1], rb = previous[x], rb2 = previous[x + 1];
            const uint32_t d0 = differences[x], d1 = differences[x + 1];
            ra = static_cast<uint16_t>(d0 + static_cast<uint32_t>(Predict::Of(ra, rb, rc)));
            output[x] = static_cast<uint16_t>(ra);
            ra = static_cast<uint16_t>(d1 + static_cast<uint32_t>(Predict::Of(ra, rb2, rb)));
            output[x + 1] = static_cast<uint16_t>(ra);
        }
    }
    for (; x < count; ++x) {
        ra = static_cast<uint16_t>(differences[x] + static_cast<uint32_t>(Predict::Of(ra, previous[x], previous[x - 1])));
        output[x] = static_cast<uint16_t>(ra);
    }
}

// Predictors 1 to 7 in plain loops.
template <int Step>
void PredictRowScalar(const uint16_t* differences, const uint16_t* previous, uint16_t* output, int32_t count,
                      int32_t predictor) {
    switch (predictor) {
        case 1:
            RunningSum(differences, output, count, previous[0]);
            break;
        case 2:
            PredictRow<PredictRb, Step>(differences, previous, output, count);
            break;
        case 3:
            PredictRow<PredictRc, Step>(differences, previous, output, count);
            break;
        case 4:
            PredictRow<PredictPlane, Step>(differences, previous, output, count);
            break;
        case 5:
            PredictRow<PredictRaHalfB, Step>(differences, previous, output, count);
            break;
        case 6:
            PredictRow<PredictRbHalfA, Step>(differences, previous, output, count);
            break;
        default:
            PredictRow<PredictAverage, Step>(differences, previous, output, count);
            break;
    }
}

// The entries of indexes 0 and 1.
inline KernelStatus ReconstructRowGeneric(const uint16_t* differences, const uint16_t* previous, uint16_t* output,
                                          int32_t count, int32_t predictor) {
    if (KernelStatus s = KernelArgumentCheck<KernelRow::LosslessReconstructRow>::Run(differences, previous, output,
                                                                                    count, predictor);
        s != kKernelOk) {
        return s;
    }
    PredictRowScalar<1>(differences, previous, output, count, predictor);
    return kKernelOk;
}

}  // namespace
}  // namespace jpegkernels
