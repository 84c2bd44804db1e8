// A frame's geometry from its image's attributes: which spacing counts, the
// magnification correction, the aspect, and values that count as absent;
// the settings' font face; reference lines computed and drawn by the tile.
#include "Source/frameimageinfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "Source/appsettings.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "tests/test_folder.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"

namespace {

using Attributes = std::map<uint32_t, std::pair<const char*, std::string>>;

struct Geometry {
    double x, y, aspect;
    int magnified;
};

Geometry read(const Attributes& attributes, FrameImageInfo& frame) {
    dicomtest::Writer w;
    for (const auto& [tag, value] : attributes)
        w.text(static_cast<uint16_t>(tag >> 16), static_cast<uint16_t>(tag), value.first,
               value.second);
    dicomtest::Loaded<vrx::VRX_DICOMInfo> file(w.bytes());
    EXPECT_TRUE(file.ok);
    frame.ReadImageGeometry(file.info);
    const CZEBOverlayCommon& g = frame.m_overlay;
    return {g.m_pixelSpacingX, g.m_pixelSpacingY, g.m_verticalAspect, g.m_magnified};
}

TEST(FrameGeometry, SpacingAspectAndMagnification) {
    struct Case {
        const char* name;
        Attributes attributes;
        Geometry expected;
    };
    const uint32_t PS = 0x00280030, IPS = 0x00181164, ERMF = 0x00181114, PLANE = 0x30020011;
    const uint32_t RATIO = 0x00280034, MAKER = 0x00080070;
    const Case cases[] = {
        {"row spacing first", {{PS, {"DS", "0.8\\0.5"}}}, {0.5, 0.8, 1.6, 0}},
        {"imager spacing over a factor",
         {{ERMF, {"DS", "2"}}, {IPS, {"DS", "0.2\\0.1"}}},
         {0.05, 0.1, 2.0, 1}},
        {"factor 1 is no correction",
         {{ERMF, {"DS", "1"}}, {IPS, {"DS", "0.2\\0.1"}}},
         {0.1, 0.2, 2.0, 0}},
        {"factor 0 counts as absent",
         {{ERMF, {"DS", "0"}}, {IPS, {"DS", "0.2\\0.2"}}},
         {0.2, 0.2, 1.0, 0}},
        {"negative factor counts as absent",
         {{ERMF, {"DS", "-2"}}, {IPS, {"DS", "0.2\\0.2"}}},
         {0.2, 0.2, 1.0, 0}},
        {"image plane spacing first",
         {{PS, {"DS", "0.5\\0.5"}}, {PLANE, {"DS", "0.9\\0.3"}}},
         {0.3, 0.9, 3.0, 0}},
        {"this maker's pixel spacing first",
         {{MAKER, {"LO", "MALTROVE"}}, {PS, {"DS", "0.5\\0.4"}}, {PLANE, {"DS", "0.9\\0.3"}}},
         {0.4, 0.5, 1.25, 0}},
        {"the other maker's",
         {{MAKER, {"LO", "ROVE"}}, {PS, {"DS", "0.5\\0.4"}}, {PLANE, {"DS", "0.9\\0.3"}}},
         {0.3, 0.9, 3.0, 0}},
        {"zero spacing falls through",
         {{PS, {"DS", "0.5\\0.4"}}, {PLANE, {"DS", "0\\0.3"}}},
         {0.4, 0.5, 1.25, 0}},
        {"aspect ratio without spacing",
         {{PS, {"DS", "0\\0.5"}}, {RATIO, {"IS", "2\\1"}}},
         {0.0, 0.0, 2.0, 0}},
        {"negative spacing and zero ratio",
         {{PS, {"DS", "-1\\-1"}}, {RATIO, {"IS", "0\\1"}}},
         {0.0, 0.0, 1.0, 0}},
        {"aspect 1000 kept", {{PS, {"DS", "1000\\1"}}}, {1.0, 1000.0, 1000.0, 0}},
        {"aspect 1/1000 kept", {{PS, {"DS", "0.001\\1"}}}, {1.0, 0.001, 0.001, 0}},
        {"aspect beyond 1000 is square",
         {{PS, {"DS", "1.171875\\1.171875e+40"}}},
         {1.171875e+40, 1.171875, 1.0, 0}},
        {"ratio beyond 1000 is square", {{RATIO, {"IS", "1001\\1"}}}, {0.0, 0.0, 1.0, 0}},
        {"unreadable spacing", {{PS, {"DS", "abc\\def"}}}, {0.0, 0.0, 1.0, 0}},
        {"one value is not a spacing", {{PS, {"DS", "0.5"}}}, {0.0, 0.0, 1.0, 0}},
        {"nothing", {}, {0.0, 0.0, 1.0, 0}},
    };
    for (const Case& c : cases) {
        FrameImageInfo frame;
        const Geometry g = read(c.attributes, frame);
        EXPECT_DOUBLE_EQ(g.x, c.expected.x) << c.name;
        EXPECT_DOUBLE_EQ(g.y, c.expected.y) << c.name;
        EXPECT_DOUBLE_EQ(g.aspect, c.expected.aspect) << c.name;
        EXPECT_EQ(g.magnified, c.expected.magnified) << c.name;
        EXPECT_EQ(frame.m_overlay.PixelValue().m_verticalAspect, c.expected.aspect) << c.name;
    }

    FrameImageInfo frame;
    read({{0x00080016, {"UI", "1.2.840.10008.5.1.4.1.1.2"}},
          {0x00080060, {"CS", "CT"}},
          {0x00200013, {"IS", "17"}},
          {0x00200032, {"DS", "-10\\20.5\\-30"}},
          {0x00200037, {"DS", "1\\0\\0\\0\\0\\-1"}},
          {0x00280010, {"US", ""}},
          {0x00281054, {"LO", "HU"}}},
         frame);
    const ZEBImagePlane plane = frame.Plane();
    EXPECT_EQ(frame.m_imageNumber, 17);
    EXPECT_EQ(plane.position[1], 20.5);
    EXPECT_EQ(plane.columnCosines[2], -1);
    EXPECT_EQ(frame.m_overlay.m_modality, u"CT");
    EXPECT_EQ(frame.m_overlay.m_rescaleType, u"HU");
    EXPECT_EQ(frame.m_overlay.PixelValue().m_sopClassUid, u"1.2.840.10008.5.1.4.1.1.2");
}

TEST(FrameGeometry, FailuresLeaveAnEmptyFrame) {
    FrameImageInfo frame;
    ZEBVRXHelper helper;
    EXPECT_FALSE(helper.DecodeFrame("/nonexistent/file.dcm", 0, frame));
    EXPECT_TRUE(frame.m_buffer.empty());
    const std::string mr = dicomtest::pydicom_file("MR_small.dcm");
    if (!dicomtest::file_exists(mr)) GTEST_SKIP() << "pydicom's test files missing";
    EXPECT_FALSE(helper.DecodeFrame(mr, 5, frame));  // no such frame
    EXPECT_TRUE(frame.m_buffer.empty());
    EXPECT_TRUE(helper.DecodeFrame(mr, 0, frame));
    EXPECT_EQ(frame.m_buffer.size(), 64u * 64 * 2);
    EXPECT_EQ(frame.m_signed, 1);
}

TEST(AppSettingsFile, FaceNameFromTheFontSection) {
    AppSettings settings;
    EXPECT_EQ(settings.MeasureFont().face, u"MS UI Gothic");
    EXPECT_EQ(settings.ReferenceLineFont().points, 8);
    EXPECT_EQ(settings.PixelValueFont().points, 10);
    const std::string path = testfolder::file("appsettings_test.ini");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Font]\r\nStringsFaceName=IPAGothic\r\n", f);
    std::fclose(f);
    EXPECT_TRUE(settings.Load(path));
    std::remove(path.c_str());
    for (size_t i = 0; i < AppSettings::kFontCount; ++i)
        EXPECT_EQ(settings.Font(i).face, u"IPAGothic");
    EXPECT_EQ(settings.TextFont().weight, 400);
    EXPECT_FALSE(settings.Load(path));  // gone: the values stay
    EXPECT_EQ(settings.FaceName(), u"IPAGothic");
}

