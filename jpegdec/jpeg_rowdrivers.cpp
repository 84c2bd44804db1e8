// Row drivers: each call decodes the next MCU row into the component
// buffers. Sequential frames decode their MCUs as they come; progressive
// frames decode every scan into the coefficient store on the first call.
//
// Damaged entropy data is not fatal: the rest of its restart interval (of
// the scan, without intervals) is passed over and stays mid-grey, decoding
// resumes after the next restart marker, and the row reports warning 3. An
// input that ends inside the data is damage whose next restart marker is
// never found: the rest of the scan stays mid-grey. One that ends after the
// data of a sequential or lossless scan, before the marker that follows it
// (the end of image), was cut short there: the last row has the warning.
// Bytes of data left before the marker that ends a scan or interval whose
// last unit decoded (0xFF fill aside) mean that what was decoded is not what
// was coded: the warning on the row that ends it, the picture as decoded.
// Each warning notes its kind of damage (kJpegDamage*).
#include <algorithm>
#include <array>
#include <cstring>

#include "jpegdec/jpeg_context.h"

namespace jpegdec {

namespace {

constexpr uint32_t kScanLost = 2;  // intervalDamaged: nothing more of the scan is read

// ---- restart intervals ----

// Restart intervals lost between the marker recorded last and the one found.
uint32_t IntervalsLost(uint8_t recorded, uint8_t found) {
    return static_cast<uint32_t>(found - recorded - 1) & 7;
}

// Damage of a kind met: the warning.
JpegStatus Damaged(JpegDecoderContext* ctx, uint32_t kind) {
    ctx->damage |= kind;
    return kJpegWarnCorruptData;
}

// The scan ends early: the units left are lost.
void ScanEndsEarly(JpegDecoderContext* ctx, JpegStatus& status) {
    status = Damaged(ctx, kJpegDamageLost);
    ctx->intervalDamaged = kScanLost;
}

// Counts one unit (an MCU, or a block of a one-component scan) against the
// restart interval and reads the marker that ends an interval; after the
// scan's last unit nothing is read. An interval whose units all decoded
// ends at its marker: data held or passed over before it is left over.
JpegStatus AfterUnit(JpegDecoderContext* ctx, JpegStatus& status, bool lastOfScan) {
    if (ctx->restartInterval == 0 || lastOfScan || ++ctx->mcuColumn < ctx->restartInterval)
        return kJpegOk;
    ctx->mcuColumn = 0;
    if (ctx->intervalDamaged == kScanLost) return kJpegOk;
    const bool decoded = !ctx->intervalDamaged;
    if (decoded && ctx->dataBytesHeld(ctx) != 0) status = Damaged(ctx, kJpegDamageLeftOver);
    JpegStatus st = ctx->scanStart(ctx);
    if (st < 1) return st;
    const uint8_t recorded = ctx->scanEndMarker;
    st = ctx->scanEndMarkerReader(ctx);
    bool passedOver = false;
    if (st < 1) {
        // Every way on below says the kind of damage. The input may end in
        // the search (-11): nothing more of the scan.
        st = ctx->restartResync(ctx, 1);
        if (st < 1) {
            ScanEndsEarly(ctx, status);
            return kJpegOk;
        }
        passedOver = true;
    } else if (ctx->scanEndMarker == recorded) {
        // DNL (or the marker just read again): the scan has ended early.
        ScanEndsEarly(ctx, status);
        return kJpegOk;
    }
    if (ctx->scanEndMarker == 0xD9) {
        // EOI, read or found by the search: the scan has ended early.
        ScanEndsEarly(ctx, status);
        return kJpegOk;
    }
    const uint32_t lost = IntervalsLost(recorded, ctx->scanEndMarker);
    if (lost > 0)
        status = Damaged(ctx, kJpegDamageLost);
    else if (passedOver)
        status = Damaged(ctx, decoded ? kJpegDamageLeftOver : kJpegDamageLost);
    ctx->carriedSkip += lost * ctx->restartInterval;
    ctx->intervalDamaged = 0;
    return kJpegOk;
}

// True for a block result that damages its interval but lets decoding go on
// (data that ran out where the input ended among them).
bool Recoverable(JpegStatus st) { return st == kJpegMarkerInData || st == kJpegCorruptData; }

// Runs `units` units: decode(u) for each one that is read, skip(u) for those
// passed over (carried from a resynchronisation, or after damage). The last
// of them ends the scan when `endsScan` is set.
template <class Decode, class Skip>
JpegStatus RunUnits(JpegDecoderContext* ctx, uint32_t units, bool endsScan, Decode decode, Skip skip) {
    JpegStatus status = kJpegOk;
    for (uint32_t u = 0; u < units; ++u) {
        // Every unit passed over makes its row a warning.
        if (ctx->carriedSkip > 0) {
            --ctx->carriedSkip;
            status = Damaged(ctx, kJpegDamageLost);
            skip(u);
            continue;
        }
        if (ctx->intervalDamaged) {
            status = Damaged(ctx, kJpegDamageLost);
            skip(u);
        } else {
            const JpegStatus st = decode(u);
            if (st < 1) {
                if (!Recoverable(st)) return st;
                status = Damaged(ctx, kJpegDamageLost);
                ctx->intervalDamaged = ctx->restartInterval ? 1 : kScanLost;
                skip(u);
            }
        }
        const JpegStatus st = AfterUnit(ctx, status, endsScan && u + 1 == units);
        if (st < 1) return st;
    }
    return status;
}

// True when the last unit of the scan or interval was decoded (not passed
// over).
bool LastUnitDecoded(const JpegDecoderContext* ctx) { return !ctx->intervalDamaged && !ctx->carriedSkip; }

// After a scan's data, 0xFF followed by a reserved code (0x02 to 0xBF) is
// no marker, and TEM (0x01) marks nothing: both are data.
bool ReservedCode(uint32_t code) { return code >= 0x01 && code <= 0xBF; }

// After the last unit of a scan, decoded: the marker that follows its data
// (kept for whoever reads on). Data left before it (bytes the bit reader
// holds or the search passes over, reserved codes among them), or a unit
// that took bits past the data, give the warning; so does an input that
// ends first. There one byte after the data is the pad that makes a DICOM
// fragment even, not data left over (none more where the bit reader left
// the pad out).
JpegStatus ScanDataEnd(JpegDecoderContext* ctx, JpegStatus status) {
    const int32_t held = ctx->dataBytesHeld(ctx);
    uint32_t passed = 0;
    bool ended = false;
    while (!ctx->pendingMarker || ReservedCode(ctx->pendingMarker)) {
        if (ctx->pendingMarker) {
            ctx->pendingMarker = 0;
            passed += 2;
        }
        const JpegStatus m = ctx->markerSearch(ctx);
        passed += ctx->bytesBeforeMarker;
        if (m < 0) {
            ended = true;
            status = Damaged(ctx, kJpegDamageNoEnd);
            break;
        }
        ctx->pendingMarker = static_cast<uint32_t>(m);
    }
    if (uint64_t(held) + passed > (ended && !ctx->inputPadByte ? 1 : 0)) status = Damaged(ctx, kJpegDamageLeftOver);
    return status;
}

// After the last row of a scan.
JpegStatus AfterScan(JpegDecoderContext* ctx, JpegStatus status) {
    if (status < 1 || !LastUnitDecoded(ctx)) return status;
    return ScanDataEnd(ctx, status);
}

bool LastRow(const JpegDecoderContext* ctx) { return ctx->mcuRow + 1 >= ctx->mcuRows; }

// The units of a row of a sequential frame: the frame's last row ends the
// scan.
template <class Decode, class Skip>
JpegStatus RunRowUnits(JpegDecoderContext* ctx, uint32_t units, Decode decode, Skip skip) {
    const bool last = LastRow(ctx);
    const JpegStatus status = RunUnits(ctx, units, last, decode, skip);
    return last ? AfterScan(ctx, status) : status;
}

// ---- regions and resampling ----

void RegionsAt(JpegDecoderContext* ctx, uint32_t mcu, PlaneRecord* regions) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        const PlaneRecord& p = ctx->componentRows[i].plane;
        const uint32_t step = ctx->mcuWidth[i] / ctx->blockSize[i];
        regions[i] = PlaneRecord{ctx->mcuWidth[i], ctx->mcuHeight[i], p.stride,
                                 p.data ? p.data + size_t{mcu} * step : nullptr};
    }
}

