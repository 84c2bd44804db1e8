#pragma once
// Base of the engines that combine two images sample by sample: input 0, the
// base, gives the output its header and its rows; input 1, the operand, is
// laid over the base at an offset. The output header is the base header.
#include <cstdint>

#include "vrx/core/operation/vrx_engineinputs.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/engine/vrx_multiinputprocessengine.h"

namespace vrx {

class VRX_OpPixelsEngine : public VRX_MultiInputProcessEngine {
public:
    explicit VRX_OpPixelsEngine(VRX_Manager* manager) : VRX_MultiInputProcessEngine(manager) {}
    ~VRX_OpPixelsEngine() override = default;

    bool terminate() override { return VRX_MultiInputProcessEngine::terminate(); }
    // Version test, the multi-input initiate, then exactly two raw inputs
    // without palette of equal colour type, depth, channels and data type
    // (else 0x81000000); one line of each input as its block size.
    bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                  const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst) override;
    using VRX_MultiInputProcessEngine::initiate;

    // Makes an E, runs its initiate (headers, sources, dst, x, y) and marks it
    // initiated; on failure the engine is destroyed and the result is null.
    template <class E>
    static E* create(VRX_Manager* manager, const VRX_Vector<const VRX_Header*>& headers,
                     const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst, uint32_t x,
                     uint32_t y) {
        E* engine = construct<E>(manager);
        return static_cast<E*>(VRX_EngineInputs::initiated_or_null(
            engine, engine && engine->initiate(headers, sources, dst, x, y)));
    }

protected:
    // The first step of an output line: copies the next base line into a new
    // destination block. Null after a failure, which has already committed
    // an empty block and counted the line.
    unsigned char* begin_line();
    // The last step: gives the base line back, commits the destination block
    // and counts the line; the conjunction with `ok`.
    bool end_line(bool ok);

    // Bytes of one base line, committed per output line.
    uint32_t base_line_bytes_ = 0;
    // The next output row.
    uint32_t line_ = 0;
};

}  // namespace vrx
