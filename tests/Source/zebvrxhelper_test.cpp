// The bridge's two chains. Decode: significant bits masked or sign-extended,
// the rescale in the samples or carried to the render, the default window.
// Render: DICOM's linear VOI function against a model of it over every
// sample type, the view's geometry, the bitmap file.
#include "Source/zebvrxhelper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "Source/czeboverlaypixelvalue.h"
#include "Source/frameimageinfo.h"
#include "tests/Source/render_test_support.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"
#include "vrx/framework/base/vrx_colortype.h"

namespace {

using platform::Bitmap;
using platform::Rect;

using rendertest::write_file;

// A grey image of 16-bit words with the given significant bits, sign,
// window and rescale (absent when empty).
std::string grey_file(const std::string& name, uint16_t bits, uint16_t stored, bool isSigned,
                      const std::string& window, const std::string& intercept,
                      const std::string& slope, const std::vector<uint16_t>& words,
                      uint16_t columns, const std::string& photometric = "MONOCHROME2") {
    dicomtest::Writer w;
    w.u16(0x0028, 0x0002, 1);
    w.text(0x0028, 0x0004, "CS", photometric);
    w.u16(0x0028, 0x0010, uint16_t(words.size() / columns));
    w.u16(0x0028, 0x0011, columns);
    w.u16(0x0028, 0x0100, bits);
    w.u16(0x0028, 0x0101, stored);
    w.u16(0x0028, 0x0102, uint16_t(stored - 1));
    w.u16(0x0028, 0x0103, isSigned);
    if (!window.empty()) {
        w.text(0x0028, 0x1050, "DS", window.substr(0, window.find(',')));
        w.text(0x0028, 0x1051, "DS", window.substr(window.find(',') + 1));
    }
    if (!intercept.empty()) w.text(0x0028, 0x1052, "DS", intercept);
    if (!slope.empty()) w.text(0x0028, 0x1053, "DS", slope);
    std::vector<uint8_t> pixels;
    for (uint16_t v : words) {
        if (bits == 8) {
            pixels.push_back(uint8_t(v));
        } else {
            pixels.push_back(uint8_t(v));
            pixels.push_back(uint8_t(v >> 8));
        }
    }
    if (pixels.size() % 2) pixels.push_back(0);
    w.pixel_data(pixels);
    return write_file(name, w.bytes());
}

double sample(const ZEBImageMemory& m, size_t i) {
    if (m.m_bitsPerSample == 8) return m.m_signed ? int8_t(m.m_buffer[i]) : m.m_buffer[i];
    uint16_t v;
    std::memcpy(&v, &m.m_buffer[i * 2], 2);
    return m.m_signed ? int16_t(v) : v;
}

TEST(DecodeChain, SignificantBitsRescaleAndWindow) {
    struct Case {
        const char* name;
        uint16_t bits, stored;
        bool isSigned;
        std::string window, intercept, slope;
        int32_t memoryBits, memorySigned;
        bool rescaleInSamples;
        double center, width;  // the default window
    };
    // clang-format off
    const Case cases[] = {
        {"12 of 16 unsigned, masked", 16, 12, false, "", "", "", 16, 0, true, 0, 0},
        {"12 of 16 signed, sign copied", 16, 12, true, "", "", "", 16, 1, true, 0, 0},
        {"CT: signed 12 bits, -1024", 16, 12, true, "40,400", "-1024", "1", 16, 1, true, 40, 400},
        {"16 bits, -1024 beyond 16 bits", 16, 16, false, "", "-1024", "1", 16, 0, false, 0, 0},
        {"8 bits, x2 + 10 widened", 8, 8, false, "", "10", "2", 16, 0, true, 0, 0},
        {"8 bits, x3 - 100 signed", 8, 8, false, "", "-100", "3", 16, 1, true, 0, 0},
        {"fractional slope carried", 16, 10, false, "", "0", "0.5", 16, 0, false, 0, 0},
        {"signed 4 of 8", 8, 4, true, "", "", "", 8, 1, true, 0, 0},
        {"negative slope carried", 16, 12, false, "", "100", "-1.5", 16, 0, false, 0, 0},
        {"width below 1: the range", 16, 12, false, "7,0.5", "", "", 16, 0, true, 0, 0},
    };
    // clang-format on
    std::mt19937 random(23);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint16_t> words(24);
        for (uint16_t& v : words) v = uint16_t(random() & (c.bits == 8 ? 0xFF : 0xFFFF));
        const std::string path = grey_file("decode_chain.dcm", c.bits, c.stored, c.isSigned,
                                           c.window, c.intercept, c.slope, words, 6);
        FrameImageInfo frame;
        ZEBVRXHelper helper;
        ASSERT_TRUE(helper.DecodeFrame(path, 0, frame)) << helper.LastError().Describe();
        EXPECT_EQ(frame.m_bitsPerSample, c.memoryBits);
        EXPECT_EQ(frame.m_signed, c.memorySigned);
        EXPECT_EQ(frame.m_rescaleSlope == 1.0 && frame.m_rescaleIntercept == 0.0,
                  c.rescaleInSamples);
        // Every sample gives its modality value: significant bits, sign,
        // slope and intercept.
        const double slope = c.slope.empty() ? 1.0 : std::stod(c.slope);
        const double intercept = c.intercept.empty() ? 0.0 : std::stod(c.intercept);
        double low = 1e300, high = -1e300;
        for (size_t i = 0; i < words.size(); ++i) {
            int64_t v = words[i] & ((1 << c.stored) - 1);
            if (c.isSigned && (v >> (c.stored - 1))) v -= int64_t{1} << c.stored;
            const double modality = double(v) * slope + intercept;
            EXPECT_EQ(frame.ModalityValue(sample(frame, i)), modality) << i;
            low = std::min(low, modality), high = std::max(high, modality);
        }
        const double center = c.width >= 1 ? c.center : (low + high + 1) / 2;
        const double width = c.width >= 1 ? c.width : high - low + 1;
        EXPECT_EQ(frame.m_windowCenter, center);
        EXPECT_EQ(frame.m_windowWidth, width);
        EXPECT_EQ(frame.m_frameCount, 1);
    }
}