// Brings the planes written this row to component 0's size.
void UpsampleRow(JpegDecoderContext* ctx, bool firstOnly) {
    const uint32_t s = ctx->scaleDenom;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        if (firstOnly && i > 0) break;
        if (ctx->selectedComponent >= 0 && static_cast<uint32_t>(ctx->selectedComponent) != i) continue;
        const UpsampleFn f = ctx->upsampler[i];
        if (!f) continue;
        ComponentRows& c = ctx->componentRows[i];
        const uint32_t b = ctx->blockSize[i];
        PlaneRecord plane{ctx->mcusPerRow * ctx->mcuWidth[i] / b, ctx->mcuHeight[i] / b, c.plane.stride,
                          c.plane.data};
        const uint32_t hf = s == 1 ? ctx->hRatio[i] : ctx->scaledHFactor[i];
        const uint32_t vf = s == 1 ? ctx->vRatio[i] : ctx->scaledVFactor[i];
        f(&plane, &plane, hf, vf, ctx->upsampleWidth[i], ctx->upsampleHeight[i]);
    }
}

// ---- sequential MCU bodies ----

using McuBody = JpegStatus (*)(JpegDecoderContext*, PlaneRecord*);

JpegStatus DecodeBlocksOf(JpegDecoderContext* ctx, BlockRecord*& rec, int i, bool transform) {
    for (uint32_t b = 0; b < ctx->mcuCompBlocks[i]; ++b, ++rec) {
        const JpegStatus st = ctx->mcuDecoder(ctx, rec, i);
        if (st < 1) return st;
        if (transform) ctx->idct[i](ctx, rec, i);
    }
    return kJpegOk;
}

