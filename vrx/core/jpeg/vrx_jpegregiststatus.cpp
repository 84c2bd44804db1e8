#include "vrx/core/jpeg/vrx_jpegregiststatus.h"

#include "jpegdec/jpeg_decoder.h"
#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {
// A malformed APPn segment: the header warning with detail 0x10.
constexpr uint32_t kWarningAppSegment = VRX_WARNING_HEADER + 0x10;
}  // namespace

void MapJpegStatus(VRX_Manager* manager, int32_t status, const char* text) {
    uint32_t code = VRX_ERROR;
    switch (status) {
        case jpegdec::kJpegOk:
        case jpegdec::kJpegEndOrNoMemory:
        case jpegdec::kJpegNoSoi:
        case jpegdec::kJpegMarkerInData:
            return;
        case jpegdec::kJpegUnsupported: code = VRX_ERROR_UNSUPPORTED; break;
        case jpegdec::kJpegBadLength:
        case jpegdec::kJpegBadValue: code = VRX_ERROR_HEADER; break;
        case jpegdec::kJpegReadError: code = VRX_ERROR_IO; break;
        case jpegdec::kJpegCorruptData: code = VRX_ERROR_DATA; break;
        case jpegdec::kJpegBadArgument: code = VRX_ERROR_ARGUMENT; break;
        case jpegdec::kJpegWarnCorruptData: code = VRX_WARNING_DATA; break;
        case jpegdec::kJpegWarnMarkerSkipped: code = VRX_WARNING_UNSUPPORTED; break;
        case jpegdec::kJpegWarnBadAppSegment: code = kWarningAppSegment; break;
        default: break;
    }
    manager->report(code, text, __FILE__, 69);
}

uint32_t ColorTypeToJpegColorSpace(const VRX_ColorType* type) {
    if (!type || type == VRX_ColorType::none()) return jpegdec::kJpegColorAsStored;
    if (type->is_gray()) return jpegdec::kJpegColorGray;
    if (type->is_gray_reverse()) return jpegdec::kJpegColorGrayReverse;
    if (type->is_lstar()) return jpegdec::kJpegColorLstar;
    if (type->is_rgb()) return jpegdec::kJpegColorRgb;
    if (type->is_ycbcr()) return jpegdec::kJpegColorYcbcr;
    if (type->is_itu_lab()) return jpegdec::kJpegColorItuLab;
    if (type->is_icc_lab()) return jpegdec::kJpegColorIccLab;
    if (type->is_cmy()) return jpegdec::kJpegColorCmy;
    if (type->is_cmyk()) return jpegdec::kJpegColorCmyk;
    return jpegdec::kJpegColorAsStored;
}

}  // namespace vrx