TEST(DecodeChain, Refusals) {
    ZEBVRXHelper helper;
    FrameImageInfo frame;
    const std::string path = grey_file("refusal.dcm", 16, 16, false, "", "", "", {1, 2, 3, 4}, 2);
    struct Case {
        std::string path;
        uint32_t frame;
        uint32_t code;
        const char* message;
    };
    const Case cases[] = {
        {"/nonexistent/file.dcm", 0, 0x80020000, "missing file"},
        {path, 1, 0x80800000, "frame 2 is out of range (the file has 1)"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(helper.DecodeFrame(c.path, c.frame, frame));
        EXPECT_EQ(helper.LastError().code, c.code);
        EXPECT_EQ(helper.LastError().message, c.message);
        EXPECT_FALSE(frame.HasImage());
    }
    EXPECT_EQ(helper.LastError().Describe(),
              "frame 2 is out of range (the file has 1) (status 0x80800000, "
              "ZEBVRXHelper::DecodeFrame())");

    // A frame of 2 GiB is refused before any memory is taken for it.
    dicomtest::Writer w("1.2.840.10008.1.2.5");
    w.image(32768, 32768, 16, 1, "MONOCHROME2");
    std::vector<uint8_t> rle(68, 0);  // two byte planes of two bytes each
    rle[0] = 2;
    rle[4] = 64;
    rle[8] = 66;
    w.encapsulated({0}, {rle});
    EXPECT_FALSE(helper.DecodeFrame(write_file("huge.dcm", w.bytes()), 0, frame));
    EXPECT_EQ(helper.LastError().message, "the frame needs 2147483648 bytes, over 1 GiB")
        << helper.LastError().Describe();
    EXPECT_EQ(helper.LastError().code, 0x80010000u);
}

// DICOM's linear VOI function, rounded half up.
double Voi(double v, double c, double w) {
    if (w <= 1) return v <= c - 0.5 ? 0 : 255;
    const double y = ((v - (c - 0.5)) / (w - 1) + 0.5) * 255;
    return std::floor(std::clamp(y, 0.0, 255.0) + 0.5);
}

// An image of random samples in memory.
ZEBImageMemory random_memory(int32_t width, int32_t height, int32_t samples, int32_t bits,
                             bool isSigned, const vrx::VRX_ColorType* color, double slope,
                             double intercept, std::mt19937& random) {
    ZEBImageMemory m;
    m.m_imageWidth = m.m_rowLength = width;
    m.m_imageHeight = height;
    m.m_samplesPerPixel = samples;
    m.m_bitsPerSample = bits;
    m.m_signed = isSigned;
    m.m_colorType = color;
    m.m_rescaleSlope = slope;
    m.m_rescaleIntercept = intercept;
    m.m_buffer.resize((size_t(width) * size_t(samples * bits) + 7) / 8 * size_t(height));
    for (uint8_t& b : m.m_buffer) b = uint8_t(random());
    return m;
}

TEST(RenderChain, WindowOverEverySampleType) {
    struct Case {
        const char* name;
        int32_t bits;
        bool isSigned;
        const vrx::VRX_ColorType* color;
        double slope, intercept, center, width;
    };
    const vrx::VRX_ColorType* grey = vrx::VRX_ColorType::gray();
    // clang-format off
    const Case cases[] = {
        {"unsigned 8", 8, false, grey, 1, 0, 100, 80},
        {"signed 8", 8, true, grey, 1, 0, -10, 120},
        {"unsigned 16 through a table", 16, false, grey, 1, 0, 30000, 20000},
        {"signed 16", 16, true, grey, 1, 0, 40, 400},
        {"unsigned 32", 32, false, grey, 1, 0, 2e9, 3e9},
        {"signed 32", 32, true, grey, 1, 0, 0, 1e9},
        {"rescale carried", 16, false, grey, 0.25, -1000, 2000, 5000},
        {"MONOCHROME1", 16, false, vrx::VRX_ColorType::gray_reverse(), 1, 0, 30000, 40000},
        {"width 1, a threshold", 16, true, grey, 1, 0, 100.5, 1},
        {"width 2", 8, false, grey, 1, 0, 128, 2},
    };
    // clang-format on
    std::mt19937 random(7);
    ZEBVRXHelper helper;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // 75000 samples: 16-bit sources take the table.
        const ZEBImageMemory m = random_memory(300, 250, 1, c.bits, c.isSigned, c.color, c.slope,
                                               c.intercept, random);
        ZEBDIBBytes dib;
        ASSERT_TRUE(helper.RenderFrame(m, {0, 0, 300, 250, 300, 250, c.center, c.width}, dib))
            << helper.LastError().Describe();
        Bitmap shown(300, 250);
        platform::DeviceContext dc(&shown);
        ASSERT_TRUE(ZEBVRXHelper::DrawDIB(dc, dib, 0, 0));
        int worst = 0, off = 0;
        for (int32_t y = 0; y < 250; ++y)
            for (int32_t x = 0; x < 300; ++x) {
                const size_t i = size_t(y) * 300 + size_t(x);
                double v;
                if (c.bits == 8) {
                    v = c.isSigned ? int8_t(m.m_buffer[i]) : m.m_buffer[i];
                } else if (c.bits == 16) {
                    uint16_t u;
                    std::memcpy(&u, &m.m_buffer[i * 2], 2);
                    v = c.isSigned ? int16_t(u) : u;
                } else {
                    uint32_t u;
                    std::memcpy(&u, &m.m_buffer[i * 4], 4);
                    v = c.isSigned ? double(int32_t(u)) : double(u);
                }
                double want = Voi(v * c.slope + c.intercept, c.center, c.width);
                if (c.color == vrx::VRX_ColorType::gray_reverse()) want = 255 - want;
                const platform::Color got = shown.pixel(x, y);
                ASSERT_TRUE(got.r == got.g && got.g == got.b);
                const int d = std::abs(int(got.r) - int(want));
                worst = std::max(worst, d);
                off += d != 0;
            }
        EXPECT_LE(worst, 1);  // a half that rounds the other way
        EXPECT_LT(off, 75);
    }
}

