#pragma once
// Creator of colour-space conversion: appends whatever stages turn an image
// of one colour type into another, among gray, gray_reverse, lstar, s_rgb,
// adobe_rgb, ycbcr, hsl, icc_lab, itu_lab, xyz, cmy and cmyk. Each call plans
// afresh (one or two stages: lookup tables, colour matrices, direct tables
// of 33 points per input, RGB/HSL point engines, NOT or a relabelled header)
// and computes the tables the plan needs.
//
//   VRX_Engine* rgb = VRX_ColorSpace(&manager).engine(frame, VRX_ColorType::s_rgb());
#include "vrx/framework/base/vrx_enginecreator.h"

namespace vrx {

class VRX_Engine;
class VRX_ColorType;

class VRX_ColorSpace : public VRX_EngineCreator {
public:
    explicit VRX_ColorSpace(VRX_Manager* manager) : VRX_EngineCreator(manager) {}
    ~VRX_ColorSpace() override = default;

    // The source itself when it already has colour type `target`; else the
    // last engine of the conversion, or null after a report. Refused: a
    // missing source, header or target (0x80800000); a source or target type
    // outside the twelve, a source that is not raw u_integer of 8 or 16 bits
    // without palette (1 bit only with one channel to a one-channel target),
    // or a conversion without a plan (0x81000000).
    virtual VRX_Engine* engine(VRX_Engine* source, const VRX_ColorType* target);
};

}  // namespace vrx
