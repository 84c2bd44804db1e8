#pragma once
// A window [begin, end) of another input storage. Positions are relative to
// the window start, reads stop at the window end, and every movement is made
// on the wrapped storage (whose position is always begin + the window
// position while the window is used alone).
//
//   // 100 bytes from the wrapped storage's current position:
//   auto* frame = VRX_InputStorageBound<VRX_InputStorage>::create(manager, storage, 100);
#include <algorithm>
#include <cstdint>

#include "vrx/framework/io/vrx_inputstoragedecorator.h"
#include "vrx/framework/io/vrx_storagefactory.h"
#include "vrx/framework/io/vrx_storageposition.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// Reading inside the window.
template <class S>
class VRX_InputStreamBound : public VRX_Decorator<VRX_Pointer<S>> {
public:
    using Base = VRX_Decorator<VRX_Pointer<S>>;
    using Base::Base;
    ~VRX_InputStreamBound() override = default;

    // -1 at the window end, without a report.
    int32_t get() override {
        if (remain_ < 1 || !this->pointer_) return -1;
        const int32_t byte = this->pointer_->get();
        if (byte != -1) --remain_;
        return byte;
    }
    // At most the bytes left in the window.
    int32_t read(void* buffer, int32_t n) override {
        const int32_t k = std::min(n, remain_);
        if (k <= 0 || !this->pointer_) return 0;
        const int32_t got = this->pointer_->read(buffer, k);
        if (got > 0) remain_ -= got;
        return got;
    }
    // Stays inside the window in both directions.
    int32_t skip(int32_t n) override {
        const int32_t k = clamp_distance(n);
        if (k == 0 || !this->pointer_) return 0;
        const int32_t moved = this->pointer_->skip(k);
        remain_ -= moved;
        return moved;
    }

    using Base::initiate;
    // Wraps the storage; the window is the next `length` bytes from its
    // current position. A negative length, or a window whose end lies beyond
    // the positions a storage can have, is refused with 0x80800000. Nothing
    // checks that the storage holds `length` more bytes.
    virtual bool initiate(S* storage, int32_t length) {
        if (!Base::initiate(storage)) return false;
        const int64_t begin = storage->position();
        if (length < 0 || begin < 0 || begin + length > INT32_MAX) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_InputStreamBound::initiate()", __FILE__,
                                   53);
            return false;
        }
        begin_ = static_cast<int32_t>(begin);
        end_ = static_cast<int32_t>(begin + length);
        remain_ = length;
        return true;
    }
    // Sets the bytes left to the window end without moving (0 to the window
    // size; anything else is refused with 0x80800000).
    virtual bool set_remain_count(int32_t n) {
        if (n < 0 || n > end_ - begin_) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_InputStreamBound::set_remain_count()",
                                   __FILE__, __LINE__);
            return false;
        }
        remain_ = n;
        return true;
    }

    int32_t remain() const { return remain_; }
    int32_t window_begin() const { return begin_; }
    int32_t window_end() const { return end_; }

protected:
    int32_t window_position() const { return end_ - begin_ - remain_; }
    // n limited to [-position, remain].
    int32_t clamp_distance(int32_t n) const {
        return std::clamp(n, -window_position(), remain_);
    }

    int32_t remain_ = 0;
    int32_t begin_ = 0;
    int32_t end_ = 0;
};

// Positioning inside the window, and moving the window.
template <class S>
class VRX_MovableInputStreamBound : public VRX_InputStreamBound<S> {
public:
    using Base = VRX_InputStreamBound<S>;
    using Base::Base;
    ~VRX_MovableInputStreamBound() override = default;

    int32_t position() override { return this->window_position(); }
    int32_t size() override { return this->end_ - this->begin_; }
    bool is_end() override { return this->begin_ == this->end_ || this->remain_ == 0; }
    // Stops at the window start and end; the distance moved.
    int32_t move(int32_t n) override {
        const int32_t k = this->clamp_distance(n);
        if (k == 0 || !this->pointer_) return 0;
        const int32_t moved = this->pointer_->move(k);
        this->remain_ -= moved;
        return moved;
    }
    // One byte back unless at the window start.
    bool unget() override { return position() > 0 && move(-1) == -1; }