TEST(RenderChain, OneBitAndColour) {
    ZEBVRXHelper helper;
    ZEBDIBBytes dib;
    Bitmap shown(10, 2);
    platform::DeviceContext dc(&shown);
    // One bit per pixel, the first pixel in the top bit: each value as the
    // window makes it, inverted for MONOCHROME1.
    ZEBImageMemory bits;
    bits.m_imageWidth = bits.m_rowLength = 10;
    bits.m_imageHeight = 2;
    bits.m_samplesPerPixel = 1;
    bits.m_bitsPerSample = 1;
    bits.m_colorType = vrx::VRX_ColorType::gray_reverse();
    bits.m_buffer = {0xA5, 0x40, 0x00, 0xC0};
    ASSERT_TRUE(helper.RenderFrame(bits, {0, 0, 10, 2, 10, 2, 1.0, 2.0}, dib));
    ASSERT_TRUE(ZEBVRXHelper::DrawDIB(dc, dib, 0, 0));
    const char* want[2] = {"1010010101", "0000000011"};  // 1 is black when inverted
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(shown.pixel(x, y).r, want[y][x] == '1' ? 0 : 255);

    // Colour of 16 bits over its range; YBR to RGB.
    ZEBImageMemory rgb;
    rgb.m_imageWidth = rgb.m_rowLength = 2;
    rgb.m_imageHeight = 1;
    rgb.m_samplesPerPixel = 3;
    rgb.m_bitsPerSample = 16;
    rgb.m_colorKind = ZEBImageMemory::kRgb;
    rgb.m_colorType = vrx::VRX_ColorType::s_rgb();
    const uint16_t words[6] = {65535, 32896, 0, 257, 128, 65280};
    rgb.m_buffer.resize(12);
    std::memcpy(rgb.m_buffer.data(), words, 12);
    ASSERT_TRUE(helper.RenderFrame(rgb, {0, 0, 2, 1, 2, 1, 0, 0}, dib));
    ASSERT_TRUE(ZEBVRXHelper::DrawDIB(dc, dib, 0, 0));
    EXPECT_EQ(shown.pixel(0, 0), (platform::Color{255, 128, 0}));
    EXPECT_EQ(shown.pixel(1, 0), (platform::Color{1, 0, 254}));
    ZEBImageMemory ybr = rgb;
    ybr.m_bitsPerSample = 8;
    ybr.m_colorKind = ZEBImageMemory::kYCbCr;
    ybr.m_colorType = vrx::VRX_ColorType::ycbcr();
    ybr.m_buffer = {76, 85, 255, 150, 44, 21};  // about red and green
    ASSERT_TRUE(helper.RenderFrame(ybr, {0, 0, 2, 1, 2, 1, 0, 0}, dib));
    ASSERT_TRUE(ZEBVRXHelper::DrawDIB(dc, dib, 0, 0));
    for (int x = 0; x < 2; ++x) {
        const auto e = CZEBOverlayPixelValue::YbrToRgb(ybr.m_buffer[x * 3], ybr.m_buffer[x * 3 + 1],
                                                       ybr.m_buffer[x * 3 + 2]);
        EXPECT_NEAR(shown.pixel(x, 0).r, e.red, 1.0);
        EXPECT_NEAR(shown.pixel(x, 0).g, e.green, 1.0);
        EXPECT_NEAR(shown.pixel(x, 0).b, e.blue, 1.0);
    }

    // Two channels have no colour to show; the tile's painter says so.
    ZEBImageMemory pair = rgb;
    pair.m_samplesPerPixel = 2;
    pair.m_colorType = vrx::VRX_ColorType::unknown();
    EXPECT_FALSE(helper.RenderFrame(pair, {0, 0, 2, 1, 2, 1, 0, 0}, dib));
    FrameImageInfo frame;
    static_cast<ZEBImageMemory&>(frame) = pair;
    frame.m_overlay.m_columns = 2;
    frame.m_overlay.m_rows = 1;
    EXPECT_FALSE(helper.PaintFrame(dc, frame, {0, 0, {0, 0}, 1.0}));
    EXPECT_TRUE(helper.PaintFailed());
    EXPECT_TRUE(helper.PaintFrame(dc, frame, {100, 0, {0, 0}, 1.0}));  // nothing to show
    EXPECT_FALSE(helper.PaintFailed());

    // A part outside the frame, or no image, is refused.
    EXPECT_FALSE(helper.RenderFrame(rgb, {1, 0, 2, 1, 2, 1, 0, 0}, dib));
    EXPECT_EQ(helper.LastError().message, "the part to render is not in the frame");
    EXPECT_FALSE(helper.RenderFrame(ZEBImageMemory(), {0, 0, 1, 1, 1, 1, 0, 0}, dib));
}

