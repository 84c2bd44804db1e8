// The marker reader: the header segments up to the first scan, the markers
// between scans and restart intervals, and the buffered input of entropy
// decoding.
#include <algorithm>
#include <cstring>

#include "jpegdec/jpeg_context.h"

namespace jpegdec {

namespace {

int32_t ReadByteAny(JpegDecoderContext* ctx) {
    return ctx->inputBuffer ? FetchByte(ctx) : SourceReadByte(ctx);
}

// A big-endian word, or -1 when either byte is missing.
int32_t ReadWord(JpegDecoderContext* ctx) {
    const int32_t a = ReadByteAny(ctx);
    if (a < 0) return -1;
    const int32_t b = ReadByteAny(ctx);
    if (b < 0) return -1;
    return (a << 8) | b;
}

// Reads up to n bytes; the count read.
int32_t ReadBlock(JpegDecoderContext* ctx, uint8_t* buffer, int32_t n) {
    return ctx->inputBuffer ? FetchBytes(ctx, buffer, n) : SourceReadAll(ctx, buffer, n);
}

// Passes over n bytes: by seeking while the header is read (a few bytes are
// read instead: cheaper than a seek), by reading through the input buffer
// afterwards. 1, or -11 when the input ends first.
JpegStatus SkipBytes(JpegDecoderContext* ctx, int32_t n) {
    if (n <= 0) return kJpegOk;
    if (!ctx->inputBuffer) {
        uint8_t few[64];
        const bool read = n <= static_cast<int32_t>(sizeof few) ? SourceReadAll(ctx, few, n) == n
                                                                 : SeekInput(ctx, 1, n) >= 0;
        return read ? kJpegOk : kJpegReadError;
    }
    while (n > 0) {
        if (ctx->inputPos < ctx->inputFill) {
            const uint32_t k = ctx->inputFill - ctx->inputPos;
            const uint32_t take = static_cast<uint32_t>(n) < k ? static_cast<uint32_t>(n) : k;
            ctx->inputPos += take;
            n -= static_cast<int32_t>(take);
        } else {
            if (FetchByte(ctx) < 0) return kJpegReadError;
            --n;
        }
    }
    return kJpegOk;
}

bool IsRst(int32_t marker) { return marker >= 0xD0 && marker <= 0xD7; }
// Markers without a segment.
bool IsStandalone(int32_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9); }

void FreeHuffmanRecord(JpegDecoderContext* ctx, HuffmanTableRecord& r) {
    FreeMemory(ctx, r.codes);
    FreeMemory(ctx, r.bits);
    FreeMemory(ctx, r.huffval);
    FreeMemory(ctx, r.lookup);
    FreeMemory(ctx, r.fastAc);
    r.codes = nullptr;
    r.bits = nullptr;
    r.huffval = nullptr;
    r.lookup = nullptr;
    r.fastAc = nullptr;
}

// A private copy of one class's records (tables shared from another context
// are never changed in place).
HuffmanTableRecord* CopyHuffmanRecords(JpegDecoderContext* ctx, const HuffmanTableRecord* from,
                                       uint32_t count) {
    if (count == 0) return nullptr;
    auto* to = static_cast<HuffmanTableRecord*>(AllocZeroed(ctx, count, sizeof(HuffmanTableRecord)));
    if (!to) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        to[i] = from[i];
        to[i].codes = nullptr;
        to[i].bits = nullptr;
        to[i].huffval = nullptr;
        to[i].lookup = nullptr;
        to[i].fastAc = nullptr;
        bool ok = true;
        if (from[i].codes) {
            to[i].codes = static_cast<HuffmanCode*>(AllocBytes(ctx, uint64_t{from[i].capacity} * sizeof(HuffmanCode)));
            ok = ok && to[i].codes;
            if (to[i].codes) std::memcpy(to[i].codes, from[i].codes, from[i].capacity * sizeof(HuffmanCode));
        }
        if (from[i].bits) {
            to[i].bits = static_cast<uint8_t*>(AllocBytes(ctx, 16));
            ok = ok && to[i].bits;
            if (to[i].bits) std::memcpy(to[i].bits, from[i].bits, 16);
        }
        if (from[i].huffval) {
            to[i].huffval = static_cast<uint8_t*>(AllocBytes(ctx, from[i].symbolCount + 1));
            ok = ok && to[i].huffval;
            if (to[i].huffval) std::memcpy(to[i].huffval, from[i].huffval, from[i].symbolCount);
        }
        if (!ok) {
            for (uint32_t j = 0; j <= i; ++j) FreeHuffmanRecord(ctx, to[j]);
            FreeMemory(ctx, to);
            return nullptr;
        }
    }
    return to;
}