// A coronal localiser shown in the tile, with axial slices of another series.
void axial(FrameImageInfo& f, double z, int32_t number) {
    CZEBOverlayCommon& g = f.m_overlay;
    g.m_columns = g.m_rows = 400;
    g.m_pixelSpacingX = g.m_pixelSpacingY = 1;
    const double pos[3] = {-200, -200, z}, orientation[6] = {1, 0, 0, 0, 1, 0};
    std::copy(pos, pos + 3, f.m_imagePosition);
    std::copy(orientation, orientation + 6, f.m_imageOrientation);
    f.m_imageNumber = number;
}

TEST(ReferenceLinesInTheTile, ComputedAndDrawnInOrder) {
    FrameImageInfo localiser, first, last, current, empty;
    CZEBOverlayCommon& g = localiser.m_overlay;
    g.m_columns = g.m_rows = 256;
    g.m_pixelSpacingX = g.m_pixelSpacingY = 1;
    const double pos[3] = {-128, 0, 128}, orientation[6] = {1, 0, 0, 0, 0, -1};
    std::copy(pos, pos + 3, localiser.m_imagePosition);
    std::copy(orientation, orientation + 6, localiser.m_imageOrientation);
    localiser.m_overlay.SyncPixelValueInfo();
    axial(first, 100, 1);
    axial(last, -100, 40);
    axial(current, 0, 20);
    ZEBImageViewCtrl tile(256, 256);
    tile.SetFrame(&localiser);
    EXPECT_FALSE(tile.ComputeReferenceLines(nullptr, &empty, nullptr));
    EXPECT_FALSE(tile.ReferenceLinesFound());
    ASSERT_TRUE(tile.ComputeReferenceLines(&first, &last, &current));
    const CZEBOverlayReferenceLine& lines = localiser.m_overlay.ReferenceLine();
    EXPECT_EQ(lines.m_records[0].start, (platform::Point{0, 28}));
    EXPECT_EQ(lines.m_records[1].number, 40);
    EXPECT_EQ(lines.m_records[2].end, (platform::Point{256, 128}));

    tile.Paint();
    const platform::Bitmap& bm = tile.BackBuffer();
    // The current line: 3 black pixels wide under 2 white ones.
    EXPECT_EQ(bm.pixel(100, 128), platform::kWhite);
    EXPECT_EQ(bm.pixel(100, 127), platform::kBlack);
    // First and last lines: white dots over black, rows 28 and 228.
    int white = 0, black = 0;
    for (int x = 60; x < 120; ++x) (bm.pixel(x, 28) == platform::kWhite ? white : black)++;
    EXPECT_GT(white, 20);
    EXPECT_GT(black, 20);

    // On one row, the first image's dotted line shows over the current one.
    localiser.m_overlay.ReferenceLine().m_records[0] = lines.m_records[2];
    tile.Paint();
    black = 0;
    for (int x = 60; x < 120; ++x) black += bm.pixel(x, 128) == platform::kBlack;
    EXPECT_GT(black, 20);
}

}  // namespace
