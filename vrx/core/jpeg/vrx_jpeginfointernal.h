#pragma once
// The decoder of one JPEG stream, shared between the stream's information
// (which reads the header with it) and the decode engine (which decodes the
// pixels with it, going on from where the header ended).
#include <cstdint>

#include "vrx/core/jpeg/vrx_jpegdecoderholder.h"
#include "vrx/core/jpeg/vrx_jpegtableinfointernal.h"
#include "vrx/framework/include/vrx_sharedowner.h"

namespace vrx {

class VRX_ColorType;

class VRX_JPEGInfoInternal : public VRX_JPEGDecoderHolder {
public:
    explicit VRX_JPEGInfoInternal(VRX_Manager* manager) : VRX_JPEGDecoderHolder(manager) {}
    ~VRX_JPEGInfoInternal() override = default;

    // Made and initiated; null after a report. `tables` may be empty.
    static VRX_JPEGInfoInternal* create(VRX_Manager* manager, VRX_InputStorage* storage,
                                        const VRX_ColorType* color,
                                        const VRX_SharedOwner<VRX_JPEGTableInfoInternal>& tables,
                                        uint8_t rows);

    // Joins the JPEG library, keeps the tables and reads the header.
    virtual bool initiate(VRX_InputStorage* storage, const VRX_ColorType* color,
                          const VRX_SharedOwner<VRX_JPEGTableInfoInternal>& tables, uint8_t rows);
    // Makes the decoder and reads the markers up to the first scan, asking
    // for the colour space of `color`; `rows` rows per pass (0: all).
    bool get_jpeginfo(VRX_InputStorage* storage, const VRX_ColorType* color, uint8_t rows);

    // The samples of lossless rows that damage or a stream cut short loses
    // (before the start).
    void set_lost_sample(uint16_t value);
    // Starts decompression at 1/`denominator` (1, 2, 4, 8; others keep 1).
    int32_t start_decompress(uint32_t denominator);
    // Writes the next output line.
    int32_t read_rows(uint8_t* row);

    // Reports a decoder status with "VRX_JPEGInfoInternal::" and `operation`
    // (-11 as -3).
    void report(int32_t status, const char* operation);

    uint16_t width() const;
    uint16_t height() const;
    uint32_t components() const;
    uint32_t bits() const;
    uint32_t precision() const;
    uint32_t color_space() const;
    uint32_t sampling() const;
    bool is_progressive() const;
    bool is_lossless() const;
    // The SOFn marker's code (0xC0 baseline, 0xC1 extended, ...).
    uint32_t frame_marker() const;
    bool is_non_interleaved() const;
    // The kinds of damage met so far (jpegdec's kJpegDamage bits).
    uint32_t damage() const;
    uint16_t x_density() const;
    uint16_t y_density() const;

private:
    VRX_SharedOwner<VRX_JPEGTableInfoInternal> tables_;
};

}  // namespace vrx
