#pragma once
// Byte-order conversion of fixed-width values. Byte order 1 is the machine's
// own order (no conversion); any other value is the opposite order (every
// value byte-reversed). On the little-endian machines the library runs on, 1
// stands for little-endian data.
#include <bit>
#include <cstddef>
#include <cstdint>

namespace vrx {

// The byte-order values for data of a known order on this machine.
inline constexpr int32_t VRX_MACHINE_ORDER = 1;
inline constexpr int32_t VRX_REVERSED_ORDER = 0;
inline constexpr int32_t VRX_LITTLE_ENDIAN_ORDER =
    std::endian::native == std::endian::little ? VRX_MACHINE_ORDER : VRX_REVERSED_ORDER;
inline constexpr int32_t VRX_BIG_ENDIAN_ORDER =
    std::endian::native == std::endian::big ? VRX_MACHINE_ORDER : VRX_REVERSED_ORDER;

class VRX_EndianConversion {
public:
    // Converts n bytes in place.
    using Function = void (*)(void* buffer, size_t n);

    // The no-op, then set_order(order).
    explicit VRX_EndianConversion(int32_t order = VRX_MACHINE_ORDER);
    virtual ~VRX_EndianConversion() = default;

    // Installs the no-op for order 1, else reverse_bytes.
    void set_order(int32_t order);
    // The same; `was_machine_order` tells whether the no-op was installed before.
    void set_order(int32_t order, bool& was_machine_order);
    bool is_machine_order() const { return conversion_ == &keep_bytes; }

    // Converts the n bytes of one value in place.
    void convert(void* buffer, size_t n) const { conversion_(buffer, n); }

    // Leaves the bytes as they are.
    static void keep_bytes(void* buffer, size_t n);
    // Swaps byte i with byte n-1-i while i < n-1-i.
    static void reverse_bytes(void* buffer, size_t n);

protected:
    Function conversion_;
};

}  // namespace vrx
