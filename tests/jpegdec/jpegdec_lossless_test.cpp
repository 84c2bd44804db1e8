// Lossless frames and the kernel-backed path: dcmcjpeg's streams against
// their sources on every processor column, with the smallest input buffers,
// and baseline frames against the generic path and libjpeg-turbo.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "jpegdec/jpeg_context.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegdec/jpegdec_test_support.h"

namespace {

using namespace jpegdectest;

std::string KernelFixture(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/jpegkernels/" + name;
}

// One line of the lossless manifest: stream, source, size and precision.
struct LosslessCase {
    std::string stream, source;
    uint32_t width = 0, height = 0, components = 0, bits = 0, pointTransform = 0;
};

std::vector<LosslessCase> LosslessCases() {
    std::vector<LosslessCase> cases;
    std::ifstream manifest(KernelFixture("lossless/manifest.txt"));
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream in(line);
        LosslessCase c;
        if (!(in >> c.stream >> c.source >> c.width >> c.height >> c.components >> c.bits)) continue;
        c.pointTransform = static_cast<uint32_t>(c.stream[c.stream.size() - 5] - '0');
        cases.push_back(c);
    }
    return cases;
}

// The source samples as the decoder gives them back: the low bits the
// point transform dropped are zero (bytes up to 8 bits, else 16-bit words).
Bytes ExpectedSamples(const LosslessCase& c) {
    Bytes raw = jpegoracle::ReadFile(KernelFixture("lossless/" + c.source));
    const uint16_t mask = static_cast<uint16_t>(0xFFFF << c.pointTransform);
    if (c.bits <= 8) {
        for (uint8_t& b : raw) b = static_cast<uint8_t>(b & mask);
    } else {
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const uint16_t v = static_cast<uint16_t>((raw[i] | raw[i + 1] << 8) & mask);
            raw[i] = static_cast<uint8_t>(v);
            raw[i + 1] = static_cast<uint8_t>(v >> 8);
        }
    }
    return raw;
}

// Lossless rows are 16-bit words above 8 bits: the image counts bytes.
jpegoracle::Image RunLossless(Decoder& d) {
    jpegoracle::Image image;
    if (!d.ctx || d.header < 1 || (d.start = StartDecompress(d.ctx)) < 1) return image;
    image.width = JpegWidth(d.ctx);
    image.height = JpegHeight(d.ctx);
    image.channels = JpegOutChannels(d.ctx) * (JpegSampleBits(d.ctx) > 8 ? 2 : 1);
    const size_t line = size_t{image.width} * image.channels;
    image.pixels.resize(line * image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        d.rows.push_back(ReadRows(d.ctx, image.pixels.data() + line * y));
        if (d.rows.back() < 1) return image;
    }
    image.ok = true;
    return image;
}

// Pins the processor column for the scope.
class Column {
public:
    explicit Column(int k) : saved_(jpegkernels::ProcessorIndex()) { jpegkernels::SetProcessorIndex(k); }
    ~Column() { jpegkernels::SetProcessorIndex(saved_); }

private:
    int32_t saved_;
};

TEST(LosslessDecoding, DcmtkStreamsEqualTheirSourcesOnEveryColumn) {
    const std::vector<LosslessCase> cases = LosslessCases();
    ASSERT_EQ(cases.size(), 34u);
    for (const LosslessCase& c : cases) {
        const Bytes jpeg = jpegoracle::ReadFile(KernelFixture("lossless/" + c.stream));
        const Bytes expected = ExpectedSamples(c);
        for (int column = 0; column < jpegkernels::kProcessorColumns; ++column)
            for (bool smallest : {false, true}) {
                SCOPED_TRACE(c.stream + " column " + std::to_string(column) + (smallest ? " smallest buffers" : ""));
                Column pinned(column);
                Decoder d(jpeg);
                d.ctx->testSmallestBuffers = smallest;
                const jpegoracle::Image image = RunLossless(d);
                ASSERT_TRUE(image.ok) << d.header << " " << d.start << " " << d.Worst();
                EXPECT_EQ(d.ctx->kernelPath, 1u);
                EXPECT_EQ(d.Worst(), kJpegOk);
                EXPECT_TRUE(image.pixels == expected);
            }
    }
}

}  // namespace
