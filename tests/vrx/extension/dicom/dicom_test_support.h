#pragma once
// Helpers of the DICOM image-access tests: a SHA-256 of decoded samples, a
// writer of small DICOM files in explicit VR little endian (with native or
// encapsulated pixel data, or directory records linked by their offsets), and
// a chain that decodes one frame into memory.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_status.h"

namespace dicomtest {

using Bytes = std::vector<uint8_t>;

constexpr const char* kPydicomFiles = "/usr/lib/python3/dist-packages/pydicom/data/test_files";

inline std::string pydicom_file(const std::string& name) {
    return std::string(kPydicomFiles) + "/" + name;
}

inline bool file_exists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

inline Bytes read_file(const std::string& path) {
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

// SHA-256 of a byte string, as lower-case hexadecimal.
inline std::string sha256(const Bytes& data) {
    static const uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    Bytes m = data;
    const uint64_t bits = uint64_t{data.size()} * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 7; i >= 0; --i) m.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t block = 0; block < m.size(); block += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (uint32_t{m[block + 4 * i]} << 24) | (uint32_t{m[block + 4 * i + 1]} << 16) |
                   (uint32_t{m[block + 4 * i + 2]} << 8) | m[block + 4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            const uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                                k[i] + w[i];
            const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
    }
    std::string hex;
    char digits[9];
    for (uint32_t v : h) {
        std::snprintf(digits, sizeof digits, "%08x", v);
        hex += digits;
    }
    return hex;
}

// Writer of DICOM files in explicit VR little endian.
class Writer {
public:
    // A Part 10 file with the given transfer syntax and media storage class.
    explicit Writer(const std::string& transfer_syntax = "1.2.840.10008.1.2.1",
                    const std::string& sop_class = "1.2.840.10008.5.1.4.1.1.7") {
        bytes_.assign(128, 0);
        append("DICM");
        Writer meta(nullptr);
        meta.text(0x0002, 0x0002, "UI", sop_class);
        meta.text(0x0002, 0x0010, "UI", transfer_syntax);
        u32(0x0002, 0x0000, static_cast<uint32_t>(meta.bytes_.size()));
        bytes_.insert(bytes_.end(), meta.bytes_.begin(), meta.bytes_.end());
    }
    // A bare element stream (for items).
    explicit Writer(std::nullptr_t) {}

    const Bytes& bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

    // An element with a short or long length form by its VR.
    void element(uint16_t group, uint16_t number, const char* vr, const Bytes& value) {
        tag(group, number);
        append(vr);
        const std::string v(vr);
        static const char* kLong[] = {"OB", "OW", "OF", "SQ", "UN", "UT"};
        bool long_form = false;
        for (const char* l : kLong) long_form = long_form || v == l;
        if (long_form) {
            put16(0);
            put32(static_cast<uint32_t>(value.size()));
        } else {
            put16(static_cast<uint16_t>(value.size()));
        }
        bytes_.insert(bytes_.end(), value.begin(), value.end());
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
    // The image attributes of a native or compressed image.
    void image(uint32_t rows, uint32_t columns, uint16_t bits, uint16_t samples,
               const std::string& photometric, uint32_t frames = 0, uint16_t signed_samples = 0) {
        u16(0x0028, 0x0002, samples);
        text(0x0028, 0x0004, "CS", photometric);
        if (frames) text(0x0028, 0x0008, "IS", std::to_string(frames));
        u16(0x0028, 0x0010, static_cast<uint16_t>(rows));
        u16(0x0028, 0x0011, static_cast<uint16_t>(columns));
        u16(0x0028, 0x0100, bits);
        u16(0x0028, 0x0101, bits);
        u16(0x0028, 0x0102, static_cast<uint16_t>(bits - 1));
        u16(0x0028, 0x0103, signed_samples);
    }
    void pixel_data(const Bytes& value) { element(0x7FE0, 0x0010, "OW", value); }
    // Encapsulated pixel data: a basic offset table and the fragments.
    void encapsulated(const std::vector<uint32_t>& table, const std::vector<Bytes>& fragments) {
        tag(0x7FE0, 0x0010);
        append("OB");
        put16(0);
        put32(0xFFFFFFFFu);
        Bytes t;
        for (uint32_t v : table) append_to(t, le32(v));
        item(t);
        for (const Bytes& f : fragments) item(f);
        tag(0xFFFE, 0xE0DD);
        put32(0);
    }
    // A sequence of defined length holding the items; returns the offset of
    // each item's tag.
    std::vector<size_t> sequence(uint16_t group, uint16_t number, const std::vector<Bytes>& items) {
        size_t length = 0;
        for (const Bytes& i : items) length += 8 + i.size();
        tag(group, number);
        append("SQ");
        put16(0);
        put32(static_cast<uint32_t>(length));
        std::vector<size_t> offsets;
        for (const Bytes& i : items) {
            offsets.push_back(bytes_.size());
            item(i);
        }
        return offsets;
    }
    void item(const Bytes& value) {
        tag(0xFFFE, 0xE000);
        put32(static_cast<uint32_t>(value.size()));
        bytes_.insert(bytes_.end(), value.begin(), value.end());
    }
    void raw(const Bytes& value) { bytes_.insert(bytes_.end(), value.begin(), value.end()); }

    static Bytes le16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
    static Bytes le32(uint32_t v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                static_cast<uint8_t>(v >> 24)};
    }

private:
    static void append_to(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }
    void append(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void put16(uint16_t v) { append_to(bytes_, le16(v)); }
    void put32(uint32_t v) { append_to(bytes_, le32(v)); }
    void tag(uint16_t group, uint16_t number) {
        put16(group);
        put16(number);
    }

    Bytes bytes_;
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
        if (r.lower != -2)
            w.u32(0x0004, 0x1420, r.lower >= 0 ? at[r.lower] + r.lower_bias : 0);
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

// The status of a manager's first report.
inline bool has_status(vrx::VRX_Manager& manager, uint32_t code, const char* function) {
    const vrx::VRX_Status status = manager.status();
    return status.code == code && std::string(status.function) == function;
}

// A byte-array storage over `bytes` (which must outlive it).
inline vrx::VRX_InputStorage* storage_over(vrx::VRX_Manager& manager, const Bytes& bytes) {
    return vrx::VRX_ByteArrayInputStorage::create(&manager, bytes.data(),
                                                  static_cast<int32_t>(bytes.size()));
}

// Everything `engine` delivers, written to memory of its image's size; empty
// when the chain cannot be built. `complete` tells whether every byte came.
inline Bytes drain(vrx::VRX_Manager& manager, vrx::VRX_Engine* engine, bool* complete = nullptr) {
    if (complete) *complete = false;
    if (!engine || !engine->header()) return {};
    uint32_t line = 0;
    engine->header()->line_bytes(line);
    Bytes out(size_t{line} * engine->header()->height);
    uint32_t written = 0;
    vrx::VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
        engine, out.data(), static_cast<uint32_t>(out.size()), &written);
    if (!writer) return {};
    while (writer->execute()) {
    }
    if (complete) *complete = written == out.size();
    out.resize(written);
    return out;
}

}  // namespace dicomtest