// Colour of more than 8 bits is shown over the range its stored bits hold:
// as the same values shifted to the top of 16 stored bits, within 1 (YBR
// with its chroma's middle, 2^(stored - 1), shifted to 32768).
TEST(RenderChain, ColourOverItsStoredBits) {
    std::mt19937 random(5);
    for (const char* photometric : {"RGB", "YBR_FULL"})
    for (const uint16_t stored : {9, 12, 15, 16}) {
        SCOPED_TRACE(std::string(photometric) + " " + std::to_string(stored));
        rendertest::Picture shown[2];  // the stored bits, and those bits at the top of 16
        for (int k = 0; k < 2; ++k) {
            dicomtest::Writer w;
            w.image(4, 5, 16, 3, photometric, 0, 0, k ? 16 : stored);
            std::vector<uint8_t> pixels;
            std::mt19937 same = random;
            for (int i = 0; i < 4 * 5 * 3; ++i) {
                const uint16_t v = uint16_t((same() & ((1u << stored) - 1)) << (k ? 16 - stored : 0));
                pixels.push_back(uint8_t(v));
                pixels.push_back(uint8_t(v >> 8));
            }
            w.pixel_data(pixels);
            const std::string in = write_file("colour_bits.dcm", w.bytes()), out = rendertest::temp_path("colour_bits.bmp");
            ASSERT_EQ(rendertest::run({"--no-annotations", in, out}).code, 0);
            shown[k] = rendertest::read_bitmap(out);
        }
        random.discard(60);
        ASSERT_EQ(shown[0].rgb.size(), 60u);
        int worst = 0;
        for (size_t i = 0; i < 60; ++i) worst = std::max(worst, std::abs(shown[0].rgb[i] - shown[1].rgb[i]));
        EXPECT_LE(worst, 1);
        EXPECT_GT(*std::max_element(shown[0].rgb.begin(), shown[0].rgb.end()), 200);
    }
}

