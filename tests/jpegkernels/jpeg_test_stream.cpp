#include "tests/jpegkernels/jpeg_test_stream.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "jpegkernels/kernel_dispatch.h"

namespace jpegkernels::testing {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

int Be16(const std::vector<uint8_t>& b, size_t p) { return b[p] << 8 | b[p + 1]; }

bool ParseHuffmanTables(const std::vector<uint8_t>& b, size_t p, size_t end, JpegStream& s, std::string& error) {
    while (p < end) {
        if (p + 17 > end) return error = "short DHT", false;
        const int tableClass = b[p] >> 4, id = b[p] & 15;
        if (tableClass > 1 || id > 3) return error = "bad DHT table", false;
        DhtTable dht;
        int total = 0;
        for (int i = 0; i < 16; ++i) total += dht.bits[static_cast<size_t>(i)] = b[p + 1 + static_cast<size_t>(i)];
        p += 17;
        if (p + static_cast<size_t>(total) > end) return error = "short DHT values", false;
        dht.huffval.assign(b.begin() + static_cast<std::ptrdiff_t>(p), b.begin() + static_cast<std::ptrdiff_t>(p) + total);
        p += static_cast<size_t>(total);
        (tableClass == 0 ? s.dcTables : s.acTables)[static_cast<size_t>(id)] = dht;
    }
    return true;
}

// Moves past the restart marker that ends an interval: the one the bit
// reader recorded, or else the next in the data; then clears the scan state.
KernelStatus Restart(const uint8_t* data, int32_t length, uint32_t& position, MarkerWord& marker,
                     HuffmanDecoderState& state, int column) {
    if (marker == 0) {
        int64_t p = position;
        for (;; ++p) {
            if (p + 1 >= length) return kKernelDataEnded;
            if (data[p] == 0xFF && data[p + 1] != 0x00 && data[p + 1] != 0xFF) break;
        }
        marker = data[p + 1];
        position = static_cast<uint32_t>(p + 2);
    }
    if (marker < 0xD0 || marker > 0xD7) return kKernelCorruptData;
    marker = 0;
    return kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateInit>()[column](&state);
}

// Builds the decoder table of a DHT table with row 15 of a column (after
// checking row 14's size).
KernelStatus BuildTable(const std::optional<DhtTable>& dht, int column, HuffmanDecoderTable& table) {
    if (!dht) return kKernelNullPointer;
    int32_t size = 0;
    if (KernelStatus s = kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableSize>()[column](&size); s != 0) {
        return s;
    }
    if (size != static_cast<int32_t>(sizeof(HuffmanDecoderTable))) return kKernelOutOfRange;
    return kKernelDispatchTable.Row<KernelRow::HuffmanDecoderTableInit>()[column](dht->bits.data(),
                                                                                  dht->huffval.data(), &table);
}

KernelStatus StartScan(int column, HuffmanDecoderState& state) {
    int32_t size = 0;
    if (KernelStatus s = kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateSize>()[column](&size); s != 0) {
        return s;
    }
    if (size != static_cast<int32_t>(sizeof(HuffmanDecoderState))) return kKernelOutOfRange;
    return kKernelDispatchTable.Row<KernelRow::HuffmanDecoderStateInit>()[column](&state);
}

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

bool ParseJpeg(std::vector<uint8_t> bytes, JpegStream& s, std::string& error) {
    s = JpegStream{};
    s.bytes = std::move(bytes);
    const std::vector<uint8_t>& b = s.bytes;
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return error = "no SOI", false;
    size_t p = 2;
    for (;;) {
        while (p < b.size() && b[p] == 0xFF) ++p;
        if (p >= b.size() || b[p - 1] != 0xFF) return error = "marker expected", false;
        const uint8_t marker = b[p++];
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        if (marker == 0xD9) return error = "no scan", false;
        if (p + 2 > b.size()) return error = "short segment", false;
        const size_t end = p + static_cast<size_t>(Be16(b, p));
        if (end > b.size() || end < p + 2) return error = "bad segment length", false;
        const size_t q = p + 2;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC3) {
            s.frameMarker = marker;
            s.precision = b[q];
            s.height = Be16(b, q + 1);
            s.width = Be16(b, q + 3);
            for (int i = 0; i < b[q + 5]; ++i) {
                const size_t c = q + 6 + 3 * static_cast<size_t>(i);
                s.components.push_back({b[c], b[c + 1] >> 4, b[c + 1] & 15, -1, -1});
            }
        } else if ((marker & 0xF0) == 0xC0 && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return error = "unsupported frame type", false;
        } else if (marker == 0xC4) {
            if (!ParseHuffmanTables(b, q, end, s, error)) return false;
        } else if (marker == 0xDD) {
            s.restartInterval = Be16(b, q);
        } else if (marker == 0xDA) {
            const int n = b[q];
            for (int i = 0; i < n; ++i) {
                const size_t c = q + 1 + 2 * static_cast<size_t>(i);
                const auto it = std::find_if(s.components.begin(), s.components.end(),
                                             [&](const JpegStream::Component& k) { return k.id == b[c]; });
                if (it == s.components.end()) return error = "scan names an unknown component", false;
                it->dcTable = b[c + 1] >> 4;
                it->acTable = b[c + 1] & 15;
                s.scanComponents.push_back(static_cast<int>(it - s.components.begin()));
            }
            const size_t t = q + 1 + 2 * static_cast<size_t>(n);
            s.ss = b[t];
            s.se = b[t + 1];
            s.al = b[t + 2] & 15;
            s.scanOffset = end;
            return true;
        }
        p = end;
    }
}

