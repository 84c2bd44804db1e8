#pragma once
// Sample data types: one static object per kind, compared by address.
#include <cstdint>

namespace vrx {

class VRX_DataType {
public:
    virtual ~VRX_DataType() = default;
    // Whether samples of this type can have `bits` bits.
    virtual bool is_acceptable_bits(uint16_t bits) const = 0;
    virtual const char* name() const = 0;
    virtual int32_t id() const = 0;

    static const VRX_DataType* u_integer();  // 1, 2, 4, 8, 16, 32 bits
    static const VRX_DataType* s_integer();  // 8, 16, 32 bits
    static const VRX_DataType* floating();   // 32, 64 bits
    static const VRX_DataType* unknown();    // any non-zero depth

    bool is_u_integer() const { return this == u_integer(); }
    bool is_s_integer() const { return this == s_integer(); }
    bool is_floating() const { return this == floating(); }
    bool is_unknown() const { return this == unknown(); }

protected:
    VRX_DataType() = default;
    VRX_DataType(const VRX_DataType&) = delete;
    VRX_DataType& operator=(const VRX_DataType&) = delete;
};

}  // namespace vrx
