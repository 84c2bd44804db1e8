#include "Source/zebrenderprogram.h"

#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <iostream>
#include <string_view>

#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "platform/text_converter.h"

using platform::Point;

namespace {

constexpr const char* kProgram = "zrm-render";
// Largest tile side and area.
constexpr int64_t kMaxTileSide = 16384;
constexpr int64_t kMaxTileArea = int64_t{1} << 25;

bool ParseInt(std::string_view text, int32_t& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end;
}

bool ParseDouble(std::string_view text, double& out) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out, std::chars_format::general);
    return ec == std::errc() && p == end && std::isfinite(out);
}

// The first `count` comma-separated fields; the last takes the rest when
// `rest` is set.
bool SplitFields(std::string_view text, size_t count, bool rest, std::vector<std::string_view>& out) {
    out.clear();
    while (out.size() + 1 < count) {
        const size_t comma = text.find(',');
        if (comma == std::string_view::npos) return false;
        out.push_back(text.substr(0, comma));
        text.remove_prefix(comma + 1);
    }
    if (!rest && text.find(',') != std::string_view::npos) return false;
    out.push_back(text);
    return true;
}

bool ParseInts(std::string_view text, size_t count, int32_t* out) {
    std::vector<std::string_view> fields;
    if (!SplitFields(text, count, false, fields)) return false;
    for (size_t i = 0; i < count; ++i)
        if (!ParseInt(fields[i], out[i])) return false;
    return true;
}

struct OptionSpec {
    const char* name;
    const char* value;  // what the value is, for messages; null for a flag
    std::function<bool(ZEBRenderOptions&, std::string_view)> apply;
};

const std::vector<OptionSpec>& Options() {
    static const std::vector<OptionSpec> specs = {
        {"--image", "a number from 1",
         [](ZEBRenderOptions& o, std::string_view v) { return ParseInt(v, o.image) && o.image >= 1; }},
        {"--frame", "a number from 1",
         [](ZEBRenderOptions& o, std::string_view v) { return ParseInt(v, o.frame) && o.frame >= 1; }},
        {"--window", "CENTER,WIDTH with a width of at least 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             std::vector<std::string_view> f;
             o.hasWindow = SplitFields(v, 2, false, f) && ParseDouble(f[0], o.windowCenter) &&
                           ParseDouble(f[1], o.windowWidth) && o.windowWidth >= 1.0;
             return o.hasWindow;
         }},
        {"--zoom", "a number from 1/64 to 64",
         [](ZEBRenderOptions& o, std::string_view v) {
             o.hasZoom = ParseDouble(v, o.zoom) && o.zoom >= ZEBImageViewCtrl::kMinZoom &&
                         o.zoom <= ZEBImageViewCtrl::kMaxZoom;
             return o.hasZoom;
         }},
        {"--size", "WIDTHxHEIGHT, each from 1 to 16384",
         [](ZEBRenderOptions& o, std::string_view v) {
             const size_t x = v.find('x');
             o.hasSize = x != std::string_view::npos && ParseInt(v.substr(0, x), o.tileWidth) &&
                         ParseInt(v.substr(x + 1), o.tileHeight) && o.tileWidth >= 1 &&
                         o.tileHeight >= 1 && o.tileWidth <= kMaxTileSide &&
                         o.tileHeight <= kMaxTileSide;
             return o.hasSize;
         }},
        {"--measure", "X1,Y1,X2,Y2",
         [](ZEBRenderOptions& o, std::string_view v) {
             int32_t p[4];
             if (!ParseInts(v, 4, p)) return false;
             o.measurements.push_back({{p[0], p[1]}, {p[2], p[3]}});
             return true;
         }},
        {"--text", "X,Y,TEXT",
         [](ZEBRenderOptions& o, std::string_view v) {
             std::vector<std::string_view> f;
             ZEBRenderOptions::Text t;
             if (!SplitFields(v, 3, true, f) || !ParseInt(f[0], t.at.x) || !ParseInt(f[1], t.at.y))
                 return false;
             // "\n" in the text breaks the line.
             std::string text;
             for (size_t i = 0; i < f[2].size(); ++i) {
                 const bool lineBreak = f[2][i] == '\\' && i + 1 < f[2].size() && f[2][i + 1] == 'n';
                 text += lineBreak ? '\n' : f[2][i];
                 i += lineBreak ? 1 : 0;
             }
             platform::utf8_to_utf16(text, t.text);
             o.texts.push_back(std::move(t));
             return true;
         }},
        {"--probe", "X,Y",
         [](ZEBRenderOptions& o, std::string_view v) {
             int32_t p[2];
             o.hasProbe = ParseInts(v, 2, p);
             o.probe = {p[0], p[1]};
             return o.hasProbe;
         }},
        {"--reference-series", "a series number from 1",
         [](ZEBRenderOptions& o, std::string_view v) {
             return ParseInt(v, o.referenceSeries) && o.referenceSeries >= 1;
         }},
        {"--reference", "a DICOM file (at most three)",
         [](ZEBRenderOptions& o, std::string_view v) {
             if (v.empty() || o.referenceFiles.size() >= 3) return false;
             o.referenceFiles.emplace_back(v);
             return true;
         }},
        {"--mode", "0, 1, 2, 4, 8, 16, 32 or 64",
         [](ZEBRenderOptions& o, std::string_view v) {
             return ParseInt(v, o.displayMode) &&
                    (o.displayMode == 0 || (o.displayMode <= 64 && std::has_single_bit(
                                                                       unsigned(o.displayMode))));
         }},
        {"--no-annotations", nullptr,
         [](ZEBRenderOptions& o, std::string_view) { return !(o.annotations = false); }},
        {"--list", nullptr, [](ZEBRenderOptions& o, std::string_view) { return o.list = true; }},
        {"--help", nullptr, [](ZEBRenderOptions& o, std::string_view) { return o.help = true; }},
    };
    return specs;
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    platform::utf16_to_utf8(text, out);
    return out;
}

