#pragma once
// Creator of the direct reader of an image held in one contiguous array: the
// following engine reads the array in place, nothing is copied.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_ReadByteArray : public VRX_EngineCreator {
public:
    explicit VRX_ReadByteArray(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadByteArray() override = default;

    // A registered engine whose output is the image `header` describes, held
    // in `memory` (size bytes), or null; the bytes read are counted behind
    // `read` (may be null).
    virtual VRX_Engine* engine(const VRX_Header* header, const void* memory, uint32_t size,
                               uint32_t* read = nullptr);
};

}  // namespace vrx
