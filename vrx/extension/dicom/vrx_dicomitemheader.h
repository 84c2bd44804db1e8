#pragma once
// The 8 bytes in front of the value of an item of encapsulated pixel data:
// its tag, (FFFE,E000) for an item, and its length, little endian; and the
// little-endian numbers of a basic offset table.
#include <cstdint>

namespace vrx {

struct VRX_DICOMItemHeader {
    static constexpr uint32_t bytes = 8;
    static constexpr uint16_t item_group = 0xFFFE;
    static constexpr uint16_t item_element = 0xE000;

    // The little-endian 16-bit and 32-bit numbers at p.
    static uint32_t le16(const uint8_t* p) { return uint32_t{p[0]} | (uint32_t{p[1]} << 8); }
    static uint32_t le32(const uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }

    // The header read from its 8 bytes.
    explicit VRX_DICOMItemHeader(const uint8_t* p)
        : group(le16(p)), element(le16(p + 2)), length(le32(p + 4)) {}

    bool is_item() const { return group == item_group && element == item_element; }

    uint32_t group;
    uint32_t element;
    uint32_t length;
};

}  // namespace vrx
