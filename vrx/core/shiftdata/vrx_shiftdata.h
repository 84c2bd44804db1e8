#pragma once
// Bit shift between integer sample types: every sample shifted left (shift
// > 0) or right (shift < 0, rounded to the nearest integer with halves away
// from zero) and stored as another integer type, either wrapping (NL) or
// limited to the destination's range (WL). The data-type conversion uses it
// for gains that are powers of two.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;
class VRX_Header;

class VRX_ShiftData : public VRX_EngineCreator {
public:
    explicit VRX_ShiftData(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ShiftData() override = default;

    // VRX_ShiftDataWL when `clamp` is set, else VRX_ShiftDataNL, with the
    // other arguments unchanged.
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               int16_t shift, bool clamp);
};

// The sign class of a shift: 0 an unsigned (u_integer) source, 1 a signed
// source to an unsigned destination, 2 a signed source to a signed one.
enum : uint8_t {
    shift_unsigned_source = 0,
    shift_signed_to_unsigned = 1,
    shift_signed_to_signed = 2
};

// Whether shifting the source samples by `shift` into (type, bits) can leave
// the destination's range; sets the sign class. A signed source to an
// unsigned destination always can; otherwise, with d = bits - source bits
// and one bit less head room for an unsigned source to a signed destination
// and for d <= 0 (the carry of a rounded right shift), when the shift is
// above what is left.
bool shift_needs_limit(const VRX_Header* header, const VRX_DataType* type, uint16_t bits,
                       int16_t shift, uint8_t& sign_class);

// The sources the shift engines take: u_integer or s_integer samples of 8, 16
// or 32 bits without palette.
bool shift_source_supported(const VRX_Header* header);

}  // namespace vrx
