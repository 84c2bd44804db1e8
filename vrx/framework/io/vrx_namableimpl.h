#pragma once
// A named object: keeps a name in a string of the library.
#include "vrx/framework/include/vrx_basicstring.h"

namespace vrx {

template <class S>
class VRX_NamableImpl {
public:
    using char_type = typename S::value_type;

    explicit VRX_NamableImpl(VRX_Manager* manager) : name_(manager) {}
    VRX_NamableImpl(const VRX_NamableImpl&) = delete;
    VRX_NamableImpl& operator=(const VRX_NamableImpl&) = delete;
    virtual ~VRX_NamableImpl() = default;

    // A copy of the name, bound to the same manager.
    virtual S name() const { return S(name_); }

protected:
    // Stores the name; true when the stored name then equals `name`.
    bool set_name(const char_type* name) { return name_.assign(name) && name_.compare(name) == 0; }
    const S& stored_name() const { return name_; }

    S name_;
};

}  // namespace vrx
