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
// usage (also an OUTPUT that is a file the render reads, or a file name not
// ending in .bmp); 3 the output cannot be written. After a failure one line
// on stderr names the input and the failure, and nothing is written at the
// output path. Damaged data that still decodes gives one warning line
// naming the file and frame, and exit 0.
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zeboutputfile.h"
#include "Source/zebrenderoptions.h"
#include "Source/zebvrxhelper.h"

enum ZEBRenderExit : int {
    kRenderDone = 0,
    kRenderBadInput = 1,
    kRenderBadUsage = 2,
    kRenderBadOutput = 3,
};

// What the program builds before it paints: the frame with its overlays,
// the reference images and the tile that shows them, painted through the
// bridge.
struct ZEBRenderScene {
    std::string where;  // the input as messages name it
    ZEBVRXHelper helper;
    FrameImageInfo frame;
    FrameImageInfo references[3];
    std::unique_ptr<ZEBImageViewCtrl> tile;
    std::optional<ZEBOutputFile> output;  // OUTPUT, looked at before the input is read
};
// Builds the scene of the options (not --list or --help); the exit code.
int BuildRenderScene(const ZEBRenderOptions& options, ZEBRenderScene& scene, std::ostream& err);
// Runs the program; the exit code.
int RunRender(const ZEBRenderOptions& options, std::ostream& out, std::ostream& err);
// main(): parses and runs.
int RenderProgramMain(int argc, char** argv);
