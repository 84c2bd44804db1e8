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
    // The one limit of a tile, whether --size gives it or the image at the
    // zoom: its buffers (the picture, the rendered image and the bitmap
    // file, kTileBytesPerPixel bytes a pixel) within kTileBudget bytes.
    static constexpr int64_t kTileBudget = int64_t{1} << 30;
    static constexpr int64_t kTileBytesPerPixel = 9;
    // Empty when a tile of that size fits the budget, else why it does not.
    static std::string CheckTileSize(int64_t width, int64_t height);
    // Empty when every point of the overlay options is a pixel of an image
    // of `columns` x `rows` (column 0 to columns - 1, row 0 to rows - 1),
    // else which option and point is not.
    std::string CheckPoints(int32_t columns, int32_t rows) const;

    struct Measurement {
        platform::Point from;
        platform::Point to;
    };
    // An arrow's tip and the other end.
    using Arrow = Measurement;
    struct Text {
        platform::Point at;
        std::u16string text;
    };

    std::string input;
    std::string output;
    int32_t image = 1;  // of a DICOMDIR, in tree order, from 1
    bool hasImage = false;
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
    std::vector<Arrow> arrows;
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
    bool version = false;
};

// Reads the arguments (without the program name); false with the reason in
// `error` when one is refused.
bool ParseRenderOptions(const std::vector<std::string>& args, ZEBRenderOptions& options,
                        std::string& error);
// The program's help text.
std::string RenderUsage();
// The program's name and version.
std::string RenderVersion();
// True for an OUTPUT name the program writes a file to: one ending in
// ".bmp" (any case).
bool IsBitmapFileName(const std::string& name);
