#pragma once
// Source engine of an image of one colour: every line is a copy of one line
// prepared at initiate. The base of the typed engines
// (VRX_ConstantColorRaw8xNBitsEngine, VRX_ConstantColorRaw1Engine); T is the
// type of the colour values.
#include <cstdint>

#include "vrx/framework/engine/vrx_generateengine.h"
#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

template <class T>
class VRX_ConstantColorRawEngine : public VRX_GenerateEngine {
public:
    explicit VRX_ConstantColorRawEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    ~VRX_ConstantColorRawEngine() override = default;

    // Gives the prepared line back, then ends as a generating engine.
    bool terminate() override;
    // One line per call; false once the height is reached or no line is free.
    bool execute() override;
    // Version test, the generating initiate (a valid header: else
    // 0x80800000), raw encoding (else 0x81000000), at least one colour value
    // per channel (else 0x80800000; more are ignored); then the prepared line
    // is allocated. The typed engines fill it.
    virtual bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, const VRX_Vector<T>& color);
    using VRX_GenerateEngine::initiate;

protected:
    unsigned char* line_ = nullptr;
    uint32_t line_bytes_ = 0;
    uint32_t lines_ = 0;  // lines delivered
};

// X(T) for the eight sample types.
#define VRX_CONSTANT_FOR_EACH_TYPE(X) \
    X(uint8_t) X(int8_t) X(uint16_t) X(int16_t) X(uint32_t) X(int32_t) X(float) X(double)
#define VRX_CONSTANT_EXTERN(T) extern template class VRX_ConstantColorRawEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_EXTERN)
#undef VRX_CONSTANT_EXTERN

}  // namespace vrx