JpegStatus BuildHuffmanRecord(JpegDecoderContext* ctx, HuffmanTableRecord& record,
                              const uint8_t* bits, const uint8_t* huffval, uint32_t n,
                              uint32_t capacity) {
    auto* codes = static_cast<HuffmanCode*>(AllocZeroed(ctx, capacity, sizeof(HuffmanCode)));
    if (!codes) return kJpegEndOrNoMemory;
    uint32_t code = 0, k = 0;
    for (uint32_t l = 1; l <= 16; ++l) {
        for (uint32_t i = 0; i < bits[l - 1]; ++i, ++k, ++code) {
            if (k >= capacity || huffval[k] >= capacity) {
                FreeMemory(ctx, codes);
                return kJpegBadArgument;
            }
            // A code that does not fit its length cannot be decoded.
            if (code >= (1u << l)) {
                FreeMemory(ctx, codes);
                return kJpegBadLength;
            }
            codes[huffval[k]] = HuffmanCode{l, code};
        }
        code <<= 1;
    }
    auto* bitsCopy = static_cast<uint8_t*>(AllocBytes(ctx, 16));
    auto* valCopy = static_cast<uint8_t*>(AllocBytes(ctx, n + 1));
    if (!bitsCopy || !valCopy) {
        FreeMemory(ctx, codes);
        FreeMemory(ctx, bitsCopy);
        FreeMemory(ctx, valCopy);
        return kJpegEndOrNoMemory;
    }
    std::memcpy(bitsCopy, bits, 16);
    std::memcpy(valCopy, huffval, n);
    FreeHuffmanRecord(ctx, record);
    record.codes = codes;
    record.bits = bitsCopy;
    record.huffval = valCopy;
    record.symbolCount = n;
    record.capacity = capacity;
    uint32_t first = 0;
    for (uint32_t l = 1; l <= 16; ++l) {
        record.firstIndex[l] = first;
        if (bits[l - 1] == 0) {
            record.mincode[l] = 0;
            record.maxcode[l] = -1;
        } else {
            record.mincode[l] = codes[huffval[first]].code;
            record.maxcode[l] = static_cast<int32_t>(record.mincode[l] + bits[l - 1] - 1);
        }
        first += bits[l - 1];
    }
    record.maxcode[17] = 0x7FFFFFFF;
    return kJpegOk;
}

JpegStatus ParseJfifApp0(JpegDecoderContext* ctx, const uint8_t* d, uint32_t n) {
    if (n < 12 || std::memcmp(d, "JFIF", 5) != 0 || d[5] != 1) return kJpegOk;
    uint32_t x = (uint32_t{d[8]} << 8) | d[9];
    uint32_t y = (uint32_t{d[10]} << 8) | d[11];
    JpegStatus st = kJpegOk;
    if (d[7] == 0) {
        x = y = 0;
        st = kJpegWarnBadAppSegment;
    } else if (d[7] == 2) {
        x = static_cast<uint32_t>(x * 2.54 + 0.5) & 0xFFFF;
        y = static_cast<uint32_t>(y * 2.54 + 0.5) & 0xFFFF;
    }
    if (x == 0 || y == 0) st = kJpegWarnBadAppSegment;
    ctx->xDensity = x;
    ctx->yDensity = y;
    ctx->imageColorSpace = kJpegColorYcbcr;
    return st;
}

JpegStatus ParseG3faxApp1(JpegDecoderContext* ctx, const uint8_t* d, uint32_t n) {
    if (n < 10 || std::memcmp(d, "G3FAX", 6) != 0 || ((uint32_t{d[6]} << 8) | d[7]) != 1994)
        return kJpegOk;
    const uint32_t r = (uint32_t{d[8]} << 8) | d[9];
    ctx->xDensity = ctx->yDensity = r;
    ctx->imageColorSpace = kJpegColorItuLab;
    return r == 0 ? kJpegWarnBadAppSegment : kJpegOk;
}

JpegStatus ScanForNumberOfLines(JpegDecoderContext* ctx) {
    int32_t position = SourceTell(ctx);
    if (ctx->inputBuffer) position -= static_cast<int32_t>(ctx->inputFill - ctx->inputPos);
    for (;;) {
        const JpegStatus m = SearchNextMarker(ctx);
        if (m < 0) return m;
        if (m == 0xD9) return kJpegBadLength;
        if (m == 0xDC) break;
    }
    const JpegStatus st = ReadNumberOfLines(ctx);
    if (st < 1) return st;
    return SeekInput(ctx, 0, position) < 0 ? kJpegReadError : kJpegOk;
}

