#include "vrx/core/jpeg/vrx_jpeginfo.h"

#include "jpegdec/jpeg_decoder.h"
#include "vrx/framework/io/vrx_inputstorage.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

const VRX_ColorType* color_type_of(uint32_t space, uint32_t channels, bool lossless) {
    switch (space) {
        case jpegdec::kJpegColorRgb: return VRX_ColorType::s_rgb();
        case jpegdec::kJpegColorYcbcr: return VRX_ColorType::ycbcr();
        case jpegdec::kJpegColorItuLab: return VRX_ColorType::itu_lab();
        case jpegdec::kJpegColorGray: return VRX_ColorType::gray();
        case jpegdec::kJpegColorGrayReverse: return VRX_ColorType::gray_reverse();
        case jpegdec::kJpegColorLstar: return VRX_ColorType::lstar();
        case jpegdec::kJpegColorCmyk: return VRX_ColorType::cmyk();
        case jpegdec::kJpegColorCmy: return VRX_ColorType::cmy();
        case jpegdec::kJpegColorIccLab: return VRX_ColorType::icc_lab();
        case jpegdec::kJpegColorAsStored:
            if (channels == 1) return VRX_ColorType::gray();
            if (channels == 3) return lossless ? VRX_ColorType::s_rgb() : VRX_ColorType::ycbcr();
            if (channels == 4) return VRX_ColorType::cmyk();
            return nullptr;
        default: return VRX_ColorType::unknown();
    }
}

}  // namespace

bool VRX_JPEGInfo::load_body(VRX_InputStorage* storage) {
    return load(storage, VRX_ColorType::unknown(), nullptr, 0);
}

bool VRX_JPEGInfo::load(VRX_InputStorage* storage, const VRX_ColorType* color,
                        const VRX_JPEGTableInfo* tables, uint8_t rows) {
    loaded_ = false;
    if (!storage || storage->is_closed() || storage->is_end()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_JPEGInfo::load()", __FILE__, 79);
        return false;
    }
    start_position_ = static_cast<uint32_t>(storage->position());
    const VRX_SharedOwner<VRX_JPEGTableInfoInternal> none;
    const bool with_tables = tables && tables->internal();
    VRX_JPEGInfoInternal* made =
        VRX_JPEGInfoInternal::create(manager_, storage, color, with_tables ? tables->internal() : none, rows);
    VRX_SharedOwner<VRX_JPEGInfoInternal> owner(made);
    if (made && !owner.counted()) made->destroy();
    internal_ = owner.counted() ? std::move(owner) : VRX_SharedOwner<VRX_JPEGInfoInternal>();
    if (with_tables) tables_ = *tables;
    if (!internal_ || !update()) {
        storage->seek_from_begin(static_cast<int32_t>(start_position_));
        return false;
    }
    if (width == 0) {
        manager_->report(VRX_ERROR_HEADER, "VRX_JPEGInfo::load()", __FILE__, 113);
        return false;
    }
    loaded_ = true;
    return true;
}

bool VRX_JPEGInfo::update() {
    const VRX_JPEGInfoInternal& in = *internal_;
    width = in.width();
    height = in.height();
    channels = static_cast<uint16_t>(in.components());
    bits = static_cast<uint16_t>(in.bits());
    if (const VRX_ColorType* type = color_type_of(in.color_space(), channels, in.is_lossless()))
        color_type(type);
    else
        manager_->report(VRX_ERROR_HEADER, "VRX_JPEGInfo::update()", __FILE__, 168);
    encode_type(VRX_EncodeType::jpeg());
    const jpegdec::JpegDecoderContext* ctx = in.context();
    has_jfif_ = jpegdec::HasJfifApp0(ctx);
    has_exif_ = jpegdec::HasExifApp1(ctx);
    has_g3fax_ = jpegdec::HasG3faxApp1(ctx);
    has_adobe_ = jpegdec::HasAdobeApp14(ctx);
    return true;
}

}  // namespace vrx
