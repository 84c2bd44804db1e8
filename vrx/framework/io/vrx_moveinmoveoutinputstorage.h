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
#include <cstring>
#include <mutex>

#include "vrx/framework/io/vrx_inputstoragedecorator.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/utility/vrx_lockable.h"

namespace vrx {

template <class S>
class VRX_MoveInMoveOutMovableInputStream : public VRX_Decorator<VRX_Pointer<S>> {
public:
    using Base = VRX_Decorator<VRX_Pointer<S>>;
    using Base::Base;
    // Gives the read-ahead memory back.
    ~VRX_MoveInMoveOutMovableInputStream() override { free_cache(); }

    // Forgets the shared storage; true.
    bool terminate() override {
        free_cache();
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
            if (own_ >= cache_start_ && own_ - cache_start_ < cache_bytes_)
                return cache_[own_++ - cache_start_];
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
    // not moved.
    int32_t skip(int32_t n) override { return move(n); }
    int32_t move(int32_t n) override {
        S* storage = this->pointer_;
        if (!storage) return 0;
        const int64_t target = std::clamp<int64_t>(int64_t{own_} + n, 0, storage->size());
        const int32_t moved = static_cast<int32_t>(target - own_);
        own_ = static_cast<int32_t>(target);
        return moved;
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
    static constexpr int32_t cache_capacity = 8 * 1024;

    bool attach(S* storage) {
        if (!Base::initiate(storage)) return false;
        auto* lockable = dynamic_cast<VRX_Lockable*>(storage);
        lock_ = lockable ? lockable : &dummy_;
        auto* positioned = dynamic_cast<VRX_PositionedInput*>(storage);
        positioned_ = positioned && positioned->can_read_at() ? positioned : nullptr;
        costly_ = positioned_ && positioned_->read_at_is_costly();
        free_cache();
        return true;
    }

    // Moves the shared storage to the own position, saving where it was; a
    // move that falls short is undone and gives false.
    bool move_in() {
        S* storage = this->pointer_;
        saved_ = storage->position();
        const int64_t distance = int64_t{own_} - saved_;
        const int32_t moved = storage->move(static_cast<int32_t>(distance));
        if (moved == distance) return true;
        storage->move(-moved);
        return false;
    }
    // Moves the shared storage back where it was.
    void move_out() { this->pointer_->move(static_cast<int32_t>(int64_t{saved_} - own_)); }

    int32_t read_positioned(void* buffer, int32_t n) {
        auto* out = static_cast<unsigned char*>(buffer);
        int32_t total = 0;
        while (total < n) {
            const int32_t rest = n - total;
            if (own_ >= cache_start_ && own_ - cache_start_ < cache_bytes_) {
                const int32_t k = std::min(rest, cache_bytes_ - (own_ - cache_start_));
                std::memcpy(out + total, cache_ + (own_ - cache_start_), static_cast<size_t>(k));
                total += k;
                own_ += k;
            } else if (!costly_ || rest >= cache_capacity || !fill_cache()) {
                const int32_t got = positioned_->read_at(own_, out + total, rest);
                total += got;
                own_ += got;
                break;
            }
        }
        return total;
    }

    bool fill_cache() {
        if (!cache_) {
            cache_ = static_cast<unsigned char*>(this->manager_->allocate(cache_capacity));
            if (!cache_) return false;
        }
        cache_start_ = own_;
        cache_bytes_ = positioned_->read_at(own_, cache_, cache_capacity);
        return cache_bytes_ > 0;
    }

    void free_cache() {
        if (cache_) this->manager_->deallocate(cache_);
        cache_ = nullptr;
        cache_start_ = 0;
        cache_bytes_ = 0;
    }

    int32_t own_ = 0;
    int32_t saved_ = 0;
    VRX_Lockable* lock_ = &dummy_;
    VRX_DummyLock dummy_;
    VRX_PositionedInput* positioned_ = nullptr;
    bool costly_ = false;
    unsigned char* cache_ = nullptr;
    int32_t cache_start_ = 0;
    int32_t cache_bytes_ = 0;
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