JpegStatus McuGeneric(JpegDecoderContext* ctx, PlaneRecord* regions) {
    BlockRecord* rec = ctx->blockRecords;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        const JpegStatus st = DecodeBlocksOf(ctx, rec, static_cast<int>(i), true);
        if (st < 1) return st;
    }
    ctx->blockWriter(regions, ctx, ctx->blockRecords);
    return kJpegOk;
}

JpegStatus McuLuma(JpegDecoderContext* ctx, PlaneRecord* regions) {
    BlockRecord* rec = ctx->blockRecords;
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        const JpegStatus st = DecodeBlocksOf(ctx, rec, static_cast<int>(i), i == 0);
        if (st < 1) return st;
    }
    ctx->blockWriter(regions, ctx, ctx->blockRecords);
    return kJpegOk;
}

// YCbCr to RGB: R = Y + 1.402 Cr, G = Y - 0.344 Cb - 0.714 Cr, B = Y + 1.772 Cb
// in 9-bit fixed point, rounded half away from zero before the shift.
inline int32_t Round9(int32_t x) { return WrapAdd(x, x >= 0 ? 256 : -256) >> 9; }
inline int32_t RedTerm(int32_t cr) { return WrapMul(718, cr); }
inline int32_t GreenTerm(int32_t cb, int32_t cr) { return WrapSub(WrapMul(-176, cb), WrapMul(365, cr)); }
inline int32_t BlueTerm(int32_t cb) { return WrapMul(906, cb); }

// Rows reached by zig-zag positions 0..k-1, and per row one past the
// largest column reached.
struct ZigzagReach {
    std::array<uint8_t, 65> rows{};
    std::array<std::array<uint8_t, 8>, 65> cols{};
};
constexpr ZigzagReach MakeZigzagReach() {
    ZigzagReach z;
    for (int k = 1; k <= 64; ++k) {
        z.rows[k] = z.rows[k - 1];
        z.cols[k] = z.cols[k - 1];
        const int pos = kZigzagToNatural[k - 1], r = pos / 8, c = pos % 8;
        if (r + 1 > z.rows[k]) z.rows[k] = static_cast<uint8_t>(r + 1);
        if (c + 1 > z.cols[k][r]) z.cols[k][r] = static_cast<uint8_t>(c + 1);
    }
    return z;
}
constexpr ZigzagReach kReach = MakeZigzagReach();

