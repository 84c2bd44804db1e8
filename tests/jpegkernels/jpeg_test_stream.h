#pragma once
// A minimal JPEG reader for the kernel tests and benchmarks: it parses the
// header segments the decoding rows need (SOF0/1/3, DHT, DRI, SOS; DQT and
// APPn are skipped) and drives the kernel rows of one processor column over
// the first scan, as a decoder would: sequential Huffman scans into
// quantised coefficients (rows 14 to 18), lossless scans into samples
// (rows 17, 19 or 20, then 21 and 22). Restart markers are handled.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jpegkernels/kernel_records.h"
#include "jpegkernels/kernel_status.h"
#include "tests/jpegkernels/huffman_test_support.h"

namespace jpegkernels::testing {

std::vector<uint8_t> ReadFileBytes(const std::string& path);

struct JpegStream {
    struct Component {
        int id = 0, h = 1, v = 1;
        // Tables of the first scan (-1 when not in it).
        int dcTable = -1, acTable = -1;
    };
    uint8_t frameMarker = 0;  // 0xC0, 0xC1 or 0xC3
    int precision = 0, width = 0, height = 0;
    std::vector<Component> components;
    int restartInterval = 0;
    // First scan: its components (indexes into components), spectral start
    // (the lossless predictor), and point transform.
    std::vector<int> scanComponents;
    int ss = 0, se = 0, al = 0;
    // DC (lossless) and AC tables as defined before the first scan.
    std::array<std::optional<DhtTable>, 4> dcTables, acTables;
    // The entropy-coded data of the first scan runs from here to the end.
    size_t scanOffset = 0;
    std::vector<uint8_t> bytes;
};

// False with a reason for anything this reader does not handle.
bool ParseJpeg(std::vector<uint8_t> bytes, JpegStream& stream, std::string& error);

// Quantised coefficients of every component, blocks row by row over the
// area the scan's MCUs cover, 64 natural-order values per block.
struct CoefficientImage {
    struct Plane {
        int blocksWide = 0, blocksHigh = 0;
        std::vector<int16_t> coefficients;
        const int16_t* Block(int bx, int by) const {
            return coefficients.data() + 64 * (static_cast<size_t>(by) * blocksWide + bx);
        }
        int16_t* Block(int bx, int by) {
            return coefficients.data() + 64 * (static_cast<size_t>(by) * blocksWide + bx);
        }
    };
    std::vector<Plane> planes;
};

// The first (sequential) scan decoded with the rows of one column: Prepare
// builds the tables (rows 14 and 15) and lays the planes out; Run decodes
// (rows 16 to 18, row 17 again at every restart). The first failing row
// status is returned, or 0; any -99 (row not built) fails as well.
class SequentialScanDecoder {
public:
    KernelStatus Prepare(const JpegStream& stream, int column, CoefficientImage& image);
    KernelStatus Run(CoefficientImage& image) const;
    int Blocks() const { return blocks_; }

private:
    const JpegStream* stream_ = nullptr;
    int column_ = 0, mcusWide_ = 0, mcusHigh_ = 0, blocks_ = 0;
    bool interleaved_ = false;
    std::vector<HuffmanDecoderTable> dc_, ac_;
};

KernelStatus DecodeCoefficients(const JpegStream& stream, int column, CoefficientImage& image);

// A lossless scan decoded with the rows of one column: Prepare builds the
// tables; DecodeDifferences fills one row of differences per component and
// image row, with row 20 for whole rows or (oneAtATime) row 19 for every
// difference; Reconstruct turns them into samples (point-transformed,
// components interleaved) with rows 21 and 22.
class LosslessScanDecoder {
public:
    // differences[y][c] is image row y of component c.
    using Differences = std::vector<std::vector<std::vector<uint16_t>>>;

    KernelStatus Prepare(const JpegStream& stream, int column);
    KernelStatus DecodeDifferences(bool oneAtATime, Differences& differences) const;
    KernelStatus Reconstruct(const Differences& differences, std::vector<uint16_t>& samples) const;

private:
    bool FirstRow(int y) const;
    const JpegStream* stream_ = nullptr;
    int column_ = 0;
    std::vector<HuffmanDecoderTable> tables_;
};

KernelStatus DecodeLosslessSamples(const JpegStream& stream, int column, bool oneAtATime,
                                   std::vector<uint16_t>& samples);

}  // namespace jpegkernels::testing
