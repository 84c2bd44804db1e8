#pragma once
// The inputs of a creator whose engine reads several sources: the header and
// a new source buffer of every source engine, in source order.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_DstBuffer;
class VRX_Engine;
class VRX_EngineCreator;
class VRX_SrcBuffer;

class VRX_EngineInputs {
public:
    explicit VRX_EngineInputs(VRX_Manager* manager)
        : headers(manager), buffers(manager), manager_(manager) {}
    VRX_EngineInputs(const VRX_EngineInputs&) = delete;
    VRX_EngineInputs& operator=(const VRX_EngineInputs&) = delete;
    // The buffers are not destroyed here: they go to the registration step.
    ~VRX_EngineInputs() = default;

    // Takes the header and a source buffer of every source. No source, or a
    // null source, header or buffer, is reported as 0x80800000 with
    // `function`, `file` and `line`; on any failure the buffers already taken
    // are destroyed and the result is false.
    bool take(const VRX_Vector<VRX_Engine*>& sources, const char* function, const char* file,
              uint32_t line);

    // The end of the creation pattern: an initiated engine is marked and
    // registered with the buffers and `dst`; otherwise the engine (when made)
    // is destroyed and the registration step destroys every buffer.
    VRX_Engine* regist(VRX_EngineCreator& creator, VRX_Engine* engine, bool initiated,
                       VRX_DstBuffer* dst);

    VRX_Vector<const VRX_Header*> headers;
    VRX_Vector<VRX_SrcBuffer*> buffers;

private:
    bool fail();

    VRX_Manager* manager_;
};

}  // namespace vrx