JpegStatus McuYccToRgb444(JpegDecoderContext* ctx, PlaneRecord* regions) {
    BlockRecord* b = ctx->blockRecords;
    for (int i = 0; i < 3; ++i) {
        const JpegStatus st = ctx->mcuDecoder(ctx, &b[i], i);
        if (st < 1) return st;
    }
    int32_t *y = b[0].values, *cb = b[1].values, *cr = b[2].values;
    const uint32_t kAll = std::max({b[0].end, b[1].end, b[2].end});
    const uint32_t kChroma = std::max(b[1].end, b[2].end);
    for (uint32_t r = 0; r < kReach.rows[kAll]; ++r) {
        const uint32_t chromaCols = r < kReach.rows[kChroma] ? kReach.cols[kChroma][r] : 0;
        for (uint32_t c = 0; c < kReach.cols[kAll][r]; ++c) {
            const uint32_t i = 8 * r + c;
            if (c >= chromaCols) {
                cb[i] = cr[i] = y[i];
                continue;
            }
            const int32_t luma = static_cast<int32_t>(static_cast<uint32_t>(y[i]) << 9);
            const int32_t u = cb[i], v = cr[i];
            y[i] = Round9(WrapAdd(luma, RedTerm(v)));
            cb[i] = Round9(WrapAdd(luma, GreenTerm(u, v)));
            cr[i] = Round9(WrapAdd(luma, BlueTerm(u)));
        }
    }
    for (int i = 0; i < 3; ++i) IdctFast(ctx, &b[i], i);
    WriteBlocksClamped(regions, ctx, b);
    return kJpegOk;
}

// Subsampled chroma: its contributions are transformed once per MCU and
// added to every luma sample it covers, straight into the R, G, B planes.
template <int kLumaBlocksH, int kLumaBlocksV>
JpegStatus McuYccToRgbSubsampled(JpegDecoderContext* ctx, PlaneRecord* regions) {
    constexpr int kLuma = kLumaBlocksH * kLumaBlocksV;
    BlockRecord* b = ctx->blockRecords;
    for (int i = 0; i < kLuma + 2; ++i) {
        const JpegStatus st = ctx->mcuDecoder(ctx, &b[i], i < kLuma ? 0 : i - kLuma + 1);
        if (st < 1) return st;
    }
    for (int i = 0; i < kLuma; ++i) IdctFast(ctx, &b[i], 0);
    const int32_t *cb = b[kLuma].values, *cr = b[kLuma + 1].values;
    alignas(16) int32_t terms[3][64] = {};
    const uint32_t kChroma = std::max(b[kLuma].end, b[kLuma + 1].end);
    for (uint32_t r = 0; r < kReach.rows[kChroma]; ++r)
        for (uint32_t c = 0; c < kReach.cols[kChroma][r]; ++c) {
            const uint32_t i = 8 * r + c;
            terms[0][i] = Round9(RedTerm(cr[i]));
            terms[1][i] = Round9(GreenTerm(cb[i], cr[i]));
            terms[2][i] = Round9(BlueTerm(cb[i]));
        }
    for (auto& t : terms) {
        BlockRecord term{t, 64, 0};
        IdctFast(ctx, &term, 0);
    }
    // Every plane is written at the luma MCU's position.
    const size_t x0 = static_cast<size_t>(regions[0].data - ctx->componentRows[0].plane.data);
    uint8_t* planes[3];
    for (int k = 0; k < 3; ++k) planes[k] = ctx->componentRows[k].plane.data + x0;
    const uint32_t stride = regions[0].stride;
    for (int y = 0; y < 8 * kLumaBlocksV; ++y)
        for (int x = 0; x < 16; ++x) {
            const int32_t luma = b[(y / 8) * 2 + x / 8].values[(y % 8) * 8 + x % 8];
            const int ci = (kLumaBlocksV == 2 ? y / 2 : y) * 8 + x / 2;
            const size_t at = size_t{stride} * y + x;
            for (int k = 0; k < 3; ++k) planes[k][at] = ClampSample(WrapAdd(luma, terms[k][ci]));
        }
    return kJpegOk;
}