JpegStatus DetachQuantTables(JpegDecoderContext* ctx) {
    if (!ctx->haveQuantTables) return kJpegOk;
    QuantTableRecord* copy = nullptr;
    if (ctx->quantTableCount > 0) {
        copy = static_cast<QuantTableRecord*>(AllocZeroed(ctx, ctx->quantTableCount, sizeof(QuantTableRecord)));
        if (!copy) return kJpegEndOrNoMemory;
        for (uint32_t i = 0; i < ctx->quantTableCount; ++i) {
            std::memcpy(copy[i].values, ctx->quantTables[i].values, sizeof copy[i].values);
            copy[i].derived = nullptr;
        }
    }
    ctx->quantTables = copy;
    ctx->haveQuantTables = 0;
    return kJpegOk;
}

}  // namespace

// Tables shared from another context are copied before this one changes them.
JpegStatus DetachHuffmanTables(JpegDecoderContext* ctx) {
    if (!ctx->haveTables) return kJpegOk;
    HuffmanTableRecord* dc = CopyHuffmanRecords(ctx, ctx->dcTables, ctx->dcTableCount);
    HuffmanTableRecord* ac = CopyHuffmanRecords(ctx, ctx->acTables, ctx->acTableCount);
    if ((ctx->dcTableCount && !dc) || (ctx->acTableCount && !ac)) {
        for (uint32_t i = 0; dc && i < ctx->dcTableCount; ++i) FreeHuffmanRecord(ctx, dc[i]);
        for (uint32_t i = 0; ac && i < ctx->acTableCount; ++i) FreeHuffmanRecord(ctx, ac[i]);
        FreeMemory(ctx, dc);
        FreeMemory(ctx, ac);
        return kJpegEndOrNoMemory;
    }
    ctx->dcTables = dc;
    ctx->acTables = ac;
    ctx->haveTables = 0;
    ctx->tablesChanged = 1;
    return kJpegOk;
}

void FreeHuffmanTableRecords(JpegDecoderContext* ctx) {
    for (uint32_t i = 0; ctx->dcTables && i < ctx->dcTableCount; ++i) FreeHuffmanRecord(ctx, ctx->dcTables[i]);
    for (uint32_t i = 0; ctx->acTables && i < ctx->acTableCount; ++i) FreeHuffmanRecord(ctx, ctx->acTables[i]);
    FreeMemory(ctx, ctx->dcTables);
    FreeMemory(ctx, ctx->acTables);
    ctx->dcTables = ctx->acTables = nullptr;
    ctx->dcTableCount = ctx->acTableCount = 0;
}

void FreeAppSegments(JpegDecoderContext* ctx) {
    for (uint32_t i = 0; i < ctx->appSegmentCount; ++i) {
        FreeMemory(ctx, ctx->appSegments[i].data);
        ctx->appSegments[i] = JpegAppSegment{};
    }
    ctx->appSegmentCount = 0;
}

// ---- buffered input ----

int32_t FetchByte(JpegDecoderContext* ctx) {
    if (ctx->inputPos >= ctx->inputFill) {
        if (ctx->bytesLeft == 0 || ctx->inputEnded) {
            ctx->inputStatus = kJpegEndOrNoMemory;
            ctx->inputEnded = 1;
            return -1;
        }
        int32_t chunk = static_cast<int32_t>(kInputBufferBytes);
        if (ctx->bytesLeft > 0) {
            if (ctx->bytesLeft < chunk) chunk = static_cast<int32_t>(ctx->bytesLeft);
            ctx->bytesLeft -= chunk;
        }
        ctx->inputPos = 0;
        const int32_t got = SourceRead(ctx, ctx->inputBuffer, chunk);
        if (got <= 0) {
            ctx->inputFill = 0;
            ctx->inputStatus = kJpegEndOrNoMemory;
            ctx->inputEnded = 1;
            return -1;
        }
        ctx->inputFill = static_cast<uint32_t>(got);
    }
    return ctx->inputBuffer[ctx->inputPos++];
}

int32_t FetchBytes(JpegDecoderContext* ctx, uint8_t* buffer, int32_t n) {
    int32_t got = 0;
    while (got < n) {
        if (ctx->inputPos < ctx->inputFill) {
            uint32_t k = ctx->inputFill - ctx->inputPos;
            if (k > static_cast<uint32_t>(n - got)) k = static_cast<uint32_t>(n - got);
            std::memcpy(buffer + got, ctx->inputBuffer + ctx->inputPos, k);
            ctx->inputPos += k;
            got += static_cast<int32_t>(k);
            continue;
        }
        const int32_t b = FetchByte(ctx);
        if (b < 0) break;
        buffer[got++] = static_cast<uint8_t>(b);
    }
    return got;
}

int32_t SeekInput(JpegDecoderContext* ctx, int mode, int32_t offset) {
    if (ctx->inputBuffer) return -1;
    int64_t target = offset;
    if (mode == 1) target += SourceTell(ctx);
    if (target < 0 || target > INT32_MAX) return -1;
    SourceSeek(ctx, static_cast<int32_t>(target));
    const int32_t now = SourceTell(ctx);
    return now == target ? now : -1;
}

