#pragma once
// The command-line render program: one frame of a DICOM file, or one image
// of a DICOMDIR, rendered to a bitmap file as a viewer tile shows it, with
// the overlays made through the tile's gestures and the corner annotations.
//
//   zrm-render --window 40,400 --zoom 2 CT_small.dcm ct.bmp
//   zrm-render --list /media/DICOMDIR
//
// Exit codes: 0 done; 1 the input cannot be rendered (missing, not DICOM,
// corrupt, no pixels, unsupported, image or frame out of range); 2 bad
// usage; 3 the output cannot be written. After a failure one line on stderr
// names the input and the failure, and nothing is written at the output
// path.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <memory>

#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "platform/bitmap.h"

enum ZEBRenderExit : int {
    kRenderDone = 0,
    kRenderBadInput = 1,
    kRenderBadUsage = 2,
    kRenderBadOutput = 3,
};

struct ZEBRenderOptions {
    struct Measurement {
        platform::Point from;
        platform::Point to;
    };
    struct Text {
        platform::Point at;
        std::u16string text;
    };

    std::string input;
    std::string output;
    int32_t image = 1;  // of a DICOMDIR, in tree order, from 1
    int32_t frame = 1;  // of the file, from 1
    bool hasWindow = false;
    double windowCenter = 0.0;
    double windowWidth = 0.0;
    bool hasZoom = false;
    double zoom = 1.0;
    bool hasSize = false;
    int32_t tileWidth = 0;
    int32_t tileHeight = 0;
    // Overlays, at image points (column, row).
    std::vector<Measurement> measurements;
    std::vector<Text> texts;
    bool hasProbe = false;
    platform::Point probe;
    // Reference lines: a series of the DICOMDIR (from 1), or up to three
    // files (first, last and current image of the other series).
    int32_t referenceSeries = 0;
    std::vector<std::string> referenceFiles;
    int32_t displayMode = 0;
    bool annotations = true;
    bool list = false;
    bool help = false;
};

// Reads the arguments (without the program name); false with the reason in
// `error` when one is refused.
bool ParseRenderOptions(const std::vector<std::string>& args, ZEBRenderOptions& options,
                        std::string& error);
// The program's help text.
std::string RenderUsage();
// What the program builds before it paints: the frame with its overlays,
// the reference images and the tile that shows them, painted through the
// bridge.
struct ZEBRenderScene {
    std::string where;  // the input as messages name it
    ZEBVRXHelper helper;
    FrameImageInfo frame;
    FrameImageInfo references[3];
    std::unique_ptr<ZEBImageViewCtrl> tile;
};
// Builds the scene of the options (not --list or --help); the exit code.
int BuildRenderScene(const ZEBRenderOptions& options, ZEBRenderScene& scene, std::ostream& err);
// Runs the program; the exit code.
int RunRender(const ZEBRenderOptions& options, std::ostream& out, std::ostream& err);
// main(): parses and runs.
int RenderProgramMain(int argc, char** argv);
