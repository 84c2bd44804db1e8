#pragma once
// Test-side Huffman coding for the decoding rows: code tables in DHT form,
// an encoder that writes entropy-coded data (byte stuffing, padding,
// markers), and the stream point a bit state describes.
//
// Header-only so that the tests, the benchmarks and the fuzz targets can
// share it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "jpegkernels/kernel_records.h"

namespace jpegkernels::testing {

// A Huffman table as a DHT segment carries it.
struct DhtTable {
    std::array<uint8_t, 16> bits{};
    std::vector<uint8_t> huffval;
};

// The table whose symbol s has code length lengths[s] (0: no code), symbols
// ordered by length, then by value.
inline DhtTable DhtFromLengths(const std::vector<int>& lengths) {
    DhtTable dht;
    std::array<std::vector<uint8_t>, 17> byLength;
    for (size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] >= 1 && lengths[s] <= 16) byLength[static_cast<size_t>(lengths[s])].push_back(static_cast<uint8_t>(s));
    }
    for (int l = 1; l <= 16; ++l) {
        dht.bits[static_cast<size_t>(l - 1)] = static_cast<uint8_t>(byLength[static_cast<size_t>(l)].size());
        dht.huffval.insert(dht.huffval.end(), byLength[static_cast<size_t>(l)].begin(), byLength[static_cast<size_t>(l)].end());
    }
    return dht;
}

// Code lengths of a random complete prefix code over the symbols (at most
// maxLength bits) with one longest code left out, so that no code is all
// ones. Symbols not listed get no code. maxLength is raised as far as the
// number of symbols needs.
inline std::vector<int> RandomLengths(std::mt19937& rng, const std::vector<int>& symbols, int maxLength) {
    while ((size_t{1} << maxLength) < symbols.size() + 1) ++maxLength;
    std::vector<int> depths = {0};
    while (depths.size() < symbols.size() + 1) {
        // A random leaf that may still split (one exists: the count is
        // below 2^maxLength).
        size_t i = rng() % depths.size();
        while (depths[i] >= maxLength) i = (i + 1) % depths.size();
        depths[i] += 1;
        depths.push_back(depths[i]);
    }
    depths.erase(std::max_element(depths.begin(), depths.end()));
    std::shuffle(depths.begin(), depths.end(), rng);
    std::vector<int> lengths(256, 0);
    for (size_t i = 0; i < symbols.size(); ++i) lengths[static_cast<size_t>(symbols[i])] = depths[i];
    return lengths;
}

inline std::vector<int> SymbolRange(int first, int last) {
    std::vector<int> s;
    for (int i = first; i <= last; ++i) s.push_back(i);
    return s;
}

// What a decoding call starts from: the data window and the stream state.
struct ReaderInput {
    std::vector<uint8_t> data;
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderState state{};
};

// A copy of the data in an allocation of its exact size (one byte for no
// data), so that the sanitizers see any read past the window.
inline std::unique_ptr<uint8_t[]> ExactCopy(const std::vector<uint8_t>& data) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[std::max<size_t>(data.size(), 1)]);
    if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
    return copy;
}

// Codes of a table by symbol, as an encoder uses them.
struct EncoderCodes {
    std::array<uint32_t, 256> code{};
    std::array<int, 256> length{};
};

inline EncoderCodes MakeCodes(const DhtTable& dht) {
    EncoderCodes codes;
    uint32_t code = 0;
    size_t k = 0;
    for (int l = 1; l <= 16; ++l, code <<= 1) {
        for (int i = 0; i < dht.bits[l - 1]; ++i, ++k, ++code) {
            codes.code[dht.huffval[k]] = code;
            codes.length[dht.huffval[k]] = l;
        }
    }
    return codes;
}

