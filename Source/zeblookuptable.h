#pragma once
// A lookup table of a DICOM image (the first item of a Modality LUT Sequence
// or a VOI LUT Sequence): LUT Descriptor (0028,3002) (entries, 0 meaning
// 65536; the first input value mapped; bits per entry) and LUT Data
// (0028,3006), read as dcmtk reads them: one entry per 16-bit word, or two
// 8-bit entries per word (the first in the low byte) when the data holds
// half as many words; entries beyond the bits masked off. An input below the
// first mapped value takes the first entry, one beyond the last mapped value
// the last entry.
//
//   ZEBLookupTable lut;
//   if (lut.Read(info, 0x0028, 0x3000, isSigned)) value = lut.Value(stored);
#include <cstdint>
#include <vector>

namespace vrx {
class VRX_DICOMTagObj;
}

class ZEBLookupTable {
public:
    // Reads the first item of the sequence (group, element). A first mapped
    // value of VR US counts as signed when `signedInput` (the values it maps
    // are signed); SS is always signed. A bit count outside 8 to 16 is taken
    // from the largest entry (at least 8). False, and the table empty, when
    // the sequence, its descriptor or its data is missing or unusable.
    bool Read(const vrx::VRX_DICOMTagObj& tags, uint16_t group, uint16_t element, bool signedInput);
    void Clear();

    bool Empty() const { return m_entries.empty(); }
    // The entry for an input value.
    uint16_t Value(int64_t input) const;
    uint32_t Entries() const { return static_cast<uint32_t>(m_entries.size()); }
    int32_t FirstMapped() const { return m_firstMapped; }
    // Bits per entry, 8 to 16.
    uint16_t Bits() const { return m_bits; }

private:
    std::vector<uint16_t> m_entries;
    int32_t m_firstMapped = 0;
    uint16_t m_bits = 16;
};
