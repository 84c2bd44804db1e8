#pragma once
// An input stream that can be positioned.
#include "vrx/framework/io/vrx_inputstream.h"

namespace vrx {

class VRX_MovableInputStream : public VRX_InputStream {
public:
    using VRX_InputStream::VRX_InputStream;
    ~VRX_MovableInputStream() override = default;

    // Current position from the start; -1 when it cannot be had.
    virtual int32_t position() = 0;
    // Moves by n bytes (negative: backwards), clamped to [0, size]; the
    // distance actually moved.
    virtual int32_t move(int32_t n) = 0;
    virtual bool is_end() = 0;
    virtual bool seek_from_begin(int32_t n) = 0;
    virtual bool seek_from_end(int32_t n) = 0;
    // Total bytes.
    virtual int32_t size() = 0;
    virtual bool to_begin() = 0;
    virtual bool to_end() = 0;
};

}  // namespace vrx
