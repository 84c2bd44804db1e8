// Values an image keeps beyond its top-level attributes, through the render
// program, against tests/data/Source/frame_values/make_frame_values.py
// (pydicom and numpy): an enhanced CT's functional groups, Modality and VOI
// LUTs, lengths without pixel spacing and with non-square pixels; colour of
// more than 8 bits (PALETTE COLOR of 16-bit entries, YBR_FULL) against
// dcmj2pnm. The program as a process renders within 1 of the model; the
// scene it paints carries the expected probe and measurement labels, field of
// view and orientation letters, and the process's picture with overlays and
// annotations is that scene's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "Source/zebframeannotations.h"
#include "tests/Source/render_test_support.h"

namespace {

using namespace rendertest;

struct Case {
    std::string name, file, args;
    int32_t width = 0, height = 0;
    std::string picture, probe, measure, dfov, orientation;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

std::vector<Case> load() {
    std::vector<Case> cases;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/Source/frame_values/frame_values.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = split(line, '\t');
        EXPECT_EQ(f.size(), 10u) << line;
        if (f.size() != 10) continue;
        cases.push_back({f[0], std::string(TEST_DATA_DIR) + "/Source/frame_values/" + f[1],
                         f[2] == "-" ? "" : f[2], std::atoi(f[3].c_str()), std::atoi(f[4].c_str()),
                         f[5], f[6], f[7], f[8], f[9]});
    }
    return cases;
}

std::u16string u16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The scene the program paints for the arguments.
void build(const std::vector<std::string>& args, ZEBRenderScene& scene) {
    ZEBRenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions(args, o, error)) << error;
    std::ostringstream err;
    ASSERT_EQ(BuildRenderScene(o, scene, err), kRenderDone) << err.str();
}

// The process's picture without annotations and overlays against the model.
void check_picture(const Case& c, const std::string& output) {
    // The case's options without its overlays (each option with its value).
    const std::vector<std::string> words = split(c.args, ' ');
    std::string command = "--no-annotations ";
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--measure" || words[i] == "--probe")
            ++i;
        else if (!words[i].empty())
            command += words[i] + " ";
    }
    const Process p = launch(command + c.file + " " + output);
    ASSERT_EQ(p.code, 0) << p.err;
    const Picture got = read_bitmap(output);
    ASSERT_EQ(got.width, c.width);
    ASSERT_EQ(got.height, c.height);
    // One grey sample per pixel, or red, green and blue.
    const size_t pixels = size_t(c.width) * size_t(c.height);
    std::vector<uint8_t> want = inflate(base64(c.picture), pixels);
    const size_t channels = want.empty() ? 3 : 1;
    if (want.empty()) want = inflate(base64(c.picture), pixels * 3);
    ASSERT_FALSE(want.empty()) << "fixture does not unpack";
    int worst = 0, x0 = 0, y0 = 0;
    for (int32_t y = 0; y < got.height; ++y)
        for (int32_t x = 0; x < got.width; ++x) {
            const size_t at = (size_t(y) * size_t(c.width) + size_t(x)) * channels;
            for (size_t k = 0; k < 3; ++k) {
                const int d = std::abs(int(got.at(x, y)[k]) - int(want[at + k % channels]));
                if (d > worst) worst = d, x0 = x, y0 = y;
            }
        }
    EXPECT_LE(worst, 1) << "at " << x0 << "," << y0;
}

