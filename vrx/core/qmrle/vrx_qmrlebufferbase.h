#pragma once
// Base of the whole-image run-length buffer: the source it reads, the size of
// the image, the block it reads into and a holder that keeps the source alive
// until every line has been read.
#include <cstdint>

#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/base/vrx_object.h"

namespace vrx {

class VRX_SrcBuffer;

class VRX_QMRLEBufferBase : public VRX_Object {
public:
    // An object whose only role is to record a dependency on the source.
    class SrcBufHolder : public VRX_Object {
    public:
        using VRX_Object::VRX_Object;
    };

    explicit VRX_QMRLEBufferBase(VRX_Manager* manager) : VRX_Object(manager) {}
    ~VRX_QMRLEBufferBase() override = default;

    // finish().
    bool terminate() override { return finish(); }
    // Gives the data block back and lets go of the source; true.
    virtual bool finish();
    // Both present (0x80800000); a header of encode type qm_rle, u_integer, 1
    // channel of 1 bit (0x81000000). Keeps the source and the image size and
    // makes the holder.
    virtual bool initiate(VRX_SrcBuffer* src, const VRX_Header* header);

protected:
    // Lets go of the source: the holder is destroyed.
    void drop_holder();

    unsigned char* data_ = nullptr;
    VRX_SrcBuffer* src_ = nullptr;
    // The input image's size, kept as values: the engine that made the
    // header may end while the stream is read.
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    SrcBufHolder* holder_ = nullptr;
};

}  // namespace vrx
