// The JPEG readers: creators, decode engine and format information, on
// cjpeg's streams against libjpeg-turbo, and on damaged streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "jpegdec/jpeg_decoder.h"
#include "tests/jpegdec/jpeg_stream_edit.h"
#include "tests/vrx/core/jpeg/jpeg_reader_support.h"
#include "vrx/core/jfif/vrx_jfifinfo.h"
#include "vrx/core/jfif/vrx_readjfif.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/core/jpeg/vrx_jpegtableinfo.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/core/jpeg/vrx_readlosslessjpeg.h"

namespace {

using namespace vrx;
using namespace jpegreadertest;
using jpegedit::FindMarker;
using jpegedit::Segment;
using jpegedit::Splice;

VRX_Engine* read_jpeg(VRX_Manager* m, VRX_InputStorage* s, uint32_t scale = 256) {
    return VRX_ReadJPEG(m).engine(s, scale);
}

// ---- the decode engine against libjpeg ----

TEST(ReadJPEG, DecodesLikeLibjpegAtEveryScaleItOffers) {
    struct Case {
        const char* file;
        uint32_t scale;
        const VRX_ColorType* (*color)();
    };
    const Case cases[] = {
        {"grey.jpg", 256, VRX_ColorType::gray},        {"grey.jpg", 128, VRX_ColorType::gray},
        {"grey_4097x3.jpg", 32, VRX_ColorType::gray},  {"s444.jpg", 64, VRX_ColorType::ycbcr},
        {"s420.jpg", 256, VRX_ColorType::ycbcr},       {"s420.jpg", 128, VRX_ColorType::ycbcr},
        {"s420_17x9.jpg", 32, VRX_ColorType::ycbcr},   {"s411.jpg", 256, VRX_ColorType::ycbcr},
        {"prog_s420.jpg", 256, VRX_ColorType::ycbcr},  {"prog_script.jpg", 256, VRX_ColorType::ycbcr},
        {"separate_scans.jpg", 256, VRX_ColorType::ycbcr}, {"cmyk.jpg", 256, VRX_ColorType::cmyk},
        {"s422_mixed.jpg", 256, VRX_ColorType::ycbcr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.scale));
        const Read r(read_fixture(c.file), [&](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s, c.scale); });
        ASSERT_NE(r.engine, nullptr);
        EXPECT_TRUE(r.shape.raw);
        EXPECT_EQ(r.shape.color, c.color());
        const jpegoracle::Image ref = jpegoracle::Decode(r.bytes, 256 / c.scale);
        const jpegoracle::Image full = jpegoracle::Decode(r.bytes);
        // The frame size over the scale, rounded, never below 1.
        const auto scaled = [&](uint32_t n) { return std::max(1u, (2 * n * c.scale / 256 + 1) / 2); };
        EXPECT_EQ(r.image.width, scaled(full.width));
        EXPECT_EQ(r.lines(), scaled(full.height));
        EXPECT_LE(jpegoracle::MaxDifference(r.image, ref), 1);
        EXPECT_TRUE(r.clean);
    }
}

// The JFIF road gives the same pixels; a stream without JFIF APP0 does not
// take it, and the storage is back where it was.
TEST(ReadJPEG, JfifRoadAndItsRefusals) {
    const Read jfif(read_fixture("s420.jpg"), [](VRX_Manager* m, VRX_InputStorage* s) {
        return VRX_ReadJFIF(m).engine(s, 256);
    });
    EXPECT_EQ(jfif.shape.color, VRX_ColorType::ycbcr());
    EXPECT_LE(jpegoracle::MaxDifference(jfif.image, jpegoracle::Decode(jfif.bytes)), 1);

    const Read adobe(read_fixture("cmyk.jpg"), [](VRX_Manager* m, VRX_InputStorage* s) {
        VRX_JFIFInfo info(m);
        EXPECT_FALSE(info.load(s));
        EXPECT_EQ(s->position(), 0);
        return VRX_ReadJFIF(m).engine(s, 256);
    });
    EXPECT_TRUE(adobe.reported(VRX_ERROR_FORMAT_INFO, "VRX_ReadJFIF::engine()"));

    // A JFIF segment in front of the four-channel frame: not a JFIF image.
    const jpegedit::Bytes app0 = Segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 1, 0, 72, 0, 72, 0, 0});
    const Read four(Splice(read_fixture("cmyk.jpg"), 2, 0, app0), [](VRX_Manager* m, VRX_InputStorage* s) {
        return VRX_ReadJFIF(m).engine(s, 256);
    });
    EXPECT_EQ(four.engine, nullptr);
    EXPECT_TRUE(four.reported(VRX_ERROR_HEADER, "VRX_ReadJFIF::initiate()"));
}