// The blocks of one component of a one-component scan, one unit per block.
JpegStatus SelectedComponentRow(JpegDecoderContext* ctx) {
    const int c = ctx->selectedComponent;
    BlockRecord* first = ctx->blockRecords;
    for (int i = 0; i < c; ++i) first += ctx->mcuCompBlocks[i];
    const uint32_t across = ctx->mcuBlocksH[c];
    // Only the block rows inside the component are coded.
    const uint32_t down = ((uint32_t{ctx->height} + 7) / 8 + ctx->vRatio[c] - 1) / ctx->vRatio[c];
    const uint32_t rows = std::min(ctx->mcuBlocksV[c], down - std::min(down, ctx->mcuRow * ctx->mcuBlocksV[c]));
    const JpegStatus status = RunRowUnits(
        ctx, across * rows,
        [&](uint32_t u) {
            const JpegStatus st = ctx->mcuDecoder(ctx, first + u, c);
            if (st >= 1) ctx->idct[c](ctx, first + u, c);
            return st;
        },
        [&](uint32_t u) { std::memset(first[u].values, 0, 64 * sizeof(int32_t)); });
    if (status < 1) return status;
    PlaneRecord regions[kMaxComponents];
    RegionsAt(ctx, 0, regions);
    regions[c].rows = 8 * rows;
    ctx->blockWriter(regions, ctx, ctx->blockRecords);
    return status;
}

// An MCU passed over: the generic path reset the rows to 128 before the
// row; the kernel path fills the MCU.
void SkipMcu(JpegDecoderContext* ctx, uint32_t u) {
    if (!ctx->kernelPath) return;
    PlaneRecord regions[kMaxComponents];
    RegionsAt(ctx, u, regions);
    for (uint32_t i = 0; i < ctx->componentCount; ++i) {
        const PlaneRecord& r = regions[i];
        if (!r.data) continue;
        const uint32_t width = r.width / ctx->blockSize[i], rows = r.rows / ctx->blockSize[i];
        for (uint32_t y = 0; y < rows; ++y) std::memset(r.data + size_t{y} * r.stride, 128, width);
    }
}

// The MCUs of a row: decode(u) decodes MCU u into the planes.
template <class Decode>
JpegStatus McuRow(JpegDecoderContext* ctx, Decode decode) {
    return RunRowUnits(ctx, ctx->mcusPerRow, decode, [ctx](uint32_t u) { SkipMcu(ctx, u); });
}

// The MCUs of a row on the kernel path. Without restart intervals nothing
// is counted between MCUs: while no damage was met the row goes in one
// call, and damage passes over the rest of the scan as RunUnits does.
JpegStatus SequentialRowByKernel(JpegDecoderContext* ctx) {
    if (ctx->restartInterval != 0 || ctx->intervalDamaged || ctx->carriedSkip) {
        return McuRow(ctx, [ctx](uint32_t u) { return DecodeMcusByKernel(ctx, &u, u + 1); });
    }
    uint32_t u = 0;
    const JpegStatus st = DecodeMcusByKernel(ctx, &u, ctx->mcusPerRow);
    if (st >= 1) return LastRow(ctx) ? AfterScan(ctx, kJpegOk) : kJpegOk;
    if (!Recoverable(st)) return st;
    ctx->intervalDamaged = kScanLost;
    for (; u < ctx->mcusPerRow; ++u) SkipMcu(ctx, u);
    return Damaged(ctx, kJpegDamageLost);
}

// The MCUs of a row through an MCU body and the block writers.
JpegStatus SequentialRow(JpegDecoderContext* ctx, McuBody body) {
    return McuRow(ctx, [ctx, body](uint32_t u) {
        PlaneRecord regions[kMaxComponents];
        RegionsAt(ctx, u, regions);
        return body(ctx, regions);
    });
}

