#pragma once
// Root of every class of the imaging library. Objects live in memory drawn
// from their manager; destroy() gives an object back the way its kind
// requires (utilities free themselves, objects go through the relation).

namespace vrx {

class VRX_Manager;

class VRX_Root {
public:
    virtual bool destroy() = 0;
    virtual ~VRX_Root() = default;

protected:
    VRX_Root() = default;
    VRX_Root(const VRX_Root&) = default;
    VRX_Root& operator=(const VRX_Root&) = default;
};

// Destroys an object of the library; a null pointer is accepted (true).
template <class T>
inline bool destroy(T* object) {
    return object ? object->destroy() : true;
}

}  // namespace vrx
