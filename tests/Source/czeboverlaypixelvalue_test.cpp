// The pixel probe: values of decoded pydicom test images at random and edge
// positions through the tile, against pydicom (fixtures by
// tests/data/Source/make_probe_values.py); the label's texts and place; and
// reads that must stay inside the pixel memory.
#include "Source/czeboverlaypixelvalue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Source/zebimageviewctrl.h"
#include "Source/zebstringutil.h"
#include "Source/zebvrxhelper.h"
#include "platform/device_context.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"

namespace {

using platform::Point;

struct Probe {
    int32_t x, y;
    std::vector<double> values;
};

std::map<std::string, std::vector<Probe>> load_probes() {
    std::map<std::string, std::vector<Probe>> probes;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/Source/probe_values.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        std::string file;
        Probe p;
        f >> file >> p.x >> p.y;
        for (double v; f >> v;) p.values.push_back(v);
        probes[file].push_back(p);
    }
    return probes;
}

void expect_probe(const CZEBOverlayPixelValue& pv, const Probe& p, const std::string& where) {
    if (p.values.size() == 1) {
        EXPECT_EQ(pv.m_isColour, 0) << where;
        EXPECT_EQ(pv.m_value, p.values[0]) << where;
        return;
    }
    const size_t rgb = p.values.size() == 6 ? 3 : 0;  // YBR: the converted three
    EXPECT_EQ(pv.m_isColour, 1) << where;
    EXPECT_NEAR(pv.m_red, p.values[rgb], 1e-5) << where;
    EXPECT_NEAR(pv.m_green, p.values[rgb + 1], 1e-5) << where;
    EXPECT_NEAR(pv.m_blue, p.values[rgb + 2], 1e-5) << where;
}

TEST(PixelValueProbe, AgreesWithPydicom) {
    const auto probes = load_probes();
    ASSERT_EQ(probes.size(), 4u);
    for (const auto& [file, points] : probes) {
        FrameImageInfo frame;
        ZEBVRXHelper helper;
        ASSERT_TRUE(helper.DecodeFrame(dicomtest::pydicom_file(file), 0, frame)) << file;
        ZEBImageViewCtrl tile(400, 300);
        tile.SetFrame(&frame);
        tile.SetToolMode(kToolPixelValue);
        const CZEBOverlayPixelValue& pv = frame.m_overlay.PixelValue();
        for (double zoom : {1.0, 2.0, 3.0}) {
            tile.SetView({7, 5, {0, 0}, zoom});
            const auto& v = tile.View();
            for (const Probe& p : points) {
                const std::string where = file + " " + std::to_string(p.x) + "," +
                                          std::to_string(p.y) + " zoom " + std::to_string(zoom);
                const Point s = frame.m_overlay.ImageToScreen({p.x, p.y}, v.offsetX, v.offsetY,
                                                              v.origin, v.zoom);
                tile.OnLButtonDown(s);
                expect_probe(pv, p, where);
                tile.OnLButtonUp(s);
                // The last screen pixel of the image rounds past its last
                // column and row; it shows that pixel.
                if (p.x == frame.m_imageWidth - 1 && p.y == frame.m_imageHeight - 1) {
                    const platform::Rect r =
                        frame.m_overlay.GetImageRect(v.offsetX, v.offsetY, v.origin, v.zoom);
                    tile.OnLButtonDown({r.right - 1, r.bottom - 1});
                    expect_probe(pv, p, where + " last screen pixel");
                    tile.OnLButtonUp({r.right - 1, r.bottom - 1});
                }
            }
        }
        const bool ct = file == "CT_small.dcm";
        tile.OnLButtonDown(frame.m_overlay.ImageToScreen({0, 0}, 7, 5, {0, 0}, 3.0));
        EXPECT_EQ(pv.m_label.substr(pv.m_label.size() - (ct ? 3 : 1)), ct ? u" HU" : u" ") << file;
        tile.OnLButtonUp({0, 0});
        tile.Paint();
        EXPECT_GT(pv.m_labelWidth, 0);
    }
}

TEST(PixelValueProbe, LabelTexts) {
    struct Case {
        const char16_t* rescaleType;
        const char16_t* sopClass;
        int colour;
        double value, r, g, b;
        const char16_t* label;
    };
    const Case cases[] = {
        {u"", u"1.2.840.10008.5.1.4.1.1.2", 0, -1000, 0, 0, 0, u"-1000.00 HU"},
        {u"", u"1.2.840.10008.5.1.4.1.1.4", 0, 12, 0, 0, 0, u"12.00 "},
        {u"US", u"1.2.840.10008.5.1.4.1.1.2", 0, 7, 0, 0, 0, u"7.00 HU"},
        {u"US", u"1.2.840.10008.5.1.4.1.1.7", 0, 7, 0, 0, 0, u"7.00 "},
        {u"OD", u"1.2.840.10008.5.1.4.1.1.7", 0, 1500, 0, 0, 0, u"1.50 OD"},
        {u"MGML", u"1.2.840.10008.5.1.4.1.1.2", 0, 0.5, 0, 0, 0, u"0.50 MGML"},
        {u"", u"1.2.840.10008.5.1.4.1.1.7", 1, 0, 1, 2.5, 255, u"(1.00, 2.50, 255.00) "},
    };
    for (const Case& c : cases) {
        CZEBOverlayPixelValue pv;
        pv.m_rescaleType = c.rescaleType;
        pv.m_sopClassUid = c.sopClass;
        pv.m_isColour = c.colour;
        pv.m_value = c.value, pv.m_red = c.r, pv.m_green = c.g, pv.m_blue = c.b;
        EXPECT_EQ(pv.FormatValue(), c.label);
    }
    // The colour readers.
    const auto rgb = [](CZEBOverlayPixelValue::Rgb v) {
        return FormatText(u"%.2f %.2f %.2f", v.red, v.green, v.blue);
    };
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::YbrToRgb(128, 128, 128)), u"128.00 128.00 128.00");
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::YbrToRgb(255, 0, 255)), u"255.00 208.35 28.18");
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::CmykToRgb(0, 0, 0, 0)), u"255.00 255.00 255.00");
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::CmykToRgb(100, 50, 0, 0)), u"0.00 127.00 255.00");
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::CmykToRgb(0, 0, 0, 100)), u"0.00 0.00 0.00");
    // Out-of-range percentages stay within 0..255.
    EXPECT_EQ(rgb(CZEBOverlayPixelValue::CmykToRgb(255, 0, 0, 200)), u"255.00 0.00 0.00");
}

