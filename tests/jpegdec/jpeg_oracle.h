#pragma once
// libjpeg-turbo as the reference decoder of the JPEG tests and benchmarks:
// the accurate integer transform, no fancy upsampling, and output in the
// stream's own colour space unless RGB is asked for.
#include <cstdint>
#include <string>
#include <vector>

namespace jpegoracle {

using Bytes = std::vector<uint8_t>;

struct Image {
    bool ok = false;
    uint32_t width = 0, height = 0, channels = 0;
    Bytes pixels;  // channels interleaved
    uint8_t at(uint32_t x, uint32_t y, uint32_t c) const {
        return pixels[(size_t{y} * width + x) * channels + c];
    }
};

Bytes ReadFile(const std::string& path);

// Decoded at 1/scale (1, 2, 4, 8); rgb asks for RGB output.
Image Decode(const Bytes& jpeg, uint32_t scale = 1, bool rgb = false);

// libjpeg's warnings (emit_message at level -1) over the whole decoding of
// the stream, through its end of image; -1 when libjpeg fails.
int Warnings(const Bytes& jpeg);

// Quantised coefficients of every component: blocks row by row over the
// component's block grid, 64 natural-order values each.
struct Coefficients {
    bool ok = false;
    struct Plane {
        uint32_t blocksWide = 0, blocksHigh = 0;
        std::vector<int16_t> values;
    };
    std::vector<Plane> planes;
};
Coefficients ReadCoefficients(const Bytes& jpeg);

// What libjpeg's header reading finds.
struct HeaderInfo {
    bool ok = false;
    uint32_t width = 0, height = 0, components = 0;
    bool progressive = false, jfif = false, adobe = false;
    uint32_t sampling = 0;  // H<<4|V bytes, component 0 highest (3 and 4 components)
    int colorSpace = 0;     // J_COLOR_SPACE
};
HeaderInfo ReadHeaderInfo(const Bytes& jpeg);

// The largest difference over the area both images cover (255 when the
// channel counts differ or either is empty).
int MaxDifference(const Image& a, const Image& b);

}  // namespace jpegoracle
