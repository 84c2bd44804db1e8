#include "Source/zeblookuptable.h"

#include <algorithm>
#include <cstring>

#include "vrx/extension/dicom/vrx_dicomtagobj.h"
#include "vrx/framework/include/vrx_vector.h"

namespace {

constexpr uint32_t kMaxEntries = 65536;
constexpr uint32_t kVrSS = 0x5353;  // "SS", first letter in the low byte

}  // namespace

void ZEBLookupTable::Clear() {
    m_entries.clear();
    m_firstMapped = 0;
    m_bits = 16;
}

bool ZEBLookupTable::Read(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element,
                          bool signedInput) {
    Clear();
    vrx::VRX_DICOMTagObj item(tags.tag_manager());
    vrx::VRX_Vector<uint32_t> descriptor(tags.tag_manager());
    const void* data = nullptr;
    if (!tags.get_item(group, element, 0, item) ||
        !item.read_uint_values(0x0028, 0x3002, descriptor) || descriptor.size() < 3 ||
        !item.get_value_data(0x0028, 0x3006, data))
        return false;
    const uint32_t words = std::min(item.length(0x0028, 0x3006) / 2, kMaxEntries);
    uint32_t entries = (descriptor[0] & 0xFFFF) == 0 ? kMaxEntries : descriptor[0] & 0xFFFF;
    const uint16_t first = static_cast<uint16_t>(descriptor[1]);
    uint32_t bits = descriptor[2] & 0xFFFF;
    if (words == 0) return false;

    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (words != entries && words == (entries + 1) / 2) {
        // 8-bit entries, two to a word.
        m_entries.assign(bytes, bytes + entries);
    } else {
        // One entry per word; a table whose length disagrees with its
        // descriptor has as many entries as its data holds.
        entries = words;
        m_entries.resize(entries);
        std::memcpy(m_entries.data(), bytes, size_t{entries} * 2);
    }
    if (bits < 8 || bits > 16) {
        const uint16_t largest = *std::max_element(m_entries.begin(), m_entries.end());
        bits = 8;
        while (bits < 16 && (largest >> bits) != 0) ++bits;
    }
    m_bits = static_cast<uint16_t>(bits);
    const uint16_t mask = static_cast<uint16_t>((uint32_t{1} << bits) - 1);
    for (uint16_t& v : m_entries) v &= mask;
    m_firstMapped = signedInput || item.vr(0x0028, 0x3002) == kVrSS
                        ? static_cast<int32_t>(static_cast<int16_t>(first))
                        : static_cast<int32_t>(first);
    return true;
}

uint16_t ZEBLookupTable::Value(int64_t input) const {
    if (m_entries.empty()) return 0;
    const int64_t last = int64_t(m_entries.size()) - 1;
    const int64_t index = std::clamp<int64_t>(input - m_firstMapped, 0, last);
    return m_entries[size_t(index)];
}
