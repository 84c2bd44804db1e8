#pragma once
// Channel merge of images with samples of 8 to 64 bits: for every pixel the
// samples of input 0, then those of input 1, and so on. T is the sample type
// (uint8_t, int8_t, uint16_t, int16_t, uint32_t, int32_t, float, double).
#include "vrx/core/channel/vrx_mergechannelengine.h"

namespace vrx {

template <class T>
class VRX_MergeChannel8xNbitsEngine : public VRX_MergeChannelEngine {
public:
    explicit VRX_MergeChannel8xNbitsEngine(VRX_Manager* manager)
        : VRX_MergeChannelEngine(manager) {}
    ~VRX_MergeChannel8xNbitsEngine() override = default;

    // Gives the line-pointer array back, then ends as every process engine.
    bool terminate() override;
    // The merge initiate, then inputs of the engine's sample width (else
    // 0x81000000); takes the line-pointer array from the manager.
    bool initiate(const VRX_Vector<const VRX_Header*>& headers,
                  const VRX_Vector<VRX_SrcBuffer*>& sources, VRX_DstBuffer* dst,
                  const VRX_ColorType* color) override;
    using VRX_MergeChannelEngine::initiate;

protected:
    const unsigned char** input_lines() override { return lines_in_; }
    void merge(const unsigned char* const* inputs, unsigned char* output) override;

private:
    const unsigned char** lines_in_ = nullptr;
};

extern template class VRX_MergeChannel8xNbitsEngine<uint8_t>;
extern template class VRX_MergeChannel8xNbitsEngine<int8_t>;
extern template class VRX_MergeChannel8xNbitsEngine<uint16_t>;
extern template class VRX_MergeChannel8xNbitsEngine<int16_t>;
extern template class VRX_MergeChannel8xNbitsEngine<uint32_t>;
extern template class VRX_MergeChannel8xNbitsEngine<int32_t>;
extern template class VRX_MergeChannel8xNbitsEngine<float>;
extern template class VRX_MergeChannel8xNbitsEngine<double>;

}  // namespace vrx
