#include "vrx/core/convertdatatype/vrx_convertdatatype.h"

#include <cfloat>
#include <cmath>

#include "platform/byte_count.h"
#include "vrx/core/convert1to8xnbits/vrx_convert1to8xnbits.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype1bit.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype8xnbits.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypefrom1bit.h"
#include "vrx/core/convertdatatype/vrx_convertdatatypeto1bit.h"
#include "vrx/core/convertdatatype/vrx_sampletype.h"
#include "vrx/core/lut/vrx_lut.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/core/shiftdata/vrx_shiftdata.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_numeric.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

// Whether a request of (type, bits) names one of the eight whole-byte sample types.
bool is_8xn_type(const VRX_DataType* type, uint16_t bits) {
    if (type->is_u_integer() || type->is_s_integer()) return bits == 8 || bits == 16 || bits == 32;
    return type->is_floating() && (bits == 32 || bits == 64);
}

// Whether x lies within DBL_EPSILON of a whole number (false for NaN and
// infinities).
bool is_whole(double x) {
    const double f = std::fmod(x, 1.0);
    return is_equal(f, 0.0, DBL_EPSILON) || is_equal(f, 1.0, DBL_EPSILON) ||
           is_equal(f, -1.0, DBL_EPSILON);
}

}  // namespace

VRX_Engine* VRX_ConvertDataType::engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                                        double gain, double offset) {
    const VRX_Header* header = source ? source->header() : nullptr;
    if (!header || !type) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_ConvertDataType::engine()", __FILE__, 68);
        return nullptr;
    }
    if (type == header->data_type() && bits == header->bits && is_equal(gain, 1.0, DBL_EPSILON) &&
        is_equal(offset, 0.0, DBL_EPSILON))
        return source;

    if (is_table_conversion(header, type, bits))
        return lookup(source, header, type, bits, gain, offset);

    clamp_ = false;
    if (header->bits == 1) {
        if (bits == 1) return VRX_ConvertDataType1bit(manager_).engine(source, gain, offset);
        if (is_two_value_conversion(header, type, bits, gain, offset))
            return VRX_Convert1To8xNBits(manager_).engine(source, type, bits, zero_value_,
                                                          one_value_);
        return VRX_ConvertDataTypeFrom1bit(manager_).engine(source, type, bits, gain, offset);
    }
    if (bits == 1) return VRX_ConvertDataTypeTo1bit(manager_).engine(source, type, gain, offset);
    if (is_shift_conversion(header, type, bits, gain, offset))
        return VRX_ShiftData(manager_).engine(source, type, bits, shift_count_, clamp_);
    return VRX_ConvertDataType8xNbits(manager_).engine(source, type, bits, gain, offset);
}

bool VRX_ConvertDataType::is_table_conversion(const VRX_Header* header, const VRX_DataType* type,
                                              uint16_t bits) {
    if (!header || !type || !is_8xn_type(type, bits) || (header->bits != 8 && header->bits != 16))
        return false;
    // More samples than entries: one table beats a formula per sample.
    const platform::ByteCount samples =
        platform::ByteCount(header->channels) * header->width * header->height;
    return !samples.at_most(uint64_t{1} << header->bits);
}

VRX_Engine* VRX_ConvertDataType::lookup(VRX_Engine* source, const VRX_Header* header,
                                        const VRX_DataType* type, uint16_t bits, double gain,
                                        double offset) {
    VRX_LutData table(manager_);
    table.bits = bits;
    table.channels = 1;
    table.entries = uint32_t{1} << header->bits;
    table.data_type = type;
    const uint32_t size = bits / 8u * table.entries;
    void* bytes = manager_->allocate(size);
    if (!bytes) return nullptr;
    // Entry i is the converted value of source sample start + i: the
    // smallest sample is 0 for unsigned sources, -2^(bits - 1) for others.
    const int32_t start =
        header->data_type()->is_u_integer() ? 0 : -(int32_t{1} << (header->bits - 1));
    const VRX_LinearMap map(gain, offset);
    with_sample_type(type, bits, [&]<class D>(VRX_SampleTag<D>) {
        D* entries = static_cast<D*>(bytes);
        for (uint32_t i = 0; i < table.entries; ++i)
            entries[i] = to_sample<D>(map(static_cast<double>(start + static_cast<int32_t>(i))));
    });
    const bool filled = table.value(bytes, size);
    manager_->deallocate(bytes);
    if (!filled) return nullptr;
    return VRX_Lut(manager_).engine(source, &table, nullptr);
}

bool VRX_ConvertDataType::is_shift_conversion(const VRX_Header* header, const VRX_DataType* type,
                                              uint16_t bits, double gain, double offset) {
    if (header->data_type()->is_floating() || type->is_floating()) return false;
    if (!(std::fabs(gain) > DBL_EPSILON) || !is_equal(offset, 0.0, DBL_EPSILON) || gain < 0)
        return false;
    // The base-2 logarithm, exact for powers of two.
    const double n = std::log2(gain);
    if (!is_whole(n)) return false;
    const double shift = std::round(n);
    if (shift < -31 || shift > 31) return false;
    shift_count_ = static_cast<int16_t>(shift);
    uint8_t sign_class = 0;
    clamp_ = shift_needs_limit(header, type, bits, shift_count_, sign_class);
    return true;
}

bool VRX_ConvertDataType::is_two_value_conversion(const VRX_Header* header,
                                                  const VRX_DataType* type, uint16_t bits,
                                                  double gain, double offset) {
    if (header->data_type()->is_floating() || type->is_floating() || (bits != 8 && bits != 16))
        return false;
    if (!is_whole(gain) || !is_whole(offset)) return false;
    const VRX_LinearMap map(gain, offset);
    const double zero = std::round(map(0.0)), one = std::round(map(1.0));
    const double lo = type->is_u_integer() ? 0.0 : -std::ldexp(1.0, bits - 1);
    const double hi =
        type->is_u_integer() ? std::ldexp(1.0, bits) - 1 : std::ldexp(1.0, bits - 1) - 1;
    if (!(zero >= lo && zero <= hi && one >= lo && one <= hi)) return false;
    zero_value_ = static_cast<int32_t>(zero);
    one_value_ = static_cast<int32_t>(one);
    return true;
}

}  // namespace vrx
