#include "vrx/core/colorspace/vrx_csutilitymaker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "vrx/core/colorspace/vrx_cspointconverterfactory.h"
#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

using CT = VRX_ColorType;

// The gray and luma weights of R, G and B.
constexpr double kWeightR = 0.298992944;
constexpr double kWeightG = 0.587015974;
constexpr double kWeightB = 0.113991082;

// Whether (inputs, outputs) has a direct table.
bool has_table_shape(uint32_t n, uint32_t m) {
    return (n == 1 && (m == 3 || m == 4)) || (n == 3 && (m == 1 || m == 3 || m == 4)) ||
           (n == 4 && (m == 1 || m == 3));
}

}  // namespace

template <class T>
VRX_CsUtilityMaker<T>::VRX_CsUtilityMaker(VRX_Manager* manager)
    : VRX_Utility(manager), utility_(manager), max_(std::numeric_limits<T>::max()) {}

template <class T>
VRX_CsUtilityMaker<T>::~VRX_CsUtilityMaker() {
    vrx::destroy(to_xyz_);
    vrx::destroy(from_xyz_);
}

template <class T>
bool VRX_CsUtilityMaker<T>::refuse() {
    manager_->report(VRX_ERROR_UNSUPPORTED, "VRX_ColorSpace::engine()", __FILE__, 110);
    return false;
}

template <class T>
T VRX_CsUtilityMaker<T>::sample(double y) const {
    const double v = max_ * y;
    if (v < 0) return 0;
    if (v > max_) return static_cast<T>(max_);
    return static_cast<T>(std::floor(v + 0.5));
}

template <class T>
bool VRX_CsUtilityMaker<T>::set_matrix(uint32_t rows, uint32_t cols,
                                       std::initializer_list<double> coefficients) {
    VRX_Matrix<double>& m = utility_.matrix;
    if (!m.resize(rows, cols)) return false;
    m.fill(0.0);
    uint32_t i = 0;
    for (double c : coefficients) {
        m.set(i / cols, i % cols, c);
        ++i;
    }
    return true;
}

template <class T>
bool VRX_CsUtilityMaker<T>::reversal(uint32_t channels) {
    if (!utility_.allocate_lut(bits_, channels)) return false;
    T* table = reinterpret_cast<T*>(utility_.lut);
    const uint32_t entries = utility_.lut_entries;
    for (uint32_t i = 0; i < entries; ++i) table[i] = static_cast<T>(max_ - i);
    for (uint32_t c = 1; c < channels; ++c)
        std::copy(table, table + entries, table + size_t{c} * entries);
    return true;
}

template <class T>
bool VRX_CsUtilityMaker<T>::double_lut() {
    utility_.kind = VRX_CsUtility::CS_LUT;
    if (!utility_.allocate_lut(bits_, 1)) return false;
    T* table = reinterpret_cast<T*>(utility_.lut);
    // Entry i from x = i / max, accumulated step by step; never past the
    // entries drawn.
    const uint32_t last = std::min(max_, utility_.lut_entries - 1);
    const double step = 1.0 / max_;
    double x = 0.0;
    for (uint32_t i = 0; i <= last; ++i, x += step) {
        double in[4] = {x, 0, 0, 0}, xyz[4] = {x, 0, 0, 0}, out[4] = {};
        if (to_xyz_) to_xyz_->convert(in, xyz);
        if (from_xyz_)
            from_xyz_->convert(xyz, out);
        else
            std::copy(xyz, xyz + 3, out);
        table[i] = sample(out[0]);
    }
    return true;
}

template <class T>
bool VRX_CsUtilityMaker<T>::double_dlut(uint32_t inputs, uint32_t outputs) {
    utility_.kind = VRX_CsUtility::CS_DLUT;
    if (!has_table_shape(inputs, outputs)) return refuse();
    if (!utility_.allocate_dlut(bits_, inputs, outputs)) return false;
    T* table = reinterpret_cast<T*>(utility_.dlut);
    uint32_t index[4] = {};
    for (uint32_t point = 0; point < utility_.dlut_entries; ++point) {
        double grid[4], xyz[4], out[4];
        for (uint32_t k = 0; k < inputs; ++k) grid[k] = index[k] * step_;
        const double* through = grid;
        if (to_xyz_) {
            to_xyz_->convert(grid, xyz);
            through = xyz;
        }
        const double* result = through;
        if (from_xyz_) {
            from_xyz_->convert(through, out);
            result = out;
        }
        for (uint32_t c = 0; c < outputs; ++c) *table++ = sample(result[c]);
        // The next grid point: the last input fastest.
        for (uint32_t k = inputs; k-- > 0;) {
            if (++index[k] < VRX_CsUtility::kGrid) break;
            index[k] = 0;
        }
    }
    return true;
}

template <class T>
template <class Converter>
bool VRX_CsUtilityMaker<T>::integer_dlut() {
    utility_.kind = VRX_CsUtility::CS_DLUT;
    const Converter converter(manager_);
    const uint32_t n = Converter::kInputs;
    if (!utility_.allocate_dlut(bits_, n, Converter::kOutputs)) return false;
    T grid[VRX_CsUtility::kGrid];
    for (uint32_t j = 0; j < VRX_CsUtility::kGrid; ++j) {
        const double g = std::clamp(j * step_ * max_, 0.0, static_cast<double>(max_));
        grid[j] = static_cast<T>(std::floor(g + 0.5));
    }
    T* table = reinterpret_cast<T*>(utility_.dlut);
    uint32_t index[4] = {};
    for (uint32_t point = 0; point < utility_.dlut_entries; ++point) {
        T in[4];
        for (uint32_t k = 0; k < n; ++k) in[k] = grid[index[k]];
        converter.convert(in, table);
        table += Converter::kOutputs;
        for (uint32_t k = n; k-- > 0;) {
            if (++index[k] < VRX_CsUtility::kGrid) break;
            index[k] = 0;
        }
    }
    return true;
}

