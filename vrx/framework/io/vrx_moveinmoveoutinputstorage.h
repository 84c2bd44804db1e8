#pragma once
// A reader with a position of its own over a shared storage. Each read moves
// the shared storage to the reader's position, reads and moves it back, under
// the shared storage's lock when it is a VRX_MutexInputStorage (else a dummy
// lock: the reader is then single-threaded). Several readers can so share one
// storage, each from its own thread.
//
// When the shared storage offers positioned reads (a file, a byte array, or a
// mutex storage over one of them), the reader uses them instead: no move, no
// lock, and over a file a read-ahead of its own, so that reading byte by byte
// costs no system call per byte.
//
//   auto* shared = VRX_MutexInputStorage::create(manager, file);
//   auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(manager, shared);
#include <algorithm>
#include <cstdint>
#include <mutex>

#include "vrx/framework/io/vrx_inputstoragedecorator.h"
#include "vrx/framework/io/vrx_readaheadbuffer.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/io/vrx_storageposition.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/utility/vrx_lockable.h"

namespace vrx {

template <class S>
class VRX_MoveInMoveOutMovableInputStream : public VRX_Decorator<VRX_Pointer<S>> {
public:
    using Base = VRX_Decorator<VRX_Pointer<S>>;
    explicit VRX_MoveInMoveOutMovableInputStream(VRX_Manager* manager)
        : Base(manager), read_ahead_(manager) {}
    ~VRX_MoveInMoveOutMovableInputStream() override = default;

    // Forgets the shared storage; true.
    bool terminate() override {
        read_ahead_.release();
        positioned_ = nullptr;
        lock_ = &dummy_;
        return Base::terminate();
    }

    // The byte at the own position; -1 at the end or when the shared storage
    // cannot be moved there.
    int32_t get() override {
        S* storage = this->pointer_;
        if (!storage) return -1;
        if (positioned_) {
            const int32_t held = read_ahead_.byte_at(own_);
            if (held >= 0) {
                ++own_;
                return held;
            }
            unsigned char byte = 0;
            return read_positioned(&byte, 1) == 1 ? byte : -1;
        }
        std::lock_guard<VRX_Lockable> guard(*lock_);
        int32_t byte = -1;
        if (move_in()) {
            byte = storage->get();
            if (byte != -1) ++own_;
            move_out();
        }
        return byte;
    }

    // Up to n bytes from the own position.
    int32_t read(void* buffer, int32_t n) override {
        S* storage = this->pointer_;
        if (n == 0 || !storage) return 0;
        if (n < 0 || !buffer) {
            this->manager_->report(VRX_ERROR_ARGUMENT,
                                   "VRX_MoveInMoveOutMovableInputStream::read()", __FILE__,
                                   __LINE__);
            return 0;
        }
        if (positioned_) return read_positioned(buffer, n);
        std::lock_guard<VRX_Lockable> guard(*lock_);
        int32_t count = 0;
        if (move_in()) {
            count = storage->read(buffer, n);
            if (count > 0) own_ += count;
            move_out();
        }
        return count;
    }

    // Own position only, clamped to [0, size]; no lock, the shared storage is
    // not moved. From a place beyond the end (a reader placed there) a move
    // never goes farther than asked nor against its direction.
    int32_t skip(int32_t n) override { return move(n); }
    int32_t move(int32_t n) override {
        S* storage = this->pointer_;
        return storage ? move_within(own_, n, storage->size()) : 0;
    }
    int32_t position() override { return own_; }
    bool is_end() override { return this->pointer_ ? own_ == this->pointer_->size() : true; }
    bool to_begin() override {
        own_ = 0;
        return true;
    }
    bool to_end() override {
        own_ = this->pointer_ ? this->pointer_->size() : 0;
        return true;
    }
    // The interface defaults, under the lock.
    bool seek_from_begin(int32_t n) override {
        std::lock_guard<VRX_Lockable> guard(*lock_);
        return VRX_InputStorage::seek_from_begin(n);
    }
    bool seek_from_end(int32_t n) override {
        std::lock_guard<VRX_Lockable> guard(*lock_);
        return VRX_InputStorage::seek_from_end(n);
    }
    bool unget() override { return move(-1) == -1; }

