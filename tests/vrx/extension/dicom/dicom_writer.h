#pragma once
// Small DICOM files for tests and benchmarks: a writer of explicit VR little
// endian files (with native or encapsulated pixel data) and DICOMDIRs whose
// directory records are linked by their offsets.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "tests/dicomlib/dataset_builder.h"

namespace dicomtest {

using Bytes = std::vector<uint8_t>;

// Writer of DICOM files in explicit VR little endian, over the data-set
// builder of the dicomlib tests.
class Writer {
   public:
    // A Part 10 file with the given transfer syntax and media storage class.
    explicit Writer(const std::string& transfer_syntax = "1.2.840.10008.1.2.1",
                    const std::string& sop_class = "1.2.840.10008.5.1.4.1.1.7") {
        out_.Preamble();
        Writer meta(nullptr);
        meta.text(0x0002, 0x0002, "UI", sop_class);
        meta.text(0x0002, 0x0010, "UI", transfer_syntax);
        u32(0x0002, 0x0000, static_cast<uint32_t>(meta.size()));
        raw(meta.bytes());
    }
    // A bare element stream (for items).
    explicit Writer(std::nullptr_t) {}

    const Bytes& bytes() const { return out_.data; }
    size_t size() const { return out_.Size(); }

    // An element with a short or long length form by its VR.
    void element(uint16_t group, uint16_t number, const char* vr, const Bytes& value) {
        out_.Header(group, number, vr, static_cast<uint32_t>(value.size()));
        raw(value);
    }
    // A text value padded to even length (UI with a NUL, others with a blank).
    void text(uint16_t group, uint16_t number, const char* vr, std::string value) {
        if (value.size() % 2) value += std::string(vr) == "UI" ? '\0' : ' ';
        element(group, number, vr, Bytes(value.begin(), value.end()));
    }
    void u16(uint16_t group, uint16_t number, uint16_t value) {
        element(group, number, "US", le16(value));
    }
    void u16s(uint16_t group, uint16_t number, const std::vector<uint16_t>& values) {
        Bytes v;
        for (uint16_t x : values) append_to(v, le16(x));
        element(group, number, "US", v);
    }
    void u32(uint16_t group, uint16_t number, uint32_t value) {
        element(group, number, "UL", le32(value));
    }
    // The image attributes of a native or compressed image (`stored` bits
    // of the allocated ones, 0 for all).
    void image(uint32_t rows, uint32_t columns, uint16_t bits, uint16_t samples,
               const std::string& photometric, uint32_t frames = 0, uint16_t signed_samples = 0,
               uint16_t stored = 0) {
        u16(0x0028, 0x0002, samples);
        text(0x0028, 0x0004, "CS", photometric);
        if (frames) text(0x0028, 0x0008, "IS", std::to_string(frames));
        u16(0x0028, 0x0010, static_cast<uint16_t>(rows));
        u16(0x0028, 0x0011, static_cast<uint16_t>(columns));
        u16(0x0028, 0x0100, bits);
        u16(0x0028, 0x0101, stored ? stored : bits);
        u16(0x0028, 0x0102, static_cast<uint16_t>((stored ? stored : bits) - 1));
        u16(0x0028, 0x0103, signed_samples);
    }
    void pixel_data(const Bytes& value) { element(0x7FE0, 0x0010, "OW", value); }
    // Encapsulated pixel data: a basic offset table and the fragments.
    void encapsulated(const std::vector<uint32_t>& table, const std::vector<Bytes>& fragments) {
        out_.Header(0x7FE0, 0x0010, "OB", dataset_builder::kUndefined);
        Bytes t;
        for (uint32_t v : table) append_to(t, le32(v));
        item(t);
        for (const Bytes& f : fragments) item(f);
        out_.SequenceEnd();
    }
    // A sequence of defined length holding the items; returns the offset of
    // each item's tag.
    std::vector<size_t> sequence(uint16_t group, uint16_t number, const std::vector<Bytes>& items) {
        size_t length = 0;
        for (const Bytes& i : items) length += 8 + i.size();
        out_.Header(group, number, "SQ", static_cast<uint32_t>(length));
        std::vector<size_t> offsets;
        for (const Bytes& i : items) {
            offsets.push_back(size());
            item(i);
        }
        return offsets;
    }
    void item(const Bytes& value) {
        out_.Item(static_cast<uint32_t>(value.size()));
        raw(value);
    }
    void raw(const Bytes& value) { append_to(out_.data, value); }

    static Bytes le16(uint16_t v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    }
    static Bytes le32(uint32_t v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    }

   private:
    static void append_to(Bytes& to, const Bytes& from) {
        to.insert(to.end(), from.begin(), from.end());
    }

    dataset_builder::Bytes out_{dataset_builder::Form::Explicit};
};

// One directory record: its type, the records it links to (indices into the
// record list, -1 for none; -2 leaves the link out) and its other elements.
struct Record {
    std::string type;
    int next = -1;
    int lower = -1;
    // Added to the lower-level link (a link into the middle of an item).
    int lower_bias = 0;
    // (group, element, VR, text) of further elements, in tag order after
    // (0004,1430).
    std::vector<std::tuple<uint16_t, uint16_t, std::string, std::string>> texts;
};

// A DICOMDIR whose records are linked by their offsets; `first` is the first
// record of the root (-1: 0, -2: left out). Links may name any record, so
// that broken and circular directories can be made.
inline Bytes dicomdir(const std::vector<Record>& records, int first = 0) {
    // An item's value: the links (UL, known size) come first, so the offsets
    // can be written once every item's place is known.
    auto item_value = [&](const Record& r, const std::vector<uint32_t>& at) {
        Writer w(nullptr);
        if (r.next != -2) w.u32(0x0004, 0x1400, r.next >= 0 ? at[r.next] : 0);
        if (r.lower != -2) w.u32(0x0004, 0x1420, r.lower >= 0 ? at[r.lower] + r.lower_bias : 0);
        w.text(0x0004, 0x1430, "CS", r.type);
        for (const auto& [g, e, vr, value] : r.texts) w.text(g, e, vr.c_str(), value);
        return w.bytes();
    };
    auto build = [&](const std::vector<uint32_t>& at, std::vector<size_t>* offsets) {
        Writer w("1.2.840.10008.1.2.1", "1.2.840.10008.1.3.10");
        if (first != -2) w.u32(0x0004, 0x1200, first >= 0 && !at.empty() ? at[first] : 0);
        std::vector<Bytes> items;
        for (const Record& r : records) items.push_back(item_value(r, at));
        std::vector<size_t> placed = w.sequence(0x0004, 0x1220, items);
        if (offsets) *offsets = placed;
        return w.bytes();
    };
    std::vector<size_t> offsets;
    build(std::vector<uint32_t>(records.size(), 0), &offsets);
    return build(std::vector<uint32_t>(offsets.begin(), offsets.end()), nullptr);
}

}  // namespace dicomtest
