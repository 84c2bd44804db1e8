#pragma once
// Sample types of the conversion stages: choosing a template argument from a
// (data type, bits) pair, and turning a double into a sample of a type.
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "vrx/framework/base/vrx_datatype.h"
#include "vrx/framework/include/vrx_linesample.h"
#include "vrx/framework/include/vrx_numeric.h"

namespace vrx {

// Names a sample type for the dispatchers below.
template <class T>
struct VRX_SampleTag {
    using type = T;
};

// Calls f(VRX_SampleTag<T>{}) with the integer sample type of (type, bits):
// 8 bits the 8-bit type, 16 the 16-bit type, any other count the 32-bit
// type; u_integer unsigned, any other data type signed.
template <class F>
decltype(auto) with_integer_type(const VRX_DataType* type, uint16_t bits, F&& f) {
    const bool u = type == VRX_DataType::u_integer();
    switch (bits) {
        case 8:
            return u ? f(VRX_SampleTag<uint8_t>{}) : f(VRX_SampleTag<int8_t>{});
        case 16:
            return u ? f(VRX_SampleTag<uint16_t>{}) : f(VRX_SampleTag<int16_t>{});
        default:
            return u ? f(VRX_SampleTag<uint32_t>{}) : f(VRX_SampleTag<int32_t>{});
    }
}

// Calls f(VRX_SampleTag<T>{}) with the sample type of (type, bits):
//   bits  u_integer  s_integer  any other type
//   8     uint8_t    int8_t     int8_t
//   16    uint16_t   int16_t    int16_t
//   32    uint32_t   int32_t    float
//   other double     double     double
// so that every caller picks among the same eight types.
template <class F>
decltype(auto) with_sample_type(const VRX_DataType* type, uint16_t bits, F&& f) {
    if (bits == 8 || bits == 16 ||
        (bits == 32 && (type == VRX_DataType::u_integer() || type == VRX_DataType::s_integer())))
        return with_integer_type(type, bits, f);
    return bits == 32 ? f(VRX_SampleTag<float>{}) : f(VRX_SampleTag<double>{});
}

// Calls f(VRX_SampleTag<S>{}, VRX_SampleTag<D>{}) with the integer sample
// types of the source header and of (type, bits), by with_integer_type.
template <class Header, class F>
decltype(auto) with_integer_pair(const Header* header, const VRX_DataType* type, uint16_t bits,
                                 F&& f) {
    return with_integer_type(header->data_type(), header->bits, [&]<class S>(VRX_SampleTag<S> s) {
        return with_integer_type(type, bits, [&]<class D>(VRX_SampleTag<D> d) { return f(s, d); });
    });
}

// Bits of a sample of T.
template <class T>
inline constexpr uint16_t sample_bits = sizeof(T) * 8;

// The data type whose samples T holds.
template <class T>
const VRX_DataType* sample_data_type() {
    if constexpr (std::is_floating_point_v<T>)
        return VRX_DataType::floating();
    else if constexpr (std::is_signed_v<T>)
        return VRX_DataType::s_integer();
    else
        return VRX_DataType::u_integer();
}

// The range of a sample of T: the whole integer type, or plus and minus the
// largest finite value of a floating type.
template <class T>
inline constexpr double sample_min = std::is_floating_point_v<T>
                                         ? -static_cast<double>(std::numeric_limits<T>::max())
                                         : static_cast<double>(std::numeric_limits<T>::min());
template <class T>
inline constexpr double sample_max = static_cast<double>(std::numeric_limits<T>::max());

// y as a sample of D: limited to D's range, then, for integers, rounded to
// the nearest integer with halves away from zero. A value that is not a
// number gives 0 for integers and stays a NaN for floating types. Limits
// are selects, not branches, so that line loops carry no jumps.
template <class D>
inline D to_sample(double y) {
    constexpr double lo = sample_min<D>;
    constexpr double hi = sample_max<D>;
    y = y < lo ? lo : y;
    y = y > hi ? hi : y;
    if constexpr (std::is_floating_point_v<D>) {
        return static_cast<D>(y);
    } else {
        y = y == y ? y : 0.0;
        if constexpr (std::is_unsigned_v<D>) {
            // y is in [0, hi] here: adding one half and truncating rounds.
            if constexpr (sizeof(D) == 4)
                return static_cast<D>(static_cast<int64_t>(y + 0.5));
            else
                return static_cast<D>(static_cast<int32_t>(y + 0.5));
        } else {
            return static_cast<D>(static_cast<int32_t>(y + (y < 0 ? -0.5 : 0.5)));
        }
    }
}

// The linear map x x gain + offset of the conversions, in double precision.
// A gain within DBL_EPSILON of 1 counts as 1 (only the offset is added); an
// offset within DBL_EPSILON of 0 otherwise counts as 0. A NaN is neither.
struct VRX_LinearMap {
    enum class Form { add, multiply, multiply_add };

    VRX_LinearMap(double g, double o) : gain(g), offset(o) {
        if (is_equal(g, 1.0, DBL_EPSILON))
            form = Form::add;
        else if (is_equal(o, 0.0, DBL_EPSILON))
            form = Form::multiply;
        else
            form = Form::multiply_add;
    }

    double operator()(double x) const {
        switch (form) {
            case Form::add:
                return x + offset;
            case Form::multiply:
                return x * gain;
            default:
                return x * gain + offset;
        }
    }

    double gain;
    double offset;
    Form form = Form::multiply_add;
};

}  // namespace vrx
