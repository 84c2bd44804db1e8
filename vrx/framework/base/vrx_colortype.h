#pragma once
// Colour types: one static object per kind, compared by address.
#include <cstdint>

namespace vrx {

class VRX_ColorType {
public:
    virtual ~VRX_ColorType() = default;
    // Channels of the kind (0 for none and unknown).
    virtual uint16_t channels() const = 0;
    // Whether images of `count` channels can have this colour type.
    virtual bool is_acceptable_channels(uint16_t count) const = 0;
    virtual const char* name() const = 0;
    virtual int32_t id() const = 0;

    static const VRX_ColorType* none();
    static const VRX_ColorType* gray();
    static const VRX_ColorType* gray_reverse();
    static const VRX_ColorType* lstar();
    static const VRX_ColorType* s_rgb();
    static const VRX_ColorType* adobe_rgb();
    static const VRX_ColorType* ycbcr();
    static const VRX_ColorType* hsl();
    static const VRX_ColorType* icc_lab();
    static const VRX_ColorType* itu_lab();
    static const VRX_ColorType* cmy();
    static const VRX_ColorType* xyz();
    static const VRX_ColorType* cmyk();
    static const VRX_ColorType* unknown();

    bool is_gray() const { return this == gray(); }
    bool is_gray_reverse() const { return this == gray_reverse(); }
    bool is_lstar() const { return this == lstar(); }
    bool is_s_rgb() const { return this == s_rgb(); }
    bool is_adobe_rgb() const { return this == adobe_rgb(); }
    bool is_ycbcr() const { return this == ycbcr(); }
    bool is_hsl() const { return this == hsl(); }
    bool is_icc_lab() const { return this == icc_lab(); }
    bool is_itu_lab() const { return this == itu_lab(); }
    bool is_xyz() const { return this == xyz(); }
    bool is_cmy() const { return this == cmy(); }
    bool is_cmyk() const { return this == cmyk(); }
    // s_rgb or adobe_rgb.
    bool is_rgb() const { return is_s_rgb() || is_adobe_rgb(); }

protected:
    VRX_ColorType() = default;
    VRX_ColorType(const VRX_ColorType&) = delete;
    VRX_ColorType& operator=(const VRX_ColorType&) = delete;
};

}  // namespace vrx
