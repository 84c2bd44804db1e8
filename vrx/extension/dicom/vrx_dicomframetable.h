#pragma once
// Where the frames of one image's pixel data lie in the storage.
//
// Native frames follow one another at a fixed size from the start of the
// value, so nothing is kept per frame: frame k begins at bit k x frame bits
// of the value (frames of 1-bit samples are counted in bits and may begin
// inside a byte). An encapsulated frame is a run of parts (the values of its
// fragments); every run indexes one array of parts. A frame that the basic
// offset table locates without its items having been read is the span of
// storage its items fill: its parts are read from the item headers there
// when they are asked for. The table is built once while the data set loads
// and is then only read, by every object that shares the data set.
#include <cstddef>
#include <cstdint>

#include "vrx/framework/include/vrx_vector.h"

namespace vrx {

class VRX_InputStorage;

class VRX_DICOMFrameTable {
   public:
    // One piece of a frame: storage offset and length.
    struct Part {
        uint32_t offset = 0;
        uint32_t length = 0;
    };

    explicit VRX_DICOMFrameTable(VRX_Manager* manager);

    // No frames.
    void clear();

    // Native frames: `count` frames of `frame_bits` bits each from the value
    // at storage offset `offset`, which holds `length` bytes. A frame never
    // reaches past the value's end (a value shorter than one frame gives one
    // short frame).
    void set_native(uint32_t offset, uint32_t length, uint64_t frame_bits, uint32_t count);

    // Encapsulated frames: the parts in file order, then each frame as a
    // run of `count` of them from part `first`. False when memory runs out
    // or the run lies outside the parts.
    bool reserve_parts(size_t n) { return parts_.reserve(n); }
    bool add_part(uint32_t offset, uint32_t length) { return parts_.push_back({offset, length}); }
    bool add_frame(size_t first, size_t count);
    // An encapsulated frame whose items fill the storage from offset `begin`
    // up to `end`, not read yet. Such frames come before those of
    // add_frame.
    bool add_located_frame(uint32_t begin, uint32_t end);

    uint32_t count() const;
    // The native value's storage offset and length.
    uint32_t value_offset() const { return value_offset_; }
    uint32_t value_length() const { return value_length_; }
    bool encapsulated() const { return encapsulated_; }
    size_t part_count() const { return parts_.size(); }
    const Part& part(size_t i) const { return parts_[i]; }

    // The storage offsets and lengths of the frame's parts, in file order
    // (parts without bytes are left out); both empty for a frame beyond the
    // table. The parts of a located frame are read from `storage` (the one
    // the table describes; its position is kept). False when memory runs
    // out, and for a located frame without a storage or whose span does not
    // hold items (FFFE,E000) that fill it exactly.
    bool parts_of(uint32_t frame, VRX_InputStorage* storage, VRX_Vector<uint32_t>& offsets,
                  VRX_Vector<uint32_t>& lengths) const;
    // The bit of the frame's first byte at which the frame begins (0 is the
    // least significant bit); 0 but for native frames of 1-bit samples.
    uint32_t first_bit(uint32_t frame) const;
    // A native frame that the value ends inside (the one short frame of a
    // value shorter than a frame); false for every other frame.
    bool is_short(uint32_t frame) const;

   private:
    struct Run {
        size_t first = 0;
        size_t count = 0;
    };
    // Storage offsets of a located frame's first item and of its end.
    struct Span {
        uint32_t begin = 0;
        uint32_t end = 0;
    };

    // The parts of a located frame, from its item headers.
    static bool read_items(const Span& span, VRX_InputStorage& storage,
                           VRX_Vector<uint32_t>& offsets, VRX_Vector<uint32_t>& lengths);

    bool encapsulated_ = false;
    // Native frames.
    uint32_t native_count_ = 0;
    uint32_t value_offset_ = 0;
    uint32_t value_length_ = 0;
    uint64_t frame_bits_ = 0;
    // Encapsulated frames.
    VRX_Vector<Part> parts_;
    VRX_Vector<Run> runs_;
    // Located frames, numbered before the runs.
    VRX_Vector<Span> located_;
};

}  // namespace vrx