JpegStatus FinishRow(JpegDecoderContext* ctx, JpegStatus status) {
    if (status >= 1) ++ctx->mcuRow;
    return status;
}

// ---- progressive ----

uint32_t BlocksH(const JpegDecoderContext* ctx, uint32_t c) { return std::max(ctx->mcuBlocksH[c], 1u); }
uint32_t BlocksV(const JpegDecoderContext* ctx, uint32_t c) { return std::max(ctx->mcuBlocksV[c], 1u); }

// One scan into the coefficient store. Its restart intervals are counted and
// checked as in sequential frames: damage passes over the rest of its
// interval (the rest of the scan without intervals), whose blocks keep what
// the earlier scans gave them. An input that ends passes over the rest of
// the scan.
JpegStatus DecodeScan(JpegDecoderContext* ctx) {
    ctx->mcuColumn = 0;
    ctx->carriedSkip = 0;
    ctx->intervalDamaged = 0;
    // `count` blocks of a block row, from (bx, by).
    auto decode = [&](uint32_t c, uint32_t bx, uint32_t by, uint32_t count) {
        ctx->mcuRowReached[by / BlocksV(ctx, c)] = 1;
        return ctx->progressiveDecoder(ctx, ProgressiveBlock(ctx, c, bx, by), count, static_cast<int>(c));
    };
    auto keep = [](uint32_t) {};
    JpegStatus status = kJpegOk;
    // A row of units; false when the scan ends here.
    auto row = [&](JpegStatus st) {
        if (st < 1) {
            status = st;
            return false;
        }
        if (st > 1) status = st;
        return ctx->intervalDamaged != kScanLost;
    };
    if (ctx->scanComponentCount > 1) {
        for (uint32_t my = 0; my < ctx->mcuRows; ++my) {
            const JpegStatus st = RunUnits(ctx, ctx->mcusPerRow, my + 1 == ctx->mcuRows, [&](uint32_t mx) {
                for (uint32_t c = 0; c < ctx->componentCount; ++c) {
                    if (!ctx->componentInScan[c]) continue;
                    const uint32_t h = BlocksH(ctx, c), v = BlocksV(ctx, c);
                    for (uint32_t r = 0; r < v; ++r) {
                        const JpegStatus unit = decode(c, mx * h, my * v + r, h);
                        if (unit < 1) return unit;
                    }
                }
                return kJpegOk;
            }, keep);
            if (!row(st)) break;
        }
        return status;
    }
    uint32_t c = 0;
    while (c < ctx->componentCount && !ctx->componentInScan[c]) ++c;
    if (c == ctx->componentCount) return kJpegOk;
    // Only the blocks inside the component are coded, row by row; without
    // restart intervals a whole row goes in one call.
    const uint32_t across = ((uint32_t{ctx->width} + 7) / 8 + ctx->hRatio[c] - 1) / ctx->hRatio[c];
    const uint32_t down = ((uint32_t{ctx->height} + 7) / 8 + ctx->vRatio[c] - 1) / ctx->vRatio[c];
    const bool whole = ctx->restartInterval == 0;
    for (uint32_t by = 0; by < down; ++by) {
        const JpegStatus st = RunUnits(ctx, whole ? 1 : across, by + 1 == down, [&](uint32_t bx) {
            return decode(c, bx, by, whole ? across : 1);
        }, keep);
        if (!row(st)) break;
    }
    return status;
}

// True for a failure that means the input ended: what was decoded up to
// there is kept.
bool InputEndedIn(const JpegDecoderContext* ctx, JpegStatus st) {
    return ctx->inputEnded && (st == kJpegCorruptData || st == kJpegReadError);
}

