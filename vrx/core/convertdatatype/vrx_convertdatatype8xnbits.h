#pragma once
// Creator of the general data-type conversion between whole-byte sample
// types (VRX_ConvertDataType8xNbitsEngine).
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_DataType;

class VRX_ConvertDataType8xNbits : public VRX_EngineCreator {
public:
    explicit VRX_ConvertDataType8xNbits(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ConvertDataType8xNbits() override = default;

    // The engine whose source type follows the source header and whose
    // destination type follows (type, bits), both by with_sample_type; the
    // engine refuses depths that are not its types' widths. The registered
    // engine, or null after a report (a missing source or header: 0x80800000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_DataType* type, uint16_t bits,
                               double gain, double offset);
};

}  // namespace vrx
