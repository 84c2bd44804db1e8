#include "vrx/extension/dicom/vrx_dicompalettetable.h"

#include <algorithm>
#include <cstring>

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togresult.h"
#include "platform/byte_count.h"
#include "vrx/framework/manager/vrx_manager.h"

namespace vrx {

namespace {

constexpr const char* kPalette = "VRX_DICOMInfoInternal::get_info_palette()";

// Expansion of one segmented table: discrete, linear and indirect segments,
// the indirect ones read only at the top level.
class SegmentExpander {
   public:
    SegmentExpander(const uint8_t* data, uint32_t bytes, uint32_t unit_bytes, uint32_t entries,
                    VRX_Vector<uint16_t>& out)
        : data_(data),
          units_(bytes / unit_bytes),
          unit_bytes_(unit_bytes),
          entries_(entries),
          // Segments of length 0 add nothing; a table cannot need more
          // segments than it has entries and units.
          budget_(uint64_t{entries} + units_ + 16),
          out_(out) {}

    bool run() {
        size_t position = 0;
        // A single unit left over at the end is padding.
        while (position + 1 < units_)
            if (!segment(position, false)) return false;
        return out_.size() == entries_;
    }

   private:
    uint32_t unit(size_t i) const {
        if (unit_bytes_ == 1) return data_[i];
        return static_cast<uint32_t>(data_[2 * i]) | (static_cast<uint32_t>(data_[2 * i + 1]) << 8);
    }
    size_t room() const { return entries_ - out_.size(); }

    bool segment(size_t& position, bool inside_indirect) {
        if (++segments_ > budget_ || position + 1 >= units_) return false;
        const uint32_t opcode = unit(position);
        const uint32_t count = unit(position + 1);
        position += 2;
        switch (opcode) {
            case 0:  // discrete: `count` values as they stand
                if (count > units_ - position || count > room()) return false;
                for (uint32_t i = 0; i < count; ++i)
                    if (!out_.push_back(static_cast<uint16_t>(unit(position + i)))) return false;
                position += count;
                return true;
            case 1: {  // linear: from the previous value to the end value
                if (out_.empty() || position >= units_ || count > room()) return false;
                const double y0 = out_.back();
                const double y1 = unit(position++);
                for (uint32_t k = 1; k <= count; ++k) {
                    const double y = y0 + (y1 - y0) * k / count;
                    if (!out_.push_back(static_cast<uint16_t>(y + 0.5))) return false;
                }
                return true;
            }
            case 2: {  // indirect: `count` segments found at a byte offset
                const size_t offset_units = unit_bytes_ == 1 ? 4 : 2;
                if (inside_indirect || out_.empty() || offset_units > units_ - position)
                    return false;
                uint32_t offset = 0;
                if (unit_bytes_ == 1) {
                    for (size_t i = 0; i < 4; ++i) offset |= unit(position + i) << (8 * i);
                } else {
                    // Least significant word first.
                    offset = unit(position) | (unit(position + 1) << 16);
                }
                position += offset_units;
                if (offset % unit_bytes_ != 0) return false;
                size_t at = offset / unit_bytes_;
                for (uint32_t s = 0; s < count; ++s)
                    if (!segment(at, true)) return false;
                return true;
            }
            default:
                return false;
        }
    }

