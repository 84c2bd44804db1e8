// The render program: its options, its exit codes and messages as a process,
// a DICOMDIR image rendered as its file, and overlays, reference lines and
// annotations that change nothing outside what they draw.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "tests/Source/render_test_support.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"

namespace {

using namespace rendertest;
using platform::Bitmap;
using platform::Rect;

TEST(RenderOptions, Refusals) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    // clang-format off
    const Case cases[] = {
        {{}, "give INPUT and OUTPUT.bmp"},
        {{"in"}, "give INPUT and OUTPUT.bmp"},
        {{"in", "out", "more"}, "give INPUT and OUTPUT.bmp"},
        {{"--list"}, "--list takes one DICOMDIR"},
        {{"--list", "a", "b"}, "--list takes one DICOMDIR"},
        {{"--bogus", "in", "out"}, "unknown option --bogus"},
        {{"in", "out", "--zoom"}, "--zoom needs a number from 1/64 to 64"},
        {{"--zoom", "0", "in", "out"}, "bad value '0' for --zoom"},
        {{"--zoom", "65", "in", "out"}, "bad value '65' for --zoom"},
        {{"--zoom", "2x", "in", "out"}, "bad value '2x' for --zoom"},
        {{"--zoom", "nan", "in", "out"}, "bad value 'nan' for --zoom"},
        {{"--window", "40", "in", "out"}, "bad value '40' for --window"},
        {{"--window", "40,0.5", "in", "out"}, "expected CENTER,WIDTH with a width of at least 1"},
        {{"--window", "40,400,1", "in", "out"}, "bad value '40,400,1' for --window"},
        {{"--size", "0x10", "in", "out"}, "bad value '0x10' for --size"},
        {{"--size", "10", "in", "out"}, "bad value '10' for --size"},
        {{"--size", "16385x10", "in", "out"}, "bad value '16385x10' for --size"},
        {{"--frame", "0", "in", "out"}, "bad value '0' for --frame"},
        {{"--image", "1.5", "in", "out"}, "bad value '1.5' for --image"},
        {{"--image", "99999999999", "in", "out"}, "bad value '99999999999' for --image"},
        {{"--measure", "1,2,3", "in", "out"}, "bad value '1,2,3' for --measure"},
        {{"--measure", "1,2,3,4,5", "in", "out"}, "bad value '1,2,3,4,5' for --measure"},
        {{"--text", "1,2", "in", "out"}, "bad value '1,2' for --text"},
        {{"--probe", "a,b", "in", "out"}, "bad value 'a,b' for --probe"},
        {{"--mode", "3", "in", "out"}, "bad value '3' for --mode"},
        {{"--mode", "128", "in", "out"}, "bad value '128' for --mode"},
        {{"--no-annotations=1", "in", "out"}, "--no-annotations takes no value"},
        {{"--reference-series", "0", "in", "out"}, "bad value '0' for --reference-series"},
        {{"--reference", "a", "--reference-series", "1", "in", "out"},
         "give either --reference-series or --reference"},
        {{"--reference", "a", "--reference", "b", "--reference", "c", "--reference", "d", "in",
          "out"}, "bad value 'd' for --reference: expected a DICOM file (at most three)"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ZEBRenderOptions options;
        std::string error;
        EXPECT_FALSE(ParseRenderOptions(c.args, options, error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(RenderOptions, Values) {
    ZEBRenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions(
        {"--window=-600,1500.5", "--zoom", "0.5", "--size", "300x200", "--measure", "1,2,-3,4",
         "--measure=5,6,7,8", "--text", "5,6,a,b\\nc", "--probe", "7,8", "--mode", "8",
         "--no-annotations", "--image", "3", "--frame", "2", "--reference", "r.dcm", "--",
         "-in", "out.bmp"},
        o, error))
        << error;
    EXPECT_EQ(o.windowCenter, -600.0);
    EXPECT_EQ(o.windowWidth, 1500.5);
    EXPECT_EQ(o.zoom, 0.5);
    EXPECT_EQ(o.tileWidth, 300);
    EXPECT_EQ(o.tileHeight, 200);
    ASSERT_EQ(o.measurements.size(), 2u);
    EXPECT_EQ(o.measurements[0].to, (platform::Point{-3, 4}));
    ASSERT_EQ(o.texts.size(), 1u);
    EXPECT_EQ(o.texts[0].text, u"a,b\nc");
    EXPECT_EQ(o.probe, (platform::Point{7, 8}));
    EXPECT_EQ(o.displayMode, 8);
    EXPECT_FALSE(o.annotations);
    EXPECT_EQ(o.image, 3);
    EXPECT_EQ(o.frame, 2);
    EXPECT_EQ(o.referenceFiles, std::vector<std::string>{"r.dcm"});
    EXPECT_EQ(o.input, "-in");
    EXPECT_EQ(o.output, "out.bmp");
    EXPECT_TRUE(ParseRenderOptions({"--help"}, o, error));
    EXPECT_TRUE(o.help);
}

TEST(RenderProcess, ExitCodesMessagesAndNothingLeftBehind) {
    if (access(kPydicomFiles, R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const std::string ct = pydicom_file("CT_small.dcm");
    const std::string output = temp_path("process_out.bmp");
    const std::string folder = temp_path("process_folder");
    ::mkdir(folder.c_str(), 0755);
    struct Case {
        std::string args;
        int code;
        std::string err;  // the start of the one line; empty for none
        bool written;
    };
    // clang-format off
    const Case cases[] = {
        {"--bogus " + ct + " " + output, 2, "zrm-render: unknown option --bogus (see --help)", false},
        {"/nonexistent.dcm " + output, 1,
         "zrm-render: /nonexistent.dcm: cannot open: No such file or directory", false},
        {pydicom_file("README.txt") + " " + output, 1,
         "zrm-render: " + pydicom_file("README.txt") + ": not a DICOM file", false},
        {folder + " " + output, 1, "zrm-render: " + folder + ": is a folder", false},
        {"--frame 2 " + ct + " " + output, 1,
         "zrm-render: " + ct + ": frame 2 is out of range (the file has 1)", false},
        {ct + " " + folder + "/missing/out.bmp", 3,
         "zrm-render: " + folder + "/missing/out.bmp: cannot create the output", false},
        {ct + " " + folder, 3, "zrm-render: " + folder + ": cannot write the output", false},
        {ct + " " + ct, 2, "zrm-render: OUTPUT is the input file", false},
        {"--zoom 64 --size 16384x16384 " + ct + " " + output, 2, "", false},
        {"--zoom 64 " + ct + " " + output, 2,
         "zrm-render: a tile of 8192x8192 is too large", false},
        {"--window 40,400 --zoom 2 " + ct + " " + output, 0, "", true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        // A file already at the output path stays as it was after a failure.
        std::ofstream(output) << "keep";
        const Process p = launch(c.args);
        if (c.code == 2 && c.err.empty()) {
            EXPECT_EQ(p.code, 2);  // over the area limit
            continue;
        }
        EXPECT_EQ(p.code, c.code) << p.err;
        if (c.err.empty()) {
            EXPECT_TRUE(p.err.empty()) << p.err;
        } else {
            EXPECT_EQ(p.err.rfind(c.err, 0), 0u) << p.err;
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
        }
        if (c.written)
            EXPECT_EQ(read_bitmap(output).width, 256);
        else
            EXPECT_EQ(read_file(output), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    }
    // No half-written file beside the outputs.
    EXPECT_NE(std::system(("ls " + output + ".tmp* " + folder + ".tmp* >/dev/null 2>&1").c_str()), 0);
    const Process help = launch("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Usage: zrm-render", 0), 0u);
    std::remove(output.c_str());
    ::rmdir(folder.c_str());
}

TEST(RenderProgram, DicomdirImagesRenderAsTheirFiles) {
    const std::string dir = pydicom_file("dicomdirtests/DICOMDIR");
    if (access(dir.c_str(), R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const Outcome list = run({"--list", dir});
    ASSERT_EQ(list.code, kRenderDone) << list.err;
    std::vector<std::string> paths;
    std::istringstream lines(list.out);
    for (std::string line; std::getline(lines, line);) paths.push_back(line.substr(line.rfind('\t') + 1));
    ASSERT_EQ(paths.size(), 31u);
    const std::string a = temp_path("dicomdir_image.bmp"), b = temp_path("dicomdir_file.bmp");
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        ASSERT_EQ(run({"--no-annotations", "--zoom", "1.5", "--image", std::to_string(i + 1), dir, a}).code,
                  kRenderDone);
        ASSERT_EQ(run({"--no-annotations", "--zoom", "1.5", paths[i], b}).code, kRenderDone);
        EXPECT_EQ(read_file(a), read_file(b));
    }
    // The page of a DICOMDIR image is its place in its series; of a file,
    // the frame.
    ZEBRenderScene scene;
    std::ostringstream err;
    ZEBRenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions({"--image", "5", dir, a}, o, error));
    ASSERT_EQ(BuildRenderScene(o, scene, err), kRenderDone) << err.str();
    EXPECT_EQ(scene.tile->AnnotationState().page, 2);
    EXPECT_EQ(scene.tile->AnnotationState().pageCount, 4);
    ZEBRenderScene dose;
    ASSERT_TRUE(ParseRenderOptions({"--frame", "3", pydicom_file("rtdose.dcm"), a}, o, error));
    ASSERT_EQ(BuildRenderScene(o, dose, err), kRenderDone) << err.str();
    EXPECT_EQ(dose.tile->AnnotationState().page, 3);
    EXPECT_EQ(dose.tile->AnnotationState().pageCount, 15);

    const Outcome beyond = run({"--image", "32", dir, a});
    EXPECT_EQ(beyond.code, kRenderBadInput);
    EXPECT_NE(beyond.err.find("image 32 is out of range (the directory has 31)"), std::string::npos);
    const Outcome notDir = run({"--list", pydicom_file("CT_small.dcm")});
    EXPECT_EQ(notDir.code, kRenderBadInput);
    EXPECT_NE(notDir.err.find("not a DICOMDIR"), std::string::npos);
    std::remove(a.c_str());
    std::remove(b.c_str());
}

// A sagittal plane through the middle of CT_small's axial slice.
std::string sagittal_reference() {
    dicomtest::Writer w;
    w.text(0x0020, 0x0013, "IS", "7");
    w.text(0x0020, 0x0032, "DS", "-116\\-179\\0");
    w.text(0x0020, 0x0037, "DS", "0\\1\\0\\0\\0\\-1");
    w.u16(0x0028, 0x0010, 128);
    w.u16(0x0028, 0x0011, 128);
    w.text(0x0028, 0x0030, "DS", "2\\2");
    return write_file("sagittal.dcm", w.bytes());
}

// The tile of the options painted; with a `grey` level above 0 the image is
// flat in that grey, so that everything drawn over it shows.
Bitmap paint(const std::vector<std::string>& args, uint8_t grey,
             const std::function<void(ZEBRenderScene&, Rect&)>& region = {},
             Rect* drawn = nullptr) {
    ZEBRenderOptions o;
    std::string error;
    EXPECT_TRUE(ParseRenderOptions(args, o, error)) << error;
    ZEBRenderScene scene;
    std::ostringstream err;
    EXPECT_EQ(BuildRenderScene(o, scene, err), kRenderDone) << err.str();
    if (!scene.tile) return Bitmap();
    if (grey)
        scene.tile->SetImagePainter([grey](platform::DeviceContext& dc, const FrameImageInfo& f,
                                           const ZEBViewTransform& v) {
            dc.fill_rect(f.m_overlay.GetImageRect(v.offsetX, v.offsetY, v.origin, v.zoom),
                         {{grey, grey, grey}});
        });
    scene.tile->Paint();
    if (region && drawn) region(scene, *drawn);
    return scene.tile->BackBuffer();
}

std::vector<platform::Point> changed(const Bitmap& a, const Bitmap& b) {
    std::vector<platform::Point> points;
    for (int32_t y = 0; y < a.height(); ++y)
        for (int32_t x = 0; x < a.width(); ++x)
            if (!(a.pixel(x, y) == b.pixel(x, y))) points.push_back({x, y});
    return points;
}

TEST(RenderProgram, OverlaysAndAnnotationsChangeOnlyTheirRegions) {
    if (access(kPydicomFiles, R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const std::vector<std::string> base = {"--zoom", "2", "--window", "40,400",
                                           pydicom_file("CT_small.dcm"), "out.bmp"};
    const auto box = [](platform::Point a, platform::Point b) {
        return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
    };
    const auto join = [](const Rect& a, const Rect& b) {
        return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
    };
    struct Case {
        const char* name;
        std::vector<std::string> args;
        // Where the overlay may draw, from its own record (empty: anywhere).
        std::function<void(ZEBRenderScene&, Rect&)> region;
    };
    const Case cases[] = {
        {"measurement", {"--measure", "10,12,90,70"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayMeasure& m = *s.frame.m_overlay.Measurements().begin()->second;
             r = join(box(m.m_start, m.m_end).inflate(6),
                      Rect{m.m_labelPos.x, m.m_labelPos.y, m.m_labelPos.x + m.m_labelWidth,
                           m.m_labelPos.y + m.m_labelHeight}.inflate(2));
         }},
        {"text", {"--text", "20,90,Two\\nlines"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayText& t = *s.frame.m_overlay.Texts().begin()->second;
             r = Rect{t.m_pos.x, t.m_pos.y, t.m_pos.x + t.m_width, t.m_pos.y + t.m_height}.inflate(2);
         }},
        {"probe", {"--probe", "64,64"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayPixelValue& p = s.frame.m_overlay.PixelValue();
             r = Rect{p.m_labelPos.x, p.m_labelPos.y, p.m_labelPos.x + p.m_labelWidth,
                      p.m_labelPos.y + p.m_labelHeight}.inflate(2);
         }},
        {"reference line", {"--reference", sagittal_reference()},
         [&](ZEBRenderScene& s, Rect& r) {
             const ReferenceLineRecord& l =
                 s.frame.m_overlay.ReferenceLine().m_records[0];
             EXPECT_EQ(l.shown, 1);
             const ZEBViewTransform& v = s.tile->View();
             const platform::Point a = s.frame.m_overlay.ImageToScreen(l.start, v.offsetX, v.offsetY, v.origin, v.zoom);
             const platform::Point b = s.frame.m_overlay.ImageToScreen(l.end, v.offsetX, v.offsetY, v.origin, v.zoom);
             r = box(a, b).inflate(40);  // the line and its image number beside it
         }},
        {"annotations", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> plainArgs = base, withArgs = c.args;
        withArgs.insert(withArgs.end(), base.begin(), base.end());
        if (std::string(c.name) != "annotations") {
            plainArgs.insert(plainArgs.begin(), "--no-annotations");
            withArgs.insert(withArgs.begin(), "--no-annotations");
        } else {
            plainArgs.insert(plainArgs.begin(), "--no-annotations");
        }
        Rect region{0, 0, 1 << 20, 1 << 20};
        const Bitmap plain = paint(plainArgs, 0), with = paint(withArgs, 0, c.region, &region);
        const std::vector<platform::Point> shown = changed(plain, with);
        // What they draw: the pixels they change over a dark and over a
        // light grey (a blended edge can match one grey, not both).
        std::vector<platform::Point> drawn = changed(paint(plainArgs, 64), paint(withArgs, 64));
        for (const platform::Point& p : changed(paint(plainArgs, 192), paint(withArgs, 192)))
            drawn.push_back(p);
        EXPECT_GT(shown.size(), 20u);
        // Over the image they change only pixels they draw, and they draw
        // only inside their own region.
        std::vector<bool> isDrawn(size_t(plain.width()) * size_t(plain.height()));
        for (const platform::Point& p : drawn) {
            isDrawn[size_t(p.y) * size_t(plain.width()) + size_t(p.x)] = true;
            EXPECT_TRUE(region.contains(p)) << p.x << "," << p.y;
        }
        for (const platform::Point& p : shown)
            EXPECT_TRUE(isDrawn[size_t(p.y) * size_t(plain.width()) + size_t(p.x)]) << p.x << "," << p.y;
    }
}

}  // namespace