    using Base::initiate;
    // Wraps the storage, moves it to the absolute position `begin` and makes
    // [begin, end) the window (position 0). A move that falls short:
    // 0x80020000; begin or end out of order: 0x80800000.
    virtual bool initiate(S* storage, int32_t begin, int32_t end) {
        if (!VRX_Decorator<VRX_Pointer<S>>::initiate(storage)) return false;
        if (begin < 0 || end < begin) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_MovableInputStreamBound::initiate()",
                                   __FILE__, __LINE__);
            return false;
        }
        if (!move_wrapped_to(begin)) {
            this->manager_->report(VRX_ERROR_IO, "VRX_MovableInputStreamBound::initiate()",
                                   __FILE__, 176);
            return false;
        }
        this->begin_ = begin;
        this->end_ = end;
        this->remain_ = end - begin;
        return true;
    }

    // The window keeps its start and ends `length` bytes after it. The new end
    // must exist in the wrapped storage (probed by moving there), else
    // 0x80020000 and nothing changes. A position beyond the new end becomes the
    // new end.
    virtual bool set_bound(int32_t length) {
        S* storage = this->pointer_;
        if (!storage || length < 0 || int64_t{this->begin_} + length > INT32_MAX) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_MovableInputStreamBound::set_bound()",
                                   __FILE__, __LINE__);
            return false;
        }
        const int32_t p = position();
        const int32_t probe = length - p;
        const int32_t moved = storage->move(probe);
        if (moved != probe) {
            storage->move(-moved);
            this->manager_->report(VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_bound()",
                                   __FILE__, 207);
            return false;
        }
        if (length <= p) {
            this->end_ = this->begin_ + length;
            this->remain_ = 0;
            return true;
        }
        if (storage->move(-probe) != -probe) {
            this->manager_->report(VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_bound()",
                                   __FILE__, 207);
            return false;
        }
        this->end_ = this->begin_ + length;
        this->remain_ = length - p;
        return true;
    }

    // Makes [begin, end) (absolute positions) the window. The wrapped
    // storage's position is kept when it lies inside the new window, else it
    // goes to the nearer window edge. A window that cannot be reached:
    // 0x80020000, and the old window stays.
    virtual bool set_remain(int32_t begin, int32_t end) {
        S* storage = this->pointer_;
        if (!storage || begin < 0 || end < begin) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_MovableInputStreamBound::set_remain()",
                                   __FILE__, __LINE__);
            return false;
        }
        const int32_t p = storage->position();
        const int32_t old_begin = this->begin_;
        const int32_t old_end = this->end_;
        const int32_t old_remain = this->remain_;
        if (!move_wrapped_to(begin)) {
            this->manager_->report(VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_remain()",
                                   __FILE__, 237);
            return false;
        }
        this->begin_ = begin;
        this->end_ = std::max(old_end, begin);
        this->remain_ = this->end_ - begin;
        if (!set_bound(end - begin)) {
            this->begin_ = old_begin;
            this->end_ = old_end;
            this->remain_ = old_remain;
            move_wrapped_to(p);
            this->manager_->report(VRX_ERROR_IO, "VRX_MovableInputStreamBound::set_remain()",
                                   __FILE__, 237);
            return false;
        }
        if (p < begin) return true;
        if (p > end) {
            const int32_t distance = this->remain_;
            return move(distance) == distance;
        }
        return move(p - begin) == p - begin;
    }

protected:
    // Moves the wrapped storage to an absolute position; true when it got there.
    bool move_wrapped_to(int32_t target) {
        S* storage = this->pointer_;
        const int32_t current = storage->position();
        return current >= 0 && move_storage(storage, current, target);
    }
};

// The bounded input storage that is created.
template <class S>
class VRX_InputStorageBound : public VRX_MovableInputStreamBound<S> {
public:
    using Base = VRX_MovableInputStreamBound<S>;
    using Base::Base;
    ~VRX_InputStorageBound() override = default;

    // A window of `length` bytes from the storage's current position; null
    // when refused.
    static VRX_InputStorageBound* create(VRX_Manager* manager, S* storage, int32_t length) {
        return make_storage<VRX_InputStorageBound>(
            manager, [&](VRX_InputStorageBound* s) { return s->initiate(storage, length); });
    }
    // A window of [begin, end), absolute positions of the storage; null when
    // refused.
    static VRX_InputStorageBound* create(VRX_Manager* manager, S* storage, int32_t begin,
                                         int32_t end) {
        return make_storage<VRX_InputStorageBound>(
            manager, [&](VRX_InputStorageBound* s) { return s->initiate(storage, begin, end); });
    }

    // The window start; a short move is reported (0x80020000) and false.
    bool to_begin() override {
        this->move(-this->position());
        if (this->remain_ == this->end_ - this->begin_) return true;
        this->manager_->report(VRX_ERROR_IO, "VRX_InputStorageBound::to_begin()", __FILE__, 335);
        return false;
    }
    // The window end; a short move is reported (0x80020000) and false.
    bool to_end() override {
        const int32_t distance = this->remain_;
        if (this->move(distance) == distance) return true;
        this->manager_->report(VRX_ERROR_IO, "VRX_InputStorageBound::to_end()", __FILE__, 350);
        return false;
    }
    // to_begin, then a move by n clamped to the window; true.
    bool seek_from_begin(int32_t n) override {
        if (!to_begin()) return false;
        this->move(n);
        return true;
    }
    // to_end, then a move by n clamped to the window; true.
    bool seek_from_end(int32_t n) override {
        if (!to_end()) return false;
        this->move(n);
        return true;
    }

    using Base::initiate;
    // The window from the storage's position to its end (null refused).
    bool initiate(S* storage) override {
        if (!storage) {
            this->manager_->report(VRX_ERROR_ARGUMENT, "VRX_InputStorageBound::initiate()",
                                   __FILE__, 283);
            return false;
        }
        const int32_t position = storage->position();
        const int64_t length = int64_t{storage->size()} - position;
        return this->initiate(storage, static_cast<int32_t>(std::max<int64_t>(length, -1)));
    }
};

}  // namespace vrx

namespace vrx {
extern template class VRX_InputStreamBound<VRX_InputStorage>;
extern template class VRX_MovableInputStreamBound<VRX_InputStorage>;
extern template class VRX_InputStorageBound<VRX_InputStorage>;
}  // namespace vrx