// ---- markers ----

JpegStatus ReadMarkerHere(JpegDecoderContext* ctx) { return ReadMarkerWith(ctx, ReadByteAny, kJpegBadLength); }

JpegStatus SearchNextMarker(JpegDecoderContext* ctx) { return SearchMarkerWith(ctx, ReadByteAny); }

JpegStatus ReadMarkers(JpegDecoderContext* ctx) {
    ctx->restartCounter = ctx->restartInterval = 0;
    ctx->xDensity = ctx->yDensity = 0;
    ctx->imageColorSpace = 0;
    JpegStatus overall = kJpegOk;
    JpegStatus m = ReadMarkerHere(ctx);
    if (m < 0 && m != kJpegBadLength) return m;
    if (m != 0xD8) return kJpegNoSoi;
    for (;;) {
        m = ReadMarkerHere(ctx);
        if (m < 0) {
            m = SearchNextMarker(ctx);
            if (m < 0) return m;
        }
        JpegStatus st = kJpegOk;
        bool scan = false;
        if (m == 0x01) {
            st = kJpegWarnMarkerSkipped;
        } else if (m >= 0x02 && m <= 0xBF) {
            st = SkipSegment(ctx);
            if (st == kJpegOk) st = kJpegWarnMarkerSkipped;
        } else if (m == 0xC4) {
            st = ReadHuffmanTables(ctx);
        } else if (m == 0xC8 || m == 0xCC || m == 0xDE || m == 0xDF) {
            st = kJpegUnsupported;
        } else if (m >= 0xC0 && m <= 0xCF) {
            ctx->frameMarker = static_cast<uint32_t>(m);
            st = ReadFrameHeader(ctx);
        } else if (m >= 0xD0 && m <= 0xD8) {
            st = kJpegBadValue;
        } else if (m == 0xD9) {
            return overall;
        } else if (m == 0xDA) {
            st = ReadScanHeader(ctx);
            // A decoder of one component goes on to the scan that holds it.
            if (ctx->selectedComponent >= 0)
                while (st > 0 && !ctx->componentInScan[ctx->selectedComponent])
                    st = ReadNextScanHeader(ctx);
            scan = true;
        } else if (m == 0xDB) {
            st = ReadQuantTables(ctx, true);
        } else if (m == 0xDC) {
            st = ReadNumberOfLines(ctx);
        } else if (m == 0xDD) {
            st = ReadRestartInterval(ctx);
        } else if (m >= 0xE0 && m <= 0xEF) {
            st = ReadAppSegment(ctx, static_cast<uint32_t>(m));
        } else if (m >= 0xF0 && m <= 0xFD) {
            st = SkipSegment(ctx);
            if (st == kJpegOk) st = kJpegWarnMarkerSkipped;
        } else {  // 0xFE
            st = ReadComment(ctx);
        }
        if (st < 1) return st;
        if (st > 1) overall = st;
        if (scan) break;
    }
    const uint32_t n = ctx->componentCount;
    uint32_t& cs = ctx->imageColorSpace;
    if (cs == 0)
        cs = kJpegColorAsStored;
    else if (cs == kJpegColorYcbcr && n == 1)
        cs = kJpegColorGray;
    else if ((cs == kJpegColorItuLab || cs == kJpegColorIccLab) && n == 1)
        cs = kJpegColorLstar;
    return overall;
}

