#pragma once
// Lock interface of the library and its no-op form.

namespace vrx {

class VRX_Lockable {
public:
    virtual ~VRX_Lockable() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual bool try_lock() = 0;
};

// A lock that never waits.
class VRX_DummyLock : public VRX_Lockable {
public:
    void lock() override {}
    void unlock() override {}
    bool try_lock() override { return true; }
};

}  // namespace vrx