// Drawing row by row as the chain makes them gives what rendering the whole
// bitmap and drawing it gives: sample types and colours, crops, scales up
// and down, placed across the edges of a clipped target.
TEST(RenderChain, DrawIsRenderThenDrawDIB) {
    struct Memory {
        int32_t bits, samples;
        bool isSigned;
        const vrx::VRX_ColorType* color;
        double slope, intercept, center, width;
    };
    const Memory memories[] = {
        {8, 1, false, vrx::VRX_ColorType::gray(), 1, 0, 100, 80},
        {16, 1, true, vrx::VRX_ColorType::gray(), 1, -1024, 40, 400},
        {16, 1, false, vrx::VRX_ColorType::gray_reverse(), 0.5, 3, 20000, 30000},
        {1, 1, false, vrx::VRX_ColorType::gray(), 1, 0, 1, 2},
        {8, 3, false, vrx::VRX_ColorType::s_rgb(), 1, 0, 0, 0},
        {8, 3, false, vrx::VRX_ColorType::ycbcr(), 1, 0, 0, 0},
        {16, 3, false, vrx::VRX_ColorType::s_rgb(), 1, 0, 0, 0},
        {8, 2, false, vrx::VRX_ColorType::unknown(), 1, 0, 0, 0},  // refused by both
    };
    const ZEBRenderRequest requests[] = {{0, 0, 23, 17, 23, 17},  {4, 3, 9, 11, 9, 11},
                                         {2, 1, 10, 8, 31, 22},   {0, 0, 23, 17, 7, 5},
                                         {5, 6, 1, 1, 6, 4}};
    const platform::Point places[] = {{0, 0}, {-5, 3}, {20, -4}};
    std::mt19937 random(5);
    ZEBVRXError error;
    for (const Memory& mc : memories) {
        const ZEBImageMemory m = random_memory(23, 17, mc.samples, mc.bits, mc.isSigned, mc.color,
                                               mc.slope, mc.intercept, random);
        for (ZEBRenderRequest r : requests)
            for (const platform::Point& at : places) {
                SCOPED_TRACE(testing::Message() << mc.bits << " bits x" << mc.samples << " to "
                                                << r.width << "x" << r.height << " at " << at.x
                                                << "," << at.y);
                r.windowCenter = mc.center;
                r.windowWidth = mc.width;
                Bitmap want(40, 30), got(40, 30);
                platform::DeviceContext wantDc(&want), gotDc(&got);
                wantDc.set_clip({1, 2, 33, 27});
                gotDc.set_clip({1, 2, 33, 27});
                ZEBDIBBytes dib;
                Rect wantDrawn{1, 1, 2, 2}, gotDrawn{1, 1, 2, 2};
                const bool rendered = ZEBRenderChain::Render(m, r, dib, error) &&
                                      ZEBRenderChain::DrawDIB(wantDc, dib, at.x, at.y, &wantDrawn);
                ASSERT_EQ(ZEBRenderChain::Draw(gotDc, m, r, {0, 0, r.width, r.height}, at.x, at.y,
                                               error, &gotDrawn), rendered);
                EXPECT_EQ(rendered, mc.samples != 2);
                EXPECT_EQ(gotDrawn, rendered ? wantDrawn : Rect{});
                ASSERT_TRUE(std::ranges::equal(got.bytes(), want.bytes()));
            }
    }
}