JpegStatus ReadFrameHeader(JpegDecoderContext* ctx) {
    // One frame per stream.
    if (ctx->frameHeader[0] != 0 || ctx->frameHeader[1] != 0) return kJpegBadValue;
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    const int32_t p = ReadByteAny(ctx);
    if (p < 0) return kJpegReadError;
    const uint32_t f = ctx->frameMarker;
    bool precisionOk;
    if (f == 0xC0)
        precisionOk = p == 8;
    else if (f == 0xC1 || f == 0xC2)
        precisionOk = p == 8 || p == 12;
    else
        precisionOk = p >= 2 && p <= 16;
    if (!precisionOk) return kJpegBadValue;
    const int32_t y = ReadWord(ctx);
    if (y < 0) return kJpegReadError;
    const int32_t x = ReadWord(ctx);
    if (x < 0) return kJpegReadError;
    const int32_t nf = ReadByteAny(ctx);
    if (nf < 0) return kJpegReadError;
    if (y == 0) {
        ctx->height = 0;
        const JpegStatus st = ScanForNumberOfLines(ctx);
        if (st < 1) return st;
    } else {
        ctx->height = static_cast<uint16_t>(y);
    }
    ctx->width = static_cast<uint16_t>(x);
    if (nf > kMaxComponents) return kJpegUnsupported;
    ctx->componentCount = static_cast<uint32_t>(nf);
    ctx->precision = static_cast<uint32_t>(p);
    ctx->sampleBits = p > 8 ? 16 : 8;
    if (static_cast<uint32_t>((length - 8) & 0xFFFF) != 3u * static_cast<uint32_t>(nf)) return kJpegBadLength;
    uint8_t fields[12];
    if (ReadBlock(ctx, fields, 3 * nf) != 3 * nf) return kJpegReadError;
    uint32_t maxH = 1, maxV = 1;
    for (int i = 0; i < nf; ++i) {
        ctx->componentIds[i] = fields[3 * i];
        ctx->rawSamplingH[i] = fields[3 * i + 1] >> 4;
        ctx->rawSamplingV[i] = fields[3 * i + 1] & 15;
        ctx->quantSelector[i] = fields[3 * i + 2];
        if (ctx->rawSamplingH[i] > maxH) maxH = ctx->rawSamplingH[i];
        if (ctx->rawSamplingV[i] > maxV) maxV = ctx->rawSamplingV[i];
    }
    for (int i = 0; i < nf; ++i) {
        if (ctx->rawSamplingH[i] == 0 || ctx->rawSamplingV[i] == 0) return kJpegBadLength;
        ctx->hRatio[i] = static_cast<uint8_t>(maxH / ctx->rawSamplingH[i]);
        ctx->vRatio[i] = static_cast<uint8_t>(maxV / ctx->rawSamplingV[i]);
    }
    uint8_t* h = ctx->frameHeader;
    h[0] = static_cast<uint8_t>(length >> 8);
    h[1] = static_cast<uint8_t>(length);
    h[2] = static_cast<uint8_t>(p);
    h[3] = static_cast<uint8_t>(y >> 8);
    h[4] = static_cast<uint8_t>(y);
    h[5] = static_cast<uint8_t>(x >> 8);
    h[6] = static_cast<uint8_t>(x);
    h[7] = static_cast<uint8_t>(nf);
    std::memcpy(h + 8, fields, static_cast<size_t>(3 * nf));
    return kJpegOk;
}

JpegStatus ReadNumberOfLines(JpegDecoderContext* ctx) {
    // The whole segment is read: after a scan or an interval its bytes are
    // not entropy-coded data. A frame header's own height stands.
    if (ctx->height != 0) return SkipSegment(ctx);
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 4) return kJpegBadLength;
    const int32_t lines = ReadWord(ctx);
    if (lines < 0) return kJpegReadError;
    ctx->height = static_cast<uint16_t>(lines);
    return SkipBytes(ctx, length - 4);
}

JpegStatus ReadRestartInterval(JpegDecoderContext* ctx) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length != 4) return kJpegBadLength;
    const int32_t ri = ReadWord(ctx);
    if (ri < 0) return kJpegReadError;
    ctx->restartInterval = static_cast<uint32_t>(ri);
    ctx->restartCounter = 0;
    return kJpegOk;
}

JpegStatus ReadHuffmanTables(JpegDecoderContext* ctx) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    JpegStatus st = DetachHuffmanTables(ctx);
    if (st < 1) return st;
    int32_t remaining = length - 2;
    while (remaining > 0) {
        const int32_t tcth = ReadByteAny(ctx);
        if (tcth < 0) return kJpegReadError;
        --remaining;
        const uint32_t tc = static_cast<uint32_t>(tcth) >> 4, th = tcth & 15;
        if (tc > 1) return kJpegBadLength;
        uint32_t& count = tc == 0 ? ctx->dcTableCount : ctx->acTableCount;
        if (th >= count && (st = GrowHuffmanTables(ctx, th - count + 1, tc)) < 1) return st;
        const uint32_t capacity = tc == 0 ? 17 : 256;
        if (remaining < 16) return kJpegBadLength;
        uint8_t bits[16];
        if (ReadBlock(ctx, bits, 16) != 16) return kJpegReadError;
        remaining -= 16;
        uint32_t n = 0;
        for (uint8_t b : bits) n += b;
        ctx->tableSymbolCount[th] = n;
        if (n > static_cast<uint32_t>(remaining)) return kJpegBadLength;
        auto* huffval = static_cast<uint8_t*>(AllocBytes(ctx, n + 1));
        if (!huffval) return kJpegEndOrNoMemory;
        if (ReadBlock(ctx, huffval, static_cast<int32_t>(n)) != static_cast<int32_t>(n)) {
            FreeMemory(ctx, huffval);
            return kJpegReadError;
        }
        remaining -= static_cast<int32_t>(n);
        bool dcSymbolTooLarge = false;
        for (uint32_t i = 0; tc == 0 && i < n; ++i) dcSymbolTooLarge |= huffval[i] > 16;
        if (dcSymbolTooLarge) {
            FreeMemory(ctx, huffval);
            return kJpegUnsupported;
        }
        HuffmanTableRecord& record = (tc == 0 ? ctx->dcTables : ctx->acTables)[th];
        st = BuildHuffmanRecord(ctx, record, bits, huffval, n, capacity);
        FreeMemory(ctx, huffval);
        if (st < 1) return st;
    }
    ctx->tablesChanged = 1;
    return kJpegOk;
}