// ---- format information ----

// The information of every test stream against libjpeg's header reading.
TEST(JPEGInfo, HeaderFieldsMatchLibjpegs) {
    const char* const files[] = {"grey.jpg", "grey_1x1.jpg", "grey_4097x3.jpg", "s444.jpg", "s422.jpg",
                                 "s440.jpg", "s420.jpg", "s411.jpg", "s422_mixed.jpg", "prog_s420.jpg",
                                 "prog_s422_mixed.jpg", "separate_scans.jpg", "cmyk.jpg"};
    for (const char* name : files) {
        SCOPED_TRACE(name);
        vrx_test::TestManager manager;
        const jpegedit::Bytes bytes = read_fixture(name);
        const jpegoracle::HeaderInfo ref = jpegoracle::ReadHeaderInfo(bytes);
        ASSERT_TRUE(ref.ok);
        VRX_InputStorage* s = pixeltest::storage_over(manager, bytes);
        VRX_JPEGInfo info(&manager);
        ASSERT_TRUE(info.load(s));
        EXPECT_EQ(info.width, ref.width);
        EXPECT_EQ(info.height, ref.height);
        EXPECT_EQ(info.channels, ref.components);
        EXPECT_EQ(info.bits, 8u);
        EXPECT_EQ(info.is_progressive(), ref.progressive);
        EXPECT_EQ(info.sampling(), ref.sampling);
        EXPECT_EQ(info.has_jfif(), ref.jfif);
        EXPECT_EQ(info.has_adobe(), ref.adobe);
        EXPECT_EQ(info.is_non_interleaved(), std::string(name) == "separate_scans.jpg");
        const VRX_ColorType* expected = ref.components == 1 ? VRX_ColorType::gray()
                                        : ref.components == 3 ? VRX_ColorType::ycbcr()
                                                              : VRX_ColorType::cmyk();
        EXPECT_EQ(info.color_type(), expected);
        s->destroy();
    }
}

