#pragma once
// One colour-space conversion plan and its tables, carried from the planner
// (VRX_CsUtilityMaker) to the stage builder (VRX_ColorSpaceConverter).
//
// `lut` holds one table per output channel, each of 2^bits entries of one
// byte (1 to 8 bits) or bits / 8 bytes. `dlut` holds, per grid point, the
// output channels' samples; grid points run with input 0 slowest and the
// last input fastest, 33 points per input.
#include <cstdint>

#include "vrx/core/colormatrix/vrx_matrix.h"
#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

class VRX_ColorType;

class VRX_CsUtility : public VRX_Utility {
public:
    // The plans, by the stages they build in chain order.
    enum Kind : uint32_t {
        CS_LUT = 0,               // one lookup stage from `lut`
        CS_MATRIX = 1,            // one colour-matrix stage from `matrix`
        CS_DLUT = 2,              // one direct-lookup stage from `dlut`
        CS_MATRIX_LUT = 3,        // matrix to `via`, then lookup to the target
        CS_LUT_MATRIX = 4,        // lookup to `via`, then matrix to the target
        CS_NOT = 5,               // header relabelled to the target, then NOT
        CS_POINT = 6,             // one point-to-point stage
        CS_RELABEL = 7,           // header relabelled to the target only
        CS_POINT_THEN_SPACE = 8,  // point-to-point to `via`, then a new plan
        CS_SPACE_THEN_POINT = 9,  // a new plan to `via`, then point-to-point
    };

    // Grid points per input of the direct tables.
    static constexpr uint16_t kGrid = 33;

    explicit VRX_CsUtility(VRX_Manager* manager) : VRX_Utility(manager), matrix(manager) {}
    VRX_CsUtility(const VRX_CsUtility&) = delete;
    VRX_CsUtility& operator=(const VRX_CsUtility&) = delete;
    // Gives the tables back (the matrix gives back its own elements).
    ~VRX_CsUtility() override;

    // Whether `type` is one of the twelve colour types conversions plan for.
    static bool is_planned(const VRX_ColorType* type);

    // Draws `lut` for `channels` tables of 2^bits entries; false when the
    // memory cannot be had.
    bool allocate_lut(uint32_t bits, uint32_t channels);
    // Draws `dlut` for 33^inputs grid points of `outputs` samples; false when
    // the memory cannot be had.
    bool allocate_dlut(uint32_t bits, uint32_t inputs, uint32_t outputs);

    uint32_t kind = CS_DLUT;
    unsigned char* lut = nullptr;
    uint32_t lut_entries = 0;
    uint32_t lut_bytes = 0;
    unsigned char* dlut = nullptr;
    uint32_t dlut_entries = 0;
    uint32_t dlut_bytes = 0;
    VRX_Matrix<double> matrix;
    const VRX_ColorType* via = nullptr;

private:
    // Replaces `table` by `bytes` new bytes counted in 64 bits.
    bool draw(unsigned char*& table, uint32_t& size, uint64_t bytes, bool ok);
};

}  // namespace vrx
