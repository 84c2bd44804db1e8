#pragma once
// The library's mutex. It is recursive: one thread may lock it again while it
// holds it (a storage reader re-enters its guard), and must unlock it as often.
#include <mutex>

#include "vrx/framework/utility/vrx_lockable.h"

namespace vrx {

class VRX_Mutex : public VRX_Lockable {
public:
    VRX_Mutex() = default;
    VRX_Mutex(const VRX_Mutex&) = delete;
    VRX_Mutex& operator=(const VRX_Mutex&) = delete;
    ~VRX_Mutex() override = default;

    // Waits without time-out.
    void lock() override;
    void unlock() override;
    // True when the mutex was acquired without waiting.
    bool try_lock() override;

    // The one process-wide mutex of the imaging library (start-up and release
    // of shared decoder state run under it).
    static VRX_Mutex& process();

private:
    std::recursive_mutex mutex_;
};

}  // namespace vrx
