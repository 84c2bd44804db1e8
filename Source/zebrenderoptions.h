#pragma once
// The render program's command line: its options, their parser and the help
// text.
//
//   ZEBRenderOptions options;
//   std::string error;
//   if (!ParseRenderOptions({"--zoom", "2", "in.dcm", "out.bmp"}, options, error)) ...
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

struct ZEBRenderOptions {
    // Largest tile side and area.
    static constexpr int64_t kMaxTileSide = 16384;
    static constexpr int64_t kMaxTileArea = int64_t{1} << 25;

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
