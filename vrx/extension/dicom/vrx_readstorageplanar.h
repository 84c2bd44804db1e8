#pragma once
// Creator of the reader of native pixel data stored colour by plane: every
// plane is read by a raw reader of its own and the planes are interleaved
// back into pixels.
#include <cstdint>

#include "vrx/framework/base/vrx_enginecreator.h"
#include "vrx/framework/base/vrx_header.h"

namespace vrx {

class VRX_InputStorage;

class VRX_ReadStoragePlanar : public VRX_EngineCreator {
public:
    explicit VRX_ReadStoragePlanar(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ReadStoragePlanar() override = default;

    // An engine whose output is the frame `header` describes with its
    // channels interleaved, or null after a report. `storage` holds the
    // frame's planes one after the other from `position`; `gap` and
    // `byte_order` are given to every plane's raw reader.
    virtual VRX_Engine* engine(VRX_InputStorage* storage, const VRX_Header& header,
                               int32_t position, uint32_t gap, int32_t byte_order);
};

}  // namespace vrx