    const uint8_t* data_;
    size_t units_;
    uint32_t unit_bytes_;
    uint32_t entries_;
    uint64_t budget_;
    uint64_t segments_ = 0;
    VRX_Vector<uint16_t>& out_;
};

}  // namespace

VRX_DICOMPaletteTable::VRX_DICOMPaletteTable(VRX_Manager* manager)
    : manager_(manager),
      tables_{VRX_Vector<uint16_t>(manager), VRX_Vector<uint16_t>(manager),
              VRX_Vector<uint16_t>(manager)} {}

bool VRX_DICOMPaletteTable::fail(uint32_t code, uint32_t line) const {
    manager_->report(code, kPalette, __FILE__, line);
    return false;
}

bool VRX_DICOMPaletteTable::expand_segmented(const uint8_t* data, uint32_t bytes,
                                             uint32_t unit_bytes, uint32_t entries,
                                             VRX_Vector<uint16_t>& out) {
    out.clear();
    if (!data || (unit_bytes != 1 && unit_bytes != 2) || !out.reserve(entries)) return false;
    return SegmentExpander(data, bytes, unit_bytes, entries, out).run();
}

bool VRX_DICOMPaletteTable::read_descriptors(const TogDicomDataElement& dataset) {
    uint32_t entries[3];
    uint32_t first[3];
    uint32_t bits[3];
    for (uint32_t c = 0; c < 3; ++c) {
        const TogDicomDataElement* d = dataset.FindChild(0x0028, 0x1101 + c);
        if (!d || d->GetUInt(entries[c], TogDicomLib::VR::Blank, 0) != TogDicomLib::ResultSuccess ||
            d->GetUInt(first[c], TogDicomLib::VR::Blank, 1) != TogDicomLib::ResultSuccess ||
            d->GetUInt(bits[c], TogDicomLib::VR::Blank, 2) != TogDicomLib::ResultSuccess)
            return fail(VRX_ERROR_DATA, 828);
        // A count of 0 stands for 65536 entries.
        entries[c] &= 0xFFFFu;
        if (entries[c] == 0) entries[c] = 65536;
    }
    if (entries[0] != entries[1] && entries[0] != entries[2]) return fail(VRX_ERROR_DATA, 834);
    if (bits[0] != bits[1] && bits[0] != bits[2]) return fail(VRX_ERROR_DATA, 839);
    if (bits[0] != 8 && bits[0] != 16) return fail(VRX_ERROR_DATA, 843);
    entries_ = entries[0];
    table_bits_ = static_cast<uint16_t>(bits[0]);
    const uint16_t mapped = static_cast<uint16_t>(first[0]);
    first_mapped_ = signed_indices_ ? static_cast<int16_t>(mapped) : mapped;
    return true;
}

bool VRX_DICOMPaletteTable::load(const TogDicomDataElement& dataset, uint16_t bits_allocated,
                                 uint16_t bits_stored, bool signed_indices) {
    if (bits_allocated != 8 && bits_allocated != 16) return fail(VRX_ERROR_UNSUPPORTED, 820);
    index_bits_ = bits_allocated;
    stored_bits_ = bits_stored >= 1 && bits_stored <= bits_allocated ? bits_stored : bits_allocated;
    signed_indices_ = signed_indices;
    if (!read_descriptors(dataset)) return false;

    const TogDicomDataElement* segmented[3];
    const TogDicomDataElement* plain[3];
    bool all_segmented = true;
    bool all_plain = true;
    for (uint32_t c = 0; c < 3; ++c) {
        segmented[c] = dataset.FindChild(0x0028, 0x1221 + c);
        plain[c] = dataset.FindChild(0x0028, 0x1201 + c);
        all_segmented = all_segmented && segmented[c];
        all_plain = all_plain && plain[c];
    }
    if (!all_segmented && !all_plain) return fail(VRX_ERROR_DATA, 872);

    const uint32_t unit_bytes = table_bits_ / 8u;
    for (uint32_t c = 0; c < 3; ++c) {
        const TogDicomDataElement* table = all_segmented ? segmented[c] : plain[c];
        const uint8_t* data = table->GetValueData();
        const uint32_t bytes = table->GetValueByteCount();
        if (!data) return fail(VRX_ERROR_DATA, 925);
        if (all_segmented) {
            if (!expand_segmented(data, bytes, unit_bytes, entries_, tables_[c]))
                return fail(VRX_ERROR_DATA, 900);
            continue;
        }
        if (!(platform::ByteCount(entries_) * unit_bytes).at_most(bytes))
            return fail(VRX_ERROR_DATA, 930);
        if (!tables_[c].resize(entries_)) return false;
        // Some writers store 8-bit entries one per 16-bit word: the entry is
        // the word's low byte, or its high byte when every low byte is 0.
        const bool words = unit_bytes == 1 && (platform::ByteCount(entries_) * 2).at_most(bytes);
        bool high = words;
        for (uint32_t i = 0; words && high && i < entries_; ++i) high = data[2 * i] == 0;
        for (uint32_t i = 0; i < entries_; ++i) {
            if (words)
                tables_[c][i] = data[2 * i + (high ? 1 : 0)];
            else if (unit_bytes == 1)
                tables_[c][i] = data[i];
            else
                tables_[c][i] = static_cast<uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        }
    }
    // 16-bit entries of an 8-bit image keep their high byte.
    entry_bits_ = table_bits_ == 16 && bits_allocated == 8 ? 8 : table_bits_;
    return true;
}

bool VRX_DICOMPaletteTable::store(VRX_Header::VRX_Palette& palette) const {
    const uint32_t count = 1u << index_bits_;
    const uint32_t entry_bytes = entry_bits_ / 8u;
    const uint32_t size = count * 3 * entry_bytes;
    auto* bytes = static_cast<uint8_t*>(manager_->allocate(size));
    if (!bytes) return false;
    const int shift = table_bits_ == 16 && entry_bits_ == 8 ? 8 : 0;
    // The index is the stored bits (the bits above them are ignored); signed
    // indices read them as a two's complement number.
    const uint32_t patterns = 1u << stored_bits_;
    for (uint32_t raw = 0; raw < count; ++raw) {
        int64_t index = raw & (patterns - 1);
        if (signed_indices_ && index >= patterns / 2) index -= patterns;
        const int64_t entry = std::clamp<int64_t>(index - first_mapped_, 0, entries_ - 1);
        for (uint32_t c = 0; c < 3; ++c) {
            const uint16_t value = static_cast<uint16_t>(tables_[c][entry] >> shift);
            uint8_t* out = bytes + (raw * 3 + c) * entry_bytes;
            out[0] = static_cast<uint8_t>(value);
            if (entry_bytes == 2) out[1] = static_cast<uint8_t>(value >> 8);
        }
    }
    palette.bits = entry_bits_;
    palette.channels = 3;
    palette.entries = count;
    const bool stored = palette.value(bytes, size);
    manager_->deallocate(bytes);
    return stored;
}

}  // namespace vrx