JpegStatus ReadQuantTables(JpegDecoderContext* ctx, bool keep) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    JpegStatus st = keep ? DetachQuantTables(ctx) : kJpegOk;
    if (st < 1) return st;
    const int32_t tables = (length - 2) / 65;
    for (int32_t t = 0; t < tables; ++t) {
        uint8_t data[65];
        if (ReadBlock(ctx, data, 65) != 65) return kJpegReadError;
        const uint32_t pq = data[0] >> 4, tq = data[0] & 15;
        if (pq != 0) {
            ctx->quantTables16Bit |= 1u << tq;
            return SkipBytes(ctx, length - 2 - 65 * (t + 1)) < 1 ? kJpegReadError : kJpegOk;
        }
        ctx->quantTables16Bit &= ~(1u << tq);
        if (!keep) continue;
        if (tq >= ctx->quantTableCount && (st = GrowQuantTables(ctx, tq + 1 - ctx->quantTableCount)) < 1)
            return st;
        for (int k = 0; k < 64; ++k) ctx->quantTables[tq].values[kZigzagToNatural[k]] = data[1 + k];
    }
    return kJpegOk;
}

JpegStatus ReadScanHeader(JpegDecoderContext* ctx) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    const int32_t ns = ReadByteAny(ctx);
    if (ns < 0) return kJpegReadError;
    if (ns == 1 && ctx->componentCount > 1 && ctx->frameMarker != 0xC2 && ctx->selectedComponent < 0) {
        if (!ctx->nonInterleaved) {
            const JpegStatus st = CreateNonInterleavedModule(ctx);
            if (st < 1) return st;
        } else if (ctx->nonInterleaved->idCount >= ctx->componentCount) {
            return kJpegBadLength;
        }
    }
    if (ns == 0 || static_cast<uint32_t>(ns) > ctx->componentCount) return kJpegBadLength;
    if (length - 3 < 2 * ns + 3) return kJpegBadLength;
    uint8_t pairs[8];
    if (ReadBlock(ctx, pairs, 2 * ns) != 2 * ns) return kJpegReadError;
    for (uint32_t& c : ctx->componentInScan) c = 0;
    uint32_t maxTd = 0, maxTa = 0;
    for (int i = 0; i < ns; ++i) {
        const JpegStatus index = FindComponentIndex(ctx, pairs[2 * i]);
        if (index < 0) return index;
        ctx->dcTableSelector[index] = pairs[2 * i + 1] >> 4;
        ctx->acTableSelector[index] = pairs[2 * i + 1] & 15;
        ctx->componentInScan[index] = 1;
        if (ctx->dcTableSelector[index] > maxTd) maxTd = ctx->dcTableSelector[index];
        if (ctx->acTableSelector[index] > maxTa) maxTa = ctx->acTableSelector[index];
    }
    uint8_t tail[3];
    if (ReadBlock(ctx, tail, 3) != 3) return kJpegReadError;
    ctx->scanSs = tail[0];
    ctx->scanSe = tail[1];
    ctx->scanAhAl = tail[2];
    ctx->scanComponentCount = static_cast<uint32_t>(ns);
    uint8_t* h = ctx->scanHeader;
    h[0] = static_cast<uint8_t>(length >> 8);
    h[1] = static_cast<uint8_t>(length);
    h[2] = static_cast<uint8_t>(ns);
    std::memcpy(h + 3, pairs, static_cast<size_t>(2 * ns));
    std::memcpy(h + 3 + 2 * ns, tail, 3);
    if (ctx->headerStarted) {
        // Every table the scan names must be defined.
        auto defined = [](const HuffmanTableRecord* tables, uint32_t count, uint32_t selector) {
            return tables && selector < count && tables[selector].bits;
        };
        for (uint32_t i = 0; i < ctx->componentCount; ++i) {
            if (!ctx->componentInScan[i]) continue;
            if (!defined(ctx->dcTables, ctx->dcTableCount, ctx->dcTableSelector[i]) ||
                maxTd >= ctx->dcTableCount)
                return kJpegBadLength;
            if (ctx->frameMarker == 0xC2 && ctx->scanSs > 0 &&
                (!defined(ctx->acTables, ctx->acTableCount, ctx->acTableSelector[i]) ||
                 maxTa >= ctx->acTableCount))
                return kJpegBadLength;
        }
    }
    // Restart markers of a scan count from RST0.
    ctx->scanEndMarker = 0xD7;
    if (ctx->nonInterleaved && ctx->nonInterleaved->idCount < ctx->componentCount)
        ctx->nonInterleaved->ids[ctx->nonInterleaved->idCount++] = pairs[0];
    return kJpegOk;
}

