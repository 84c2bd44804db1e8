#pragma once
// A sequential byte source: reading and skipping, and the stream stamp.
#include <cstdint>

#include "vrx/framework/base/vrx_object.h"
#include "vrx/framework/io/vrx_stream.h"

namespace vrx {

class VRX_InputStream : public VRX_Object, public VRX_Stream {
public:
    explicit VRX_InputStream(VRX_Manager* manager);
    ~VRX_InputStream() override = default;

    // Detaches from the data (closes the file, forgets the array); true.
    bool terminate() override = 0;
    // True when no data is attached.
    virtual bool is_closed() = 0;
    // The next byte 0..255, advancing by one; -1 when there is none.
    virtual int32_t get() = 0;
    // Copies up to n bytes to buffer and advances; the count copied.
    virtual int32_t read(void* buffer, int32_t n) = 0;
    // Advances by up to n bytes; the distance moved.
    virtual int32_t skip(int32_t n) = 0;

    const VRX_StreamStamp& stamp() const { return stamp_; }

protected:
    // A new change count and time (a file storage opened again).
    void renew_stamp();

    VRX_StreamStamp stamp_;
};

}  // namespace vrx
