#pragma once
// The byte sink of writers (bitmap writer, typed data writer); the byte-array
// form writes into a caller's buffer of fixed capacity.
#include "vrx/framework/io/vrx_outputstream.h"

namespace vrx {

class VRX_OutputStorage : public VRX_OutputStream {
public:
    using VRX_OutputStream::VRX_OutputStream;
    ~VRX_OutputStorage() override = default;

    // Moves by n bytes, clamped to [0, size]; the distance moved.
    virtual int32_t move(int32_t n) = 0;
    virtual bool seek_from_begin(int32_t n) = 0;
    virtual bool seek_from_end(int32_t n) = 0;
    virtual int32_t position() = 0;
    // The bytes written so far (the highest position reached).
    virtual int32_t size() = 0;
    virtual bool to_begin() = 0;
    virtual bool to_end() = 0;
};

}  // namespace vrx
