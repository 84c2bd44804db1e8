#include "vrx/core/shiftdata/vrx_shiftdata.h"

#include "vrx/core/shiftdata/vrx_shiftdatanl.h"
#include "vrx/core/shiftdata/vrx_shiftdatawl.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

VRX_Engine* VRX_ShiftData::engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                                  int16_t shift, bool clamp) {
    if (clamp) return VRX_ShiftDataWL(manager_).engine(source, type, bits, shift);
    return VRX_ShiftDataNL(manager_).engine(source, type, bits, shift);
}

bool shift_needs_limit(const VRX_Header* header, const VRX_DataType* type, uint16_t bits,
                       int16_t shift, uint8_t& sign_class) {
    const int32_t diff = int32_t{bits} - int32_t{header->bits};
    const bool unsigned_destination = type == VRX_DataType::u_integer();
    int32_t bias = 0;
    if (!header->data_type()->is_u_integer()) {
        if (unsigned_destination) {
            sign_class = shift_signed_to_unsigned;
            return true;
        }
        sign_class = shift_signed_to_signed;
    } else {
        sign_class = shift_unsigned_source;
        if (!unsigned_destination) bias = -1;
    }
    if (diff <= 0) bias -= 1;
    return shift > bias + diff;
}

bool shift_source_supported(const VRX_Header* header) {
    const VRX_DataType* type = header->data_type();
    return (type->is_u_integer() || type->is_s_integer()) &&
           (header->bits == 8 || header->bits == 16 || header->bits == 32) &&
           header->palette().empty();
}

}  // namespace vrx
