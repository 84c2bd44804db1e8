#pragma once
// The Huffman and quantisation tables of a tables-only JPEG stream, handed
// to VRX_JPEGInfo::load for streams in the abbreviated format. Copies share
// one decoder.
#include "vrx/core/jpeg/vrx_jpegtableinfointernal.h"
#include "vrx/framework/base/vrx_utility.h"
#include "vrx/framework/include/vrx_sharedowner.h"

namespace vrx {

class VRX_JPEGTableInfo : public VRX_Utility {
public:
    explicit VRX_JPEGTableInfo(VRX_Manager* manager) : VRX_Utility(manager) {}
    VRX_JPEGTableInfo(const VRX_JPEGTableInfo& other) = default;
    // Shares the other record's tables.
    VRX_JPEGTableInfo& operator=(const VRX_JPEGTableInfo& other) = default;
    ~VRX_JPEGTableInfo() override = default;

    // Reads the tables from the storage's position; a null or exhausted
    // storage is refused (0x80800000). On failure the storage is moved back.
    virtual bool load(VRX_InputStorage* storage);

    const VRX_SharedOwner<VRX_JPEGTableInfoInternal>& internal() const { return internal_; }

private:
    VRX_SharedOwner<VRX_JPEGTableInfoInternal> internal_;
};

}  // namespace vrx
