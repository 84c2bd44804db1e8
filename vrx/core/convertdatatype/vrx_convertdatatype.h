#pragma once
// The one entry point that changes the sample type and depth of an image
// and maps every sample v to v x gain + offset on the way, through the
// cheapest stage that gives the same samples:
//   - nothing, when the request changes nothing;
//   - a 256- or 65536-entry lookup table, for 8- and 16-bit sources with
//     more samples than entries;
//   - from one bit: the source, its inversion or a constant image (to one
//     bit), a two-value expansion (whole gain and offset), else the general
//     one-bit engine;
//   - to one bit: the threshold engine;
//   - a bit shift, for integer types and a gain that is a power of two;
//   - the general engine.
// The decode chain passes the rescale slope and intercept as gain and
// offset; the render chain converts to 8 bits with a window.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;
class VRX_Header;

class VRX_ConvertDataType : public VRX_EngineCreator {
public:
    explicit VRX_ConvertDataType(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConvertDataType() override = default;

    // The new last engine of the chain, the source itself, or null after a
    // report (a missing source, header or data type: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               double gain, double offset);

    // Whether the request goes through a lookup table: a whole-byte sample
    // type requested of an 8- or 16-bit source that holds more samples
    // (counted in 64 bits) than the table has entries.
    static bool is_table_conversion(const VRX_Header* header, const VRX_DataType* type,
                                    uint16_t bits);
    // Whether the request is a multiplication by a power of two between
    // integer types: a gain within DBL_EPSILON of 2^n (n in -31..31, rounded
    // to the nearest) and an offset within DBL_EPSILON of 0. Sets the shift
    // count and, by shift_needs_limit, the clamp flag.
    bool is_shift_conversion(const VRX_Header* header, const VRX_DataType* type, uint16_t bits,
                             double gain, double offset);
    // Whether a one-bit image maps onto two integers that (type, bits) can
    // hold: integer types of 8 or 16 bits, gain and offset within DBL_EPSILON
    // of whole numbers. Sets the zero value (the offset) and the one value
    // (offset + gain), each rounded to the nearest.
    bool is_two_value_conversion(const VRX_Header* header, const VRX_DataType* type, uint16_t bits,
                                 double gain, double offset);

    int16_t shift_count() const { return shift_count_; }
    int32_t zero_value() const { return zero_value_; }
    int32_t one_value() const { return one_value_; }
    bool clamp() const { return clamp_; }

private:
    // The lookup-table path: a one-channel table of 2^(source bits) entries
    // of the requested type through VRX_Lut.
    VRX_Engine* lookup(VRX_Engine* source, const VRX_Header* header, const VRX_DataType* type,
                       uint16_t bits, double gain, double offset);

    int16_t shift_count_ = 0;
    int32_t zero_value_ = 0;
    int32_t one_value_ = 0;
    bool clamp_ = false;
};

}  // namespace vrx
