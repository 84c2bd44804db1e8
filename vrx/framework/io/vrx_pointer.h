#pragma once
// How a decorator holds what it wraps: a plain pointer, never destroyed by
// the holder (the relation's dependency keeps the wrapped object alive).
namespace vrx {

template <class T>
class VRX_Pointer {
public:
    VRX_Pointer() = default;
    VRX_Pointer(const VRX_Pointer&) = delete;
    VRX_Pointer& operator=(const VRX_Pointer&) = delete;
    virtual ~VRX_Pointer() = default;

    T* get() const { return pointer_; }
    void reset(T* pointer = nullptr) { pointer_ = pointer; }

protected:
    T* pointer_ = nullptr;
};

// A storage that wraps another storage of the same interface and forwards to
// it; specialised for input and output storages.
template <class P>
class VRX_Decorator;

}  // namespace vrx