    // Wraps `storage`; the own position starts at its current position.
    bool initiate(S* storage) override {
        if (!attach(storage)) return false;
        std::lock_guard<VRX_Lockable> guard(*lock_);
        own_ = std::max(storage->position(), int32_t{0});
        return true;
    }
    // Wraps `storage` with the own position at `position` (negative refused
    // with 0x80800000).
    virtual bool initiate(S* storage, int32_t position) {
        if (!attach(storage)) return false;
        if (position < 0) {
            this->manager_->report(VRX_ERROR_ARGUMENT,
                                   "VRX_MoveInMoveOutMovableInputStream::initiate()", __FILE__, 88);
            return false;
        }
        own_ = position;
        return true;
    }

    // The lock in use: the shared storage itself, or the dummy lock.
    VRX_Lockable* lock() const { return lock_; }
    // True when reads go through the shared storage's positioned reads.
    bool uses_positioned_reads() const { return positioned_ != nullptr; }

private:
    static constexpr int32_t read_ahead_bytes = 8 * 1024;

    bool attach(S* storage) {
        if (!Base::initiate(storage)) return false;
        auto* lockable = dynamic_cast<VRX_Lockable*>(storage);
        lock_ = lockable ? lockable : &dummy_;
        auto* positioned = dynamic_cast<VRX_PositionedInput*>(storage);
        positioned_ = positioned && positioned->can_read_at() ? positioned : nullptr;
        costly_ = positioned_ && positioned_->read_at_is_costly();
        read_ahead_.release();
        return true;
    }

    // Moves the shared storage to the own position, saving where it was; a
    // move that falls short is undone and gives false.
    bool move_in() {
        saved_ = this->pointer_->position();
        return move_storage(this->pointer_, saved_, own_);
    }
    // Moves the shared storage back where it was.
    void move_out() { this->pointer_->move(static_cast<int32_t>(int64_t{saved_} - own_)); }

    // Reads at the own position through the shared storage's positioned
    // reads, with a read-ahead when each of them costs a system call.
    int32_t read_positioned(void* buffer, int32_t n) {
        return read_ahead_.read(own_, static_cast<unsigned char*>(buffer), n,
                                costly_ ? read_ahead_bytes : 0,
                                [this](int32_t at, unsigned char* out, int32_t k) {
                                    return positioned_->read_at(at, out, k);
                                });
    }

    int32_t own_ = 0;
    int32_t saved_ = 0;
    VRX_Lockable* lock_ = &dummy_;
    VRX_DummyLock dummy_;
    VRX_PositionedInput* positioned_ = nullptr;
    bool costly_ = false;
    VRX_ReadAheadBuffer read_ahead_;
};

// The shared-position reader that is created.
template <class S>
class VRX_MoveInMoveOutInputStorage : public VRX_MoveInMoveOutMovableInputStream<S> {
public:
    using VRX_MoveInMoveOutMovableInputStream<S>::VRX_MoveInMoveOutMovableInputStream;
    ~VRX_MoveInMoveOutInputStorage() override = default;

    // A reader starting at the storage's current position; null when refused.
    static VRX_MoveInMoveOutInputStorage* create(VRX_Manager* manager, S* storage) {
        return make_storage<VRX_MoveInMoveOutInputStorage>(
            manager, [&](VRX_MoveInMoveOutInputStorage* s) { return s->initiate(storage); });
    }
    // A reader starting at `position`; null when refused.
    static VRX_MoveInMoveOutInputStorage* create(VRX_Manager* manager, S* storage,
                                                 int32_t position) {
        return make_storage<VRX_MoveInMoveOutInputStorage>(
            manager,
            [&](VRX_MoveInMoveOutInputStorage* s) { return s->initiate(storage, position); });
    }
};

}  // namespace vrx

namespace vrx {
extern template class VRX_MoveInMoveOutMovableInputStream<VRX_InputStorage>;
extern template class VRX_MoveInMoveOutInputStorage<VRX_InputStorage>;
}  // namespace vrx