// One line on stderr naming the input and the failure.
int Report(std::ostream& err, int code, const std::string& input, const std::string& failure) {
    err << kProgram << ": ";
    if (!input.empty()) err << input << ": ";
    err << failure << '\n';
    return code;
}

// The input's file and the page it shows: a DICOMDIR image, or the file.
struct Source {
    std::string path;
    int32_t page = 0;  // from 0: the image of its series, -1 for the frame of the file
    int32_t pageCount = 0;
    std::vector<ZEBDirectoryImage> directory;
    bool isDirectory = false;
};

int OpenInput(const ZEBRenderOptions& o, ZEBVRXHelper& helper, Source& source, std::ostream& err) {
    struct stat st;
    if (::stat(o.input.c_str(), &st) != 0)
        return Report(err, kRenderBadInput, o.input, std::string("cannot open: ") + std::strerror(errno));
    if (S_ISDIR(st.st_mode)) return Report(err, kRenderBadInput, o.input, "is a folder");
    if (!ZEBVRXHelper::IsDicomFile(o.input))
        return Report(err, kRenderBadInput, o.input, "not a DICOM file (no \"DICM\" at offset 128)");
    if (!helper.ReadDicomDir(o.input, source.directory, source.isDirectory) && source.isDirectory)
        return Report(err, kRenderBadInput, o.input, helper.LastError().Describe());
    source.path = o.input;
    source.page = -1;
    if (!source.isDirectory) return kRenderDone;
    if (o.list) return kRenderDone;
    const auto& images = source.directory;
    if (size_t(o.image) > images.size())
        return Report(err, kRenderBadInput, o.input,
                      "image " + std::to_string(o.image) + " is out of range (the directory has " +
                          std::to_string(images.size()) + ")");
    const ZEBDirectoryImage& image = images[size_t(o.image) - 1];
    if (image.path.empty())
        return Report(err, kRenderBadInput, o.input,
                      "image " + std::to_string(o.image) + ": its file " + Utf8(image.fileId) +
                          " is not there");
    source.path = image.path;
    source.page = image.indexInSeries;
    source.pageCount = image.seriesImageCount;
    return kRenderDone;
}

void List(const std::vector<ZEBDirectoryImage>& images, std::ostream& out) {
    int32_t n = 0;
    for (const ZEBDirectoryImage& i : images) {
        out << ++n << '\t' << Utf8(i.patientName) << " [" << Utf8(i.patientId) << "]\t"
            << Utf8(i.studyDate) << ' ' << Utf8(i.studyDescription) << "\tseries " << i.series + 1
            << " (" << Utf8(i.modality) << ' ' << Utf8(i.seriesNumber) << ' '
            << Utf8(i.seriesDescription) << ")\timage " << i.indexInSeries + 1 << " of "
            << i.seriesImageCount << '\t' << (i.path.empty() ? "(missing) " + Utf8(i.fileId) : i.path)
            << '\n';
    }
}

// The reference frames (first, last, current image of the other series);
// geometry only.
int LoadReferences(const ZEBRenderOptions& o, const Source& source, ZEBVRXHelper& helper,
                   FrameImageInfo (&frames)[3], int32_t& count, std::ostream& err) {
    std::vector<std::string> paths = o.referenceFiles;
    if (o.referenceSeries > 0) {
        std::vector<const ZEBDirectoryImage*> series;
        for (const ZEBDirectoryImage& i : source.directory)
            if (i.series == o.referenceSeries - 1) series.push_back(&i);
        if (series.empty())
            return Report(err, kRenderBadInput, o.input,
                          "reference series " + std::to_string(o.referenceSeries) + " is out of range");
        for (const ZEBDirectoryImage* i : {series.front(), series.back(), series[series.size() / 2]})
            paths.push_back(i->path);
    }
    count = 0;
    for (const std::string& path : paths) {
        if (!helper.ReadGeometry(path, frames[count]))
            return Report(err, kRenderBadInput, path.empty() ? o.input : path,
                          "reference image: " + helper.LastError().Describe());
        ++count;
    }
    return kRenderDone;
}