JpegStatus ReadComment(JpegDecoderContext* ctx) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    if (length == 2) return kJpegOk;
    // Segments are kept whole, a line feed apart, while the text fits its
    // limit; from the first that does not on, they are passed over.
    const uint32_t n = static_cast<uint32_t>(length) - 2;
    const uint32_t at = ctx->commentData ? ctx->commentLength + 1 : 0;
    const uint64_t needed = uint64_t{at} + n + 1;
    if (ctx->commentsFull || needed > kMaxCommentBytes) {
        ctx->commentsFull = 1;
        return SkipBytes(ctx, static_cast<int32_t>(n));
    }
    if (needed > ctx->commentCapacity) {
        // The text grows by doubling, so that many small segments cost
        // time in proportion to their bytes.
        uint64_t capacity = std::max<uint64_t>({needed, 2 * uint64_t{ctx->commentCapacity}, 256});
        capacity = std::min<uint64_t>(capacity, kMaxCommentBytes);
        auto* text = static_cast<char*>(AllocBytes(ctx, capacity));
        if (!text) return kJpegEndOrNoMemory;
        if (ctx->commentData) std::memcpy(text, ctx->commentData, ctx->commentLength + 1);
        FreeMemory(ctx, ctx->commentData);
        ctx->commentData = text;
        ctx->commentCapacity = static_cast<uint32_t>(capacity);
    }
    char* text = ctx->commentData;
    const auto got = ReadBlock(ctx, reinterpret_cast<uint8_t*>(text + at), static_cast<int32_t>(n));
    if (got != static_cast<int32_t>(n)) {
        // What was kept before stays, as it was.
        text[ctx->commentLength] = '\0';
        return kJpegReadError;
    }
    if (at > 0) text[at - 1] = '\n';
    ctx->commentLength = at + n;
    text[ctx->commentLength] = '\0';
    return kJpegOk;
}

JpegStatus SkipSegment(JpegDecoderContext* ctx) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    return SkipBytes(ctx, length - 2);
}

JpegStatus ReadAppSegment(JpegDecoderContext* ctx, uint32_t marker) {
    const int32_t length = ReadWord(ctx);
    if (length < 0) return kJpegReadError;
    if (length < 2) return kJpegBadLength;
    const int32_t n = length - 2;
    if (n == 0) return kJpegOk;
    if (ctx->appSegmentCount >= kMaxAppSegments) return SkipBytes(ctx, n);
    auto* data = static_cast<uint8_t*>(AllocZeroed(ctx, static_cast<uint64_t>(n), 1));
    if (!data) return SkipBytes(ctx, n);
    JpegAppSegment& slot = ctx->appSegments[ctx->appSegmentCount];
    slot.marker = marker;
    const int32_t got = ReadBlock(ctx, data, n);
    if (got != n) {
        FreeMemory(ctx, data);
        slot = JpegAppSegment{};
        return kJpegReadError;
    }
    slot.data = data;
    slot.length = static_cast<uint16_t>(got);
    ++ctx->appSegmentCount;
    if (marker == 0xE0) return ParseJfifApp0(ctx, data, static_cast<uint32_t>(got));
    if (marker == 0xE1) return ParseG3faxApp1(ctx, data, static_cast<uint32_t>(got));
    return kJpegOk;
}

JpegStatus ReadNextScanHeader(JpegDecoderContext* ctx) {
    for (;;) {
        const JpegStatus m = SearchNextMarker(ctx);
        if (m < 0) return m;
        if (m == 0xDA) return ReadScanHeader(ctx);
        if (m == 0xD9) return kJpegBadLength;
        JpegStatus st = kJpegOk;
        if (m == 0xC4) {
            st = ReadHuffmanTables(ctx);
        } else if (m == 0xDB) {
            // Tables are taken until the frame's quantisation is set up (a
            // decoder of one component reads on to the scan that holds it);
            // a frame decodes with them, so later ones change nothing and a
            // 16-bit one is refused here as it is there.
            const bool setUp = ctx->quantMultipliers != nullptr;
            st = ReadQuantTables(ctx, !setUp);
            if (st >= 1 && setUp && ctx->quantTables16Bit) st = kJpegUnsupported;
        } else if (m == 0xDD) {
            st = ReadRestartInterval(ctx);
        } else if (!IsStandalone(m)) {
            st = SkipSegment(ctx);
        }
        if (st < 1) return st;
    }
}

