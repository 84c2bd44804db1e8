#include "vrx/extension/minmaxpixelvalue/vrx_minmaxpixelvalueengine.h"
#include "vrx/framework/include/vrx_linesample.h"

#include <cstring>
#include <limits>
#include <type_traits>

#include "vrx/framework/base/vrx_version.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
constexpr const char* kInitiateText = "VRX_MinMaxPixelValueEngine::initiate()";
}

template <class T, class A>
bool VRX_MinMaxPixelValueEngine<T, A>::initiate(const VRX_Header* header, VRX_SrcBuffer* src,
                                                A* minimum, A* maximum) {
    if (!check_version(VRX_INTERFACE_VERSION_BASE, kInitiateText, __FILE__, 158)) return false;
    if (!VRX_AnalyzeLineEngine::initiate(header, src)) return false;
    if (!header->palette().empty() || header->channels != 1 || header->bits != sizeof(T) * 8) {
        manager_->report(VRX_ERROR_UNSUPPORTED, kInitiateText, __FILE__, 168);
        return false;
    }
    if (!minimum || !maximum) {
        manager_->report(VRX_ERROR_ARGUMENT, kInitiateText, __FILE__, 175);
        return false;
    }
    minimum_ = minimum;
    maximum_ = maximum;
    samples_ = header->width;
    if constexpr (std::is_floating_point_v<A>) {
        *minimum_ = std::numeric_limits<A>::max();
        *maximum_ = -std::numeric_limits<A>::max();
    } else {
        *minimum_ = std::numeric_limits<A>::max();
        *maximum_ = std::numeric_limits<A>::min();
    }
    return true;
}

template <class T, class A>
bool VRX_MinMaxPixelValueEngine<T, A>::analyze_line(const unsigned char* src) {
    auto sample = [src](uint32_t i) { return load_sample<T>(src, i); };
    A low = *minimum_;
    A high = *maximum_;
    if constexpr (std::is_floating_point_v<T>) {
        // In sample order with strict comparisons, so that a NaN changes
        // nothing and the first of two equal values (such as -0 and +0) stays.
        for (uint32_t i = 0; i < samples_; ++i) {
            const A v = sample(i);
            if (v > high) high = v;
            if (v < low) low = v;
        }
    } else if (samples_ != 0) {
        // Integers have no order ties that could be told apart: a plain
        // reduction in the sample type (vector minimum and maximum of the
        // narrowest lanes), widened once per line.
        T line_low = sample(0);
        T line_high = line_low;
        for (uint32_t i = 1; i < samples_; ++i) {
            const T v = sample(i);
            line_high = v > line_high ? v : line_high;
            line_low = v < line_low ? v : line_low;
        }
        if (A{line_high} > high) high = line_high;
        if (A{line_low} < low) low = line_low;
    }
    *minimum_ = low;
    *maximum_ = high;
    return true;
}

template class VRX_MinMaxPixelValueEngine<uint8_t, unsigned int>;
template class VRX_MinMaxPixelValueEngine<uint16_t, unsigned int>;
template class VRX_MinMaxPixelValueEngine<uint32_t, unsigned int>;
template class VRX_MinMaxPixelValueEngine<int8_t, int>;
template class VRX_MinMaxPixelValueEngine<int16_t, int>;
template class VRX_MinMaxPixelValueEngine<int32_t, int>;
template class VRX_MinMaxPixelValueEngine<float, float>;
template class VRX_MinMaxPixelValueEngine<double, double>;

}  // namespace vrx