TEST(JPEGInfo, HeaderFlagsAndDensities) {
    vrx_test::TestManager manager;
    auto load = [&](const jpegedit::Bytes& bytes, VRX_JPEGInfo& info) {
        VRX_InputStorage* s = pixeltest::storage_over(manager, bytes);
        const bool ok = info.load(s);
        s->destroy();
        return ok;
    };
    const jpegedit::Bytes grey = read_fixture("grey.jpg");
    VRX_JPEGInfo info(&manager);
    ASSERT_TRUE(load(grey, info));
    EXPECT_STREQ(info.format_name(), "jpeg");
    EXPECT_EQ(info.width, 61u);
    EXPECT_EQ(info.height, 45u);
    EXPECT_EQ(info.bits, 8u);
    EXPECT_EQ(info.channels, 1u);
    EXPECT_EQ(info.color_type(), VRX_ColorType::gray());
    EXPECT_EQ(info.encode_type(), VRX_EncodeType::jpeg());
    EXPECT_TRUE(info.has_jfif());
    EXPECT_FALSE(info.has_adobe());
    // cjpeg's JFIF says aspect ratio 1:1 (units 0): densities 0, a warning.
    EXPECT_EQ(manager.status().code, VRX_WARNING_HEADER + 0x10);
    manager.reset();

    VRX_JPEGInfo cmyk(&manager);
    ASSERT_TRUE(load(read_fixture("cmyk.jpg"), cmyk));
    EXPECT_TRUE(cmyk.has_adobe());
    EXPECT_EQ(cmyk.color_type(), VRX_ColorType::cmyk());
    EXPECT_EQ(cmyk.sampling(), 0x11111111u);

    // Dots per centimetre become dots per inch.
    jpegedit::Bytes cm = grey;
    const size_t app0 = FindMarker(cm, 0xE0);
    cm[app0 + 11] = 2;
    cm[app0 + 12] = 0;
    cm[app0 + 13] = 100;
    cm[app0 + 14] = 0;
    cm[app0 + 15] = 100;
    VRX_JFIFInfo jfif(&manager);
    ASSERT_TRUE(load(cm, jfif));
    EXPECT_STREQ(jfif.format_name(), "jfif");
    EXPECT_EQ(jfif.jfif_x_density(), 254u);
    EXPECT_EQ(jfif.resolution_info()->vertical, 254.0);

    // An APP1 of five bytes starting "Exif" is not Exif.
    VRX_JPEGInfo exif(&manager);
    ASSERT_TRUE(load(Splice(grey, 2, 0, Segment(0xE1, {'E', 'x', 'i', 'f', 0})), exif));
    EXPECT_FALSE(exif.has_exif());
    VRX_JPEGInfo exif6(&manager);
    ASSERT_TRUE(load(Splice(grey, 2, 0, Segment(0xE1, {'E', 'x', 'i', 'f', 0, 0})), exif6));
    EXPECT_TRUE(exif6.has_exif());
}

// A stream in the abbreviated format decodes with the tables of a
// tables-only stream.
TEST(JPEGInfo, AbbreviatedStreamTakesItsTablesFromATablesRecord) {
    const jpegedit::Bytes full = read_fixture("s420.jpg");
    jpegedit::Bytes tables = {0xFF, 0xD8}, image = full;
    for (uint8_t marker : {0xDB, 0xC4}) {
        for (size_t at; (at = FindMarker(image, marker)) != jpegedit::npos;) {
            const size_t n = 2 + jpegedit::SegmentLength(image, at);
            tables.insert(tables.end(), image.begin() + at, image.begin() + at + n);
            image = Splice(image, at, n);
        }
    }
    tables.insert(tables.end(), {0xFF, 0xD9});
    const Read r(image, [&](VRX_Manager* m, VRX_InputStorage* s) -> VRX_Engine* {
        VRX_InputStorage* ts = pixeltest::storage_over(*static_cast<vrx_test::TestManager*>(m), tables);
        VRX_JPEGTableInfo table_info(m);
        const bool loaded = table_info.load(ts);
        ts->destroy();
        EXPECT_TRUE(loaded);
        VRX_JPEGInfo info(m);
        if (!info.load(s, VRX_ColorType::unknown(), &table_info, 0)) return nullptr;
        return VRX_ReadJPEG(m).engine(s, info, 256);
    });
    ASSERT_NE(r.engine, nullptr);
    EXPECT_LE(jpegoracle::MaxDifference(r.image, jpegoracle::Decode(full)), 1);
}

// ---- refusals and damaged streams ----

jpegedit::Bytes patched(const char* file, size_t (*where)(const jpegedit::Bytes&), uint8_t value) {
    jpegedit::Bytes b = read_fixture(file);
    b[where(b)] = value;
    return b;
}

struct Refusal {
    const char* name;
    jpegedit::Bytes bytes;
    uint32_t scale;
    uint32_t code;
    const char* function;
};

