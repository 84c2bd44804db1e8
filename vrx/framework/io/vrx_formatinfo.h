#pragma once
// An image header read from a file format (the DICOM information is one).
// Each format reads its fields in load_body(); load() keeps the storage where
// it was when that fails.
//
//   SomeFormatInfo info(manager);
//   if (info.load(storage) && info.is_valid()) ... use the header ...
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/io/vrx_resolutioninfo.h"

namespace vrx {

class VRX_InputStorage;

class VRX_FormatInfo : public VRX_Header {
public:
    explicit VRX_FormatInfo(VRX_Manager* manager) : VRX_Header(manager) {}
    ~VRX_FormatInfo() override = default;

    // The format's name.
    virtual const char* format_name() const = 0;
    // The header part of this object.
    virtual const VRX_Header* header() const { return this; }
    virtual const VRX_ResolutionInfo* resolution_info() const { return &resolution_; }

    // Reads the format from the storage's position. A null or closed storage
    // is refused with 0x80800000. When load_body fails the storage is moved
    // back to where it was. True when loaded.
    bool load(VRX_InputStorage* storage);
    // True after a successful load.
    bool is_loaded() const { return loaded_; }

protected:
    // Reads the format's fields into this header; false when they do not load.
    virtual bool load_body(VRX_InputStorage* storage) = 0;

    bool loaded_ = false;
    VRX_ResolutionInfo resolution_;
};

}  // namespace vrx
