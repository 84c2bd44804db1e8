#pragma once
// Reference counts of the library's objects: which object keeps which other
// object alive, and how many references beyond the owner's each one holds.
#include <cstdint>
#include <functional>

#include "vrx/framework/include/vrx_map.h"

namespace vrx {

class VRX_Object;

class VRX_DependMap {
public:
    // (object, index): the index numbers the dependencies of one object from 0.
    struct KeyType {
        VRX_Object* object;
        uint32_t index;
    };
    struct KeyLess {
        bool operator()(const KeyType& a, const KeyType& b) const {
            if (a.object != b.object) return std::less<VRX_Object*>()(a.object, b.object);
            return a.index < b.index;
        }
    };

    explicit VRX_DependMap(VRX_Manager* manager);
    // Frees the tables without touching the objects named in them.
    ~VRX_DependMap() = default;

    // Records that `object` keeps `on` alive (both non-null and different,
    // else 0x80800000).
    bool depend(VRX_Object* object, VRX_Object* on);
    // Drops one reference of `object`; the last one deletes it (terminate,
    // destructor, memory back to the manager) and then drops the references
    // it held. A null object is refused with 0x80800000.
    bool end(VRX_Object* object);

    // References beyond the owner's that `object` holds now.
    uint32_t count(VRX_Object* object) const;

private:
    VRX_Manager* manager_;
    VRX_Map<KeyType, VRX_Object*, KeyLess> dependencies_;
    VRX_Map<VRX_Object*, uint32_t, std::less<VRX_Object*>> counts_;
};

}  // namespace vrx