JpegStatus DecodeAllScans(JpegDecoderContext* ctx) {
    if (!ctx->coefficientStore) {
        ctx->coefficientStore =
            static_cast<int16_t*>(AllocZeroedUntouched(ctx, uint64_t{ctx->blockRecordCount} * 64 * sizeof(int16_t)));
        ctx->mcuRowReached = static_cast<uint8_t*>(AllocZeroed(ctx, ctx->mcuRows, 1));
        if (!ctx->coefficientStore || !ctx->mcuRowReached) return kJpegEndOrNoMemory;
    }
    JpegStatus status = kJpegOk;
    for (;;) {
        JpegStatus st = DecodeScan(ctx);
        const bool whole = st >= 1 && LastUnitDecoded(ctx);
        if (st >= 1) {
            if (st > 1) status = st;
            if (whole && ScanDataEnd(ctx, kJpegOk) != kJpegOk) status = kJpegWarnCorruptData;
            st = ReadNextScanHeader(ctx);
            if (st < 1 && ctx->lastMarker == 0xD9) break;  // the end of the image
        }
        if (st < 1) {
            // A stream cut short, inside a scan or before its end of image:
            // the scans decoded so far make the image, with the warning.
            if (!InputEndedIn(ctx, st)) return st;
            status = Damaged(ctx, whole ? kJpegDamageNoEnd : kJpegDamageLost);
            break;
        }
        if ((st = ctx->scanStart(ctx)) < 1) return st;
    }
    ctx->blockCursor = 0;
    return status;
}

JpegStatus ProgressiveRow(JpegDecoderContext* ctx, bool lumaOnly) {
    JpegStatus status = kJpegOk;
    if (ctx->blockCursor < 0) {
        status = DecodeAllScans(ctx);
        if (status < 1) return status;
    }
    const uint32_t components = lumaOnly ? 1 : ctx->componentCount;
    const bool reached = ctx->mcuRowReached[ctx->mcuRow] != 0;
    for (uint32_t c = 0; c < components; ++c) {
        const PlaneRecord& plane = ctx->componentRows[c].plane;
        const uint32_t v = BlocksV(ctx, c), wide = ctx->storeBlocksWide[c];
        // The rows were filled with 128 before the driver ran: the transform
        // of blocks of zeros.
        for (uint32_t row = 0; reached && row < v; ++row) {
            uint8_t* out = plane.data + size_t{row} * 8 * plane.stride;
            const int16_t* block = ProgressiveBlock(ctx, c, 0, ctx->mcuRow * v + row);
            for (uint32_t bx = 0; bx < wide; ++bx, block += 64, out += 8)
                IdctFastProgressive(ctx, block, static_cast<int>(c), out, plane.stride);
        }
    }
    ctx->blockCursor = int64_t{ctx->mcuRow + 1} * ctx->mcusPerRow * ctx->blocksPerMcu;
    UpsampleRow(ctx, lumaOnly);
    return FinishRow(ctx, status);
}

// ---- lossless ----

// Where a lossless row's samples go.
enum class LosslessTarget {
    kPlanes,    // every component's buffer
    kCaller,    // the caller's row (one component of 16-bit samples)
    kSelected,  // the selected component's buffer
    kDecoder,   // the caller's row, written by the scan decoder itself
};

