#pragma once
// Checked byte-count arithmetic. Every size that comes from a file or a
// header is computed through ByteCount in 64 bits; an overflow anywhere in the
// expression poisons the result, and fits<T>() tells whether the final value
// can be held by the type the caller is about to use.
#include <cstdint>
#include <limits>
#include <type_traits>

namespace platform {

class ByteCount {
public:
    constexpr ByteCount() = default;
    constexpr ByteCount(uint64_t v) : value_(v) {}

    // A negative signed input is never a valid count.
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
    static constexpr ByteCount from(T v) {
        ByteCount r;
        if (v < 0) r.ok_ = false; else r.value_ = static_cast<uint64_t>(v);
        return r;
    }

    constexpr ByteCount operator*(ByteCount o) const {
        ByteCount r = *this;
        r.ok_ = ok_ && o.ok_ && !__builtin_mul_overflow(value_, o.value_, &r.value_);
        return r;
    }
    constexpr ByteCount operator+(ByteCount o) const {
        ByteCount r = *this;
        r.ok_ = ok_ && o.ok_ && !__builtin_add_overflow(value_, o.value_, &r.value_);
        return r;
    }
    constexpr ByteCount operator-(ByteCount o) const {
        ByteCount r = *this;
        r.ok_ = ok_ && o.ok_ && !__builtin_sub_overflow(value_, o.value_, &r.value_);
        return r;
    }
    constexpr ByteCount operator/(ByteCount o) const {
        ByteCount r = *this;
        r.ok_ = ok_ && o.ok_ && o.value_ != 0;
        r.value_ = r.ok_ ? value_ / o.value_ : 0;
        return r;
    }

    constexpr bool ok() const { return ok_; }
    constexpr uint64_t value() const { return value_; }

    // True when no step overflowed and the value fits in T.
    template <class T>
    constexpr bool fits() const {
        return ok_ && value_ <= static_cast<uint64_t>(std::numeric_limits<T>::max());
    }
    // True when no step overflowed and the value is at most limit.
    constexpr bool at_most(uint64_t limit) const { return ok_ && value_ <= limit; }

private:
    uint64_t value_ = 0;
    bool ok_ = true;
};

// Bytes of a packed line or block: (channels x bits x width + 7) / 8.
constexpr ByteCount packed_bytes(ByteCount channels, ByteCount bits, ByteCount width) {
    return (channels * bits * width + 7) / 8;
}

}  // namespace platform
