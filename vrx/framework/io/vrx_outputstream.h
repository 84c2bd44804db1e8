#pragma once
// A sequential byte sink.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/io/vrx_stream.h"

namespace vrx {

class VRX_InputStorage;

class VRX_OutputStream : public VRX_Object, public VRX_Stream {
public:
    using VRX_Object::VRX_Object;
    ~VRX_OutputStream() override = default;

    // Detaches from the buffer; true.
    bool terminate() override = 0;
    // True when no buffer is attached.
    virtual bool is_closed() = 0;
    // Stores one byte and advances; the byte value 0..255, or -1.
    virtual int32_t put(unsigned char byte) = 0;
    // Stores up to n bytes and advances; the count stored.
    virtual int32_t write(const void* buffer, int32_t n) = 0;
    // Advances by up to n bytes without storing (the bytes keep what the
    // buffer held); the distance.
    virtual int32_t advance(int32_t n) = 0;
    // A new initiated input storage over the same bytes, or null.
    virtual VRX_InputStorage* make_input_storage() = 0;
};

}  // namespace vrx
