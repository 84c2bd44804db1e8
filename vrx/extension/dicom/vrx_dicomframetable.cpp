#include "vrx/extension/dicom/vrx_dicomframetable.h"

#include <algorithm>

#include "vrx/extension/dicom/vrx_dicomitemheader.h"
#include "vrx/framework/io/vrx_inputstorage.h"

namespace vrx {

VRX_DICOMFrameTable::VRX_DICOMFrameTable(VRX_Manager* manager)
    : parts_(manager), runs_(manager), located_(manager) {}

void VRX_DICOMFrameTable::clear() {
    encapsulated_ = false;
    native_count_ = 0;
    value_offset_ = value_length_ = 0;
    frame_bits_ = 0;
    parts_.clear();
    runs_.clear();
    located_.clear();
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

bool VRX_DICOMFrameTable::add_located_frame(uint32_t begin, uint32_t end) {
    encapsulated_ = true;
    if (begin >= end || !runs_.empty()) return false;
    return located_.push_back({begin, end});
}

uint32_t VRX_DICOMFrameTable::count() const {
    return encapsulated_ ? static_cast<uint32_t>(located_.size() + runs_.size()) : native_count_;
}

uint32_t VRX_DICOMFrameTable::first_bit(uint32_t frame) const {
    if (encapsulated_ || frame >= native_count_) return 0;
    return static_cast<uint32_t>((frame * frame_bits_) % 8);
}

bool VRX_DICOMFrameTable::is_short(uint32_t frame) const {
    if (encapsulated_ || frame >= native_count_) return false;
    return (uint64_t{frame} + 1) * frame_bits_ > uint64_t{value_length_} * 8;
}

bool VRX_DICOMFrameTable::read_items(const Span& span, VRX_InputStorage& storage,
                                     VRX_Vector<uint32_t>& offsets,
                                     VRX_Vector<uint32_t>& lengths) {
    const int32_t back = storage.position();
    bool ok = true;
    for (uint32_t at = span.begin; ok && at != span.end;) {
        uint8_t bytes[VRX_DICOMItemHeader::bytes];
        if (span.end - at < sizeof bytes || !storage.seek_from_begin(static_cast<int32_t>(at)) ||
            storage.read(bytes, sizeof bytes) != static_cast<int32_t>(sizeof bytes)) {
            ok = false;
            break;
        }
        const VRX_DICOMItemHeader header(bytes);
        const uint32_t value = at + VRX_DICOMItemHeader::bytes;
        ok = header.is_item() && header.length <= span.end - value;
        // An empty part adds nothing to the frame's bytes.
        if (ok && header.length != 0)
            ok = offsets.push_back(value) && lengths.push_back(header.length);
        at = value + header.length;
    }
    storage.seek_from_begin(back);
    return ok;
}

bool VRX_DICOMFrameTable::parts_of(uint32_t frame, VRX_InputStorage* storage,
                                   VRX_Vector<uint32_t>& offsets,
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
    if (frame < located_.size()) {
        if (storage && read_items(located_[frame], *storage, offsets, lengths)) return true;
        offsets.clear();
        lengths.clear();
        return false;
    }
    const Run& run = runs_[frame - located_.size()];
    for (size_t i = run.first; i < run.first + run.count; ++i) {
        // An empty part adds nothing to the frame's bytes.
        if (parts_[i].length == 0) continue;
        if (!offsets.push_back(parts_[i].offset) || !lengths.push_back(parts_[i].length))
            return false;
    }
    return true;
}

}  // namespace vrx