// One sample row: decoded (through the installed scan decoder) into the
// difference rows and rebuilt by the scan's predictor, or written straight
// by a decoder that reconstructs. A row passed over (damage, or intervals
// lost) is only marked: ReadRows writes it as bytes of 128.
JpegStatus LosslessRow(JpegDecoderContext* ctx, LosslessTarget target) {
    int32_t* firstRow = &ctx->dcPredictors[0];
    if (ctx->mcuRow == 0) *firstRow = 1;
    const uint32_t n = ctx->componentCount;
    const uint32_t rowBytes = 2 * uint32_t{ctx->width};
    uint16_t* out[kMaxComponents] = {};
    uint16_t* previous[kMaxComponents] = {};
    uint16_t* differences[kMaxComponents] = {};
    uint32_t counts[kMaxComponents] = {};
    // The caller's row holds the samples unless it is not aligned for them.
    uint8_t* caller = ctx->losslessOutput;
    const bool direct = target == LosslessTarget::kCaller || target == LosslessTarget::kDecoder;
    const bool aligned = (reinterpret_cast<uintptr_t>(caller) & 1) == 0;
    LosslessRowRecord record{ctx->width, n, {}};
    for (uint32_t c = 0; c < n && c < kMaxComponents; ++c) {
        if (target == LosslessTarget::kSelected && c != static_cast<uint32_t>(ctx->selectedComponent)) continue;
        if ((target == LosslessTarget::kCaller || target == LosslessTarget::kDecoder) && c > 0) break;
        ComponentRows& rows = ctx->componentRows[c];
        out[c] = reinterpret_cast<uint16_t*>(direct && aligned ? caller : rows.plane.data);
        previous[c] = reinterpret_cast<uint16_t*>(rows.second);
        differences[c] = reinterpret_cast<uint16_t*>(rows.third);
        counts[c] = ctx->width;
        record.rows[c] = target == LosslessTarget::kDecoder ? out[c] : differences[c];
    }
    const int which = target == LosslessTarget::kSelected ? ctx->selectedComponent : static_cast<int>(n);
    const JpegStatus status = RunRowUnits(
        ctx, 1,
        [&](uint32_t) {
            const JpegStatus st = ctx->losslessDecoder(ctx, &record, which);
            if (st < 1 || target == LosslessTarget::kDecoder) return st;
            ctx->scanFinish(ctx, differences, previous, out, n, counts, firstRow);
            // The row above for the next row's prediction (predictor 1 only
            // looks at its first sample).
            for (uint32_t c = 0; c < n && c < kMaxComponents; ++c)
                if (out[c]) std::memcpy(previous[c], out[c], ctx->scanSs == 1 ? 2 : rowBytes);
            return st;
        },
        [&](uint32_t) { ctx->losslessRowLost = 1; });
    if (ctx->restartInterval > 0 && ctx->mcuColumn == 0) *firstRow = 1;
    if (direct && !aligned && status >= 1 && !ctx->losslessRowLost)
        std::memcpy(caller, ctx->componentRows[0].plane.data, rowBytes);
    return FinishRow(ctx, status);
}

}  // namespace

JpegStatus RowDriverSequential(JpegDecoderContext* ctx) {
    JpegStatus status;
    if (ctx->selectedComponent >= 0)
        status = SelectedComponentRow(ctx);
    else if (ctx->kernelPath)
        status = SequentialRowByKernel(ctx);
    else
        status = SequentialRow(ctx, McuGeneric);
    if (status >= 1) UpsampleRow(ctx, false);
    return FinishRow(ctx, status);
}

JpegStatus RowDriverSequentialLuma(JpegDecoderContext* ctx) {
    const JpegStatus status = SequentialRow(ctx, McuLuma);
    if (status >= 1) UpsampleRow(ctx, true);
    return FinishRow(ctx, status);
}

JpegStatus RowDriverYccToRgb444(JpegDecoderContext* ctx) {
    return FinishRow(ctx, SequentialRow(ctx, McuYccToRgb444));
}

JpegStatus RowDriverYccToRgb422(JpegDecoderContext* ctx) {
    return FinishRow(ctx, SequentialRow(ctx, McuYccToRgbSubsampled<2, 1>));
}

JpegStatus RowDriverYccToRgb420(JpegDecoderContext* ctx) {
    return FinishRow(ctx, SequentialRow(ctx, McuYccToRgbSubsampled<2, 2>));
}

JpegStatus RowDriverProgressive(JpegDecoderContext* ctx) { return ProgressiveRow(ctx, false); }

JpegStatus RowDriverProgressiveLuma(JpegDecoderContext* ctx) { return ProgressiveRow(ctx, true); }

JpegStatus RowDriverLossless(JpegDecoderContext* ctx) { return LosslessRow(ctx, LosslessTarget::kPlanes); }

JpegStatus RowDriverLossless16Gray(JpegDecoderContext* ctx) { return LosslessRow(ctx, LosslessTarget::kCaller); }

JpegStatus RowDriverLosslessScans(JpegDecoderContext* ctx) { return LosslessRow(ctx, LosslessTarget::kSelected); }

JpegStatus RowDriverLosslessSingleUnit(JpegDecoderContext* ctx) {
    return LosslessRow(ctx, LosslessTarget::kDecoder);
}

}  // namespace jpegdec
