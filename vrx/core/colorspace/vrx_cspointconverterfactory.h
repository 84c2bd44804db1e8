#pragma once
// Makes the converters of a colour type to and from XYZ. T (uint8_t or
// uint16_t), the sample type of the image being planned, chooses the ITU Lab
// variant. The caller owns what it gets and gives it back through destroy().
#include "vrx/core/colorspace/vrx_cspointconverter.h"

namespace vrx {

class VRX_ColorType;

template <class T>
class VRX_CsPointConverterFactory : public VRX_Utility {
public:
    explicit VRX_CsPointConverterFactory(VRX_Manager* manager) : VRX_Utility(manager) {}
    ~VRX_CsPointConverterFactory() override = default;

    // Null for xyz, none, unknown and when the memory cannot be had (then
    // reported by the manager).
    VRX_CsPointConverter<double>* to_xyz(const VRX_ColorType* type) const;
    VRX_CsPointConverter<double>* from_xyz(const VRX_ColorType* type) const;
};

extern template class VRX_CsPointConverterFactory<uint8_t>;
extern template class VRX_CsPointConverterFactory<uint16_t>;

}  // namespace vrx
