#pragma once
// Small edits of JPEG streams for the tests of damaged and unusual input:
// where the segments and restart markers are, and byte-level changes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace jpegedit {

using Bytes = std::vector<uint8_t>;

// Position of the n-th (from 0) marker with this code (its 0xFF), or npos.
// Entropy-coded data is searched too, so RSTn and stuffed bytes are found
// as they stand.
inline constexpr size_t npos = static_cast<size_t>(-1);
inline size_t FindMarker(const Bytes& jpeg, uint8_t code, int n = 0) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code && n-- == 0) return i;
    return npos;
}

// The bytes with `count` bytes at `at` replaced by `with`.
inline Bytes Splice(Bytes jpeg, size_t at, size_t count, const Bytes& with = {}) {
    jpeg.erase(jpeg.begin() + static_cast<std::ptrdiff_t>(at),
               jpeg.begin() + static_cast<std::ptrdiff_t>(at + count));
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), with.begin(), with.end());
    return jpeg;
}

// A segment: marker then its length and bytes.
inline Bytes Segment(uint8_t marker, const Bytes& body) {
    Bytes s(body.size() + 4);
    s[0] = 0xFF;
    s[1] = marker;
    s[2] = static_cast<uint8_t>((body.size() + 2) >> 8);
    s[3] = static_cast<uint8_t>(body.size() + 2);
    std::copy(body.begin(), body.end(), s.begin() + 4);
    return s;
}

// Length of the segment whose marker is at `at`.
inline size_t SegmentLength(const Bytes& jpeg, size_t at) {
    return (size_t{jpeg[at + 2]} << 8) | jpeg[at + 3];
}

// The entropy-coded data of the scan whose SOS is at `sos`: its first byte.
inline size_t ScanData(const Bytes& jpeg, size_t sos) { return sos + 2 + SegmentLength(jpeg, sos); }

// The positions of the entropy-coded data of every scan, restart markers
// included.
inline std::vector<size_t> CodedData(const Bytes& jpeg) {
    std::vector<size_t> at;
    for (int n = 0; FindMarker(jpeg, 0xDA, n) != npos; ++n)
        for (size_t i = ScanData(jpeg, FindMarker(jpeg, 0xDA, n));
             i + 1 < jpeg.size() && !(jpeg[i] == 0xFF && jpeg[i + 1] != 0 && (jpeg[i + 1] & 0xF8) != 0xD0); ++i)
            at.push_back(i);
    return at;
}

}  // namespace jpegedit
