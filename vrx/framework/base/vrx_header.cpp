#include "vrx/framework/base/vrx_header.h"

#include <cstring>

#include "platform/byte_count.h"
#include "vrx/framework/base/vrx_construct.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

// ---- palette ----

VRX_Header::VRX_Palette::VRX_Palette(VRX_Manager* manager) : VRX_Utility(manager) {}

VRX_Header::VRX_Palette::~VRX_Palette() { free_value(); }

void VRX_Header::VRX_Palette::free_value() {
    if (value_ && manager_) manager_->deallocate(value_);
    value_ = nullptr;
}

bool VRX_Header::VRX_Palette::byte_count(uint32_t& out) const {
    const platform::ByteCount count = platform::ByteCount(channels) * bits * entries / 8;
    if (!count.fits<uint32_t>()) return false;
    out = static_cast<uint32_t>(count.value());
    return true;
}

bool VRX_Header::VRX_Palette::empty() const {
    return bits == 0 && channels == 0 && entries == 0 && value_ == nullptr;
}

bool VRX_Header::VRX_Palette::assign(const VRX_Palette& other) {
    if (this == &other) return true;
    bits = other.bits;
    channels = other.channels;
    entries = other.entries;
    uint32_t size = 0;
    if (!other.byte_count(size)) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_Header::VRX_Palette::assign()", __FILE__,
                         __LINE__);
        return false;
    }
    return value(other.value_, other.value_ ? size : 0);
}

bool VRX_Header::VRX_Palette::value(const void* bytes, uint32_t size) {
    uint32_t expected = 0;
    const bool both_or_neither = (bytes != nullptr) == (size != 0);
    if (!both_or_neither || !byte_count(expected) || size != expected) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_Header::VRX_Palette::value()", __FILE__,
                         __LINE__);
        return false;
    }
    free_value();
    if (size == 0) return true;
    auto* copy = static_cast<unsigned char*>(manager_->allocate(size));
    if (!copy) return false;
    std::memcpy(copy, bytes, size);
    value_ = copy;
    return true;
}

// ---- header ----

VRX_Header::VRX_Header(VRX_Manager* manager)
    : VRX_Utility(manager),
      data_type_(VRX_DataType::u_integer()),
      encode_type_(VRX_EncodeType::raw()),
      color_type_(VRX_ColorType::none()),
      palette_(manager) {}

VRX_Header* VRX_Header::create(VRX_Manager* manager, const VRX_Header& from) {
    VRX_Header* header = construct<VRX_Header>(manager);
    if (header && !header->assign(from)) {
        header->destroy();
        return nullptr;
    }
    return header;
}

bool VRX_Header::assign(const VRX_Header& other) {
    if (this == &other) return true;
    if (!palette_.assign(other.palette_)) return false;
    width = other.width;
    height = other.height;
    bits = other.bits;
    channels = other.channels;
    data_type_ = other.data_type_;
    encode_type_ = other.encode_type_;
    color_type_ = other.color_type_;
    return true;
}

namespace {

// Stores a type singleton; a null type is reported and the field keeps its value.
template <class T>
bool set_type(VRX_Manager* manager, const T*& field, const T* type, const char* function) {
    if (!type) {
        manager->report(VRX_ERROR_ARGUMENT, function, __FILE__, __LINE__);
        return false;
    }
    field = type;
    return true;
}

}  // namespace

bool VRX_Header::data_type(const VRX_DataType* type) {
    return set_type(manager_, data_type_, type, "VRX_Header::data_type()");
}

bool VRX_Header::encode_type(const VRX_EncodeType* type) {
    return set_type(manager_, encode_type_, type, "VRX_Header::encode_type()");
}

bool VRX_Header::color_type(const VRX_ColorType* type) {
    return set_type(manager_, color_type_, type, "VRX_Header::color_type()");
}

bool VRX_Header::is_valid() const {
    if (width == 0 || height == 0) return false;
    const VRX_Palette& p = palette_;
    const bool has_palette = !p.empty();
    if (has_palette) {
        const bool consistent = (p.bits == 8 || p.bits == 16) && p.channels != 0 &&
                                p.entries >= 1 && p.entries <= 65536 && p.value() != nullptr;
        if (!consistent) return false;
    }
    if (!has_palette) {
        return data_type_->is_acceptable_bits(bits) &&
               color_type_->is_acceptable_channels(channels);
    }
    if (data_type_ != VRX_DataType::u_integer() || channels != 1) return false;
    if (!color_type_->is_acceptable_channels(p.channels)) return false;
    switch (bits) {
        case 1:
            return p.entries <= 2;
        case 2:
            return p.entries <= 4;
        case 4:
            return p.entries <= 16;
        case 8:
            return p.entries <= 256;
        case 16:
            return p.entries <= 65536;
        default:
            return false;
    }
}

bool VRX_Header::line_bytes(uint32_t& out) const {
    const platform::ByteCount count = platform::packed_bytes(channels, bits, width);
    if (!count.fits<uint32_t>()) {
        manager_->report(VRX_ERROR_ARGUMENT, "VRX_Header::line_bytes()", __FILE__, __LINE__);
        return false;
    }
    out = static_cast<uint32_t>(count.value());
    return true;
}

}  // namespace vrx
