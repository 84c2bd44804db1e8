#pragma once
// Tags naming the binary pixel operators; engines and creators are templates
// over one of them and tell them apart by type identity.
#include <type_traits>

namespace vrx {

struct VRX_PixelOperator {
    struct Add {};                        // a + b, saturated
    struct Sub {};                        // a - b, saturated
    struct Multiply {};                   // a x b, saturated
    struct MultiplyWithNormalization {};  // a x b / 4294967295 (unsigned 32-bit)
    struct And {};                        // a AND b
    struct Overwrite {};                  // b

    template <class Op, class Tag>
    static constexpr bool is = std::is_same_v<Op, Tag>;
};

}  // namespace vrx