// Memory of 2 x 2 pixels laid out by hand.
ZEBImageMemory memory(int kind, int samples, int bits, std::vector<uint8_t> bytes,
                      int isSigned = 0) {
    ZEBImageMemory m;
    m.m_colorKind = kind;
    m.m_samplesPerPixel = samples;
    m.m_bitsPerSample = bits;
    m.m_buffer.assign(bytes.begin(), bytes.end());
    m.m_rowLength = m.m_imageWidth = m.m_imageHeight = 2;
    m.m_signed = isSigned;
    return m;
}

TEST(PixelValueProbe, ReadsStayInsideTheMemory) {
    CZEBOverlayPixelValue pv;
    pv.m_columns = pv.m_rows = 2;
    const auto sample = [&](const ZEBImageMemory& m, Point image) {
        pv.m_value = pv.m_red = -1;
        pv.Sample(image, m, 0, 0, {0, 0}, 1.0);
    };
    // Signed and unsigned 16-bit samples.
    const std::vector<uint8_t> words = {0x00, 0x80, 0xFF, 0xFF, 0x01, 0x00, 0x02, 0x00};
    sample(memory(0, 1, 16, words, 1), {0, 0});
    EXPECT_EQ(pv.m_value, -32768);
    sample(memory(0, 1, 16, words, 0), {0, 0});
    EXPECT_EQ(pv.m_value, 32768);
    sample(memory(0, 1, 12, words, 1), {1, 0});
    EXPECT_EQ(pv.m_value, -1);
    sample(memory(0, 1, 8, {0xF6, 1, 2, 3}, 1), {0, 0});
    EXPECT_EQ(pv.m_value, -10);
    // A CMYK pixel.
    sample(memory(2, 4, 8, std::vector<uint8_t>(16, 0)), {1, 1});
    EXPECT_EQ(pv.m_red, 255);
    // Outside the image, past a row's end, or partly beyond the buffer: zeros.
    const ZEBImageMemory rgb = memory(1, 3, 8, {10, 20, 30, 40, 50});  // second pixel cut short
    sample(rgb, {0, 0});
    EXPECT_EQ(pv.m_blue, 30);
    for (Point p : {Point{1, 0}, Point{2, 0}, Point{-2, 0}, Point{0, 2}, Point{0, -2}}) {
        sample(rgb, p);
        EXPECT_EQ(pv.m_red, 0) << p.x << "," << p.y;
        EXPECT_EQ(pv.m_isColour, 0);
    }
    sample(ZEBImageMemory(), {0, 0});
    EXPECT_EQ(pv.m_value, 0);
    // Grey kind declared with no samples per pixel reads nothing.
    sample(memory(0, 0, 8, {1, 2, 3, 4}), {0, 0});
    EXPECT_EQ(pv.m_value, 0);
}

TEST(PixelValueProbe, LabelBoxFlipsAtTheBorders) {
    CZEBOverlayPixelValue pv;
    pv.m_columns = pv.m_rows = 100;
    pv.m_labelWidth = 40, pv.m_labelHeight = 10;
    platform::DeviceContext dc;
    pv.m_value = 5;
    pv.Place({20, 20}, dc, 0, 0, {0, 0}, 1.0);
    EXPECT_EQ(pv.m_labelPos, (Point{25, 25}));
    EXPECT_EQ(pv.m_label, u"5.00 ");
    EXPECT_EQ(pv.m_shown, 1);
    pv.Place({90, 50}, dc, 0, 0, {0, 0}, 1.0);  // right: to the left of the point
    EXPECT_EQ(pv.m_labelPos, (Point{45, 55}));
    pv.Place({10, 95}, dc, 0, 0, {0, 0}, 1.0);  // bottom: above, moved right by 32
    EXPECT_EQ(pv.m_labelPos, (Point{47, 80}));
    pv.Place({80, 95}, dc, 0, 0, {0, 0}, 1.0);  // bottom right
    EXPECT_EQ(pv.m_labelPos, (Point{22, 80}));
    pv.m_value = 6;
    pv.Place({150, 50}, dc, 0, 0, {0, 0}, 1.0);  // outside: pinned, label kept
    EXPECT_EQ(pv.m_label, u"5.00 ");
    EXPECT_EQ(pv.m_labelPos, (Point{99 - 45, 55}));
}

}  // namespace