TEST(RenderProgramFrameValues, AgainstPydicomAndNumpy) {
    const std::vector<Case> cases = load();
    ASSERT_GE(cases.size(), 32u);
    const std::string output = temp_path("frame_values.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.picture != "-") check_picture(c, output);

        std::vector<std::string> args = split(c.args, ' ');
        args.erase(std::remove(args.begin(), args.end(), std::string()), args.end());
        args.push_back(c.file);
        args.push_back(output);
        ZEBRenderScene scene;
        ASSERT_NO_FATAL_FAILURE(build(args, scene));
        ZEBOverlayManager& overlays = scene.frame.m_overlay;
        if (c.probe != "-") {
            EXPECT_EQ(overlays.PixelValue().m_label, u16(c.probe));
        }
        if (c.measure != "-") {
            ASSERT_EQ(overlays.Measurements().size(), 1u);
            EXPECT_EQ(overlays.Measurements().begin()->second->m_label, u16(c.measure));
        }
        // The field of view in the lower left corner, or nothing of it.
        ZEBOverlayViewInfo shown(scene.frame.m_annotations);
        WriteTileMacroValues(shown, scene.tile->AnnotationState());
        const std::u16string corner =
            shown.BuildLocationText(shown.GetLocationLines(kLocationLowerLeft), 0);
        if (c.dfov.empty())
            EXPECT_EQ(corner.find(u"DFOV"), std::u16string::npos);
        else
            EXPECT_NE(corner.find(u16("DFOV: " + c.dfov + " mm")), std::u16string::npos);
        const auto& m = scene.frame.m_annotations.m_macroValues;
        EXPECT_EQ(m[kMacroOrientationTop] + u"/" + m[kMacroOrientationBottom] + u"/" +
                      m[kMacroOrientationLeft] + u"/" + m[kMacroOrientationRight],
                  u16(c.orientation));

        // The process paints that scene.
        scene.tile->Paint();
        const Process p = launch(c.args + " " + c.file + " " + output);
        ASSERT_EQ(p.code, 0) << p.err;
        const Picture got = read_bitmap(output);
        const platform::Bitmap& painted = scene.tile->BackBuffer();
        ASSERT_EQ(got.width, painted.width());
        ASSERT_EQ(got.height, painted.height());
        int differences = 0;
        for (int32_t y = 0; y < got.height; ++y)
            for (int32_t x = 0; x < got.width; ++x) {
                const platform::Color a = painted.pixel(x, y);
                const uint8_t* b = got.at(x, y);
                differences += a.r != b[0] || a.g != b[1] || a.b != b[2];
            }
        EXPECT_EQ(differences, 0);
    }
    std::remove(output.c_str());
}

// The enhanced image's second frame takes its own plane for reference
// lines; the VOI LUT's frame shows its window over the values it maps.
TEST(RenderProgramFrameValues, FramePlaneAndLutWindow) {
    const std::string dir = std::string(TEST_DATA_DIR) + "/Source/frame_values/";
    ZEBRenderScene scene;
    ASSERT_NO_FATAL_FAILURE(build({"--frame", "2", dir + "enhanced_ct.dcm", "out.bmp"}, scene));
    const ZEBImagePlane plane = scene.frame.Plane();
    EXPECT_EQ(plane.position[2], 20.0);
    EXPECT_EQ(plane.rowCosines[0], 1.0);
    EXPECT_EQ(plane.columnCosines[1], 1.0);
    EXPECT_EQ(plane.spacingAlongRow, 0.6);
    EXPECT_EQ(scene.frame.m_windowCenter, 300.0);
    EXPECT_EQ(scene.frame.m_windowWidth, 1500.0);

    ZEBRenderScene voi;
    ASSERT_NO_FATAL_FAILURE(build({dir + "voi_lut.dcm", "out.bmp"}, voi));
    EXPECT_EQ(voi.frame.m_voiLut.Entries(), 2048u);
    EXPECT_EQ(voi.frame.m_windowCenter, 500.0 + 1024.0);
    EXPECT_EQ(voi.frame.m_windowWidth, 2048.0);
    // A window given replaces the LUT.
    ZEBRenderScene windowed;
    ASSERT_NO_FATAL_FAILURE(
        build({"--window", "2000,4000", dir + "voi_lut.dcm", "out.bmp"}, windowed));
    EXPECT_TRUE(windowed.frame.m_voiLut.Empty());
}

}  // namespace
