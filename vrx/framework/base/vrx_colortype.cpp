#include "vrx/framework/base/vrx_colortype.h"

namespace vrx {
namespace {

// One kind: a fixed channel count, or any non-zero count when `channels` is 0.
class VRX_ColorTypeKind final : public VRX_ColorType {
public:
    constexpr VRX_ColorTypeKind(uint16_t channels, const char* name, int32_t id)
        : channels_(channels), name_(name), id_(id) {}
    uint16_t channels() const override { return channels_; }
    bool is_acceptable_channels(uint16_t count) const override {
        return channels_ == 0 ? count != 0 : count == channels_;
    }
    const char* name() const override { return name_; }
    int32_t id() const override { return id_; }

private:
    uint16_t channels_;
    const char* name_;
    int32_t id_;
};

constinit const VRX_ColorTypeKind kNone(0, "none", 0);
constinit const VRX_ColorTypeKind kGray(1, "gray", 100);
constinit const VRX_ColorTypeKind kGrayReverse(1, "gray_reverse", 102);
constinit const VRX_ColorTypeKind kLstar(1, "lstar", 110);
constinit const VRX_ColorTypeKind kSRgb(3, "s_rgb", 220);
constinit const VRX_ColorTypeKind kAdobeRgb(3, "adobe_rgb", 240);
constinit const VRX_ColorTypeKind kYcbcr(3, "ycbcr", 300);
constinit const VRX_ColorTypeKind kHsl(3, "hsl", 400);
constinit const VRX_ColorTypeKind kIccLab(3, "icc_lab", 520);
constinit const VRX_ColorTypeKind kItuLab(3, "itu_lab", 540);
constinit const VRX_ColorTypeKind kCmy(3, "cmy", 600);
constinit const VRX_ColorTypeKind kXyz(3, "xyz", 1000);
constinit const VRX_ColorTypeKind kCmyk(4, "cmyk", 2000);
constinit const VRX_ColorTypeKind kUnknown(0, "unknown", -1);

}  // namespace

const VRX_ColorType* VRX_ColorType::none() { return &kNone; }
const VRX_ColorType* VRX_ColorType::gray() { return &kGray; }
const VRX_ColorType* VRX_ColorType::gray_reverse() { return &kGrayReverse; }
const VRX_ColorType* VRX_ColorType::lstar() { return &kLstar; }
const VRX_ColorType* VRX_ColorType::s_rgb() { return &kSRgb; }
const VRX_ColorType* VRX_ColorType::adobe_rgb() { return &kAdobeRgb; }
const VRX_ColorType* VRX_ColorType::ycbcr() { return &kYcbcr; }
const VRX_ColorType* VRX_ColorType::hsl() { return &kHsl; }
const VRX_ColorType* VRX_ColorType::icc_lab() { return &kIccLab; }
const VRX_ColorType* VRX_ColorType::itu_lab() { return &kItuLab; }
const VRX_ColorType* VRX_ColorType::cmy() { return &kCmy; }
const VRX_ColorType* VRX_ColorType::xyz() { return &kXyz; }
const VRX_ColorType* VRX_ColorType::cmyk() { return &kCmyk; }
const VRX_ColorType* VRX_ColorType::unknown() { return &kUnknown; }

}  // namespace vrx