JpegStatus SkipToEndOfImage(JpegDecoderContext* ctx) {
    for (;;) {
        const JpegStatus m = SearchNextMarker(ctx);
        if (m == kJpegReadError) return kJpegOk;  // the input ends: take all of it
        if (m < 0) return m;
        if (m == 0xD9) return kJpegOk;
        if (IsStandalone(m)) continue;
        if (m == 0xDA) {
            const int32_t length = ReadWord(ctx);
            const int32_t ns = ReadByteAny(ctx);
            if (length < 0 || ns < 0) return kJpegOk;
            if (ns > 1) return kJpegUnsupported;
            if (length < 3 || SkipBytes(ctx, length - 3) < 1) return kJpegOk;
            continue;
        }
        const JpegStatus st = SkipSegment(ctx);
        if (st == kJpegReadError) return kJpegOk;
        if (st < 1) return st;
    }
}

JpegStatus ReadScanEndMarker(JpegDecoderContext* ctx) {
    const JpegStatus m = ReadMarkerHere(ctx);
    if (m < 0) return m;
    if (m == 0xDC) return ReadNumberOfLines(ctx);
    if (IsRst(m) || m == 0xD9) {
        ctx->scanEndMarker = static_cast<uint8_t>(m);
        return kJpegOk;
    }
    return kJpegBadLength;
}

JpegStatus ResyncToRestart(JpegDecoderContext* ctx, int n) {
    if (n == 0) return kJpegOk;
    for (;;) {
        const JpegStatus m = SearchNextMarker(ctx);
        if (m < 0) return m;
        if (m == 0xDC) {
            ReadNumberOfLines(ctx);
            return kJpegCorruptData;
        }
        if (m == 0xD9) return kJpegCorruptData;
        if (IsRst(m)) {
            ctx->scanEndMarker = static_cast<uint8_t>(m);
            if (--n == 0) return kJpegOk;
        }
    }
}

JpegStatus FindComponentIndex(const JpegDecoderContext* ctx, uint32_t id) {
    for (uint32_t i = 0; i < ctx->componentCount; ++i)
        if (ctx->componentIds[i] == id) return static_cast<JpegStatus>(i);
    return kJpegBadLength;
}

JpegStatus GrowHuffmanTables(JpegDecoderContext* ctx, uint32_t n, uint32_t tableClass) {
    uint32_t& count = tableClass == 0 ? ctx->dcTableCount : ctx->acTableCount;
    HuffmanTableRecord*& tables = tableClass == 0 ? ctx->dcTables : ctx->acTables;
    auto* grown = static_cast<HuffmanTableRecord*>(AllocZeroed(ctx, count + n, sizeof(HuffmanTableRecord)));
    if (!grown) return kJpegEndOrNoMemory;
    if (tables) std::memcpy(grown, tables, count * sizeof(HuffmanTableRecord));
    FreeMemory(ctx, tables);
    tables = grown;
    count += n;
    return kJpegOk;
}

JpegStatus GrowQuantTables(JpegDecoderContext* ctx, uint32_t n) {
    auto* grown = static_cast<QuantTableRecord*>(AllocZeroed(ctx, ctx->quantTableCount + n, sizeof(QuantTableRecord)));
    if (!grown) return kJpegEndOrNoMemory;
    if (ctx->quantTables) std::memcpy(grown, ctx->quantTables, ctx->quantTableCount * sizeof(QuantTableRecord));
    FreeMemory(ctx, ctx->quantTables);
    ctx->quantTables = grown;
    ctx->quantTableCount += n;
    return kJpegOk;
}

JpegStatus CreateNonInterleavedModule(JpegDecoderContext* ctx) {
    auto* m = static_cast<NonInterleavedRecord*>(AllocZeroed(ctx, 1, sizeof(NonInterleavedRecord)));
    if (!m) return kJpegEndOrNoMemory;
    m->destroy = DestroyNonInterleavedModule;
    m->ids = static_cast<uint32_t*>(AllocZeroed(ctx, ctx->componentCount, sizeof(uint32_t)));
    m->children = static_cast<JpegDecoderContext**>(AllocZeroed(ctx, ctx->componentCount, sizeof(JpegDecoderContext*)));
    ctx->nonInterleaved = m;
    if (!m->ids || !m->children) {
        DestroyNonInterleavedModule(ctx);
        return kJpegEndOrNoMemory;
    }
    return kJpegOk;
}

void DestroyNonInterleavedModule(JpegDecoderContext* ctx) {
    NonInterleavedRecord* m = ctx->nonInterleaved;
    if (!m) return;
    FreeMemory(ctx, m->ids);
    for (uint32_t i = 0; m->children && i < ctx->componentCount; ++i) DestroyDecompressor(m->children[i]);
    FreeMemory(ctx, m->children);
    FreeMemory(ctx, m->data);
    FreeMemory(ctx, m);
    ctx->nonInterleaved = nullptr;
}

}  // namespace jpegdec