// Entropy-coded data: bits are packed most significant first, a 0x00 is
// stuffed after every 0xFF, and Flush pads the last byte with ones.
class BitWriter {
public:
    void Put(uint32_t value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            current_ = static_cast<uint8_t>(current_ << 1 | ((value >> i) & 1));
            if (++filled_ == 8) Emit();
        }
    }
    void Symbol(const EncoderCodes& codes, int symbol) {
        if (codes.length[symbol] == 0) std::abort();
        Put(codes.code[symbol], codes.length[symbol]);
    }
    void Flush() {
        while (filled_ != 0) Put(1, 1);
    }
    void Marker(uint8_t code) {
        Flush();
        bytes.push_back(0xFF);
        bytes.push_back(code);
    }
    void Raw(std::initializer_list<uint8_t> raw) {
        Flush();
        bytes.insert(bytes.end(), raw);
    }
    std::vector<uint8_t> bytes;

private:
    void Emit() {
        bytes.push_back(current_);
        if (current_ == 0xFF) bytes.push_back(0x00);
        current_ = 0;
        filled_ = 0;
    }
    uint8_t current_ = 0;
    int filled_ = 0;
};

// Number of 0xFF 0x00 pairs in entropy-coded data.
inline int StuffedPairs(const std::vector<uint8_t>& bytes) {
    int pairs = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) pairs += bytes[i] == 0xFF && bytes[i + 1] == 0;
    return pairs;
}

// Number of bits of |v| (0 for 0).
inline int Category(int32_t v) {
    uint32_t a = static_cast<uint32_t>(v < 0 ? -v : v);
    int n = 0;
    while (a != 0) {
        ++n;
        a >>= 1;
    }
    return n;
}

// The category's extra bits of v (v - 1 below zero, low n bits).
inline void PutValue(BitWriter& w, int32_t v, int n) {
    if (n > 0) w.Put(static_cast<uint32_t>(v < 0 ? v - 1 : v) & ((1u << n) - 1), n);
}

constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The symbols of one block of natural-order coefficients (|values| below
// 32768) after a DC predictor, as a sequential Huffman encoder writes them:
// visit(ac, symbol, value, bits) with the value whose low bits follow the
// symbol's code (none for bits 0).
template <class Visit>
inline void ForEachBlockSymbol(const int16_t* block, int16_t& predictor, Visit&& visit) {
    const int32_t difference = static_cast<int16_t>(block[0] - predictor);
    predictor = block[0];
    const int n = Category(difference);
    visit(false, n, difference, n);
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int32_t v = block[kZigzag[k]];
        if (v == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16) visit(true, 0xF0, 0, 0);
        const int s = Category(v);
        visit(true, run << 4 | s, v, s);
        run = 0;
    }
    if (run > 0) visit(true, 0x00, 0, 0);
}

// Encodes one block of natural-order coefficients (|values| below 32768)
// after a DC predictor, as a sequential Huffman encoder does.
inline void EncodeBlock(BitWriter& w, const int16_t* block, int16_t& predictor, const EncoderCodes& dc,
                        const EncoderCodes& ac) {
    ForEachBlockSymbol(block, predictor, [&](bool isAc, int symbol, int32_t value, int bits) {
        w.Symbol(isAc ? ac : dc, symbol);
        PutValue(w, value, bits);
    });
}

// Encodes one lossless difference (taken modulo 2^16; 32768 is category 16).
inline void EncodeDifference(BitWriter& w, uint16_t difference, const EncoderCodes& codes) {
    if (difference == 0x8000) {
        w.Symbol(codes, 16);
        return;
    }
    const int32_t d = static_cast<int16_t>(difference);
    const int n = Category(d);
    w.Symbol(codes, n);
    PutValue(w, d, n);
}

