#pragma once
// Lookup engine: every sample of an 8- or 16-bit integer image is replaced by
// the entry of its channel's table at the sample's value. Src is the source
// sample type (uint8_t, int8_t, uint16_t, int16_t), Dst the entry and output
// sample type (any of the eight). Entries are copied unchanged. The unsigned
// and signed engines (VRX_LutU8xNbitsEngine, VRX_LutS8xNbitsEngine) add their
// data-type checks.
#include <cstdint>

#include "vrx/framework/engine/vrx_processlinetolineengine.h"

namespace vrx {

class VRX_LutData;
class VRX_ColorType;

template <class Src, class Dst>
class VRX_Lut8xNbitsEngine : public VRX_ProcessLineToLineEngine {
public:
    explicit VRX_Lut8xNbitsEngine(VRX_Manager* manager) : VRX_ProcessLineToLineEngine(manager) {}
    ~VRX_Lut8xNbitsEngine() override = default;

    // Gives the table copy and the channel pointers back, then ends as a
    // process engine.
    bool terminate() override;
    // The line-engine initiate; then a source of Src's width without palette
    // (else 0x81000000); a valid table of Dst's width with 2^(source bits)
    // entries and one table or one per channel (else 0x80800000); a colour
    // type, when given, that takes the table count when there are several
    // (else 0x80800000). The output takes the table's bits and data type and
    // the colour type when given.
    virtual bool initiate(const VRX_Header* header, VRX_SrcBuffer* src, VRX_DstBuffer* dst,
                          const VRX_LutData* table, const VRX_ColorType* color_type);
    using VRX_ProcessLineToLineEngine::initiate;

    uint32_t entries() const { return entries_; }
    uint32_t offset() const { return offset_; }

protected:
    bool process_line(const unsigned char* src, unsigned char* dst) override;

    uint32_t entries_ = 0;
    uint32_t width_ = 0;
    uint16_t channels_ = 0;
    unsigned char* table_ = nullptr;                  // every table, entries of Dst's width
    uint32_t offset_ = 0;                             // index of the entry for source value 0
    const unsigned char** channel_tables_ = nullptr;  // per channel: entry for value 0
    bool shared_ = false;                             // one table serves every channel
};

// X(Src, Dst) for the eight entry types.
#define VRX_LUT_FOR_EACH_DST(X, Src) \
    X(Src, uint8_t)                  \
    X(Src, int8_t)                   \
    X(Src, uint16_t) X(Src, int16_t) X(Src, uint32_t) X(Src, int32_t) X(Src, float) X(Src, double)
#define VRX_LUT_EXTERN(Src, Dst) extern template class VRX_Lut8xNbitsEngine<Src, Dst>;
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN, uint8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN, uint16_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN, int8_t)
VRX_LUT_FOR_EACH_DST(VRX_LUT_EXTERN, int16_t)
#undef VRX_LUT_EXTERN

}  // namespace vrx
