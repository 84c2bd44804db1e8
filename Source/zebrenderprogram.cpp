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

#include "Source/appsettings.h"
#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "platform/text_converter.h"

using platform::Point;

namespace {

constexpr const char* kProgram = "zrm-render";

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
    if (width > ZEBRenderOptions::kMaxTileSide || height > ZEBRenderOptions::kMaxTileSide ||
        width * height > ZEBRenderOptions::kMaxTileArea)
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
    // The settings are read here, before their first use.
    for (const std::string& warning : SettingsInstance().Warnings())
        Report(err, kRenderDone, "", "warning: " + warning);
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
