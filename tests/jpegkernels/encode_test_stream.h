#pragma once
// Test-side JPEG framing for the encoding rows: a marker writer, and
// encoders that drive the rows of one processor column over whole pictures
// as an encoder would. Baseline: rows 1-3 or 4-6 per MCU, 12, 7 per block,
// symbol counts, 28, 10, 11 and 8 (restart intervals, flush). Lossless:
// rows 24/25 per row and component, 27, 28, 10, 11 and 23 (or 26 per
// difference).
#include <cstdint>
#include <string>
#include <vector>

#include "jpegkernels/kernel_status.h"
#include "tests/jpegkernels/huffman_test_support.h"
#include "tests/jpegkernels/jpeg_test_stream.h"

namespace jpegkernels::testing {

class MarkerWriter {
public:
    struct Component {
        int id, h, v, table;
    };
    void Marker(uint8_t code);
    void Segment(uint8_t code, const std::vector<uint8_t>& body);
    void Dqt(int id, const uint8_t* zigzag);
    void Frame(uint8_t marker, int precision, int width, int height, const std::vector<Component>& components);
    void Dht(int tableClass, int id, const uint8_t* bits, const uint8_t* huffval);
    void Dri(int interval);
    // (component id, DC table << 4 | AC table) per scan component.
    void Sos(const std::vector<std::pair<int, int>>& components, int ss, int se, int al);
    void Append(const uint8_t* data, size_t n) { bytes.insert(bytes.end(), data, data + n); }
    std::vector<uint8_t> bytes;
};

// An interleaved 8-bit picture, three samples per pixel.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> samples;
};
RgbPicture SyntheticPicture(int width, int height, uint32_t seed);

enum class Sampling { k444, k422, k420 };

struct BaselineOptions {
    Sampling sampling = Sampling::k420;
    bool convert = true;  // rows 1-3, else 4-6
    int quality = 75;     // scales the tables of ITU-T T.81 K.1
    int restartInterval = 0;
    // Capacity of the entropy-coded buffer; 0 for enough.
    int32_t capacity = 0;
};

struct BaselineResult {
    KernelStatus status = 0;  // first failing row status, or 0
    CoefficientImage coefficients;  // row 7's output per component, padding blocks included
    std::vector<uint8_t> scan;      // entropy-coded bytes up to the position
    std::vector<uint8_t> jpeg;      // the whole stream when status is 0
};

BaselineResult EncodeBaseline(const RgbPicture& picture, const BaselineOptions& options, int column);

struct LosslessOptions {
    int width = 0, height = 0, components = 1, precision = 8, predictor = 1, pointTransform = 0;
    int restartRows = 0;     // restart every so many rows, 0 for none
    bool oneAtATime = false;  // row 26 per difference instead of row 23 per row
};

// samples: components interleaved, each below 2^precision. 0 and the
// stream, or the first failing row status.
KernelStatus EncodeLossless(const LosslessOptions& options, const std::vector<uint16_t>& samples, int column,
                            std::vector<uint8_t>& jpeg);

// The stream wrapped in a DICOM file (one frame, encapsulated), decoded by
// dcmtk's dcmdjpeg; the decoded samples, components interleaved. False
// with a reason when the tool fails.
bool DecodeWithDcmtk(const LosslessOptions& options, const std::vector<uint8_t>& jpeg,
                     std::vector<uint16_t>& samples, std::string& error);

}  // namespace jpegkernels::testing