template <class T>
bool VRX_CsUtilityMaker<T>::double_path() {
    const VRX_CsPointConverterFactory<T> factory(manager_);
    // Every planned type but xyz has converters: a missing one means the
    // memory ran out, already reported.
    if (!source_->is_xyz() && !(to_xyz_ = factory.to_xyz(source_)))
        return VRX_CsUtility::is_planned(source_) ? false : refuse();
    if (!target_->is_xyz() && !(from_xyz_ = factory.from_xyz(target_)))
        return VRX_CsUtility::is_planned(target_) ? false : refuse();
    const uint32_t n = source_->channels();
    const uint32_t m = target_->channels();
    if (n == 1 && m == 1) return double_lut();
    return double_dlut(n, m);
}

template <class T>
bool VRX_CsUtilityMaker<T>::make(const VRX_ColorType* source, const VRX_ColorType* target,
                                 uint32_t bits) {
    using K = VRX_CsUtility;
    source_ = source;
    target_ = target;
    bits_ = bits;
    max_ = std::numeric_limits<T>::max();
    step_ = 1.0 / 32;
    VRX_CsUtility& u = utility_;
    auto plan = [&](uint32_t kind, const VRX_ColorType* via = nullptr) {
        u.kind = kind;
        u.via = via;
        return true;
    };
    if (!source || !target) return refuse();
    if (source == target) return true;

    if (source->is_s_rgb()) {
        if (target->is_gray())
            return plan(K::CS_MATRIX) && set_matrix(1, 3, {kWeightR, kWeightG, kWeightB});
        if (target->is_gray_reverse())
            return plan(K::CS_MATRIX_LUT, CT::gray()) &&
                   set_matrix(1, 3, {kWeightR, kWeightG, kWeightB}) && reversal(1);
        if (target->is_ycbcr())
            return plan(K::CS_MATRIX) &&
                   set_matrix(3, 3,
                              {kWeightR, kWeightG, kWeightB, -0.16873191, -0.331273123, 0.500005033,
                               0.500005033, -0.418698983, -0.08130605});
        if (target->is_cmy()) return plan(K::CS_LUT) && reversal(3);
        if (target->is_cmyk()) return integer_dlut<Rgb2cmykINT<T>>();
        if (target->is_hsl()) return plan(K::CS_POINT);
        return double_path();
    }
    if (source->is_gray()) {
        if (target->is_s_rgb()) return plan(K::CS_MATRIX) && set_matrix(3, 1, {1, 1, 1});
        if (target->is_ycbcr()) return plan(K::CS_MATRIX) && set_matrix(3, 1, {1, 0, 0});
        if (target->is_gray_reverse())
            return bits == 1 ? plan(K::CS_NOT) : plan(K::CS_LUT) && reversal(1);
        if (target->is_lstar() && bits == 1) return plan(K::CS_RELABEL);
        return double_path();
    }
    if (source->is_lstar()) {
        if (bits != 1) return double_path();
        return plan(target->is_gray_reverse() ? K::CS_NOT : K::CS_RELABEL);
    }
    if (source->is_gray_reverse()) {
        if (target->is_s_rgb())
            return plan(K::CS_LUT_MATRIX, CT::gray()) && set_matrix(3, 1, {1, 1, 1}) && reversal(1);
        if (target->is_ycbcr())
            return plan(K::CS_LUT_MATRIX, CT::gray()) && set_matrix(3, 1, {1, 0, 0}) && reversal(1);
        if (!target->is_gray() && !target->is_lstar()) return double_path();
        if (bits == 1) return plan(K::CS_NOT);
        if (target->is_lstar()) return double_path();
        return plan(K::CS_LUT) && reversal(1);
    }
    if (source->is_ycbcr()) {
        if (target->is_s_rgb())
            return plan(K::CS_MATRIX) &&
                   set_matrix(3, 3, {1, 0, 1.402, 1, -0.3441, -0.7141, 1, 1.772, 0});
        if (target->is_gray()) return plan(K::CS_MATRIX) && set_matrix(1, 3, {1, 0, 0});
        if (target->is_gray_reverse())
            return plan(K::CS_MATRIX_LUT, CT::gray()) && set_matrix(1, 3, {1, 0, 0}) && reversal(1);
        return double_path();
    }
    if (source->is_cmy() && target->is_s_rgb()) return plan(K::CS_LUT) && reversal(3);
    if (source->is_cmyk() && target->is_s_rgb()) return integer_dlut<Cmyk2rgbINT<T>>();
    if (source->is_hsl())
        return target->is_s_rgb() ? plan(K::CS_POINT) : plan(K::CS_POINT_THEN_SPACE, CT::s_rgb());
    if (target->is_hsl()) return plan(K::CS_SPACE_THEN_POINT, CT::s_rgb());
    return double_path();
}

template class VRX_CsUtilityMaker<uint8_t>;
template class VRX_CsUtilityMaker<uint16_t>;

}  // namespace vrx
