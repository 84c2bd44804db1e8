#pragma once
// Line engine that expands one-bit samples to two integers of T (uint8_t,
// int8_t, uint16_t or int16_t) through a table of the eight samples of every
// byte value: the same result as the from-one-bit conversion with gain
// one - zero and offset zero, one copy per source byte.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_DataType;

template <class T>
class VRX_Convert1To8xNBitsEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_Convert1To8xNBitsEngine(VRX_Manager* manager)
        : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_Convert1To8xNBitsEngine() override = default;

    // Gives the expansion table back, then ends as a process engine.
    bool terminate() override;
    // Version test, the line-engine initiate, an unsigned one-bit source
    // without palette (else 0x81000000); then `bits` of T's width, both values
    // in T's range and a u_integer or s_integer type (else 0x80800000). The
    // output takes `type` and `bits`.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_DataType* type, uint16_t bits, int32_t zero, int32_t one);
    using VRX_ProcessLineToLineEngine::initiate;

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

private:
    T zero_{};
    T one_{};
    uint32_t whole_bytes_ = 0;     // (channels x width) / 8
    uint16_t remaining_bits_ = 0;  // (channels x width) mod 8
    T* table_ = nullptr;           // row b: the eight samples of byte b
};

extern template class VRX_Convert1To8xNBitsEngine<uint8_t>;
extern template class VRX_Convert1To8xNBitsEngine<int8_t>;
extern template class VRX_Convert1To8xNBitsEngine<uint16_t>;
extern template class VRX_Convert1To8xNBitsEngine<int16_t>;

}  // namespace vrx