// A frame of distinct grey levels shown through the tile under a view: the
// image lands on the screen rectangle the overlays use, each pixel where
// the overlays place it at zoom 1, and nothing outside.
TEST(RenderChain, ViewGeometry) {
    struct Case {
        ZEBViewTransform view;
        double aspect;
    };
    const Case cases[] = {
        {{0, 0, {0, 0}, 1.0}, 1.0},     {{-7, 11, {0, 0}, 1.0}, 1.0}, {{5, 3, {4, 2}, 2.0}, 1.0},
        {{10, -20, {0, 0}, 2.5}, 1.0},  {{3, 4, {0, 0}, 0.5}, 1.0},   {{0, 0, {0, 0}, 1.0}, 0.75},
        {{-30, 2, {3, 1}, 3.0}, 1.25},  {{1, 1, {0, 0}, 0.3}, 2.0},
        // Pixels far larger than the tile, and far flatter.
        {{-3, 2, {0, 0}, 2.6}, 1000.0}, {{5, -7, {3, 1}, 64.0}, 1000.0},
        {{-9, -64000, {0, 1}, 64.0}, 1000.0}, {{2, 3, {0, 0}, 64.0}, 0.001},
        {{-3, 2, {0, 0}, 2.6}, 1e-40},
    };
    FrameImageInfo frame;
    frame.m_imageWidth = frame.m_rowLength = frame.m_overlay.m_columns = 40;
    frame.m_imageHeight = frame.m_overlay.m_rows = 30;
    frame.m_samplesPerPixel = 1;
    frame.m_bitsPerSample = 8;
    frame.m_colorType = vrx::VRX_ColorType::gray();
    for (int i = 0; i < 40 * 30; ++i) frame.m_buffer.push_back(uint8_t(1 + (i * 7) % 250));
    frame.m_windowCenter = 128;  // levels shown as they are
    frame.m_windowWidth = 256;
    ZEBVRXHelper helper;
    // One tile for every view: each paint covers what the last one left.
    ZEBImageViewCtrl tile(64, 48);
    tile.SetFrame(&frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view.offsetX << "," << c.view.offsetY << " zoom "
                                        << c.view.zoom << " aspect " << c.aspect);
        frame.m_overlay.m_verticalAspect = c.aspect;
        tile.SetView(c.view);
        tile.SetImagePainter(helper.Painter());
        tile.ShowAnnotations(false);
        tile.Paint();
        const Rect image = frame.m_overlay.GetImageRect(c.view.offsetX, c.view.offsetY,
                                                        c.view.origin, c.view.zoom);
        const Bitmap& b = tile.BackBuffer();
        for (int32_t y = 0; y < 48; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                const uint8_t v = b.pixel(x, y).r;
                ASSERT_EQ(v != 0, image.contains({x, y})) << x << "," << y;
                if (c.view.zoom == 1.0 && c.aspect == 1.0 && image.contains({x, y})) {
                    const platform::Point p = frame.m_overlay.ScreenToImage(
                        {x, y}, c.view.offsetX, c.view.offsetY, c.view.origin, 1.0);
                    ASSERT_EQ(v, frame.m_buffer[size_t(p.y * 40 + p.x)]);
                }
            }
    }
    // A pixel over 65536 screen rows is not rendered.
    frame.m_overlay.m_verticalAspect = 1e7;
    Bitmap target(48, 40);
    platform::DeviceContext dc(&target);
    EXPECT_FALSE(helper.PaintFrame(dc, frame, {-3, 2, {0, 0}, 2.6}));
    EXPECT_EQ(helper.LastError().message, "the view's zoom is out of range");
}

