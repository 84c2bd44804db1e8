#pragma once
// A PackBits and DICOM RLE frame encoder for tests and benchmarks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rletest {

using Bytes = std::vector<unsigned char>;

inline void put32(Bytes& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// PackBits: repeats of 2 to 128 equal bytes, literals of 1 to 128 bytes. The
// stream runs across rows (the decoder must carry runs over line ends).
inline Bytes packbits(const Bytes& in) {
    Bytes out;
    size_t i = 0;
    while (i < in.size()) {
        size_t run = 1;
        while (i + run < in.size() && run < 128 && in[i + run] == in[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<unsigned char>(257 - run));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        size_t start = i;
        size_t len = 0;
        while (i < in.size() && len < 128) {
            if (i + 1 < in.size() && in[i + 1] == in[i]) break;
            ++i;
            ++len;
        }
        out.push_back(static_cast<unsigned char>(len - 1));
        out.insert(out.end(), in.begin() + static_cast<long>(start),
                   in.begin() + static_cast<long>(i));
    }
    return out;
}

// A DICOM RLE frame of already encoded segments: the 64-byte table, then the
// segments, each padded to an even length.
inline Bytes rle_frame_of_segments(const std::vector<Bytes>& segments) {
    Bytes frame(64, 0);
    put32(frame, 0, static_cast<uint32_t>(segments.size()));
    for (size_t k = 0; k < segments.size(); ++k) {
        put32(frame, 4 + 4 * k, static_cast<uint32_t>(frame.size()));
        frame.insert(frame.end(), segments[k].begin(), segments[k].end());
        if (frame.size() % 2 != 0) frame.push_back(0);
    }
    return frame;
}

// A DICOM RLE frame of pixels: little-endian samples of `bytes` bytes each,
// `channels` per pixel; one segment per byte plane, most significant byte of
// each sample first. With `row` non-zero every row of that many pixels is
// encoded by itself, as writers do; else runs cross rows.
inline Bytes rle_frame(const Bytes& pixels, uint32_t channels, uint32_t bytes, size_t row = 0) {
    const size_t pixel_count = pixels.size() / (size_t{channels} * bytes);
    std::vector<Bytes> segments;
    for (uint32_t c = 0; c < channels; ++c) {
        for (uint32_t b = bytes; b > 0; --b) {
            Bytes plane(pixel_count);
            for (size_t p = 0; p < pixel_count; ++p)
                plane[p] = pixels[(p * channels + c) * bytes + b - 1];
            if (row == 0) {
                segments.push_back(packbits(plane));
                continue;
            }
            Bytes coded;
            for (size_t at = 0; at < pixel_count; at += row) {
                const Bytes part(
                    plane.begin() + static_cast<long>(at),
                    plane.begin() + static_cast<long>(std::min(at + row, pixel_count)));
                const Bytes packed = packbits(part);
                coded.insert(coded.end(), packed.begin(), packed.end());
            }
            segments.push_back(coded);
        }
    }
    return rle_frame_of_segments(segments);
}

}  // namespace rletest
