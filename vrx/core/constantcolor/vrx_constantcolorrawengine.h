#pragma once
// Source engine of an image of one colour: every line is a copy of one line
// prepared at initiate. The base of the typed engines below; T is the type
// of the colour values.
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

// The engine of whole-byte samples of T (uint8_t, int8_t, uint16_t, int16_t,
// uint32_t, int32_t, float, double): colour value c in channel c of every pixel.
template <class T>
class VRX_ConstantColorRaw8xNBitsEngine : public VRX_ConstantColorRawEngine<T> {
public:
    using VRX_ConstantColorRawEngine<T>::VRX_ConstantColorRawEngine;
    // Version test, the common part, then bits 8, 16, 32 or 64 (else
    // 0x81000000) and a header of T's data type and width (else 0x80800000).
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                  const VRX_Vector<T>& color) override;
    using VRX_ConstantColorRawEngine<T>::initiate;
};

// The engine of unsigned one-bit samples: a bit is set where its channel's
// colour value is not 0.
template <class T>
class VRX_ConstantColorRaw1Engine : public VRX_ConstantColorRawEngine<T> {
public:
    using VRX_ConstantColorRawEngine<T>::VRX_ConstantColorRawEngine;
    // Version test, the common part, then u_integer samples of 1 bit (else 0x81000000).
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst,
                  const VRX_Vector<T>& color) override;
    using VRX_ConstantColorRawEngine<T>::initiate;
};

// X(T) for the eight sample types.
#define VRX_CONSTANT_FOR_EACH_TYPE(X) \
    X(uint8_t) X(int8_t) X(uint16_t) X(int16_t) X(uint32_t) X(int32_t) X(float) X(double)
#define VRX_CONSTANT_EXTERN(T)                           \
    extern template class VRX_ConstantColorRawEngine<T>; \
    extern template class VRX_ConstantColorRaw8xNBitsEngine<T>;
VRX_CONSTANT_FOR_EACH_TYPE(VRX_CONSTANT_EXTERN)
#undef VRX_CONSTANT_EXTERN
extern template class VRX_ConstantColorRaw1Engine<uint32_t>;

}  // namespace vrx
