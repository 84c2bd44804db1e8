#pragma once
// Engine registry and reference counts of a manager.
#include <cstdint>

namespace vrx {

class VRX_Engine;
class VRX_Object;
class VRX_DstBuffer;

class VRX_Relation {
public:
    // Destroys every engine still registered; true.
    virtual bool execute() = 0;
    // Has no use in this system; answers null.
    virtual void* query(const void* key, uint32_t kind) = 0;
    // Registers an engine as the producer of `dst` (null: an engine without
    // output). The engine on success, else null.
    virtual VRX_Engine* add(VRX_Engine* engine, VRX_DstBuffer* dst) = 0;
    virtual bool remove(VRX_Engine* engine) = 0;
    // The engine registered as the producer of `dst`, or null.
    virtual VRX_Engine* find(VRX_DstBuffer* dst) = 0;
    // Records that `object` keeps `on` alive until `object` is deleted.
    virtual bool depend(VRX_Object* object, VRX_Object* on) = 0;
    // Drops one reference of `object`; the last one deletes it.
    virtual bool end(VRX_Object* object) = 0;
    virtual ~VRX_Relation() = default;
};

}  // namespace vrx
