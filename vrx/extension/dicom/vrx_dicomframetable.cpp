#include "vrx/extension/dicom/vrx_dicomframetable.h"

#include <algorithm>

namespace vrx {

VRX_DICOMFrameTable::VRX_DICOMFrameTable(VRX_Manager* manager)
    : parts_(manager), runs_(manager) {}

void VRX_DICOMFrameTable::clear() {
    encapsulated_ = false;
    native_count_ = 0;
    value_offset_ = value_length_ = 0;
    frame_bits_ = 0;
    parts_.clear();
    runs_.clear();
}

void VRX_DICOMFrameTable::set_native(uint32_t offset, uint32_t length, uint64_t frame_bits,
                                     uint32_t count) {
    clear();
    value_offset_ = offset;
    value_length_ = length;
    frame_bits_ = frame_bits;
    native_count_ = frame_bits == 0 ? 0 : count;
}

bool VRX_DICOMFrameTable::add_frame(size_t first, size_t count) {
    encapsulated_ = true;
    if (first > parts_.size() || count > parts_.size() - first) return false;
    return runs_.push_back({first, count});
}

uint32_t VRX_DICOMFrameTable::count() const {
    return encapsulated_ ? static_cast<uint32_t>(runs_.size()) : native_count_;
}

uint32_t VRX_DICOMFrameTable::first_bit(uint32_t frame) const {
    if (encapsulated_ || frame >= native_count_) return 0;
    return static_cast<uint32_t>((frame * frame_bits_) % 8);
}

bool VRX_DICOMFrameTable::is_short(uint32_t frame) const {
    if (encapsulated_ || frame >= native_count_) return false;
    return (uint64_t{frame} + 1) * frame_bits_ > uint64_t{value_length_} * 8;
}

bool VRX_DICOMFrameTable::parts_of(uint32_t frame, VRX_Vector<uint32_t>& offsets,
                                   VRX_Vector<uint32_t>& lengths) const {
    offsets.clear();
    lengths.clear();
    if (frame >= count()) return true;
    if (!encapsulated_) {
        // The frame count keeps frame x frame bits within the value.
        const uint64_t first = frame * frame_bits_;
        const uint64_t start = first / 8;
        const uint64_t bytes = std::min<uint64_t>((first % 8 + frame_bits_ + 7) / 8,
                                                  value_length_ - std::min<uint64_t>(start, value_length_));
        if (bytes == 0) return true;
        return offsets.push_back(static_cast<uint32_t>(value_offset_ + start)) &&
               lengths.push_back(static_cast<uint32_t>(bytes));
    }
    const Run& run = runs_[frame];
    for (size_t i = run.first; i < run.first + run.count; ++i) {
        // An empty part adds nothing to the frame's bytes.
        if (parts_[i].length == 0) continue;
        if (!offsets.push_back(parts_[i].offset) || !lengths.push_back(parts_[i].length))
            return false;
    }
    return true;
}

}  // namespace vrx