// Streams the readers refuse, each with the first status of its job.
TEST(ReadJPEG, RefusedStreamsNameTheirCause) {
    using B = jpegedit::Bytes;
    const B grey = read_fixture("grey.jpg"), prog = read_fixture("prog_grey.jpg");
    const size_t sof0 = FindMarker(grey, 0xC0), sof2 = FindMarker(prog, 0xC2);
    const size_t dht = FindMarker(grey, 0xC4);
    // A DC table whose 12 codes are all claimed by length 2: they cannot fit.
    B overfull = grey;
    for (int l = 0; l < 16; ++l) overfull[dht + 5 + l] = 0;
    overfull[dht + 5 + 1] = 12;
    // The second scan (the first AC scan) with Se 64, Ss above Se, Al 14.
    const size_t sos2 = FindMarker(prog, 0xDA, 1), tail2 = sos2 + jpegedit::SegmentLength(prog, sos2) - 1;
    B se = prog, ss = prog, al = prog;
    se[tail2 + 1] = 64;
    ss[tail2] = 9, ss[tail2 + 1] = 3;
    al[tail2 + 2] = 14;
    B huge = read_fixture("prog_s444.jpg");
    const size_t huge_sof = FindMarker(huge, 0xC2);
    for (int i = 5; i < 9; ++i) huge[huge_sof + i] = 0xFF;
    const Refusal refusals[] = {
        {"no SOI", Splice(grey, 0, 2, {0x00, 0x00}), 256, VRX_ERROR_FORMAT_INFO, "VRX_ReadJPEG::engine()"},
        {"codes do not fit their lengths", overfull, 256, VRX_ERROR_HEADER, "VRX_JPEGInfoInternal::get_jpeginfo()"},
        {"segment length below 2", Splice(grey, 2, 0, {0xFF, 0xF0, 0x00, 0x01}), 256, VRX_ERROR_HEADER,
         "VRX_JPEGInfoInternal::get_jpeginfo()"},
        {"Se above 63", se, 256, VRX_ERROR_HEADER, "VRX_JPEGInfoInternal::execute()"},
        {"Ss above Se", ss, 256, VRX_ERROR_HEADER, "VRX_JPEGInfoInternal::execute()"},
        {"Al above 13", al, 256, VRX_ERROR_HEADER, "VRX_JPEGInfoInternal::execute()"},
        {"scale 0", grey, 0, VRX_ERROR_ARGUMENT, "VRX_ReadJPEG::engine()"},
        {"progressive store above its cap", huge, 256, VRX_ERROR_OUT_OF_MEMORY, "VRX_DecodeJPEGEngine::initiate()"},
        {"SOF1 at 8 bits", Splice(grey, sof0 + 1, 1, {0xC1}), 256, VRX_ERROR_UNSUPPORTED,
         "VRX_JPEGInfoInternal::initiate()"},
        {"16-bit quantisation table", patched("../jpegkernels/baseline/c_q5_420.jpg",
                                              [](const B& b) { return FindMarker(b, 0xC1) + 1; }, 0xC0),
         256, VRX_ERROR_UNSUPPORTED, "VRX_JPEGInfoInternal::initiate()"},
        {"arithmetic coding", Splice(grey, sof0 + 1, 1, {0xC9}), 256, VRX_ERROR_UNSUPPORTED,
         "VRX_JPEGInfoInternal::initiate()"},
        {"hierarchical", Splice(grey, sof0 + 1, 1, {0xC5}), 256, VRX_ERROR_UNSUPPORTED,
         "VRX_JPEGInfoInternal::initiate()"},
        {"12-bit DCT", Splice(prog, sof2 + 4, 1, {12}), 256, VRX_ERROR_UNSUPPORTED, "VRX_DecodeJPEGEngine::initiate()"},
        {"progressive at half size", prog, 128, VRX_ERROR_UNSUPPORTED, "VRX_DecodeJPEGEngine::initiate()"},
        {"progressive 2x2,2x1,2x1", read_fixture("prog_s422_mixed.jpg"), 256, VRX_ERROR_UNSUPPORTED,
         "VRX_DecodeJPEGEngine::initiate()"},
        {"one component per scan at half size", read_fixture("separate_scans.jpg"), 128,
         VRX_ERROR_UNSUPPORTED, "VRX_DecodeJPEGEngine::initiate()"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        const Read read(r.bytes, [&](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s, r.scale); });
        EXPECT_TRUE(read.reported(r.code, r.function))
            << std::hex << read.first.code << " " << read.first.function;
        EXPECT_FALSE(read.clean);
    }
    // Only lossless frames take the lossless reader.
    const Read lossless(grey, [](VRX_Manager* m, VRX_InputStorage* s) { return VRX_ReadLosslessJPEG(m).engine(s); });
    EXPECT_TRUE(lossless.reported(VRX_ERROR_UNSUPPORTED, "VRX_ReadLosslessJPEG::engine()"));
}