// Overlays made as a user makes them: presses, moves and releases of the
// tile's tools at the screen points of the image points.
void MakeOverlays(const ZEBRenderOptions& o, FrameImageInfo& frame, ZEBImageViewCtrl& tile) {
    const auto screen = [&](Point image) {
        const ZEBViewTransform& v = tile.View();
        return frame.m_overlay.ImageToScreen(image, v.offsetX, v.offsetY, v.origin, v.zoom);
    };
    const auto drag = [&](int32_t tool, Point from, Point to) {
        tile.SetToolMode(tool);
        tile.OnLButtonDown(from);
        tile.OnMouseMove(to);
        tile.OnLButtonUp(to);
    };
    for (const auto& m : o.measurements) drag(kToolMeasure, screen(m.from), screen(m.to));
    for (const auto& t : o.texts) {
        const Point at = screen(t.at);
        drag(kToolText, at, at);
        tile.OnPaste(t.text);
        // A press of the pan tool that does not move ends the editing.
        drag(kToolPan, at, at);
    }
    if (o.hasProbe) drag(kToolPixelValue, screen(o.probe), screen(o.probe));
}

}  // namespace

std::string RenderUsage() {
    return "Usage: zrm-render [options] INPUT OUTPUT.bmp\n"
           "       zrm-render --list DICOMDIR\n"
           "Renders one frame of a DICOM file, or one image of a DICOMDIR, as a viewer tile\n"
           "shows it, into a 24-bit bitmap file. INPUT carries \"DICM\" at offset 128.\n"
           "\n"
           "  --image N               image N of a DICOMDIR in tree order (default 1)\n"
           "  --frame N               frame N of the file (default 1)\n"
           "  --window C,W            window centre and width (default: the file's first\n"
           "                          window, else the frame's range)\n"
           "  --zoom Z                zoom from 1/64 to 64 (default 1, or the image fitted\n"
           "                          to the tile when --size is given)\n"
           "  --size WxH              tile size (default: the image at the zoom)\n"
           "  --measure X1,Y1,X2,Y2   a distance measurement between two image points\n"
           "  --text X,Y,TEXT         a text at an image point (\\n breaks the line)\n"
           "  --probe X,Y             the pixel value at an image point\n"
           "  --reference-series N    reference lines of series N of the DICOMDIR (its\n"
           "                          first, last and middle image)\n"
           "  --reference FILE        reference lines of an image of another series (up to\n"
           "                          three: first, last, current)\n"
           "  --mode N                display mode of the annotations: 0, or the tool whose\n"
           "                          drag runs (1 window, 2 zoom, 4 pan, 8 measure, ...)\n"
           "  --no-annotations        leave the corner annotations out\n"
           "  --list                  list the images of the DICOMDIR and stop\n"
           "  --help                  this text\n"
           "Measurements, texts and the probe may be given several times; image points\n"
           "are column,row from 0. Exit codes: 0 done, 1 bad input, 2 bad usage, 3 the\n"
           "output cannot be written; then nothing is written at OUTPUT.\n";
}

bool ParseRenderOptions(const std::vector<std::string>& args, ZEBRenderOptions& options,
                        std::string& error) {
    options = ZEBRenderOptions();
    std::vector<std::string> operands;
    bool operandsOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto& specs = Options();
        const auto spec = std::find_if(specs.begin(), specs.end(),
                                       [&](const OptionSpec& s) { return name == s.name; });
        if (spec == specs.end()) {
            error = "unknown option " + name;
            return false;
        }
        std::string value;
        if (spec->value && equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (spec->value) {
            if (++i == args.size()) {
                error = name + " needs " + spec->value;
                return false;
            }
            value = args[i];
        } else if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        if (!spec->apply(options, value)) {
            error = "bad value '" + value + "' for " + name + ": expected " +
                    (spec->value ? spec->value : "nothing");
            return false;
        }
    }
    if (options.help) return true;
    const size_t wanted = options.list ? 1 : 2;
    if (operands.size() != wanted) {
        error = options.list ? "--list takes one DICOMDIR" : "give INPUT and OUTPUT.bmp";
        return false;
    }
    options.input = operands[0];
    if (!options.list) options.output = operands[1];
    if (options.referenceSeries > 0 && !options.referenceFiles.empty()) {
        error = "give either --reference-series or --reference";
        return false;
    }
    return true;
}

