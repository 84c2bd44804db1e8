#pragma once
// The decoder of a tables-only JPEG stream (DHT and DQT segments between SOI
// and EOI), kept so that streams in the abbreviated format can use its
// tables.
#include <cstdint>

#include "vrx/core/jpeg/vrx_jpegdecoderholder.h"

namespace vrx {

class VRX_JPEGTableInfoInternal : public VRX_JPEGDecoderHolder {
public:
    explicit VRX_JPEGTableInfoInternal(VRX_Manager* manager) : VRX_JPEGDecoderHolder(manager) {}
    ~VRX_JPEGTableInfoInternal() override = default;

    // Made and initiated over the storage; null after a report.
    static VRX_JPEGTableInfoInternal* create(VRX_Manager* manager, VRX_InputStorage* storage);

    // Reads the stream's tables. A stream without SOI is refused (0x80400000);
    // any other result keeps what was read.
    virtual bool initiate(VRX_InputStorage* storage);

    // Reports a decoder status with "VRX_JPEGTableInfoInternal::" and `operation`
    // (-11 as -3, -3 as -14).
    void report(int32_t status, const char* operation);
};

}  // namespace vrx
