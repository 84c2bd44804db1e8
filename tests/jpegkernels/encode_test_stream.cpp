#include "tests/jpegkernels/encode_test_stream.h"

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "jpegkernels/kernel_dispatch.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"

namespace jpegkernels::testing {

void MarkerWriter::Marker(uint8_t code) {
    bytes.push_back(0xFF);
    bytes.push_back(code);
}

void MarkerWriter::Segment(uint8_t code, const std::vector<uint8_t>& body) {
    Marker(code);
    const size_t length = body.size() + 2;
    bytes.push_back(static_cast<uint8_t>(length >> 8));
    bytes.push_back(static_cast<uint8_t>(length));
    bytes.insert(bytes.end(), body.begin(), body.end());
}

void MarkerWriter::Dqt(int id, const uint8_t* zigzag) {
    std::vector<uint8_t> body = {static_cast<uint8_t>(id)};
    body.insert(body.end(), zigzag, zigzag + 64);
    Segment(0xDB, body);
}

void MarkerWriter::Frame(uint8_t marker, int precision, int width, int height, const std::vector<Component>& components) {
    std::vector<uint8_t> body = {static_cast<uint8_t>(precision), static_cast<uint8_t>(height >> 8),
                                 static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
                                 static_cast<uint8_t>(width), static_cast<uint8_t>(components.size())};
    for (const Component& c : components) {
        body.insert(body.end(), {static_cast<uint8_t>(c.id), static_cast<uint8_t>(c.h << 4 | c.v),
                                 static_cast<uint8_t>(c.table)});
    }
    Segment(marker, body);
}

void MarkerWriter::Dht(int tableClass, int id, const uint8_t* bits, const uint8_t* huffval) {
    std::vector<uint8_t> body = {static_cast<uint8_t>(tableClass << 4 | id)};
    int total = 0;
    for (int i = 0; i < 16; ++i) total += bits[i];
    body.insert(body.end(), bits, bits + 16);
    body.insert(body.end(), huffval, huffval + total);
    Segment(0xC4, body);
}

void MarkerWriter::Dri(int interval) {
    Segment(0xDD, {static_cast<uint8_t>(interval >> 8), static_cast<uint8_t>(interval)});
}

void MarkerWriter::Sos(const std::vector<std::pair<int, int>>& components, int ss, int se, int al) {
    std::vector<uint8_t> body = {static_cast<uint8_t>(components.size())};
    for (auto [id, tables] : components) body.insert(body.end(), {static_cast<uint8_t>(id), static_cast<uint8_t>(tables)});
    body.insert(body.end(), {static_cast<uint8_t>(ss), static_cast<uint8_t>(se), static_cast<uint8_t>(al)});
    Segment(0xDA, body);
}

RgbPicture SyntheticPicture(int width, int height, uint32_t seed) {
    RgbPicture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    std::mt19937 rng(seed);
    const double phase = (rng() % 628) / 100.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool block = x > width / 3 && x < width / 2 && y > height / 4 && y < height / 2;
            for (int c = 0; c < 3; ++c) {
                const double shade = 128 + 100 * std::sin(0.07 * x * (c + 1) + phase) * std::cos(0.05 * y - c);
                const int v = block ? 255 * ((x / 5 + y / 7 + c) % 2) : static_cast<int>(shade) + static_cast<int>(rng() % 21) - 10;
                p.samples[(static_cast<size_t>(y) * width + x) * 3 + c] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    return p;
}

namespace {

// ITU-T T.81 K.1 tables in natural order.
constexpr uint8_t kLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr uint8_t kChrominanceCorner[4][4] = {{17, 18, 24, 47}, {18, 21, 26, 66}, {24, 26, 56, 99}, {47, 66, 99, 99}};

// The table scaled for a quality 1..100, in zig-zag order.
std::array<uint8_t, 64> ScaledTable(bool chroma, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<uint8_t, 64> zigzag;
    for (int k = 0; k < 64; ++k) {
        const int n = kZigzag[k];
        const int base = chroma ? (n / 8 < 4 && n % 8 < 4 ? kChrominanceCorner[n / 8][n % 8] : 99) : kLuminance[n];
        zigzag[static_cast<size_t>(k)] = static_cast<uint8_t>(std::clamp((base * scale + 50) / 100, 1, 255));
    }
    return zigzag;
}

struct OptimalTable {
    std::array<uint8_t, 16> bits{};
    std::array<uint8_t, 256> huffval{};
    HuffmanEncoderTable encoder{};
};

// Rows 28 and 10 of the column over symbol counts.
KernelStatus BuildTable(int column, std::array<int32_t, 257> counts, OptimalTable& table) {
    bool any = false;
    for (int s = 0; s < 256; ++s) any = any || counts[static_cast<size_t>(s)] != 0;
    if (!any) counts[0] = 1;
    if (KernelStatus s = kKernelDispatchTable.Row<KernelRow::HuffmanTableFromStatistics>()[column](
            counts.data(), table.bits.data(), table.huffval.data());
        s != kKernelOk) {
        return s;
    }
    return kKernelDispatchTable.Row<KernelRow::HuffmanEncoderTableInit>()[column](table.bits.data(), table.huffval.data(),
                                                                                &table.encoder);
}

// An entropy-coded buffer with restart markers between intervals.
struct ScanOutput {
    std::vector<uint8_t> buffer;
    uint32_t position = 0;
    HuffmanEncoderState state{};
    // The restart marker after interval `index`, or -62 when it does not fit.
    KernelStatus Restart(int index) {
        if (static_cast<size_t>(position) + 2 > buffer.size()) return kKernelDataEnded;
        buffer[position++] = 0xFF;
        buffer[position++] = static_cast<uint8_t>(0xD0 + (index & 7));
        return kKernelOk;
    }
    std::vector<uint8_t> Written() const { return std::vector<uint8_t>(buffer.begin(), buffer.begin() + position); }
};

}  // namespace

BaselineResult EncodeBaseline(const RgbPicture& picture, const BaselineOptions& options, int column) {
    using McuRow = KernelStatus (*)(const uint8_t*, int32_t, int16_t* const*);
    const int h = options.sampling == Sampling::k444 ? 1 : 2, v = options.sampling == Sampling::k420 ? 2 : 1;
    const auto& t = kKernelDispatchTable;
    const McuRow rows[2][3] = {
        {t.Row<KernelRow::LevelShiftSplit444>()[column], t.Row<KernelRow::LevelShiftSplit422>()[column],
         t.Row<KernelRow::LevelShiftSplit420>()[column]},
        {t.Row<KernelRow::RgbToYCbCrLevelShift444>()[column], t.Row<KernelRow::RgbToYCbCrLevelShift422>()[column],
         t.Row<KernelRow::RgbToYCbCrLevelShift420>()[column]}};
    const McuRow convert = rows[options.convert][static_cast<int>(options.sampling)];
    const int mcuWidth = 8 * h, mcuHeight = 8 * v;
    const int mcusWide = (picture.width + mcuWidth - 1) / mcuWidth, mcusHigh = (picture.height + mcuHeight - 1) / mcuHeight;

    BaselineResult result;
    auto& planes = result.coefficients.planes;
    planes.resize(3);
    for (int c = 0; c < 3; ++c) {
        planes[c].blocksWide = mcusWide * (c == 0 ? h : 1);
        planes[c].blocksHigh = mcusHigh * (c == 0 ? v : 1);
        planes[c].coefficients.assign(64 * static_cast<size_t>(planes[c].blocksWide) * planes[c].blocksHigh, 0);
    }
    // Colour conversion per MCU: in place over the picture where the MCU
    // lies inside it, else over a copy with the edge pixels repeated.
    for (int my = 0; my < mcusHigh; ++my) {
        for (int mx = 0; mx < mcusWide; ++mx) {
            const int x0 = mx * mcuWidth, y0 = my * mcuHeight;
            std::vector<uint8_t> padded;
            const uint8_t* source = picture.samples.data() + (static_cast<size_t>(y0) * picture.width + x0) * 3;
            int32_t step = 3 * picture.width;
            if (x0 + mcuWidth > picture.width || y0 + mcuHeight > picture.height) {
                padded.resize(static_cast<size_t>(mcuWidth) * mcuHeight * 3);
                for (int y = 0; y < mcuHeight; ++y) {
                    for (int x = 0; x < mcuWidth; ++x) {
                        const size_t from = (static_cast<size_t>(std::min(y0 + y, picture.height - 1)) * picture.width +
                                             std::min(x0 + x, picture.width - 1)) * 3;
                        for (int c = 0; c < 3; ++c) padded[(static_cast<size_t>(y) * mcuWidth + x) * 3 + c] = picture.samples[from + c];
                    }
                }
                source = padded.data();
                step = 3 * mcuWidth;
            }
            alignas(16) int16_t y[256], cb[64], cr[64];
            int16_t* out[3] = {y, cb, cr};
            if ((result.status = convert(source, step, out)) != kKernelOk) return result;
            for (int b = 0; b < h * v; ++b) std::copy(y + 64 * b, y + 64 * b + 64, planes[0].Block(mx * h + b % h, my * v + b / h));
            std::copy(cb, cb + 64, planes[1].Block(mx, my));
            std::copy(cr, cr + 64, planes[2].Block(mx, my));
        }
    }
    // Reciprocal tables (row 12) and the forward DCT with quantisation (row 7).
    const std::array<uint8_t, 64> quant[2] = {ScaledTable(false, options.quality), ScaledTable(true, options.quality)};
    uint16_t reciprocals[2][64];
    for (int q = 0; q < 2; ++q) {
        if ((result.status = t.Row<KernelRow::QuantTableInit>()[column](quant[q].data(), reciprocals[q])) != kKernelOk) {
            return result;
        }
    }
    for (int c = 0; c < 3; ++c) {
        for (size_t b = 0; b < planes[c].coefficients.size(); b += 64) {
            result.status = t.Row<KernelRow::ForwardDctQuant8x8>()[column](planes[c].coefficients.data() + b, reciprocals[c != 0]);
            if (result.status != kKernelOk) return result;
        }
    }
    // The blocks of MCU m in scan order: the Y blocks, then Cb and Cr.
    const int mcus = mcusWide * mcusHigh;
    auto forEachBlock = [&](auto&& visit) {
        for (int m = 0; m < mcus; ++m) {
            const int mx = m % mcusWide, my = m / mcusWide;
            for (int b = 0; b < h * v; ++b) visit(m, 0, planes[0].Block(mx * h + b % h, my * v + b / h));
            visit(m, 1, planes[1].Block(mx, my));
            visit(m, 2, planes[2].Block(mx, my));
        }
    };
    auto restartsAt = [&](int m) { return options.restartInterval > 0 && m > 0 && m % options.restartInterval == 0; };
    // Symbol counts of the DC and AC tables of luminance and chrominance.
    std::array<std::array<int32_t, 257>, 4> counts{};
    int16_t predictors[3] = {};
    int lastMcu = -1;
    forEachBlock([&](int m, int c, const int16_t* block) {
        if (m != lastMcu && restartsAt(m)) std::fill(predictors, predictors + 3, int16_t{0});
        lastMcu = m;
        ForEachBlockSymbol(block, predictors[c], [&](bool isAc, int symbol, int32_t, int) {
            ++counts[static_cast<size_t>(2 * (c != 0) + isAc)][static_cast<size_t>(symbol)];
        });
    });
    OptimalTable tables[4];
    for (int i = 0; i < 4; ++i) {
        if ((result.status = BuildTable(column, counts[static_cast<size_t>(i)], tables[i])) != kKernelOk) return result;
    }
    // The scan, with row 8 block by block.
    ScanOutput out;
    out.buffer.assign(options.capacity > 0 ? static_cast<size_t>(options.capacity)
                                           : static_cast<size_t>(picture.width) * picture.height * 6 + 4096,
                      0);
    const auto encode = t.Row<KernelRow::HuffmanEncodeBlock8x8>()[column];
    const int32_t capacity = static_cast<int32_t>(out.buffer.size());
    auto flush = [&]() { return encode(nullptr, out.buffer.data(), capacity, &out.position, nullptr, nullptr, nullptr, &out.state, 1); };
    t.Row<KernelRow::HuffmanEncoderStateInit>()[column](&out.state);
    std::fill(predictors, predictors + 3, int16_t{0});
    lastMcu = -1;
    forEachBlock([&](int m, int c, const int16_t* block) {
        if (result.status != kKernelOk) return;
        if (m != lastMcu && restartsAt(m)) {
            if ((result.status = flush()) != kKernelOk) return;
            if ((result.status = out.Restart(m / options.restartInterval - 1)) != kKernelOk) return;
            std::fill(predictors, predictors + 3, int16_t{0});
        }
        lastMcu = m;
        const HuffmanEncoderTable* dc = &tables[2 * (c != 0)].encoder;
        const HuffmanEncoderTable* ac = &tables[2 * (c != 0) + 1].encoder;
        result.status = encode(block, out.buffer.data(), capacity, &out.position, &predictors[c], dc, ac, &out.state, 0);
    });
    if (result.status == kKernelOk) result.status = flush();
    result.scan = out.Written();
    if (result.status != kKernelOk) return result;

    MarkerWriter w;
    w.Marker(0xD8);
    w.Dqt(0, quant[0].data());
    w.Dqt(1, quant[1].data());
    w.Frame(0xC0, 8, picture.width, picture.height, {{1, h, v, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}});
    for (int i = 0; i < 4; ++i) w.Dht(i % 2, i / 2, tables[i].bits.data(), tables[i].huffval.data());
    if (options.restartInterval > 0) w.Dri(options.restartInterval);
    w.Sos({{1, 0x00}, {2, 0x11}, {3, 0x11}}, 0, 63, 0);
    w.Append(result.scan.data(), result.scan.size());
    w.Marker(0xD9);
    result.jpeg = std::move(w.bytes);
    return result;
}

KernelStatus EncodeLossless(const LosslessOptions& o, const std::vector<uint16_t>& samples, int column,
                            std::vector<uint8_t>& jpeg) {
    const auto& t = kKernelDispatchTable;
    const size_t width = static_cast<size_t>(o.width);
    // differences[c][y], as the rows leave them.
    std::vector<std::vector<std::vector<uint16_t>>> differences(
        static_cast<size_t>(o.components), std::vector<std::vector<uint16_t>>(static_cast<size_t>(o.height), std::vector<uint16_t>(width)));
    std::vector<std::vector<uint16_t>> current(static_cast<size_t>(o.components), std::vector<uint16_t>(width)), above = current;
    auto firstRow = [&](int y) { return y == 0 || (o.restartRows > 0 && y % o.restartRows == 0); };
    std::vector<std::array<uint32_t, 17>> categories(static_cast<size_t>(o.components));
    for (int y = 0; y < o.height; ++y) {
        for (size_t c = 0; c < current.size(); ++c) {
            for (size_t x = 0; x < width; ++x) {
                current[c][x] = static_cast<uint16_t>(samples[(static_cast<size_t>(y) * width + x) * current.size() + c] >> o.pointTransform);
            }
            uint16_t* out = differences[c][static_cast<size_t>(y)].data();
            const KernelStatus s =
                firstRow(y) ? t.Row<KernelRow::LosslessDiffFirstRow>()[column](current[c].data(), out, o.width, o.precision, o.pointTransform)
                            : t.Row<KernelRow::LosslessDiffRow>()[column](current[c].data(), above[c].data(), out, o.width, o.predictor);
            if (s != kKernelOk) return s;
            for (size_t x = 0; x < width; ++x) {
                const int16_t d = static_cast<int16_t>(out[x]);
                if (KernelStatus r = t.Row<KernelRow::LosslessGatherStatistics>()[column](&d, categories[c].data()); r != kKernelOk) return r;
            }
        }
        std::swap(current, above);
    }
    std::vector<OptimalTable> tables(static_cast<size_t>(o.components));
    std::vector<const HuffmanEncoderTable*> tablePointers;
    for (size_t c = 0; c < tables.size(); ++c) {
        std::array<int32_t, 257> counts{};
        for (int s = 0; s < 17; ++s) counts[static_cast<size_t>(s)] = static_cast<int32_t>(categories[c][static_cast<size_t>(s)]);
        if (KernelStatus s = BuildTable(column, counts, tables[c]); s != kKernelOk) return s;
        tablePointers.push_back(&tables[c].encoder);
    }

    ScanOutput out;
    out.buffer.assign(width * static_cast<size_t>(o.height) * static_cast<size_t>(o.components) * 5 + 1024, 0);
    const int32_t capacity = static_cast<int32_t>(out.buffer.size());
    const auto encodeRow = t.Row<KernelRow::LosslessEncodeRow>()[column];
    const auto encodeOne = t.Row<KernelRow::LosslessEncodeOneDiff>()[column];
    auto flush = [&]() {
        return o.oneAtATime ? encodeOne(nullptr, out.buffer.data(), capacity, &out.position, nullptr, &out.state, 1)
                            : encodeRow(nullptr, 0, 0, out.buffer.data(), capacity, &out.position, nullptr, &out.state, 1);
    };
    t.Row<KernelRow::HuffmanEncoderStateInit>()[column](&out.state);
    for (int y = 0; y < o.height; ++y) {
        if (y > 0 && firstRow(y)) {
            if (KernelStatus s = flush(); s != kKernelOk) return s;
            if (KernelStatus s = out.Restart(y / o.restartRows - 1); s != kKernelOk) return s;
        }
        std::vector<const int16_t*> rows;
        for (auto& component : differences) rows.push_back(reinterpret_cast<const int16_t*>(component[static_cast<size_t>(y)].data()));
        if (!o.oneAtATime) {
            if (KernelStatus s = encodeRow(rows.data(), o.width, o.components, out.buffer.data(), capacity, &out.position,
                                           tablePointers.data(), &out.state, 0);
                s != kKernelOk) {
                return s;
            }
            continue;
        }
        for (size_t x = 0; x < width; ++x) {
            for (size_t c = 0; c < rows.size(); ++c) {
                if (KernelStatus s = encodeOne(rows[c] + x, out.buffer.data(), capacity, &out.position, tablePointers[c], &out.state, 0);
                    s != kKernelOk) {
                    return s;
                }
            }
        }
    }
    if (KernelStatus s = flush(); s != kKernelOk) return s;

    MarkerWriter w;
    w.Marker(0xD8);
    std::vector<MarkerWriter::Component> frame;
    std::vector<std::pair<int, int>> scan;
    for (int c = 0; c < o.components; ++c) {
        frame.push_back({c + 1, 1, 1, 0});
        scan.push_back({c + 1, c << 4});
    }
    w.Frame(0xC3, o.precision, o.width, o.height, frame);
    for (int c = 0; c < o.components; ++c) w.Dht(0, c, tables[static_cast<size_t>(c)].bits.data(), tables[static_cast<size_t>(c)].huffval.data());
    if (o.restartRows > 0) w.Dri(o.restartRows * o.width);
    w.Sos(scan, o.predictor, 0, o.pointTransform);
    const std::vector<uint8_t> data = out.Written();
    w.Append(data.data(), data.size());
    w.Marker(0xD9);
    jpeg = std::move(w.bytes);
    return kKernelOk;
}

bool DecodeWithDcmtk(const LosslessOptions& o, const std::vector<uint8_t>& jpeg, std::vector<uint16_t>& samples,
                     std::string& error) {
    const int bitsAllocated = o.precision <= 8 ? 8 : 16;
    dicomtest::Writer w("1.2.840.10008.1.2.4.57");
    w.text(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.7");
    w.text(0x0008, 0x0018, "UI", "1.2.826.0.1.3680043.9.7433.1.1");
    w.u16(0x0028, 0x0002, static_cast<uint16_t>(o.components));
    w.text(0x0028, 0x0004, "CS", o.components == 3 ? "RGB" : "MONOCHROME2");
    if (o.components == 3) w.u16(0x0028, 0x0006, 0);
    w.u16(0x0028, 0x0010, static_cast<uint16_t>(o.height));
    w.u16(0x0028, 0x0011, static_cast<uint16_t>(o.width));
    w.u16(0x0028, 0x0100, static_cast<uint16_t>(bitsAllocated));
    w.u16(0x0028, 0x0101, static_cast<uint16_t>(o.precision));
    w.u16(0x0028, 0x0102, static_cast<uint16_t>(o.precision - 1));
    w.u16(0x0028, 0x0103, 0);
    std::vector<uint8_t> fragment = jpeg;
    if (fragment.size() % 2) fragment.push_back(0);
    w.encapsulated({}, {fragment});

    // A folder of its own (this file is also built into a benchmark, without
    // the tests' folder).
    std::string directory = (std::filesystem::temp_directory_path() / "kernel_lossless_XXXXXX").string();
    if (mkdtemp(directory.data()) == nullptr) {
        error = "no temporary directory";
        return false;
    }
    const std::filesystem::path in = std::filesystem::path(directory) / "in.dcm", out = std::filesystem::path(directory) / "out.dcm";
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(w.bytes().data()), static_cast<std::streamsize>(w.size()));
    const std::string command = "dcmdjpeg '" + in.string() + "' '" + out.string() + "' 2>&1";
    const int rc = std::system(command.c_str());
    const std::vector<uint8_t> decoded = rc == 0 ? ReadFileBytes(out.string()) : std::vector<uint8_t>();
    std::filesystem::remove_all(directory);
    if (rc != 0) {
        error = "dcmdjpeg failed";
        return false;
    }
    // The native pixel data element is the last one: (7FE0,0010), OW or OB.
    const uint8_t tag[] = {0xE0, 0x7F, 0x10, 0x00};
    const auto at = std::find_end(decoded.begin(), decoded.end(), tag, tag + 4);
    if (at == decoded.end() || decoded.end() - at < 12) {
        error = "no pixel data in dcmdjpeg's output";
        return false;
    }
    const size_t start = static_cast<size_t>(at - decoded.begin()) + 12;
    const size_t count = static_cast<size_t>(o.width) * o.height * o.components;
    if (decoded.size() < start + count * (bitsAllocated / 8)) {
        error = "short pixel data";
        return false;
    }
    samples.resize(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = bitsAllocated == 8 ? decoded[start + i] : static_cast<uint16_t>(decoded[start + 2 * i] | decoded[start + 2 * i + 1] << 8);
    }
    return true;
}

}  // namespace jpegkernels::testing