int BuildRenderScene(const ZEBRenderOptions& o, ZEBRenderScene& scene, std::ostream& err) {
    ZEBVRXHelper& helper = scene.helper;
    Source source;
    if (int code = OpenInput(o, helper, source, err); code != kRenderDone) return code;
    if (o.referenceSeries > 0 && !source.isDirectory)
        return Report(err, kRenderBadUsage, "", "--reference-series needs a DICOMDIR as INPUT");
    struct stat in, outStat;
    if (!o.output.empty() && ::stat(source.path.c_str(), &in) == 0 &&
        ::stat(o.output.c_str(), &outStat) == 0 && in.st_dev == outStat.st_dev &&
        in.st_ino == outStat.st_ino)
        return Report(err, kRenderBadUsage, "", "OUTPUT is the input file");

    // A DICOMDIR's image is named with its file.
    const std::string& where = scene.where =
        source.isDirectory ? o.input + ": image " + std::to_string(o.image) + " (" + source.path + ")"
                           : o.input;
    FrameImageInfo& frame = scene.frame;
    if (!helper.DecodeFrame(source.path, uint32_t(o.frame - 1), frame, !o.hasWindow))
        return Report(err, kRenderBadInput, where, helper.LastError().Describe());
    if (o.hasWindow) {
        frame.m_windowCenter = o.windowCenter;
        frame.m_windowWidth = o.windowWidth;
    }
    int32_t referenceCount = 0;
    if (int code = LoadReferences(o, source, helper, scene.references, referenceCount, err);
        code != kRenderDone)
        return code;

    // The tile: the image at the zoom, or the given size with the image
    // fitted or centred at the zoom.
    const CZEBOverlayCommon& g = frame.m_overlay;
    const double imageWidth = g.m_columns, imageHeight = g.m_rows * g.m_verticalAspect;
    int64_t width = o.tileWidth, height = o.tileHeight;
    if (!o.hasSize) {
        width = std::max<int64_t>(1, std::llround(imageWidth * o.zoom));
        height = std::max<int64_t>(1, std::llround(imageHeight * o.zoom));
    }
    if (width > kMaxTileSide || height > kMaxTileSide || width * height > kMaxTileArea)
        return Report(err, kRenderBadUsage, "",
                      "a tile of " + std::to_string(width) + "x" + std::to_string(height) +
                          " is too large; give a smaller --zoom or a --size");
    scene.tile = std::make_unique<ZEBImageViewCtrl>(static_cast<int32_t>(width),
                                                    static_cast<int32_t>(height));
    ZEBImageViewCtrl& tile = *scene.tile;
    tile.SetFrame(&frame);
    // A tile the size of the image at the zoom holds it from its top left.
    if (o.hasZoom || !o.hasSize) tile.CentreAtZoom(o.zoom);
    tile.SetImagePainter(helper.Painter());
    tile.SetWindow(frame.m_windowCenter, frame.m_windowWidth);
    if (source.page >= 0)
        tile.SetPage(source.page + 1, source.pageCount);
    else
        tile.SetPage(o.frame, frame.m_frameCount);
    tile.ShowAnnotations(o.annotations);

    MakeOverlays(o, frame, tile);
    const FrameImageInfo* r = scene.references;
    if (referenceCount > 0)
        tile.ComputeReferenceLines(&r[0], referenceCount > 1 ? &r[1] : nullptr,
                                   referenceCount > 2 ? &r[2] : nullptr);
    tile.SetDisplayMode(o.displayMode);
    return kRenderDone;
}

int RunRender(const ZEBRenderOptions& o, std::ostream& out, std::ostream& err) {
    if (o.help) {
        out << RenderUsage();
        return kRenderDone;
    }
    if (o.list) {
        ZEBVRXHelper helper;
        Source source;
        if (int code = OpenInput(o, helper, source, err); code != kRenderDone) return code;
        if (!source.isDirectory) return Report(err, kRenderBadInput, o.input, "not a DICOMDIR");
        List(source.directory, out);
        return kRenderDone;
    }
    ZEBRenderScene scene;
    if (int code = BuildRenderScene(o, scene, err); code != kRenderDone) return code;
    scene.tile->Paint();
    if (scene.helper.PaintFailed())
        return Report(err, kRenderBadInput, scene.where, scene.helper.LastError().Describe());
    if (!scene.helper.WriteBitmapFile(scene.tile->BackBuffer(), o.output))
        return Report(err, kRenderBadOutput, o.output, scene.helper.LastError().Describe());
    return kRenderDone;
}

int RenderProgramMain(int argc, char** argv) {
    std::vector<std::string> args(argv + std::min(argc, 1), argv + std::max(argc, 0));
    ZEBRenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error))
        return Report(std::cerr, kRenderBadUsage, "", error + " (see --help)");
    return RunRender(options, std::cout, std::cerr);
}