KernelStatus SequentialScanDecoder::Prepare(const JpegStream& s, int column, CoefficientImage& image) {
    stream_ = &s;
    column_ = column;
    dc_.assign(4, {});
    ac_.assign(4, {});
    for (int c : s.scanComponents) {
        const JpegStream::Component& k = s.components[static_cast<size_t>(c)];
        const size_t d = static_cast<size_t>(k.dcTable), a = static_cast<size_t>(k.acTable);
        if (KernelStatus r = BuildTable(s.dcTables[d], column, dc_[d]); r != 0) return r;
        if (KernelStatus r = BuildTable(s.acTables[a], column, ac_[a]); r != 0) return r;
    }
    int hmax = 1, vmax = 1;
    for (const auto& k : s.components) {
        hmax = std::max(hmax, k.h);
        vmax = std::max(vmax, k.v);
    }
    interleaved_ = s.scanComponents.size() > 1;
    const JpegStream::Component& only = s.components[static_cast<size_t>(s.scanComponents[0])];
    mcusWide_ = interleaved_ ? CeilDiv(s.width, 8 * hmax) : CeilDiv(CeilDiv(s.width * only.h, hmax), 8);
    mcusHigh_ = interleaved_ ? CeilDiv(s.height, 8 * vmax) : CeilDiv(CeilDiv(s.height * only.v, vmax), 8);
    image.planes.assign(s.components.size(), {});
    blocks_ = 0;
    for (int c : s.scanComponents) {
        const JpegStream::Component& k = s.components[static_cast<size_t>(c)];
        CoefficientImage::Plane& plane = image.planes[static_cast<size_t>(c)];
        plane.blocksWide = interleaved_ ? mcusWide_ * k.h : mcusWide_;
        plane.blocksHigh = interleaved_ ? mcusHigh_ * k.v : mcusHigh_;
        plane.coefficients.assign(64 * static_cast<size_t>(plane.blocksWide) * static_cast<size_t>(plane.blocksHigh), 0);
        blocks_ += plane.blocksWide * plane.blocksHigh;
    }
    return kKernelOk;
}

KernelStatus SequentialScanDecoder::Run(CoefficientImage& image) const {
    const JpegStream& s = *stream_;
    const uint8_t* data = s.bytes.data() + s.scanOffset;
    const int32_t length = static_cast<int32_t>(s.bytes.size() - s.scanOffset);
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderState state{};
    int16_t predictors[4] = {};
    if (KernelStatus r = StartScan(column_, state); r != 0) return r;
    const auto decode = kKernelDispatchTable.Row<KernelRow::HuffmanDecodeBlock8x8>()[column_];
    for (int m = 0; m < mcusWide_ * mcusHigh_; ++m) {
        if (s.restartInterval > 0 && m > 0 && m % s.restartInterval == 0) {
            if (KernelStatus r = Restart(data, length, position, marker, state, column_); r != 0) return r;
            std::fill(std::begin(predictors), std::end(predictors), 0);
        }
        const int mx = m % mcusWide_, my = m / mcusWide_;
        for (size_t i = 0; i < s.scanComponents.size(); ++i) {
            const size_t c = static_cast<size_t>(s.scanComponents[i]);
            const JpegStream::Component& k = s.components[c];
            CoefficientImage::Plane& plane = image.planes[c];
            const int h = interleaved_ ? k.h : 1, v = interleaved_ ? k.v : 1;
            for (int y = 0; y < v; ++y) {
                for (int x = 0; x < h; ++x) {
                    if (KernelStatus r = decode(data, length, &position, plane.Block(mx * h + x, my * v + y),
                                                &predictors[i], &marker, &dc_[static_cast<size_t>(k.dcTable)],
                                                &ac_[static_cast<size_t>(k.acTable)], &state);
                        r != 0) {
                        return r;
                    }
                }
            }
        }
    }
    return kKernelOk;
}

KernelStatus DecodeCoefficients(const JpegStream& s, int column, CoefficientImage& image) {
    SequentialScanDecoder decoder;
    if (KernelStatus r = decoder.Prepare(s, column, image); r != 0) return r;
    return decoder.Run(image);
}

