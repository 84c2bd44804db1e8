#pragma once
// The format information of a JPEG stream: loading it reads the markers up
// to the first scan with a decoder that lives on in a shared internal object,
// and fills the image header (width, height, channels, bits, colour type,
// encode type jpeg). The decode engine (VRX_ReadJPEG) takes that decoder
// over and goes on from where the header ended, so nothing may move the
// storage in between.
//
//   VRX_JPEGInfo info(manager);
//   if (info.load(storage)) ... info.width, info.color_type() ...
#include <cstdint>

#include "vrx/core/jpeg/vrx_jpeginfointernal.h"
#include "vrx/core/jpeg/vrx_jpegtableinfo.h"
#include "vrx/framework/include/vrx_sharedowner.h"
#include "vrx/framework/io/vrx_formatinfo.h"

namespace vrx {

class VRX_JPEGInfo : public VRX_FormatInfo {
public:
    explicit VRX_JPEGInfo(VRX_Manager* manager) : VRX_FormatInfo(manager), tables_(manager) {}
    ~VRX_JPEGInfo() override = default;

    const char* format_name() const override { return "jpeg"; }

    using VRX_FormatInfo::load;
    // Reads the header asking for the colour space of `color` (unknown: as
    // stored), with the tables of a tables-only stream (or null), `rows`
    // rows per pass (0: all). A null or exhausted storage is refused with
    // 0x80800000, a width of 0 with 0x80200000; on failure the storage is
    // moved back to where the load began.
    bool load(VRX_InputStorage* storage, const VRX_ColorType* color, const VRX_JPEGTableInfo* tables,
              uint8_t rows);
    // Fills the header from the decoder.
    bool update();

    // The frame header's sample precision (bits holds 8 or 16, the samples
    // the decoder writes).
    uint32_t precision() const { return internal_ ? internal_->precision() : 0; }
    // Sampling factors packed H<<4|V per component, component 0 highest.
    uint32_t sampling() const { return internal_ ? internal_->sampling() : 0; }
    bool is_progressive() const { return internal_ && internal_->is_progressive(); }
    bool is_lossless() const { return internal_ && internal_->is_lossless(); }
    // The frame header's marker code (0xC0 .. 0xCF), 0 before a load.
    uint32_t frame_marker() const { return internal_ ? internal_->frame_marker() : 0; }
    // One component per scan.
    bool is_non_interleaved() const { return internal_ && internal_->is_non_interleaved(); }
    bool has_jfif() const { return has_jfif_; }
    bool has_exif() const { return has_exif_; }
    bool has_g3fax() const { return has_g3fax_; }
    bool has_adobe() const { return has_adobe_; }
    uint32_t start_position() const { return start_position_; }

    const VRX_SharedOwner<VRX_JPEGInfoInternal>& internal() const { return internal_; }

protected:
    bool load_body(VRX_InputStorage* storage) override;

    VRX_SharedOwner<VRX_JPEGInfoInternal> internal_;
    uint32_t start_position_ = 0;
    VRX_JPEGTableInfo tables_;
    bool has_jfif_ = false;
    bool has_exif_ = false;
    bool has_g3fax_ = false;
    bool has_adobe_ = false;
};

}  // namespace vrx
