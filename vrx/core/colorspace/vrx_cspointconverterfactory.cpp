#include "vrx/core/colorspace/vrx_cspointconverterfactory.h"

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_construct.h"

namespace vrx {

namespace {

using Make = VRX_CsPointConverter<double>* (*)(VRX_Manager*);

template <class C>
VRX_CsPointConverter<double>* make(VRX_Manager* manager) {
    return construct<C>(manager);
}

// Each colour type's converters to and from XYZ; T chooses the ITU Lab pair.
template <class T>
struct Converters {
    const VRX_ColorType* (*type)();
    Make to;
    Make from;
};

template <class T>
constexpr Converters<T> kConverters[] = {
    {VRX_ColorType::gray, make<Gray2xyz<double>>, make<Xyz2gray<double>>},
    {VRX_ColorType::gray_reverse, make<Grayrev2xyz<double>>, make<Xyz2grayrev<double>>},
    {VRX_ColorType::lstar, make<Lstar2xyz<double>>, make<Xyz2lstar<double>>},
    {VRX_ColorType::s_rgb, make<Srgb2xyz<double>>, make<Xyz2srgb<double>>},
    {VRX_ColorType::adobe_rgb, make<Adobergb2xyz<double>>, make<Xyz2adobergb<double>>},
    {VRX_ColorType::ycbcr, make<Ycbcr2xyz<double>>, make<Xyz2ycbcr<double>>},
    {VRX_ColorType::hsl, make<Hsl2xyz<double>>, make<Xyz2hsl<double>>},
    {VRX_ColorType::icc_lab, make<Icclab2xyz<double>>, make<Xyz2icclab<double>>},
    {VRX_ColorType::itu_lab, make<Itulab2xyz<T>>, make<Xyz2itulab<T>>},
    {VRX_ColorType::cmy, make<Cmy2xyz<double>>, make<Xyz2cmy<double>>},
    {VRX_ColorType::cmyk, make<Cmyk2xyz<double>>, make<Xyz2cmyk<double>>},
};

template <class T>
const Converters<T>* converters_of(const VRX_ColorType* type) {
    for (const Converters<T>& c : kConverters<T>)
        if (c.type() == type) return &c;
    return nullptr;
}

}  // namespace

template <class T>
VRX_CsPointConverter<double>* VRX_CsPointConverterFactory<T>::to_xyz(
    const VRX_ColorType* type) const {
    const Converters<T>* c = converters_of<T>(type);
    return c ? c->to(manager_) : nullptr;
}

template <class T>
VRX_CsPointConverter<double>* VRX_CsPointConverterFactory<T>::from_xyz(
    const VRX_ColorType* type) const {
    const Converters<T>* c = converters_of<T>(type);
    return c ? c->from(manager_) : nullptr;
}

template class VRX_CsPointConverterFactory<uint8_t>;
template class VRX_CsPointConverterFactory<uint16_t>;

}  // namespace vrx
