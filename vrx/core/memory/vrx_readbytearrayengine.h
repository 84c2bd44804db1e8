#pragma once
// The producer of a VRX_ByteArrayDstBuffer: it does no work itself. It exists
// so that the following engine gets a source buffer that reads the caller's
// array in place.
#include "vrx/framework/engine/vrx_bufferoutputengine.h"

namespace vrx {

class VRX_ReadByteArrayEngine : public VRX_BufferOutputEngine {
public:
    explicit VRX_ReadByteArrayEngine(VRX_Manager* manager) : VRX_BufferOutputEngine(manager) {}
    ~VRX_ReadByteArrayEngine() override = default;

    // Never part of the work: reports 0x80080000 and returns false.
    bool execute() override;
    // Version test (0x80040000), the output side, then the destination's
    // block size: one line (raw) or the workflow's block size.
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst) override;
};

}  // namespace vrx
