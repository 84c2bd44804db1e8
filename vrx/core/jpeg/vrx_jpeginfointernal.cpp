#include "vrx/core/jpeg/vrx_jpeginfointernal.h"

#include <cstdio>

#include "jpegdec/jpeg_decoder.h"
#include "vrx/core/jpeg/vrx_jpegregiststatus.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

VRX_JPEGInfoInternal* VRX_JPEGInfoInternal::create(
    VRX_Manager* manager, VRX_InputStorage* storage, const VRX_ColorType* color,
    const VRX_SharedOwner<VRX_JPEGTableInfoInternal>& tables, uint8_t rows) {
    auto* internal = construct<VRX_JPEGInfoInternal>(manager);
    if (internal && !internal->initiate(storage, color, tables, rows)) {
        internal->destroy();
        return nullptr;
    }
    return internal;
}

bool VRX_JPEGInfoInternal::initiate(VRX_InputStorage* storage, const VRX_ColorType* color,
                                    const VRX_SharedOwner<VRX_JPEGTableInfoInternal>& tables,
                                    uint8_t rows) {
    if (!storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_JPEGInfoInternal::initiate()", __FILE__, 192);
        return false;
    }
    join_library();
    tables_ = tables;
    return get_jpeginfo(storage, color, rows);
}

bool VRX_JPEGInfoInternal::get_jpeginfo(VRX_InputStorage* storage, const VRX_ColorType* color,
                                        uint8_t rows) {
    storage_ = storage;
    const int32_t created = create_decoder();
    if (!context_) {
        report(created, "get_jpeginfo()");
        return false;
    }
    jpegdec::JpegDecoderContext* tables = tables_ ? tables_->context() : nullptr;
    const int32_t status = jpegdec::ReadHeader(context_, ColorTypeToJpegColorSpace(color), 0, tables);
    if (status != jpegdec::kJpegOk) report(status, "get_jpeginfo()");
    if (status < 1) return false;
    jpegdec::SetLuminanceOnly(context_, 0);
    jpegdec::SetRowsWanted(context_, rows);
    const int32_t scale = jpegdec::SetScaleDenominator(context_, 1);
    if (scale < 1) {
        report(scale, "get_jpeginfo()");
        return false;
    }
    return true;
}

void VRX_JPEGInfoInternal::set_lost_sample(uint16_t value) { jpegdec::SetLostSampleValue(context_, value); }

int32_t VRX_JPEGInfoInternal::start_decompress(uint32_t denominator) {
    jpegdec::SetScaleDenominator(context_, denominator);
    return jpegdec::StartDecompress(context_);
}

int32_t VRX_JPEGInfoInternal::read_rows(uint8_t* row) { return jpegdec::ReadRows(context_, row); }

void VRX_JPEGInfoInternal::report(int32_t status, const char* operation) {
    char text[96];
    std::snprintf(text, sizeof text, "VRX_JPEGInfoInternal::%s", operation);
    MapJpegStatus(manager_, status == jpegdec::kJpegReadError ? jpegdec::kJpegCorruptData : status, text);
}

uint16_t VRX_JPEGInfoInternal::width() const { return static_cast<uint16_t>(jpegdec::JpegWidth(context_)); }
uint16_t VRX_JPEGInfoInternal::height() const { return static_cast<uint16_t>(jpegdec::JpegHeight(context_)); }
uint32_t VRX_JPEGInfoInternal::components() const { return jpegdec::JpegComponentCount(context_); }
uint32_t VRX_JPEGInfoInternal::bits() const { return jpegdec::JpegSampleBits(context_); }
uint32_t VRX_JPEGInfoInternal::precision() const { return jpegdec::JpegPrecision(context_); }
uint32_t VRX_JPEGInfoInternal::color_space() const { return jpegdec::JpegOutColorSpace(context_); }
uint32_t VRX_JPEGInfoInternal::sampling() const { return jpegdec::SamplingCode(context_); }
bool VRX_JPEGInfoInternal::is_progressive() const { return jpegdec::IsProgressive(context_); }
bool VRX_JPEGInfoInternal::is_lossless() const { return jpegdec::IsLossless(context_); }
uint32_t VRX_JPEGInfoInternal::frame_marker() const { return jpegdec::JpegFrameMarker(context_); }
bool VRX_JPEGInfoInternal::is_non_interleaved() const { return jpegdec::IsNonInterleaved(context_); }
uint32_t VRX_JPEGInfoInternal::damage() const { return jpegdec::JpegDamage(context_); }
uint16_t VRX_JPEGInfoInternal::x_density() const { return static_cast<uint16_t>(jpegdec::XDensityOf(context_)); }
uint16_t VRX_JPEGInfoInternal::y_density() const { return static_cast<uint16_t>(jpegdec::YDensityOf(context_)); }

}  // namespace vrx
