#pragma once
// Drives the decoder core over a stream in memory, as the library classes
// do, for the decoder tests.
#include <string>
#include <vector>

#include "jpegdec/jpeg_decoder.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegdec/jpeg_oracle.h"

namespace jpegdectest {

using jpegoracle::Bytes;
using namespace jpegdec;

inline std::string Fixture(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/jpegdec/" + name;
}

// One decoder over its own copy of a stream, from ReadHeader on.
class Decoder {
public:
    Decoder(Bytes jpeg, uint32_t colorSpace = kJpegColorAsStored, uint32_t inputLength = 0)
        : bytes_(std::move(jpeg)) {
        InitJpegLibrary(nullptr, nullptr);
        JpegSourceRecord source;
        if (!CreateMemorySource(bytes_.data(), static_cast<uint32_t>(bytes_.size()), nullptr, nullptr, &source))
            return;
        ctx = CreateDecompressor(&source, nullptr, nullptr, &header);
        if (!ctx) {
            FreeMemorySource(&source);
            return;
        }
        header = ReadHeader(ctx, colorSpace, inputLength, nullptr);
    }
    ~Decoder() {
        DestroyDecompressor(ctx);
        ReleaseJpegLibrary(nullptr, nullptr);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Starts (scale 1, 2, 4, 8) and reads every row; the first status below
    // 1 ends the image, whose rows so far are kept. Lossless rows above 8
    // bits are 16-bit words: the image counts bytes.
    jpegoracle::Image Run(uint32_t scale = 1, bool lumaOnly = false) {
        jpegoracle::Image image;
        if (!ctx || header < 1) return image;
        if (lumaOnly) SetLuminanceOnly(ctx, 1);
        if (scale != 1 && SetScaleDenominator(ctx, scale) < 1) return image;
        start = StartDecompress(ctx);
        if (start < 1) return image;
        image.width = JpegWidth(ctx);
        image.height = JpegHeight(ctx);
        image.channels = JpegOutChannels(ctx) * (JpegSampleBits(ctx) > 8 ? 2 : 1);
        const size_t line = size_t{image.width} * image.channels;
        image.pixels.resize(line * image.height);
        for (uint32_t y = 0; y < image.height; ++y) {
            const JpegStatus st = ReadRows(ctx, image.pixels.data() + line * y);
            rows.push_back(st);
            if (st < 1) {
                image.pixels.resize(line * y);
                image.height = y;
                return image;
            }
        }
        image.ok = true;
        return image;
    }
    // The last warning or error of the rows (1 when every row was clean).
    JpegStatus Worst() const {
        JpegStatus w = 1;
        for (JpegStatus s : rows) if (s != 1) w = s;
        return w;
    }

private:
    Bytes bytes_;

public:
    JpegDecoderContext* ctx = nullptr;
    JpegStatus header = 0, start = 0;
    std::vector<JpegStatus> rows;
};

// Pins the processor column of the kernel rows for the scope.
class PinnedColumn {
public:
    explicit PinnedColumn(int k) : saved_(jpegkernels::ProcessorIndex()) { jpegkernels::SetProcessorIndex(k); }
    ~PinnedColumn() { jpegkernels::SetProcessorIndex(saved_); }
    PinnedColumn(const PinnedColumn&) = delete;
    PinnedColumn& operator=(const PinnedColumn&) = delete;

private:
    int32_t saved_;
};

}  // namespace jpegdectest
