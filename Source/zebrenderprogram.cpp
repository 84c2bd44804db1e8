#include "Source/zebrenderprogram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <iostream>
#include <new>
#include <sstream>
#include <string_view>

#include "Source/appsettings.h"
#include "Source/frameimageinfo.h"
#include "Source/zebdicomfile.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zeboutputfile.h"
#include "Source/zebstringutil.h"
#include "Source/zebvrxhelper.h"
#include "vrx/framework/include/vrx_statuscode.h"

using platform::Point;

namespace {

constexpr const char* kProgram = "zrm-render";

std::string Utf8(std::u16string_view text) { return ToUtf8(text); }
std::string Shown(std::u16string_view text) { return ShownText(ToUtf8(text)); }

// One line on stderr naming the input and the failure; text taken from
// files is shown, never obeyed. A usage error points to the help.
int Report(std::ostream& err, int code, const std::string& input, const std::string& failure) {
    std::string line = input.empty() ? failure : input + ": " + failure;
    if (code == kRenderBadUsage) line += " (see --help)";
    err << kProgram << ": " << ShownText(line) << '\n';
    return code;
}

// One warning line, naming the input when there is one; the render goes on.
void Warn(std::ostream& err, const std::string& input, const std::string& warning) {
    Report(err, kRenderDone, input, "warning: " + warning);
}

// A File ID as messages show it: `separator` between its components, and a
// NUL inside it (which makes its file refused) as "\0".
std::string ShownFileId(std::u16string_view id, char separator) {
    std::string out;
    for (char c : Utf8(id)) {
        if (c == '\0')
            out += "\\0";
        else
            out += c == '\\' ? separator : c;
    }
    return out;
}

// The file a DICOMDIR image refers to: where it was found, else where its
// File ID puts it beside the DICOMDIR.
std::string DirectoryFilePath(const std::string& dicomdir, const ZEBDirectoryImage& image) {
    if (!image.path.empty()) return image.path;
    return dicomdir.substr(0, dicomdir.rfind('/') + 1) + ShownFileId(image.fileId, '/');
}

// Where a DICOMDIR image whose File ID leads out of the DICOMDIR's folder is.
constexpr const char* kOutside = "outside the DICOMDIR's folder";

// Why a DICOMDIR image has no file, with where its File ID leads.
std::string NoFile(const std::string& dicomdir, const ZEBDirectoryImage& image) {
    const std::string path = DirectoryFilePath(dicomdir, image);
    return image.outside ? path + " lies " + kOutside : "missing file " + path;
}

// What the program says of a file that is not DICOM, as input or reference.
constexpr const char* kNotDicom = "not a DICOM file (no \"DICM\" at offset 128)";

// The input's file and the page it shows: a DICOMDIR image, or the file.
struct Source {
    std::string path;
    int32_t page = 0;  // from 0: the image of its series, -1 for the frame of the file
    int32_t pageCount = 0;
    std::vector<ZEBDirectoryImage> directory;
    std::vector<ZEBUnfollowedFile> unfollowed;  // directory files whose records are left out
    bool isDirectory = false;
    std::string dicomdir;  // the DICOMDIR read, when the input is one
    std::unique_ptr<ZEBDicomFile> file;  // the file at `path`, read once
};

int OpenInput(const ZEBRenderOptions& o, ZEBVRXHelper& helper, Source& source, std::ostream& err) {
    struct stat st;
    if (::stat(o.input.c_str(), &st) != 0)
        return Report(err, kRenderBadInput, o.input, std::string("cannot open: ") + std::strerror(errno));
    // A folder stands for the DICOMDIR in it, as on a CD.
    std::string input = o.input;
    if (S_ISDIR(st.st_mode) && !ZEBDicomDirReader::FindInFolder(o.input, input))
        return Report(err, kRenderBadInput, o.input, "is a folder without a DICOMDIR");
    if (!ZEBVRXHelper::IsDicomFile(input))
        return Report(err, kRenderBadInput, o.input, kNotDicom);
    // A file that cannot be read is told by its reading error, whatever the
    // options ask of it.
    if (!helper.ReadDicomFile(input, source.file, source.directory, source.unfollowed,
                              source.isDirectory))
        return Report(err, kRenderBadInput, o.input, helper.LastError().Describe());
    source.path = input;
    source.page = -1;
    if (!source.isDirectory) return kRenderDone;
    // A directory file that cannot be followed is named as its record gives
    // it, as a missing image is listed; what remains is listed or rendered.
    for (const ZEBUnfollowedFile& u : source.unfollowed)
        Warn(err, o.input, "directory file " + ShownFileId(u.fileId, '\\') + " " + u.cause);
    source.dicomdir = input;
    const auto& images = source.directory;
    if (images.empty()) return Report(err, kRenderBadInput, o.input, "the DICOMDIR holds no image");
    if (o.list) return kRenderDone;
    if (size_t(o.image) > images.size())
        return Report(err, kRenderBadInput, o.input,
                      "image " + std::to_string(o.image) + " is out of range (the directory has " +
                          std::to_string(images.size()) + ")");
    const ZEBDirectoryImage& image = images[size_t(o.image) - 1];
    if (image.path.empty())
        return Report(err, kRenderBadInput, o.input,
                      "image " + std::to_string(o.image) + ": " + NoFile(source.dicomdir, image));
    source.path = image.path;
    source.file = std::make_unique<ZEBDicomFile>(image.path);
    source.page = image.indexInSeries;
    source.pageCount = image.seriesImageCount;
    return kRenderDone;
}

// One line per image, each series in its order, with what ordered it.
void List(const std::vector<ZEBDirectoryImage>& images, std::ostream& out) {
    int32_t n = 0;
    for (const ZEBDirectoryImage& i : images) {
        std::u16string order =
            i.hasInstanceNumber ? FormatText(u"instance %d", i.instanceNumber) : u"no number";
        if (i.hasSlicePosition) order += FormatText(u", at %.2f mm", i.slicePosition);
        const std::string file = !i.path.empty() ? i.path
                                 : (i.outside ? std::string("(") + kOutside + ") " : "(missing) ") +
                                       ShownFileId(i.fileId, '\\');
        // Each field on its one line: text from the directory is shown,
        // never obeyed.
        out << ++n << '\t' << Shown(i.patientName) << " [" << Shown(i.patientId) << "]\t"
            << Shown(i.studyDate) << ' ' << Shown(i.studyDescription) << "\tseries " << i.series + 1
            << " (" << Shown(i.modality) << ' ' << Shown(i.seriesNumber) << ' '
            << Shown(i.seriesDescription) << ")\timage " << i.indexInSeries + 1 << " of "
            << i.seriesImageCount << " (" << Utf8(order) << ")\t" << ShownText(file) << '\n';
    }
}

// The reference frames (first, last, current image of the other series);
// geometry only. Their files are added to `read`.
int LoadReferences(const ZEBRenderOptions& o, const Source& source, ZEBVRXHelper& helper,
                   FrameImageInfo (&frames)[3], int32_t& count, std::vector<std::string>& read,
                   std::ostream& err) {
    std::vector<std::string> paths = o.referenceFiles;
    if (o.referenceSeries > 0) {
        std::vector<const ZEBDirectoryImage*> series;
        for (const ZEBDirectoryImage& i : source.directory)
            if (i.series == o.referenceSeries - 1) series.push_back(&i);
        if (series.empty())
            return Report(err, kRenderBadInput, o.input,
                          "reference series " + std::to_string(o.referenceSeries) +
                              " is out of range (the directory has " +
                              std::to_string(source.directory.back().series + 1) + ")");
        for (const ZEBDirectoryImage* i : {series.front(), series.back(), series[series.size() / 2]}) {
            if (i->outside)
                return Report(err, kRenderBadInput, o.input,
                              "reference image: " + NoFile(source.dicomdir, *i));
            paths.push_back(DirectoryFilePath(source.dicomdir, *i));
        }
    }
    count = 0;
    for (const std::string& path : paths) {
        read.push_back(path);
        // A file that is there but is not DICOM is told as the input's is.
        if (::access(path.c_str(), F_OK) == 0 && !ZEBVRXHelper::IsDicomFile(path))
            return Report(err, kRenderBadInput, path, std::string("reference image: ") + kNotDicom);
        if (!helper.ReadGeometry(path, frames[count]))
            return Report(err, kRenderBadInput, path,
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
    for (const auto& a : o.arrows) drag(kToolArrow, screen(a.from), screen(a.to));
    for (const auto& t : o.texts) {
        const Point at = screen(t.at);
        drag(kToolText, at, at);
        tile.OnPaste(t.text);
        // A press of the pan tool that does not move ends the editing.
        drag(kToolPan, at, at);
    }
    if (o.hasProbe) drag(kToolPixelValue, screen(o.probe), screen(o.probe));
}

// The text for standard output (the listing, the help, the version),
// written whole once the run is over: a write that fails, at once or after
// a part of the text, is exit 3 with its line.
int WriteText(const std::string& text, int code, std::ostream& err) {
    if (text.empty()) return code;
    ZEBOutputFile output("-");
    if (ZEBVRXError error; !output.Open(error) || !output.Write(text.data(), text.size(), error) ||
                           !output.Commit(error))
        return Report(err, kRenderBadOutput, "standard output", error.Describe());
    return code;
}

}  // namespace

int BuildRenderScene(const ZEBRenderOptions& o, ZEBRenderScene& scene, std::ostream& err) {
    ZEBVRXHelper& helper = scene.helper;
    ZEBOutputFile& output = scene.output.emplace(o.output);
    if (ZEBVRXError error; !output.Inspect(error))
        return Report(err, kRenderBadOutput, o.output, error.Describe());
    // Files the program makes are bitmap files by name; a device, FIFO or
    // socket is taken as it is.
    if (output.GetKind() == ZEBOutputFile::Kind::kReplaced && !IsBitmapFileName(o.output))
        return Report(err, kRenderBadUsage, o.output,
                      "only BMP files are written: give OUTPUT a name ending in .bmp, or - "
                      "for standard output");
    Source source;
    if (int code = OpenInput(o, helper, source, err); code != kRenderDone) return code;
    if (o.referenceSeries > 0 && !source.isDirectory)
        return Report(err, kRenderBadUsage, "", "--reference-series needs a DICOMDIR as INPUT");
    if (o.hasImage && !source.isDirectory)
        return Report(err, kRenderBadUsage, "", "--image needs a DICOMDIR as INPUT");
    // Overlay points lie on the image's pixels; on an image without pixels
    // its decode tells why.
    if (ZEBVRXError unused; source.file->Load(unused) && source.file->info.has_image() &&
                            source.file->info.frame_count() > 0 && source.file->info.width > 0 &&
                            source.file->info.height > 0)
        if (const std::string outside = o.CheckPoints(int32_t(source.file->info.width),
                                                      int32_t(source.file->info.height));
            !outside.empty())
            return Report(err, kRenderBadUsage, "", outside);
    int32_t referenceCount = 0;
    std::vector<std::string> read = {o.input, source.path};
    if (int code = LoadReferences(o, source, helper, scene.references, referenceCount, read, err);
        code != kRenderDone)
        return code;
    // The output may not be a file the render reads, under any name.
    for (const std::string& path : read) {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || !output.IsFile(st.st_dev, st.st_ino)) continue;
        const std::string what = path == o.input ? "the input file" : "a file the render reads";
        return Report(err, kRenderBadUsage, "", "OUTPUT is " + what + " (" + path + ")");
    }

    // A DICOMDIR's image is named with its file.
    const std::string& where = scene.where =
        source.isDirectory ? o.input + ": image " + std::to_string(o.image) + " (" + source.path + ")"
                           : o.input;
    FrameImageInfo& frame = scene.frame;
    if (!helper.DecodeFrame(*source.file, uint32_t(o.frame - 1), frame, !o.hasWindow))
        return Report(err, kRenderBadInput, where, helper.LastError().Describe());
    if (helper.LastWarning().code != 0)
        Warn(err, where + ": frame " + std::to_string(o.frame), helper.LastWarning().Describe());
    if (o.hasWindow) {
        frame.m_windowCenter = o.windowCenter;
        frame.m_windowWidth = o.windowWidth;
        // Colour is shown over the range of its stored bits, whatever the
        // window.
        if (frame.m_samplesPerPixel != 1)
            Warn(err, where, "--window is not used: the window applies to monochrome images");
    }

    // The tile: the image at the zoom, or the given size with the image
    // fitted or centred at the zoom.
    const CZEBOverlayCommon& g = frame.m_overlay;
    const double imageWidth = g.m_columns, imageHeight = g.m_rows * g.m_verticalAspect;
    int64_t width = o.tileWidth, height = o.tileHeight;
    if (!o.hasSize) {
        width = std::max<int64_t>(1, std::llround(imageWidth * o.zoom));
        height = std::max<int64_t>(1, std::llround(imageHeight * o.zoom));
    }
    if (const std::string tooLarge = ZEBRenderOptions::CheckTileSize(width, height);
        !tooLarge.empty())
        return Report(err, kRenderBadUsage, "", tooLarge);
    scene.tile = std::make_unique<ZEBImageViewCtrl>(static_cast<int32_t>(width),
                                                    static_cast<int32_t>(height));
    ZEBImageViewCtrl& tile = *scene.tile;
    // A tile within the budget without its picture: memory ran out.
    if (tile.BackBuffer().empty()) throw std::bad_alloc();
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
    if (o.help || o.version) {
        out << (o.help ? RenderUsage() : RenderVersion());
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
        Warn(err, "", warning);
    ZEBRenderScene scene;
    if (int code = BuildRenderScene(o, scene, err); code != kRenderDone) return code;
    scene.tile->Paint();
    const bool painted = !scene.helper.PaintFailed();
    if (painted && scene.helper.WriteBitmapFile(scene.tile->BackBuffer(), *scene.output))
        return kRenderDone;
    // Memory that ran out is said so, whichever step it stopped.
    const ZEBVRXError& failure = scene.helper.LastError();
    if (vrx::status_category(failure.code) == vrx::VRX_ERROR_OUT_OF_MEMORY)
        return Report(err, kRenderBadInput, o.input,
                      ZEBVRXError{failure.code, failure.function, "out of memory"}.Describe());
    if (!painted) return Report(err, kRenderBadInput, scene.where, failure.Describe());
    return Report(err, kRenderBadOutput, o.output, failure.Describe());
}

int RenderProgramMain(int argc, char** argv) {
    // A reader that goes away, and a file-size limit, are write errors of
    // the output (exit 3), not signals that end the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + std::min(argc, 1), argv + std::max(argc, 0));
    ZEBRenderOptions options;
    std::string error;
    if (!ParseRenderOptions(args, options, error))
        return Report(std::cerr, kRenderBadUsage, "", error);
    // Memory that runs out anywhere ends the run in one line; what was begun
    // at OUTPUT went with the scene. Text for standard output goes there
    // once the run is over.
    std::ostringstream text;
    try {
        const int code = RunRender(options, text, std::cerr);
        return WriteText(std::move(text).str(), code, std::cerr);
    } catch (const std::bad_alloc&) {
        return Report(std::cerr, kRenderBadInput, options.input, "out of memory");
    }
}
