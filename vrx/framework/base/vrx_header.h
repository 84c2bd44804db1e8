#pragma once
// Description of an image flowing between engines: size, sample depth,
// channels, sample data type, encoding, colour type and an optional palette.
#include <cstdint>

#include "vrx/framework/base/vrx_colortype.h"
#include "vrx/framework/base/vrx_datatype.h"
#include "vrx/framework/base/vrx_encodetype.h"
#include "vrx/framework/base/vrx_utility.h"

namespace vrx {

class VRX_Header : public VRX_Utility {
public:
    // Palette of a palette-colour image: `entries` entries of `channels`
    // samples of `bits` bits, (channels x bits x entries) / 8 bytes owned in
    // the manager's memory.
    class VRX_Palette : public VRX_Utility {
    public:
        explicit VRX_Palette(VRX_Manager* manager);
        VRX_Palette(const VRX_Palette&) = delete;
        VRX_Palette& operator=(const VRX_Palette&) = delete;
        // Gives the entry bytes back to the manager.
        ~VRX_Palette() override;

        // Copies bits, channels, entries and the entry bytes of other.
        bool assign(const VRX_Palette& other);
        // Installs a copy of `size` bytes. Accepted when bytes and size are both
        // given or both absent and size is (channels x bits x entries) / 8;
        // else reports 0x80800000 and returns false. Size 0 keeps no bytes.
        bool value(const void* bytes, uint32_t size);
        // The entry bytes, or null.
        const unsigned char* value() const { return value_; }
        // (channels x bits x entries) / 8 in 64 bits; false when it does not fit
        // 32 bits.
        bool byte_count(uint32_t& out) const;
        // True when bits, channels and entries are 0 and no bytes are held.
        bool empty() const;

        uint16_t bits = 0;
        uint16_t channels = 0;
        uint32_t entries = 0;

    private:
        void free_value();

        unsigned char* value_ = nullptr;
    };

    explicit VRX_Header(VRX_Manager* manager);
    VRX_Header(const VRX_Header&) = delete;
    VRX_Header& operator=(const VRX_Header&) = delete;
    ~VRX_Header() override = default;

    // A header made through `manager` as a copy of `from`; null when the
    // memory or the copy fails.
    static VRX_Header* create(VRX_Manager* manager, const VRX_Header& from);

    // Copies the palette first (false when that fails, nothing else changed),
    // then sizes, depth, channels and the three types.
    bool assign(const VRX_Header& other);

    const VRX_DataType* data_type() const { return data_type_; }
    const VRX_EncodeType* encode_type() const { return encode_type_; }
    const VRX_ColorType* color_type() const { return color_type_; }
    // Setters; a null type is reported (0x80800000) and the field keeps its value.
    bool data_type(const VRX_DataType* type);
    bool encode_type(const VRX_EncodeType* type);
    bool color_type(const VRX_ColorType* type);

    const VRX_Palette& palette() const { return palette_; }
    VRX_Palette& palette() { return palette_; }
    // Copies the given palette into the header's.
    bool palette(const VRX_Palette& other) { return palette_.assign(other); }

    // Whether the header describes an image the engines can carry.
    bool is_valid() const;

    // Bytes of one raw line, (channels x bits x width + 7) / 8, computed in 64
    // bits; a count that does not fit 32 bits is reported (0x80800000) and
    // refused.
    bool line_bytes(uint32_t& out) const;

    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 0;
    uint16_t channels = 0;

private:
    const VRX_DataType* data_type_;
    const VRX_EncodeType* encode_type_;
    const VRX_ColorType* color_type_;
    VRX_Palette palette_;
};

}  // namespace vrx
