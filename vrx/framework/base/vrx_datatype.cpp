#include "vrx/framework/base/vrx_datatype.h"

namespace vrx {
namespace {

// One kind: a set of accepted depths as a bit mask over 1..64 (bit d-1 for
// depth d), or any non-zero depth when the mask is 0.
class VRX_DataTypeKind final : public VRX_DataType {
public:
    constexpr VRX_DataTypeKind(uint64_t depths, const char* name, int32_t id)
        : depths_(depths), name_(name), id_(id) {}
    bool is_acceptable_bits(uint16_t bits) const override {
        if (bits == 0) return false;
        if (depths_ == 0) return true;
        return bits <= 64 && ((depths_ >> (bits - 1)) & 1u) != 0;
    }
    const char* name() const override { return name_; }
    int32_t id() const override { return id_; }

private:
    uint64_t depths_;
    const char* name_;
    int32_t id_;
};

constexpr uint64_t depth(unsigned d) { return uint64_t{1} << (d - 1); }

constinit const VRX_DataTypeKind kUInteger(depth(1) | depth(2) | depth(4) | depth(8) | depth(16) |
                                               depth(32),
                                           "u_integer", 0);
constinit const VRX_DataTypeKind kSInteger(depth(8) | depth(16) | depth(32), "s_integer", 1);
constinit const VRX_DataTypeKind kFloating(depth(32) | depth(64), "floating", 2);
constinit const VRX_DataTypeKind kUnknown(0, "unknown", -1);

}  // namespace

const VRX_DataType* VRX_DataType::u_integer() { return &kUInteger; }
const VRX_DataType* VRX_DataType::s_integer() { return &kSInteger; }
const VRX_DataType* VRX_DataType::floating() { return &kFloating; }
const VRX_DataType* VRX_DataType::unknown() { return &kUnknown; }

}  // namespace vrx
