#pragma once
// The engine interface: one node of a processing chain.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_SrcBuffer;

class VRX_Engine : public VRX_Object {
public:
    using VRX_Object::VRX_Object;
    ~VRX_Engine() override = default;

    // Removes a registered (initiated) engine from the relation, then ends it.
    bool destroy() override;
    bool terminate() override { return true; }
    // One step of work; false when the engine is done or failed.
    virtual bool execute() = 0;
    // The header of the image the engine produces, or null.
    virtual const VRX_Header* header() = 0;
    // A new reader of the engine's output (owned by the caller until handed to
    // an engine's initiate and a registration), or null.
    virtual VRX_SrcBuffer* src_buffer() = 0;
    // `count` pass-through engines that each read the output (empty on failure).
    virtual VRX_Vector<VRX_Engine*> branch(uint32_t count) = 0;
    // True while the manager's record holds no error.
    virtual bool is_good();

protected:
    // The interface-version test every concrete initiate runs first: reports
    // 0x80040000 with the engine's initiate text when `version` is refused.
    bool check_version(uint32_t version, const char* function, const char* file, uint32_t line);
};

}  // namespace vrx
