#pragma once
// A one-dimensional lookup table handed to VRX_Lut::engine: `channels`
// tables (1: one table for every channel of the image) of `entries` entries
// of `bits` bits each, of the sample type `data_type`, in the machine's byte
// order, one table after the other. Built on the builder's stack: set the
// four describing fields, hand the bytes to value(), pass the object to the
// creator, destroy it; every engine keeps its own copy.
//
//   bits  u_integer  s_integer  floating
//   8     uint8_t    int8_t     -
//   16    uint16_t   int16_t    -
//   32    uint32_t   int32_t    float
//   64    -          -          double
#include <cstdint>

#include "vrx/framework/base/vrx_datatype.h"
#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

class VRX_LutData : public VRX_Utility {
public:
    explicit VRX_LutData(VRX_Manager* manager) : VRX_Utility(manager) {}
    VRX_LutData(const VRX_LutData&) = delete;
    VRX_LutData& operator=(const VRX_LutData&) = delete;
    // Gives the table bytes back to the manager.
    ~VRX_LutData() override;

    // Installs a copy of the table bytes. Accepted when bytes and size are
    // both given or both absent and size is channels x bits x entries / 8
    // (counted in 64 bits); else reports 0x80800000 and returns false with the
    // old table kept. Size 0 clears the table. False without a report of its
    // own when the copy cannot be allocated (the table is then cleared).
    bool value(const void* bytes, uint32_t size);
    // The table bytes, or null.
    const unsigned char* data() const { return data_; }
    // Bytes of the table the fields describe, counted in 64 bits; false when
    // that does not fit 32 bits.
    bool byte_count(uint32_t& out) const;

    // Whether the description and the table form a usable table: the empty
    // object, or channels >= 1, bits 8, 16, 32 or 64 accepted by the data
    // type (one of the three above), 1 to 65536 entries and a table whose
    // size the fields still describe. Reports nothing.
    bool is_valid() const;

    uint16_t bits = 0;
    uint16_t channels = 0;
    uint32_t entries = 0;
    const VRX_DataType* data_type = VRX_DataType::u_integer();

private:
    void free_data();

    unsigned char* data_ = nullptr;
    uint32_t size_ = 0;  // bytes held at data_
};

}  // namespace vrx