KernelStatus LosslessScanDecoder::Prepare(const JpegStream& s, int column) {
    stream_ = &s;
    column_ = column;
    const size_t n = s.scanComponents.size();
    if (n != s.components.size() || s.width < 1 || (s.restartInterval % s.width) != 0) return kKernelOutOfRange;
    tables_.assign(n, {});
    for (size_t i = 0; i < n; ++i) {
        const JpegStream::Component& k = s.components[static_cast<size_t>(s.scanComponents[i])];
        if (k.h != 1 || k.v != 1) return kKernelOutOfRange;
        if (KernelStatus r = BuildTable(s.dcTables[static_cast<size_t>(k.dcTable)], column, tables_[i]); r != 0) return r;
    }
    return kKernelOk;
}

// The first row of the scan and of every restart interval.
bool LosslessScanDecoder::FirstRow(int y) const {
    const int rowsPerInterval = stream_->restartInterval / stream_->width;
    return y == 0 || (rowsPerInterval > 0 && y % rowsPerInterval == 0);
}

KernelStatus LosslessScanDecoder::DecodeDifferences(bool oneAtATime, Differences& differences) const {
    const JpegStream& s = *stream_;
    const size_t n = tables_.size();
    const int32_t width = s.width;
    differences.assign(static_cast<size_t>(s.height),
                       std::vector<std::vector<uint16_t>>(n, std::vector<uint16_t>(static_cast<size_t>(width))));
    std::vector<const HuffmanDecoderTable*> tables(n);
    for (size_t i = 0; i < n; ++i) tables[i] = &tables_[i];
    const uint8_t* data = s.bytes.data() + s.scanOffset;
    const int32_t length = static_cast<int32_t>(s.bytes.size() - s.scanOffset);
    uint32_t position = 0;
    MarkerWord marker = 0;
    HuffmanDecoderState state{};
    if (KernelStatus r = StartScan(column_, state); r != 0) return r;
    const auto one = kKernelDispatchTable.Row<KernelRow::HuffmanDecodeOneDiff>()[column_];
    const auto row = kKernelDispatchTable.Row<KernelRow::LosslessDecodeRow>()[column_];
    for (int y = 0; y < s.height; ++y) {
        if (y > 0 && FirstRow(y)) {
            if (KernelStatus r = Restart(data, length, position, marker, state, column_); r != 0) return r;
        }
        std::vector<uint16_t*> outputs(n);
        for (size_t i = 0; i < n; ++i) outputs[i] = differences[static_cast<size_t>(y)][i].data();
        if (!oneAtATime) {
            if (KernelStatus r = row(data, length, &position, outputs.data(), width, static_cast<int32_t>(n), &marker,
                                     tables.data(), &state);
                r != 0) {
                return r;
            }
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            for (size_t i = 0; i < n; ++i) {
                if (KernelStatus r = one(data, length, &position, &outputs[i][x], &marker, tables[i], &state); r != 0) {
                    return r;
                }
            }
        }
    }
    return kKernelOk;
}

KernelStatus LosslessScanDecoder::Reconstruct(const Differences& differences, std::vector<uint16_t>& samples) const {
    const JpegStream& s = *stream_;
    const size_t n = tables_.size();
    const int32_t width = s.width;
    const auto first = kKernelDispatchTable.Row<KernelRow::LosslessReconstructFirstRow>()[column_];
    const auto further = kKernelDispatchTable.Row<KernelRow::LosslessReconstructRow>()[column_];
    samples.assign(static_cast<size_t>(width) * static_cast<size_t>(s.height) * n, 0);
    std::vector<std::vector<uint16_t>> current(n, std::vector<uint16_t>(static_cast<size_t>(width))), previous = current;
    for (int y = 0; y < s.height; ++y) {
        for (size_t i = 0; i < n; ++i) {
            const uint16_t* d = differences[static_cast<size_t>(y)][i].data();
            const KernelStatus r = FirstRow(y) ? first(d, current[i].data(), width, s.precision, s.al)
                                               : further(d, previous[i].data(), current[i].data(), width, s.ss);
            if (r != 0) return r;
            for (int32_t x = 0; x < width; ++x) {
                samples[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * n + i] =
                    current[i][static_cast<size_t>(x)];
            }
        }
        std::swap(previous, current);
    }
    return kKernelOk;
}

KernelStatus DecodeLosslessSamples(const JpegStream& s, int column, bool oneAtATime, std::vector<uint16_t>& samples) {
    LosslessScanDecoder decoder;
    LosslessScanDecoder::Differences differences;
    if (KernelStatus r = decoder.Prepare(s, column); r != 0) return r;
    if (KernelStatus r = decoder.DecodeDifferences(oneAtATime, differences); r != 0) return r;
    return decoder.Reconstruct(differences, samples);
}

}  // namespace jpegkernels::testing
