#pragma once
// The planner of one colour-space conversion: decides the stages that turn
// an image of one colour type into another and computes their tables from
// the point converters. T is the sample type of the image (uint8_t for 1-
// and 8-bit images, uint16_t for 16-bit ones). Lives on the caller's stack
// for one conversion.
#include <cstdint>
#include <initializer_list>

#include "vrx/core/colorspace/vrx_cspointconverter.h"
#include "vrx/core/colorspace/vrx_csutility.h"

namespace vrx {

class VRX_ColorType;

template <class T>
class VRX_CsUtilityMaker : public VRX_Utility {
public:
    explicit VRX_CsUtilityMaker(VRX_Manager* manager);
    VRX_CsUtilityMaker(const VRX_CsUtilityMaker&) = delete;
    VRX_CsUtilityMaker& operator=(const VRX_CsUtilityMaker&) = delete;
    // Destroys the converters, then the utility.
    ~VRX_CsUtilityMaker() override;

    // Fills the utility with the plan from `source` to `target` for samples
    // of `bits` bits. False when a table or matrix cannot be drawn (reported
    // by the manager) or the conversion has no plan (a type without
    // converters, a channel shape without a table: 0x81000000
    // "VRX_ColorSpace::engine()").
    bool make(const VRX_ColorType* source, const VRX_ColorType* target, uint32_t bits);

    const VRX_CsUtility& utility() const { return utility_; }

private:
    bool set_matrix(uint32_t rows, uint32_t cols, std::initializer_list<double> coefficients);
    bool reversal(uint32_t channels);
    bool double_path();
    bool double_lut();
    bool double_dlut(uint32_t inputs, uint32_t outputs);
    template <class Converter>
    bool integer_dlut();
    bool refuse();
    // The stored sample of a normalised result: max x y clamped to [0, max]
    // and rounded half up.
    T sample(double y) const;

    VRX_CsUtility utility_;
    const VRX_ColorType* source_ = nullptr;
    const VRX_ColorType* target_ = nullptr;
    uint32_t bits_ = 0;
    double step_ = 1.0 / 32;
    VRX_CsPointConverter<double>* to_xyz_ = nullptr;
    VRX_CsPointConverter<double>* from_xyz_ = nullptr;
    uint32_t max_;
};

extern template class VRX_CsUtilityMaker<uint8_t>;
extern template class VRX_CsUtilityMaker<uint16_t>;

}  // namespace vrx
