#include "vrx/core/colorspace/vrx_cspointconverterfactory.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

namespace {

template <class C>
VRX_CsPointConverter<double>* make(VRX_Manager* manager) {
    return construct<C>(manager);
}

}  // namespace

template <class T>
VRX_CsPointConverter<double>* VRX_CsPointConverterFactory<T>::to_xyz(
    const VRX_ColorType* type) const {
    using C = VRX_ColorType;
    if (type == C::gray()) return make<Gray2xyz<double>>(manager_);
    if (type == C::gray_reverse()) return make<Grayrev2xyz<double>>(manager_);
    if (type == C::lstar()) return make<Lstar2xyz<double>>(manager_);
    if (type == C::s_rgb()) return make<Srgb2xyz<double>>(manager_);
    if (type == C::adobe_rgb()) return make<Adobergb2xyz<double>>(manager_);
    if (type == C::ycbcr()) return make<Ycbcr2xyz<double>>(manager_);
    if (type == C::hsl()) return make<Hsl2xyz<double>>(manager_);
    if (type == C::icc_lab()) return make<Icclab2xyz<double>>(manager_);
    if (type == C::itu_lab()) return make<Itulab2xyz<T>>(manager_);
    if (type == C::cmy()) return make<Cmy2xyz<double>>(manager_);
    if (type == C::cmyk()) return make<Cmyk2xyz<double>>(manager_);
    return nullptr;
}

template <class T>
VRX_CsPointConverter<double>* VRX_CsPointConverterFactory<T>::from_xyz(
    const VRX_ColorType* type) const {
    using C = VRX_ColorType;
    if (type == C::gray()) return make<Xyz2gray<double>>(manager_);
    if (type == C::gray_reverse()) return make<Xyz2grayrev<double>>(manager_);
    if (type == C::lstar()) return make<Xyz2lstar<double>>(manager_);
    if (type == C::s_rgb()) return make<Xyz2srgb<double>>(manager_);
    if (type == C::adobe_rgb()) return make<Xyz2adobergb<double>>(manager_);
    if (type == C::ycbcr()) return make<Xyz2ycbcr<double>>(manager_);
    if (type == C::hsl()) return make<Xyz2hsl<double>>(manager_);
    if (type == C::icc_lab()) return make<Xyz2icclab<double>>(manager_);
    if (type == C::itu_lab()) return make<Xyz2itulab<T>>(manager_);
    if (type == C::cmy()) return make<Xyz2cmy<double>>(manager_);
    if (type == C::cmyk()) return make<Xyz2cmyk<double>>(manager_);
    return nullptr;
}

template class VRX_CsPointConverterFactory<uint8_t>;
template class VRX_CsPointConverterFactory<uint16_t>;

}  // namespace vrx
