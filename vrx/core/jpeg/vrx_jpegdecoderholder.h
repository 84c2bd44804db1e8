#pragma once
// Base of the library objects that own a JPEG decoder over a storage: the
// stream's information and a tables-only stream's tables. The decoder reads
// the storage and allocates from the manager through callbacks whose user
// is this object; the object counts itself as a user of the JPEG library
// while it holds a decoder.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"

namespace jpegdec {
struct JpegDecoderContext;
}

namespace vrx {

class VRX_InputStorage;

class VRX_JPEGDecoderHolder : public VRX_Object {
public:
    explicit VRX_JPEGDecoderHolder(VRX_Manager* manager) : VRX_Object(manager) {}
    ~VRX_JPEGDecoderHolder() override = default;

    // Destroys the decoder and, when this object counted itself in, leaves
    // the JPEG library. True.
    bool terminate() override;

    jpegdec::JpegDecoderContext* context() const { return context_; }
    VRX_InputStorage* storage() const { return storage_; }

protected:
    // Joins the JPEG library under the library's process mutex.
    void join_library();
    // A decoder over the kept storage; the decoder's status when it cannot
    // be made (1 on success).
    int32_t create_decoder();

    jpegdec::JpegDecoderContext* context_ = nullptr;
    VRX_InputStorage* storage_ = nullptr;
    bool counted_ = false;
};

}  // namespace vrx
