#pragma once
// Fixed-point real number: a signed integer of which the low F bits are the
// fraction. VRX_FixedRealImpl<int, 12> (4096 is 1.0, resolution 2^-12, range
// -524288 to 524288 - 2^-12) is the coefficient type of the integer scalers
// and colour matrices. Values are copied by value and arrays of them are
// plain arrays of the raw integers.
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace vrx {

template <class I, int F>
class VRX_FixedRealImpl {
    static_assert(std::is_same_v<I, int> && sizeof(int) == 4, "32-bit storage only");
    static_assert(F > 0 && F <= 16, "the product splits operands at bit 16");

public:
    static constexpr int fraction_bits = F;
    static constexpr I one_raw = I{1} << F;

    constexpr VRX_FixedRealImpl() = default;
    // x x 2^F rounded to the nearest integer, halves away from zero (the
    // half is added before the scaling, in double). A value whose scaled
    // form does not fit I gives I's nearest limit; one that is not a number
    // gives 0.
    explicit VRX_FixedRealImpl(double x) : raw_(from_double(x)) {}

    static constexpr VRX_FixedRealImpl from_raw(I raw) {
        VRX_FixedRealImpl v;
        v.raw_ = raw;
        return v;
    }
    // An integer sample s enters as s x 2^F (wrapping like the shift would).
    static constexpr VRX_FixedRealImpl from_int(I s) {
        return from_raw(static_cast<I>(static_cast<uint32_t>(s) << F));
    }

    constexpr I raw() const { return raw_; }
    // raw x 2^-F, exact.
    constexpr double to_double() const { return static_cast<double>(raw_) / one_raw; }
    explicit constexpr operator double() const { return to_double(); }

    // The low 32 bits of floor(a x b / 2^F) of the raw values, without a
    // 64-bit product: rounds toward minus infinity and wraps when the quotient
    // does not fit. Unsigned arithmetic, so the wrap is defined.
    static constexpr I multiply(I a, I b) {
        const uint32_t a_hi = static_cast<uint32_t>(a >> 16);
        const uint32_t b_hi = static_cast<uint32_t>(b >> 16);
        const uint32_t a_lo = static_cast<uint32_t>(a) & 0xFFFFu;
        const uint32_t b_lo = static_cast<uint32_t>(b) & 0xFFFFu;
        const uint32_t high = (static_cast<uint32_t>(a) * b_hi + a_hi * b_lo) << (16 - F);
        const uint32_t low = (a_lo * b_lo) >> F;
        return static_cast<I>(high + low);
    }

    constexpr VRX_FixedRealImpl operator*(const VRX_FixedRealImpl& other) const {
        return from_raw(multiply(raw_, other.raw_));
    }
    constexpr VRX_FixedRealImpl operator+(const VRX_FixedRealImpl& other) const {
        return from_raw(
            static_cast<I>(static_cast<uint32_t>(raw_) + static_cast<uint32_t>(other.raw_)));
    }
    constexpr VRX_FixedRealImpl operator-(const VRX_FixedRealImpl& other) const {
        return from_raw(
            static_cast<I>(static_cast<uint32_t>(raw_) - static_cast<uint32_t>(other.raw_)));
    }
    constexpr bool operator==(const VRX_FixedRealImpl& other) const = default;
    constexpr auto operator<=>(const VRX_FixedRealImpl& other) const = default;

private:
    static I from_double(double x) {
        constexpr double half_step = 1.0 / (2.0 * one_raw);
        const double scaled = (x > 0 ? x + half_step : x - half_step) * one_raw;
        if (std::isnan(scaled)) return 0;
        if (scaled >= static_cast<double>(std::numeric_limits<I>::max()))
            return std::numeric_limits<I>::max();
        if (scaled <= static_cast<double>(std::numeric_limits<I>::min()))
            return std::numeric_limits<I>::min();
        return static_cast<I>(scaled);  // truncates toward zero
    }

    I raw_ = 0;
};

// The Q12 number of the fast scalers and colour matrices.
using VRX_FixedReal12 = VRX_FixedRealImpl<int, 12>;
static_assert(sizeof(VRX_FixedReal12) == sizeof(int32_t));
static_assert(std::is_trivially_copyable_v<VRX_FixedReal12>);

}  // namespace vrx