// The stream point that a bit state, a position and a marker word describe
// together, in one form whatever the split between buffered bits and
// position: the buffered bits, then the data bits up to the next marker
// (one byte per bit), then the marker's code (0 for none) and the position
// just past it (-1 when the data ends first).
inline std::vector<uint8_t> StreamPoint(const uint8_t* data, int32_t length, uint32_t position, MarkerWord marker,
                                        const HuffmanDecoderState& state) {
    std::vector<uint8_t> bits;
    for (int i = state.bitCount - 1; i >= 0; --i) bits.push_back(static_cast<uint8_t>((state.bitBuffer >> i) & 1));
    auto byteBits = [&](uint32_t b) {
        for (int i = 7; i >= 0; --i) bits.push_back(static_cast<uint8_t>((b >> i) & 1));
    };
    int64_t after = static_cast<int64_t>(position);
    uint32_t code = marker;
    if (marker == 0) {
        int64_t p = position;
        after = -1;
        while (p < length) {
            if (data[p] != 0xFF) {
                byteBits(data[p++]);
                continue;
            }
            int64_t q = p + 1;
            while (q < length && data[q] == 0xFF) ++q;
            if (q >= length) break;
            if (data[q] == 0x00) {
                byteBits(0xFF);
                p = q + 1;
                continue;
            }
            code = data[q];
            after = q + 1;
            break;
        }
    }
    for (int i = 0; i < 4; ++i) bits.push_back(static_cast<uint8_t>(code >> (8 * i)));
    for (int i = 0; i < 8; ++i) bits.push_back(static_cast<uint8_t>(static_cast<uint64_t>(after) >> (8 * i)));
    return bits;
}

// StreamPoint in constant time per query, for long runs: the data is
// parsed once as the bit reader parses it (stuffed 0xFF, fill bytes,
// markers), and a point is then its bit offset in the data bits, the next
// marker's code and the position past it. Check tells whether the bits a
// state holds are the data's bits at that offset.
class StreamMap {
public:
    StreamMap(const uint8_t* data, int32_t length)
        : length_(length), before_(static_cast<size_t>(length) + 1, -1),
          next_(static_cast<size_t>(length) + 1, {0, -1}) {
        struct Marker {
            int64_t start;
            uint32_t code;
            int64_t after;
        };
        std::vector<Marker> markers;
        int64_t p = 0;
        while (p < length) {
            before_[static_cast<size_t>(p)] = static_cast<int64_t>(bytes_.size());
            if (data[p] != 0xFF) {
                bytes_.push_back(data[p++]);
                continue;
            }
            int64_t q = p + 1;
            while (q < length && data[q] == 0xFF) ++q;
            if (q >= length) break;
            if (data[q] == 0x00) {
                bytes_.push_back(0xFF);
            } else {
                markers.push_back({p, data[q], q + 1});
            }
            p = q + 1;
        }
        before_[static_cast<size_t>(length)] = static_cast<int64_t>(bytes_.size());
        size_t k = markers.size();
        for (int64_t i = length; i >= 0; --i) {
            while (k > 0 && markers[k - 1].start >= i) --k;
            if (k < markers.size()) next_[static_cast<size_t>(i)] = {markers[k].code, markers[k].after};
        }
    }

    // Offset, marker code, position past the marker; a position that the
    // parse does not stop at gives {-1, -1, -1}.
    std::array<int64_t, 3> Point(uint32_t position, MarkerWord marker, const HuffmanDecoderState& state) const {
        if (!Known(position)) return {-1, -1, -1};
        const int64_t offset = 8 * before_[position] - state.bitCount;
        if (marker != 0) return {offset, marker, position};
        return {offset, next_[position].first, next_[position].second};
    }

    // True when the bits the state holds are the data's at their offset
    // (bits from before the data, as a preset state may hold, are skipped).
    bool Check(uint32_t position, const HuffmanDecoderState& state) const {
        if (!Known(position)) return false;
        const int64_t offset = 8 * before_[position] - state.bitCount;
        for (int i = 0; i < state.bitCount; ++i) {
            const int64_t bit = offset + i;
            if (bit < 0) continue;
            const uint32_t expected = (bytes_[static_cast<size_t>(bit / 8)] >> (7 - bit % 8)) & 1;
            if (((state.bitBuffer >> (state.bitCount - 1 - i)) & 1) != expected) return false;
        }
        return true;
    }

private:
    bool Known(uint32_t position) const {
        return position <= static_cast<uint32_t>(length_) && before_[position] >= 0;
    }
    int32_t length_;
    std::vector<uint8_t> bytes_;
    std::vector<int64_t> before_;
    std::vector<std::pair<int64_t, int64_t>> next_;
};

}  // namespace jpegkernels::testing
