#pragma once
// A pass-through engine that gives its output a new header: the pixels pass
// unchanged, only their description changes.
#include "vrx/framework/engine/vrx_nopengine.h"

namespace vrx {

class VRX_RewriteHeaderEngine : public VRX_NopEngine {
public:
    explicit VRX_RewriteHeaderEngine(VRX_Manager* manager) : VRX_NopEngine(manager) {}
    ~VRX_RewriteHeaderEngine() override = default;

    // Version test, the pass-through initiate with the input header; for a raw
    // new header both block sizes become one line of it; the output header
    // becomes a copy of the new header.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_Header* new_header);
    using VRX_NopEngine::initiate;
};

}  // namespace vrx
