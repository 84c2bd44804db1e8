#pragma once
// Base of the objects whose lifetime the manager's relation tracks (engines,
// buffers, storages). destroy() drops the owner's reference; the object is
// deleted (terminate, destructor, memory back to the manager) once nothing
// that depends on it is left.
#include "vrx/framework/base/vrx_root.h"

namespace vrx {

class VRX_Manager;

class VRX_Object : public VRX_Root {
public:
    explicit VRX_Object(VRX_Manager* manager) : manager_(manager) {}
    VRX_Object(const VRX_Object&) = delete;
    VRX_Object& operator=(const VRX_Object&) = delete;
    ~VRX_Object() override = default;

    // Asks the relation to end this object.
    bool destroy() override;
    // Called once when the object is deleted, before its destructor.
    virtual bool terminate() { return true; }

    // Records that this object keeps `other` alive until it is deleted.
    bool depend(VRX_Object* other);

    VRX_Manager* manager() const { return manager_; }
    bool initiated() const { return initiated_; }
    // Set by a creator after a successful initiate.
    void set_initiated(bool value = true) { initiated_ = value; }

protected:
    VRX_Manager* manager_;
    bool initiated_ = false;
};

}  // namespace vrx
