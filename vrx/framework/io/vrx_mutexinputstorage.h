#pragma once
// Serialises every call on the wrapped storage with a recursive mutex, so
// that shared-position readers on several threads can share one storage. The
// storage is itself a lock: a shared-position reader over it holds the mutex
// around its whole move-in, read, move-out sequence.
#include "vrx/framework/io/vrx_inputstoragedecorator.h"
#include "vrx/framework/utility/vrx_mutex.h"

namespace vrx {

class VRX_MutexInputStorage : public VRX_InputStorageDecorator,
                              public VRX_Lockable,
                              public VRX_PositionedInput {
public:
    explicit VRX_MutexInputStorage(VRX_Manager* manager) : VRX_InputStorageDecorator(manager) {}
    ~VRX_MutexInputStorage() override = default;

    // A guard over `storage`; null when it is refused.
    static VRX_MutexInputStorage* create(VRX_Manager* manager, VRX_InputStorage* storage);

    // Keeps the wrapped storage; true.
    bool terminate() override { return true; }
    // Always false.
    bool is_closed() override { return false; }
    // Each forwarded as the base decorator does, under the mutex.
    int32_t get() override;
    int32_t read(void* buffer, int32_t n) override;
    int32_t skip(int32_t n) override;
    int32_t position() override;
    int32_t move(int32_t n) override;
    bool is_end() override;
    bool seek_from_begin(int32_t n) override;
    bool seek_from_end(int32_t n) override;
    int32_t size() override;
    bool to_begin() override;
    bool to_end() override;
    bool unget() override;

    void lock() override { mutex_.lock(); }
    void unlock() override { mutex_.unlock(); }
    bool try_lock() override { return mutex_.try_lock(); }

    // Positioned reads of the wrapped storage, when it has them. They touch no
    // shared position and need no lock.
    bool can_read_at() override;
    bool read_at_is_costly() override;
    int32_t read_at(int32_t position, void* buffer, int32_t n) override;

private:
    template <class F>
    auto locked(F&& f) {
        std::lock_guard<VRX_Mutex> guard(mutex_);
        return f();
    }
    VRX_PositionedInput* positioned() const;

    VRX_Mutex mutex_;
};

}  // namespace vrx