// The i-th restart marker of the stream (0xFF of RSTn), counting from 0.
size_t restart_marker(const jpegedit::Bytes& b, int i) {
    int seen = 0;
    for (size_t k = 0; k + 1 < b.size(); ++k)
        if (b[k] == 0xFF && b[k + 1] >= 0xD0 && b[k + 1] <= 0xD7 && seen++ == i) return k;
    return jpegedit::npos;
}

// A damaged restart interval: its MCUs come out mid-grey with a warning,
// every MCU outside it as libjpeg decodes the undamaged stream. The data
// is either gone (the decoder meets the next marker early) or replaced by
// bytes that decode to no code (the marker is searched for); the first
// interval of a scan counts its end marker as RST0.
TEST(ReadJPEG, DamagedRestartIntervalIsPassedOver) {
    const jpegedit::Bytes good = read_fixture("s420_restart.jpg");
    const jpegoracle::Image ref = jpegoracle::Decode(good);
    const size_t dri = FindMarker(good, 0xDD);
    const uint32_t interval = (uint32_t{good[dri + 4]} << 8) | good[dri + 5];
    const size_t data = jpegedit::ScanData(good, FindMarker(good, 0xDA));
    const uint32_t mcus_wide = (ref.width + 15) / 16;
    for (int k : {0, 3})
        for (bool garbage : {false, true}) {
            SCOPED_TRACE("interval " + std::to_string(k) + (garbage ? " garbage" : " gone"));
            const size_t from = k == 0 ? data : restart_marker(good, k - 1) + 2;
            const size_t to = restart_marker(good, k);
            jpegedit::Bytes fill;
            for (size_t i = from; garbage && i + 1 < to; i += 2) fill.insert(fill.end(), {0xFF, 0x00});
            const Read r(Splice(good, from, to - from, fill), [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
            EXPECT_TRUE(r.manager.error_handler()->saw(VRX_WARNING_DATA, "VRX_DecodeJPEGEngine::execute()"));
            EXPECT_TRUE(r.clean);
            ASSERT_EQ(r.lines(), ref.height);
            int worst = 0, grey_off = 0;
            for (uint32_t y = 0; y < ref.height; ++y)
                for (uint32_t x = 0; x < ref.width; ++x) {
                    const uint32_t mcu = (y / 16) * mcus_wide + x / 16;
                    const bool damaged = mcu / interval == static_cast<uint32_t>(k);
                    for (uint32_t c = 0; c < 3; ++c) {
                        if (damaged)
                            grey_off += r.image.at(x, y, c) != 128;
                        else
                            worst = std::max(worst, std::abs(r.image.at(x, y, c) - ref.at(x, y, c)));
                    }
                }
            EXPECT_EQ(grey_off, 0);
            EXPECT_LE(worst, 1);
        }
}

// Damage in a progressive scan ends that scan: a warning, every line, and
// pixels that only miss what the scan (the last refinement of luma) would
// have refined: on average within 2 of libjpeg's.
TEST(ReadJPEG, DamagedProgressiveScanEndsEarly) {
    const jpegedit::Bytes good = read_fixture("prog_s420.jpg");
    const size_t sos = FindMarker(good, 0xDA, 9), data = jpegedit::ScanData(good, sos);
    const size_t end = FindMarker(good, 0xD9);
    jpegedit::Bytes garbage;
    for (size_t i = data; i + 1 < end; i += 2) garbage.insert(garbage.end(), {0xFF, 0x00});
    const Read r(Splice(good, data, end - data, garbage), [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
    EXPECT_TRUE(r.manager.error_handler()->saw(VRX_WARNING_DATA, "VRX_DecodeJPEGEngine::execute()"));
    EXPECT_TRUE(r.clean);
    ASSERT_EQ(r.lines(), 45u);
    const jpegoracle::Image ref = jpegoracle::Decode(good);
    double total = 0;
    for (size_t i = 0; i < ref.pixels.size(); ++i) total += std::abs(r.image.pixels[i] - ref.pixels[i]);
    EXPECT_LT(total / static_cast<double>(ref.pixels.size()), 2.0);
}

// A tables-only stream must start with SOI.
TEST(JPEGInfo, TablesWithoutSoiAreRefused) {
    vrx_test::TestManager manager;
    const jpegedit::Bytes bytes = {0x00, 0x00, 0xFF, 0xD9};
    VRX_InputStorage* s = pixeltest::storage_over(manager, bytes);
    VRX_JPEGTableInfo tables(&manager);
    EXPECT_FALSE(tables.load(s));
    EXPECT_EQ(s->position(), 0);
    EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_DATA, "VRX_JPEGTableInfoInternal::initiate()"));
    s->destroy();
}

// A stream cut short gives every line, with the warning: a sequential
// stream the lines before the cut as decoded and mid-grey after it, a
// progressive one the lines from the scans decoded before the cut.
TEST(ReadJPEG, TruncatedStreamKeepsTheLinesBeforeTheCut) {
    const jpegedit::Bytes good = read_fixture("s420.jpg");
    const size_t data = jpegedit::ScanData(good, FindMarker(good, 0xDA));
    jpegedit::Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(data + (good.size() - data) * 7 / 10));
    const Read r(cut, [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
    EXPECT_TRUE(r.manager.error_handler()->saw(VRX_WARNING_DATA, "VRX_DecodeJPEGEngine::execute()"));
    EXPECT_TRUE(r.clean);
    ASSERT_EQ(r.lines(), 45u);
    jpegoracle::Image top = r.image;
    top.height = 16;  // the first row of MCUs
    EXPECT_LE(jpegoracle::MaxDifference(top, jpegoracle::Decode(good)), 1);
    EXPECT_EQ(r.image.pixels.back(), 128);

    const jpegedit::Bytes prog = read_fixture("prog_s420.jpg");
    const Read p(jpegedit::Bytes(prog.begin(), prog.begin() + static_cast<std::ptrdiff_t>(prog.size() * 6 / 10)),
                 [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
    EXPECT_TRUE(p.manager.error_handler()->saw(VRX_WARNING_DATA, "VRX_DecodeJPEGEngine::execute()"));
    EXPECT_TRUE(p.clean);
    EXPECT_EQ(p.lines(), 45u);
}

// Between progressive scans a restart interval is taken and other segments
// are passed over by their length, whatever bytes they hold.
TEST(ReadJPEG, SegmentsBetweenScansArePassedOverByLength) {
    const jpegedit::Bytes prog = read_fixture("prog_grey.jpg");
    const jpegedit::Bytes between = {0xFF, 0xFE, 0, 6, 0xFF, 0xD9, 0xFF, 0xDA, 0xFF, 0xDD, 0, 4, 0, 0};
    const Read r(Splice(prog, FindMarker(prog, 0xDA, 2), 0, between),
                 [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
    EXPECT_TRUE(r.clean);
    EXPECT_LE(jpegoracle::MaxDifference(r.image, jpegoracle::Decode(prog)), 1);
}

}  // namespace

namespace {

// RGB asked through the information: the decoder converts and the header
// says s_rgb.
TEST(ReadJPEG, RgbAskedThroughTheInformation) {
    const Read r(read_fixture("s420_restart.jpg"), [](VRX_Manager* m, VRX_InputStorage* s) -> VRX_Engine* {
        VRX_JPEGInfo info(m);
        if (!info.load(s, VRX_ColorType::s_rgb(), nullptr, 0)) return nullptr;
        return VRX_ReadJPEG(m).engine(s, info, 256);
    });
    EXPECT_EQ(r.shape.color, VRX_ColorType::s_rgb());
    const jpegoracle::Image ref = jpegoracle::Decode(r.bytes, 1, true);
    int worst = 0;
    for (size_t i = 0; i < ref.pixels.size(); ++i)
        if (ref.pixels[i] != 0 && ref.pixels[i] != 255)
            worst = std::max(worst, std::abs(r.image.pixels[i] - ref.pixels[i]));
    EXPECT_LE(worst, 3);
}

// 4:2:2 and 4:1:1 at reduced sizes: luma within 1 of libjpeg. Where the
// chroma planes come from the full-size chroma transform, they are the
// truncated mean of the full-size image's chroma rows at those positions
// (within 1: the full-size image comes from the kernel path's transform).
TEST(ReadJPEG, SubsampledChromaAtReducedSizes) {
    struct Case {
        const char* file;
        uint32_t scale;
        uint32_t rows;  // full-size rows averaged per output row; 0: not compared
        uint32_t step;  // full-size columns per output column
    };
    const Case cases[] = {{"s422.jpg", 128, 2, 2}, {"s422.jpg", 64, 0, 0}, {"s422.jpg", 32, 0, 0},
                          {"s411.jpg", 128, 2, 2}, {"s411.jpg", 64, 4, 4}, {"s411.jpg", 32, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.scale));
        const Read r(read_fixture(c.file), [&](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s, c.scale); });
        const Read full(r.bytes, [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
        const jpegoracle::Image ref = jpegoracle::Decode(r.bytes, 256 / c.scale);
        ASSERT_TRUE(r.clean && full.clean);
        int luma = 0, chroma = 0;
        for (uint32_t y = 0; y < std::min(ref.height, r.image.height); ++y)
            for (uint32_t x = 0; x < std::min(ref.width, r.image.width); ++x) {
                luma = std::max(luma, std::abs(r.image.at(x, y, 0) - ref.at(x, y, 0)));
                if (c.rows == 0 || (y + 1) * c.rows > full.image.height) continue;
                for (uint32_t k = 1; k < 3; ++k) {
                    uint32_t sum = 0;
                    for (uint32_t j = 0; j < c.rows; ++j) sum += full.image.at(x * c.step, y * c.rows + j, k);
                    chroma = std::max(chroma, std::abs(r.image.at(x, y, k) - static_cast<int>(sum / c.rows)));
                }
            }
        EXPECT_LE(luma, 1);
        EXPECT_LE(chroma, 1);
    }
}

// Decoders on several threads at once, each with its own manager: every
// image as on one thread, and the library left without users.
TEST(ReadJPEG, DecodersOnSeveralThreads) {
    const char* const files[] = {"s420.jpg", "prog_s420.jpg", "separate_scans.jpg", "grey.jpg"};
    std::vector<jpegoracle::Bytes> expected;
    for (const char* f : files) {
        const Read r(read_fixture(f), [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
        expected.push_back(r.image.pixels);
    }
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                const size_t k = static_cast<size_t>(t + i) % 4;
                const Read r(read_fixture(files[k]), [](VRX_Manager* m, VRX_InputStorage* s) { return read_jpeg(m, s); });
                if (r.image.pixels != expected[k]) ++mismatches;
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(jpegdec::JpegLibraryUsers(), 0u);
}

}  // namespace
