#pragma once
// The parser behind TogDicomDataset's openings (internal to the library).
#include <cstdint>
#include <memory>

#include "dicomlib/togdicomdataset.h"
#include "platform/read_ahead_span.h"

class TogDicomDataset::Reader {
public:
    explicit Reader(TogDicomDataset& dataset) noexcept;

    // The file form of PS3.10: preamble and "DICM", then the data set.
    int Preamble(bool strict) noexcept;
    // One data set into `parent`: until the source ends, or (below the top
    // level) until `limit` bytes are read or an item delimiter is met.
    int DataSet(TogDicomDataElement* parent, TogDicomLib::Encoding kind, bool meta, int depth,
                uint32_t limit) noexcept;
    // The fixed-layout element stream.
    int FixedLayout(TogDicomDataElement* parent, int depth, uint32_t limit) noexcept;
    // Settles the VR of Pixel Data by the transfer syntax.
    int PostPass(TogDicomDataElement* element, bool flag1, bool flag2) noexcept;

private:
    // A sequence's items. Top-level encapsulated Pixel Data may pass over
    // the frames its basic offset table locates (when the data set asks for
    // it); where the table then leads astray the items are read one by one
    // after all.
    int Sequence(TogDicomDataElement* sequence, uint32_t vrAsRead, uint32_t length, int depth,
                 TogDicomLib::Encoding kind, bool fixedLayout) noexcept;
    // The loop over the items; with `mayPassOver` it may move on from the
    // offset table to the last frame's items.
    int Items(TogDicomDataElement* sequence, uint32_t vrAsRead, uint32_t length, int depth,
              TogDicomLib::Encoding kind, bool fixedLayout, bool mayPassOver) noexcept;
    // After the basic offset table `table`: moves to the item of the last
    // frame when the table is usable (its first entry 0, the entries
    // ascending, the last one within the source) and records the jump;
    // else stays.
    int PassOverFrames(const TogDicomDataElement& table) noexcept;
    // Passes over the content of a sequence nested deeper than the reader
    // goes, without reading it into the tree.
    int SkipSequence(uint32_t vrAsRead, uint32_t length, TogDicomLib::Encoding kind,
                     bool fixedLayout) noexcept;
    TogDicomLib::Encoding UnSequenceKind(TogDicomLib::Encoding kind, bool fixedLayout) noexcept;
    bool DetectExplicit() noexcept;
    // The encoding the data set after the meta group is written in, from the
    // header of its first element (the source stands after its tag):
    // `declared`, or the other VR form of little endian when the element
    // plainly is in that form.
    TogDicomLib::Encoding EncodingAsWritten(TogDicomLib::Encoding declared) noexcept;

    // Source primitives.
    int ReadRaw(void* buffer, uint32_t count) noexcept;
    int Read16(uint32_t& value, TogDicomLib::Encoding kind) noexcept;
    int Read32(uint32_t& value, TogDicomLib::Encoding kind) noexcept;
    int Skip(int64_t distance) noexcept;
    // Moves past a value held by position; 9 when the source refuses.
    int SkipValue(uint32_t length) noexcept;
    bool AtEnd() noexcept;
    // 5000 when the size of the source is known and fewer than `length`
    // bytes remain.
    int CheckRemaining(uint64_t length) const noexcept;
    int Fill(uint32_t want) noexcept;
    int SyncSource() noexcept;
    // Moves the callbacks' source `distance` bytes on from `from`, in steps
    // the skip callback takes; how far it moved before a refusal.
    int64_t SkipCallback(int64_t from, int64_t distance) noexcept;

    // Element values.
    int ReadValue(TogDicomDataElement* element, uint32_t length, TogDicomLib::Encoding kind) noexcept;
    int RecordValue(TogDicomDataElement* element, uint32_t length) noexcept;
    int ReadUpToZero(TogDicomDataElement* element) noexcept;

    TogDicomDataset& ds_;
    int64_t& position_;
    // Read-ahead through the callbacks when the size of the source is known.
    bool buffered_ = false;
    std::unique_ptr<uint8_t[]> ahead_;
    int64_t aheadStart_ = 0;
    uint32_t aheadLength_ = 0;
    platform::ReadAheadSpan span_;
    // Where the callbacks' source stands.
    int64_t sourcePosition_ = 0;
    // Items of Pixel Data were passed over by its offset table.
    bool passedOver_ = false;
};
