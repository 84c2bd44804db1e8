#pragma once
// Terminal engine of the minimum/maximum analysis. T is the sample type, A
// the type of the caller's two variables:
//   uint8_t/uint16_t/uint32_t with unsigned int, int8_t/int16_t/int32_t with
//   int, float with float, double with double.
#include <cstdint>

#include "vrx/framework/engine/vrx_analyzelineengine.h"

namespace vrx {

template <class T, class A>
class VRX_MinMaxPixelValueEngine : public VRX_AnalyzeLineEngine {
public:
    explicit VRX_MinMaxPixelValueEngine(VRX_Manager* manager) : VRX_AnalyzeLineEngine(manager) {}
    ~VRX_MinMaxPixelValueEngine() override = default;

    // Version test, the analyser initiate, then one channel of the engine's
    // sample width without palette (else 0x81000000) and both pointers given
    // (else 0x80800000). Writes the starting values into the variables: the
    // largest value of A as minimum and the smallest as maximum.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, A* minimum, A* maximum);
    using VRX_AnalyzeLineEngine::initiate;

protected:
    bool analyze_line(const unsigned char* src) override;

private:
    uint32_t samples_ = 0;
    A* minimum_ = nullptr;
    A* maximum_ = nullptr;
};

extern template class VRX_MinMaxPixelValueEngine<uint8_t, unsigned int>;
extern template class VRX_MinMaxPixelValueEngine<uint16_t, unsigned int>;
extern template class VRX_MinMaxPixelValueEngine<uint32_t, unsigned int>;
extern template class VRX_MinMaxPixelValueEngine<int8_t, int>;
extern template class VRX_MinMaxPixelValueEngine<int16_t, int>;
extern template class VRX_MinMaxPixelValueEngine<int32_t, int>;
extern template class VRX_MinMaxPixelValueEngine<float, float>;
extern template class VRX_MinMaxPixelValueEngine<double, double>;

}  // namespace vrx
