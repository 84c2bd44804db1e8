// Lossless frames on the kernel-backed path: dcmcjpeg's streams against
// their sources on every processor column and with the smallest input
// buffers; the scan decoder each frame takes; refusals; damaged, cut and
// edited streams; the marker readers of the path's buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "jpegdec/jpeg_kernelpath.h"
#include "jpegkernels/kernel_dispatch.h"
#include "tests/jpegdec/jpeg_stream_edit.h"
#include "tests/jpegdec/jpegdec_test_support.h"

namespace {

using namespace jpegdectest;

std::string KernelFixture(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/jpegkernels/" + name;
}

Bytes Lossless(const std::string& name) { return jpegoracle::ReadFile(KernelFixture("lossless/" + name)); }

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
    Bytes raw = Lossless(c.source);
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

TEST(LosslessDecoding, DcmtkStreamsEqualTheirSourcesOnEveryColumn) {
    const std::vector<LosslessCase> cases = LosslessCases();
    ASSERT_EQ(cases.size(), 38u);
    for (const LosslessCase& c : cases) {
        const Bytes jpeg = Lossless(c.stream);
        const Bytes expected = ExpectedSamples(c);
        for (int column = 0; column < jpegkernels::kProcessorColumns; ++column)
            for (bool smallest : {false, true}) {
                SCOPED_TRACE(c.stream + " column " + std::to_string(column) + (smallest ? " smallest buffers" : ""));
                PinnedColumn pinned(column);
                Decoder d(jpeg);
                d.ctx->testSmallestBuffers = smallest;
                const jpegoracle::Image image = d.Run();
                ASSERT_TRUE(image.ok) << d.header << " " << d.start << " " << d.Worst();
                EXPECT_EQ(d.ctx->kernelPath, 1u);
                EXPECT_EQ(d.Worst(), kJpegOk);
                EXPECT_TRUE(image.pixels == expected);
            }
    }
}

// The codestream of a DICOM fixture of the lossless reader tests: from its
// SOI through its last EOI.
Bytes Codestream(const std::string& name) {
    const Bytes file = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegdec/lossless_dicom/" + name + ".dcm");
    const size_t soi = jpegedit::FindMarker(file, 0xD8);
    if (soi == jpegedit::npos) return {};
    Bytes stream(file.begin() + static_cast<std::ptrdiff_t>(soi), file.end());
    for (int n = 0; jpegedit::FindMarker(stream, 0xD9, n) != jpegedit::npos; ++n) {
        if (jpegedit::FindMarker(stream, 0xD9, n + 1) == jpegedit::npos) stream.resize(jpegedit::FindMarker(stream, 0xD9, n) + 2);
    }
    return stream;
}

// Every frame takes the scan decoder and row driver made for it: predictor
// 1 at 16 bits reconstructs while decoding; other single-component frames
// decode differences on the look-ahead tables, several components (and
// tables the look-ahead cannot hold) on kernel row 20.
TEST(LosslessDecoding, ScanDecoderAndRowDriverByFrame) {
    struct Case {
        const char* name;
        Bytes stream;
        LosslessDecoderFn decoder;
        RowDriverFn driver;
    };
    const Case cases[] = {
        {"g16 sv1", Lossless("g16_sv1_pt0.jpg"), DecodeLosslessScanSingleUnit, RowDriverLosslessSingleUnit},
        {"g16 sv1 pt1", Lossless("g16_sv1_pt1.jpg"), DecodeLosslessScanSingleUnit, RowDriverLosslessSingleUnit},
        {"g16 sv2", Lossless("g16_sv2_pt0.jpg"), DecodeLosslessScanSingle, RowDriverLossless16Gray},
        {"g12 sv1", Lossless("g12_sv1_pt0.jpg"), DecodeLosslessScanSingle, RowDriverLossless16Gray},
        {"g8 sv1", Lossless("g8_sv1_pt0.jpg"), DecodeLosslessScanSingle, RowDriverLossless},
        {"c8 sv1", Lossless("c8_sv1_pt0.jpg"), DecodeLosslessScanMulti, RowDriverLossless},
        {"shared long codes", Codestream("ct16_shared_long_codes"), DecodeLosslessScanMulti,
         RowDriverLossless16Gray},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder d(c.stream);
        ASSERT_EQ(StartDecompress(d.ctx), kJpegOk);
        EXPECT_EQ(d.ctx->losslessDecoder, c.decoder);
        EXPECT_EQ(d.ctx->rowDriver, c.driver);
        EXPECT_EQ(KernelState(d.ctx)->lookaheadDecoding, c.decoder != DecodeLosslessScanMulti);
    }
}

// Requests and frames the lossless decoding refuses, each with its status.
TEST(LosslessDecoding, RefusalsAndTheirStatuses) {
    const Bytes grey = Lossless("g8_sv1_pt0.jpg");
    const size_t sof = jpegedit::FindMarker(grey, 0xC3), sos = jpegedit::FindMarker(grey, 0xDA);
    auto edit = [&](size_t at, uint8_t value) {
        Bytes b = grey;
        b[at] = value;
        return b;
    };
    struct Case {
        const char* name;
        Bytes stream;
        void (*request)(JpegDecoderContext*);
        JpegStatus status;
    };
    const Case cases[] = {
        {"two samples across", edit(sof + 11, 0x21), nullptr, kJpegUnsupported},
        {"predictor 0", edit(sos + 7, 0), nullptr, kJpegBadValue},
        {"predictor 8", edit(sos + 7, 8), nullptr, kJpegBadValue},
        {"point transform 8 of precision 8", edit(sos + 9, 8), nullptr, kJpegBadValue},
        {"fewer rows", grey, [](JpegDecoderContext* c) { SetRowsWanted(c, 3); }, kJpegUnsupported},
        {"luminance only", grey, [](JpegDecoderContext* c) { SetLuminanceOnly(c, 1); }, kJpegUnsupported},
        {"half size", grey, [](JpegDecoderContext* c) { SetScaleDenominator(c, 2); }, kJpegBadArgument},
        {"generic path", grey, [](JpegDecoderContext* c) { c->testGenericOnly = 1; }, kJpegUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder d(c.stream);
        ASSERT_GE(d.header, kJpegOk);
        if (c.request) c.request(d.ctx);
        EXPECT_EQ(StartDecompress(d.ctx), c.status);
    }
}

// An AC table of the same id as the DC table, with more symbols, defined
// after it: the look-ahead tables take the DC table's own symbol count.
TEST(LosslessDecoding, AcTableOfTheSameIdLeavesTheLookaheadAlone) {
    for (const char* name : {"g8_sv1_pt0.jpg", "g16_sv1_pt0.jpg"}) {
        SCOPED_TRACE(name);
        const Bytes jpeg = Lossless(name);
        Bytes ac = {0x10};
        for (int l = 0; l < 16; ++l) ac.push_back(l == 7 ? 60 : 0);
        for (int k = 0; k < 60; ++k) ac.push_back(static_cast<uint8_t>(k));
        const size_t sos = jpegedit::FindMarker(jpeg, 0xDA);
        Decoder d(jpegedit::Splice(jpeg, sos, 0, jpegedit::Segment(0xC4, ac)));
        const jpegoracle::Image image = d.Run();
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(KernelState(d.ctx)->lookaheadDecoding, 1u);
        Decoder plain(jpeg);
        EXPECT_TRUE(image.pixels == plain.Run().pixels);
    }
}

// Damaged data in one restart interval: its rows come out as bytes of 128
// with a warning (units lost), every other row exact (the look-ahead
// decoders, the one that reconstructs, and row 20 with three components).
TEST(LosslessDecoding, DamagedIntervalIsPassedOver) {
    struct Case {
        const char* name;
        uint32_t intervalRows;
    };
    for (const Case& c : {Case{"mr12_restart1_sv4", 1}, Case{"ct16_restart2", 2}, Case{"rgb8_restart3_sv6", 3}}) {
        SCOPED_TRACE(c.name);
        const Bytes jpeg = Codestream(c.name);
        Decoder intact(jpeg);
        const jpegoracle::Image reference = intact.Run();
        ASSERT_TRUE(reference.ok);
        // Interval 2 follows RST1; its first bytes become codes of all ones.
        const size_t rst1 = jpegedit::FindMarker(jpeg, 0xD1);
        ASSERT_NE(rst1, jpegedit::npos);
        Decoder d(jpegedit::Splice(jpeg, rst1 + 2, 4, {0xFF, 0x00, 0xFF, 0x00}));
        const jpegoracle::Image image = d.Run();
        ASSERT_TRUE(image.ok);
        const size_t line = size_t{image.width} * image.channels;
        for (uint32_t y = 0; y < image.height; ++y) {
            const bool lost = y >= 2 * c.intervalRows && y < 3 * c.intervalRows;
            const Bytes row(image.pixels.begin() + static_cast<std::ptrdiff_t>(line * y),
                            image.pixels.begin() + static_cast<std::ptrdiff_t>(line * (y + 1)));
            const Bytes expected = lost ? Bytes(line, 128)
                                        : Bytes(reference.pixels.begin() + static_cast<std::ptrdiff_t>(line * y),
                                                reference.pixels.begin() + static_cast<std::ptrdiff_t>(line * (y + 1)));
            EXPECT_TRUE(row == expected) << "row " << y;
            EXPECT_EQ(d.rows[y], lost ? kJpegWarnCorruptData : kJpegOk) << "row " << y;
        }
        EXPECT_EQ(JpegDamage(d.ctx), kJpegDamageLost);
    }
}

// A stream cut anywhere in its scan or EOI, as it is and padded to an even
// length with a zero (as a DICOM fragment, whose pad is no data): every
// row, those before the cut exact, from the row that runs out on bytes of
// 128 (as rows passed over after damage); the warning from that row on, or
// from the interval end whose marker is missing, or on the last row; nothing
// is read past the data. Rows lost are units lost; where every row is as in
// the whole stream the input ended after the data, before the EOI. A byte
// of the data made 0xFF before one that is neither 0 nor 0xFF is a marker,
// where the data ends: without restart intervals the rows of the stream cut
// there, units lost. One made 0x01 never has every row claimed decoded.
TEST(LosslessDecoding, CutStreamsKeepTheRowsBeforeTheCut) {
    const Bytes streams[] = {Lossless("g16_sv1_pt0.jpg"), Lossless("g12_sv2_pt0.jpg"), Lossless("c16_sv5_pt0.jpg"),
                             Lossless("g8_sv1_pt0.jpg"),  Lossless("g16_sv6_pt0.jpg"), Lossless("g12_sv6_pt0.jpg"),
                             Codestream("ct16_restart2")};
    for (const Bytes& jpeg : streams) {
        Decoder intact(jpeg);
        const jpegoracle::Image reference = intact.Run();
        ASSERT_TRUE(reference.ok);
        const size_t line = size_t{reference.width} * reference.channels;
        const size_t data = jpegedit::ScanData(jpeg, jpegedit::FindMarker(jpeg, 0xDA));
        const bool restart = jpegedit::FindMarker(jpeg, 0xDD) != jpegedit::npos;
        for (size_t at = data; at + 2 < jpeg.size(); ++at) {
            SCOPED_TRACE("byte " + std::to_string(at));
            Bytes changed = jpeg;
            changed[at] = 0x01;
            Decoder d(changed);
            d.Run();
            EXPECT_EQ(JpegDamage(d.ctx) & kJpegDamageNoEnd, 0u);
            if (restart || jpeg[at + 1] == 0 || jpeg[at + 1] == 0xFF) continue;
            changed[at] = 0xFF;
            Decoder marker(changed), cut(Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(at)));
            EXPECT_TRUE(marker.Run().pixels == cut.Run().pixels);
            EXPECT_EQ(JpegDamage(marker.ctx), kJpegDamageLost);
        }
        for (size_t cut = 2 * data; cut < 2 * jpeg.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut / 2) + (cut % 2 ? ", padded" : ""));
            Bytes stream(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut / 2));
            if (cut % 2 && stream.size() % 2 == 0) continue;
            if (cut % 2) stream.push_back(0);
            Decoder d(stream);
            const jpegoracle::Image image = d.Run();
            ASSERT_TRUE(image.ok);
            EXPECT_EQ(d.Worst(), kJpegWarnCorruptData);
            // Rows as decoded, up to the first that differs; bytes of 128 from there on.
            const auto first = std::mismatch(image.pixels.begin(), image.pixels.end(), reference.pixels.begin()).first;
            const auto lost = first - (first - image.pixels.begin()) % static_cast<std::ptrdiff_t>(line);
            EXPECT_EQ(std::count(lost, image.pixels.end(), 128), image.pixels.end() - lost);
            EXPECT_EQ(JpegDamage(d.ctx), lost == image.pixels.end() ? kJpegDamageNoEnd : kJpegDamageLost);
            // Rows without the warning (all of them as decoded), then rows with it.
            EXPECT_TRUE(std::is_partitioned(d.rows.begin(), d.rows.end(), [](JpegStatus s) { return s == kJpegOk; }));
            EXPECT_LE(std::count(d.rows.begin(), d.rows.end(), kJpegOk) * static_cast<std::ptrdiff_t>(line),
                      lost - image.pixels.begin());
        }
    }
}