TEST(BitmapFile, WrittenWholeOrNotAtAll) {
    Bitmap picture(5, 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) picture.set_pixel(x, y, {uint8_t(x * 40), uint8_t(y * 90), 7});
    ZEBVRXHelper helper;
    const std::string path = rendertest::temp_path("bitmap_file.bmp");
    ASSERT_TRUE(helper.WriteBitmapFile(picture, path));
    const rendertest::Picture back = rendertest::read_bitmap(path);
    ASSERT_EQ(back.width, 5);
    ASSERT_EQ(back.height, 3);
    const std::vector<uint8_t> rgb(picture.bytes().begin(), picture.bytes().end());
    EXPECT_EQ(back.rgb, rgb);

    // A folder in the way, or a missing folder: nothing written, nothing left.
    const std::string folder = rendertest::temp_path("bitmap_folder");
    ::mkdir(folder.c_str(), 0755);
    EXPECT_FALSE(helper.WriteBitmapFile(picture, folder));
    EXPECT_NE(helper.LastError().message.find("cannot write the output"), std::string::npos);
    EXPECT_FALSE(helper.WriteBitmapFile(picture, path + ".missing/out.bmp"));
    EXPECT_NE(helper.LastError().message.find("cannot create the output"), std::string::npos);
    EXPECT_FALSE(helper.WriteBitmapFile(Bitmap(), path));
    EXPECT_EQ(rendertest::read_bitmap(path).rgb, rgb);
    for (const char* left : {"bitmap_folder.tmp", "bitmap_file.bmp.tmp"}) {
        const std::string pattern = rendertest::temp_path(left);
        std::string command = "ls " + pattern + "* >/dev/null 2>&1";
        EXPECT_NE(std::system(command.c_str()), 0) << pattern;
    }
    ::rmdir(folder.c_str());
    std::remove(path.c_str());
}

}  // namespace