// The marker readers of the path's buffer over hand-made bytes: the marker
// found, the status, and a DNL's line count.
TEST(KernelPathMarkers, ReadersOverHandMadeBytes) {
    struct Case {
        const char* name;
        Bytes bytes;
        JpegStatus (*read)(JpegDecoderContext*);
        JpegStatus status;
        uint8_t marker;  // scanEndMarker afterwards
        uint16_t height;
    };
    auto resync = [](JpegDecoderContext* c) { return ResyncToRestartByKernel(c, 2); };
    const Case cases[] = {
        {"RST3", {0xFF, 0xD3}, ReadScanEndMarkerByKernel, kJpegOk, 0xD3, 0},
        {"fill bytes and EOI", {0xFF, 0xFF, 0xD9}, ReadScanEndMarkerByKernel, kJpegOk, 0xD9, 0},
        {"not a marker", {0x12, 0xD3}, ReadScanEndMarkerByKernel, kJpegCorruptData, 0xD7, 0},
        {"stuffed zero", {0xFF, 0x00}, ReadScanEndMarkerByKernel, kJpegCorruptData, 0xD7, 0},
        {"other marker", {0xFF, 0xC4}, ReadScanEndMarkerByKernel, kJpegCorruptData, 0xD7, 0},
        {"DNL", {0xFF, 0xDC, 0x00, 0x04, 0x01, 0x2C}, ReadScanEndMarkerByKernel, kJpegCorruptData, 0xD7, 300},
        {"DNL cut short", {0xFF, 0xDC, 0x00, 0x04, 0x01}, ReadScanEndMarkerByKernel, kJpegCorruptData, 0xD7, 0},
        {"nothing", {}, ReadScanEndMarkerByKernel, kJpegReadError, 0xD7, 0},
        {"second RST after data", {0x12, 0xFF, 0x00, 0xFF, 0xD0, 0x34, 0xFF, 0xC4, 0xFF, 0xD1}, resync, kJpegOk, 0xD1,
         0},
        {"EOI in the search", {0x12, 0xFF, 0xD0, 0x34, 0xFF, 0xD9}, resync, kJpegOk, 0xD9, 0},
        {"DNL in the search", {0x12, 0xFF, 0xDC, 0x00, 0x04, 0x00, 0x09}, resync, kJpegCorruptData, 0xD7, 9},
        {"end in the search", {0x12, 0xFF, 0xD0, 0x34}, resync, kJpegReadError, 0xD0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoder d(jpegoracle::ReadFile(Fixture("grey.jpg")));
        ASSERT_EQ(StartDecompress(d.ctx), kJpegOk);
        ASSERT_EQ(d.ctx->kernelPath, 1u);
        KernelPathState* s = KernelState(d.ctx);
        std::copy(c.bytes.begin(), c.bytes.end(), s->inputStart);
        s->filled = static_cast<uint32_t>(c.bytes.size());
        s->sourceEnded = 1;
        s->inputPosition = s->inputStart;
        AdvanceKernelInput(s, 0);
        d.ctx->height = 0;
        EXPECT_EQ(c.read(d.ctx), c.status);
        EXPECT_EQ(d.ctx->scanEndMarker, c.marker);
        EXPECT_EQ(d.ctx->height, c.height);
    }
}

}  // namespace
