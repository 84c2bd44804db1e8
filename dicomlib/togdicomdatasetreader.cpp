#include "dicomlib/togdicomdatasetreader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "dicomlib/togdicomdictionary.h"
#include "dicomlib/togresult.h"

using namespace TogDicomLib;

namespace {

constexpr uint32_t kPixelGroup = 0x7FE0;
constexpr uint32_t kPixelElement = 0x0010;
constexpr uint32_t kItemGroup = 0xFFFE;
constexpr uint32_t kItem = 0xE000;
constexpr uint32_t kItemDelimiter = 0xE00D;
constexpr uint32_t kSequenceDelimiter = 0xE0DD;
// Sequences may nest this deep below the top level; the content of a
// sequence nested deeper is passed over.
constexpr int kMaxDepth = 10;
// Read-ahead through the callbacks.
constexpr uint32_t kAheadBytes = 64 * 1024;
// Without a known source size, values above this are read in pieces of this
// size, so a corrupt length cannot make one huge allocation before the
// source runs out.
constexpr uint32_t kUnknownSizePiece = 1024 * 1024;

const char kDicm[4] = {'D', 'I', 'C', 'M'};

// Attaches the elements of one data set to their parent. Elements in tag
// order are appended at once; from the first one out of order on they wait
// and are merged in when the data set ends (also when reading fails), so
// that n elements in any order attach in O(n log n).
class ChildAttacher {
public:
    explicit ChildAttacher(TogDicomDataElement* parent) noexcept : parent_(parent) {}
    ~ChildAttacher() { Flush(); }
    ChildAttacher(const ChildAttacher&) = delete;
    ChildAttacher& operator=(const ChildAttacher&) = delete;

    int Attach(TogDicomDataElement* element) noexcept {
        if (waiting_.empty() && parent_->AppendsInOrder(element)) return parent_->SetChildElement(element);
        try {
            waiting_.push_back(element);
        } catch (...) {
            return ResultOutOfMemory;
        }
        return ResultSuccess;
    }
    // Attaches the waiting elements; the result of the merge.
    int Flush() noexcept { return waiting_.empty() ? ResultSuccess : parent_->SetChildElements(waiting_); }
    // Flushes, then passes `result` on unless the flush failed.
    int Done(int result) noexcept {
        const int flushed = Flush();
        return result != ResultSuccess ? result : flushed;
    }

private:
    TogDicomDataElement* parent_;
    std::vector<TogDicomDataElement*> waiting_;
};

bool IsPixelData(uint32_t group, uint32_t element) {
    return group == kPixelGroup && element == kPixelElement;
}

bool IsExplicit(Encoding kind) {
    return kind == Encoding::ExplicitLittle || kind == Encoding::ExplicitBig;
}

// The VRs the library knows.
bool IsKnownVR(uint32_t vr) {
    switch (vr) {
        case VR::AE: case VR::AS: case VR::AT: case VR::CS: case VR::DA: case VR::DS: case VR::DT:
        case VR::FD: case VR::FL: case VR::IS: case VR::LO: case VR::LT: case VR::OB: case VR::OD:
        case VR::OF: case VR::OL: case VR::OV: case VR::OW: case VR::PN: case VR::SH: case VR::SL:
        case VR::SQ: case VR::SS: case VR::ST: case VR::SV: case VR::TM: case VR::UC: case VR::UI:
        case VR::UL: case VR::UN: case VR::UR: case VR::US: case VR::UT: case VR::UV:
            return true;
        default:
            return false;
    }
}

// VRs whose explicit form has a 2-byte length.
bool IsShortLengthVR(uint32_t vr) {
    switch (vr) {
        case VR::AE: case VR::AS: case VR::AT: case VR::CS: case VR::DA: case VR::DS: case VR::DT:
        case VR::FL: case VR::FD: case VR::IS: case VR::LO: case VR::LT: case VR::PN: case VR::SH:
        case VR::SL: case VR::SS: case VR::ST: case VR::TM: case VR::UI: case VR::UL: case VR::US:
            return true;
        default:
            return false;
    }
}

// Bytes of the units that big-endian values swap, 0 for values kept as read.
uint32_t SwapUnit(uint32_t vr) {
    switch (vr) {
        case VR::US: case VR::SS: case VR::OW: case VR::AT:
            return 2;
        case VR::OF: case VR::FL: case VR::SL: case VR::UL: case VR::OL:
            return 4;
        case VR::FD: case VR::OD: case VR::SV: case VR::UV: case VR::OV:
            return 8;
        default:
            return 0;
    }
}

void SwapUnits(uint8_t* bytes, uint32_t length, uint32_t unit) {
    if (unit == 0 || length % unit != 0) return;
    for (uint32_t i = 0; i < length; i += unit) std::reverse(bytes + i, bytes + i + unit);
}

}  // namespace

TogDicomDataset::Reader::Reader(TogDicomDataset& dataset) noexcept
    : ds_(dataset), position_(dataset.position_) {
    if (ds_.read_ != nullptr && ds_.sourceSize_ >= 0) {
        ahead_.reset(new (std::nothrow) uint8_t[kAheadBytes]);
        buffered_ = ahead_ != nullptr;
    }
    aheadStart_ = position_;
    sourcePosition_ = position_;
}

// ---------------------------------------------------------------------------
// Source primitives

int TogDicomDataset::Reader::CheckRemaining(uint64_t length) const noexcept {
    if (ds_.sourceSize_ < 0) return ResultSuccess;
    const int64_t remaining = ds_.sourceSize_ - position_;
    if (remaining < 0 || length > static_cast<uint64_t>(remaining)) return ResultMalformed;
    return ResultSuccess;
}

int64_t TogDicomDataset::Reader::SkipCallback(int64_t from, int64_t distance) noexcept {
    int64_t moved = 0;
    while (moved != distance) {
        const int32_t step = static_cast<int32_t>(std::clamp<int64_t>(distance - moved, INT32_MIN, INT32_MAX));
        if (ds_.skip_ == nullptr || ds_.skip_(from + moved, step, ds_.context_) != 0) break;
        moved += step;
    }
    return moved;
}

int TogDicomDataset::Reader::SyncSource() noexcept {
    const int64_t distance = position_ - sourcePosition_;
    sourcePosition_ += SkipCallback(sourcePosition_, distance);
    return sourcePosition_ == position_ ? ResultSuccess : ResultStreamFailed;
}

int TogDicomDataset::Reader::Fill(uint32_t want) noexcept {
    const int synced = SyncSource();
    if (synced != ResultSuccess) return synced;
    uint8_t endOfData = 0;
    const int result = ds_.read_(ahead_.get(), position_, want, ds_.context_, &endOfData);
    if (result != 0) return result;
    span_.Fetched(position_, want);
    aheadStart_ = position_;
    aheadLength_ = want;
    sourcePosition_ = position_ + want;
    return ResultSuccess;
}

int TogDicomDataset::Reader::ReadRaw(void* buffer, uint32_t count) noexcept {
    if (count == 0) return ResultSuccess;
    auto* out = static_cast<uint8_t*>(buffer);
    if (ds_.read_ == nullptr && !ds_.streamMode_) {
        if (CheckRemaining(count) != ResultSuccess || ds_.memory_ == nullptr) return ResultMalformed;
        std::memcpy(out, ds_.memory_ + position_, count);
        position_ += count;
        return ResultSuccess;
    }
    if (ds_.streamMode_) {
        if (CheckRemaining(count) != ResultSuccess) return ResultMalformed;
        const size_t got = std::fread(out, 1, count, ds_.stream_);
        if (got != count) {
            // Leave the stream where the position says it is.
            fseeko(ds_.stream_, -static_cast<off_t>(got), SEEK_CUR);
            return ResultStreamFailed;
        }
        position_ += count;
        return ResultSuccess;
    }
    if (!buffered_) {
        uint8_t endOfData = 0;
        const int result = ds_.read_(out, position_, count, ds_.context_, &endOfData);
        if (result != 0) return result;
        position_ += count;
        return ResultSuccess;
    }
    if (CheckRemaining(count) != ResultSuccess) return ResultMalformed;
    // What the read-ahead holds from here on.
    const int64_t aheadEnd = aheadStart_ + aheadLength_;
    if (position_ >= aheadStart_ && position_ < aheadEnd) {
        const uint32_t take = static_cast<uint32_t>(std::min<int64_t>(count, aheadEnd - position_));
        std::memcpy(out, ahead_.get() + (position_ - aheadStart_), take);
        position_ += take;
        out += take;
        count -= take;
        if (count == 0) return ResultSuccess;
    }
    // A little after a skip, more while the reads go on: the few bytes read
    // between values that are skipped (item headers) do not pull in the
    // values.
    const uint32_t span = span_.Next(position_, kAheadBytes);
    if (count >= std::min(span, kAheadBytes / 2)) {
        // Large values go straight into their memory.
        const int synced = SyncSource();
        if (synced != ResultSuccess) return synced;
        uint8_t endOfData = 0;
        const int result = ds_.read_(out, position_, count, ds_.context_, &endOfData);
        if (result != 0) return result;
        span_.Fetched(position_, count);
        position_ += count;
        sourcePosition_ = position_;
        aheadStart_ = position_;
        aheadLength_ = 0;
        return ResultSuccess;
    }
    const uint32_t want = static_cast<uint32_t>(std::min<int64_t>(span, ds_.sourceSize_ - position_));
    const int filled = Fill(want);
    if (filled != ResultSuccess) return filled;
    std::memcpy(out, ahead_.get(), count);
    position_ += count;
    return ResultSuccess;
}

int TogDicomDataset::Reader::Read16(uint32_t& value, Encoding kind) noexcept {
    uint8_t b[2];
    const int result = ReadRaw(b, 2);
    if (result != ResultSuccess) return result;
    value = kind == Encoding::ExplicitBig ? (uint32_t{b[0]} << 8) | b[1] : (uint32_t{b[1]} << 8) | b[0];
    return ResultSuccess;
}

int TogDicomDataset::Reader::Read32(uint32_t& value, Encoding kind) noexcept {
    uint8_t b[4];
    const int result = ReadRaw(b, 4);
    if (result != ResultSuccess) return result;
    if (kind == Encoding::ExplicitBig) {
        value = (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    } else {
        value = (uint32_t{b[3]} << 24) | (uint32_t{b[2]} << 16) | (uint32_t{b[1]} << 8) | b[0];
    }
    return ResultSuccess;
}

int TogDicomDataset::Reader::Skip(int64_t distance) noexcept {
    const int64_t target = position_ + distance;
    if (target < 0) return ResultMalformed;
    if (ds_.sourceSize_ >= 0 && target > ds_.sourceSize_) return ResultMalformed;
    if (ds_.streamMode_) {
        if (fseeko(ds_.stream_, distance, SEEK_CUR) != 0) return ResultStreamFailed;
    } else if (ds_.read_ != nullptr && !buffered_ && ds_.skip_ != nullptr) {
        // The callback's answer is not needed here: a source that could not
        // move fails the next read.
        SkipCallback(position_, distance);
    }
    // Buffered callbacks catch up with the position when they next read.
    position_ = target;
    return ResultSuccess;
}

int TogDicomDataset::Reader::SkipValue(uint32_t length) noexcept {
    const int64_t start = position_;
    const int64_t target = start + length;
    if (ds_.streamMode_) {
        if (fseeko(ds_.stream_, length, SEEK_CUR) != 0) return ResultStreamFailed;
    } else if (ds_.read_ != nullptr) {
        if (ds_.skip_ == nullptr) return ResultStreamFailed;
        if (buffered_) {
            // The source moves only when the value reaches past the
            // read-ahead.
            position_ = target;
            if (target <= aheadStart_ + aheadLength_) return ResultSuccess;
            const int synced = SyncSource();
            if (synced != ResultSuccess) position_ = start;
            return synced;
        }
        if (SkipCallback(start, length) != length) return ResultStreamFailed;
    } else if (ds_.sourceSize_ >= 0 && target > ds_.sourceSize_) {
        return ResultMalformed;
    }
    position_ = target;
    return ResultSuccess;
}

bool TogDicomDataset::Reader::AtEnd() noexcept {
    if (ds_.sourceSize_ >= 0) return position_ >= ds_.sourceSize_;
    if (ds_.streamMode_) {
        const int c = std::fgetc(ds_.stream_);
        if (c == EOF) return true;
        std::ungetc(c, ds_.stream_);
        return false;
    }
    if (ds_.read_ == nullptr) return true;
    uint8_t endOfData = 0;
    return ds_.read_(nullptr, position_, 0, ds_.context_, &endOfData) == 0 && endOfData != 0;
}

// ---------------------------------------------------------------------------
// Values

int TogDicomDataset::Reader::ReadValue(TogDicomDataElement* element, uint32_t length, Encoding kind) noexcept {
    if (length == UndefinedLength) return ResultMalformed;
    const int remaining = CheckRemaining(length);
    if (remaining != ResultSuccess) return remaining;
    if (ds_.sourceSize_ < 0 && length > kUnknownSizePiece) {
        // The source may end long before the declared length: take the
        // value in pieces and allocate it once it has arrived.
        std::vector<uint8_t> bytes;
        try {
            while (bytes.size() < length) {
                const size_t piece = std::min<size_t>(kUnknownSizePiece, length - bytes.size());
                const size_t at = bytes.size();
                bytes.resize(at + piece);
                const int result = ReadRaw(bytes.data() + at, static_cast<uint32_t>(piece));
                if (result != ResultSuccess) return result;
            }
        } catch (...) {
            return ResultOutOfMemory;
        }
        const int allocated = element->AllocateValue(length, true);
        if (allocated != ResultSuccess) return allocated;
        std::memcpy(element->GetValueData(), bytes.data(), length);
    } else {
        const int allocated = element->AllocateValue(length, true);
        if (allocated != ResultSuccess) return allocated;
        // Exactly the declared bytes: a pad byte is the value's own.
        const int result = ReadRaw(element->GetValueData(), length);
        if (result != ResultSuccess) return result;
    }
    if (kind == Encoding::ExplicitBig) SwapUnits(element->GetValueData(), length, SwapUnit(element->GetVR()));
    return ResultSuccess;
}

int TogDicomDataset::Reader::RecordValue(TogDicomDataElement* element, uint32_t length) noexcept {
    if (length == UndefinedLength) return ResultMalformed;
    const int remaining = CheckRemaining(length);
    if (remaining != ResultSuccess) return remaining;
    const int recorded = element->SetValueByPosition(ds_.sourceName_, position_, length);
    if (recorded != ResultSuccess) return recorded;
    return SkipValue(length);
}

int TogDicomDataset::Reader::ReadUpToZero(TogDicomDataElement* element) noexcept {
    uint32_t count = 0;
    for (;;) {
        uint8_t byte;
        const int result = ReadRaw(&byte, 1);
        if (result != ResultSuccess) return result;
        ++count;
        if (byte == 0) break;
    }
    const int back = Skip(-static_cast<int64_t>(count));
    if (back != ResultSuccess) return back;
    return ReadValue(element, count, Encoding::ExplicitLittle);
}

// ---------------------------------------------------------------------------
// Parsing

int TogDicomDataset::Reader::Preamble(bool strict) noexcept {
    uint8_t head[132];
    const int result = ReadRaw(head, sizeof(head));
    if (result != ResultSuccess) {
        if (strict) return result;
        return DataSet(ds_.root_, Encoding::ImplicitLittle, false, 0, UndefinedLength);
    }
    if (std::memcmp(head + 128, kDicm, sizeof(kDicm)) == 0) {
        return DataSet(ds_.root_, Encoding::ExplicitLittle, true, 0, UndefinedLength);
    }
    if (strict) return ResultMalformed;
    const int back = Skip(-static_cast<int64_t>(sizeof(head)));
    if (back != ResultSuccess) return back;
    return DataSet(ds_.root_, Encoding::ImplicitLittle, false, 0, UndefinedLength);
}

bool TogDicomDataset::Reader::DetectExplicit() noexcept {
    // The contents start with an item header; the encoding shows in the
    // header of the first element after it.
    uint8_t b[16];
    const uint8_t* header = b;
    if (ReadRaw(b, 16) == ResultSuccess) {
        Skip(-16);
        if (b[0] == 0xFE && b[1] == 0xFF && b[2] == 0x00 && b[3] == 0xE0) header = b + 8;
    } else if (ReadRaw(b, 8) == ResultSuccess) {
        Skip(-8);
    } else {
        return false;
    }
    const uint32_t vr = MakeVR(static_cast<char>(header[4]), static_cast<char>(header[5]));
    const uint32_t rest = uint32_t{header[6]} | (uint32_t{header[7]} << 8);
    if (rest != 0) return IsShortLengthVR(vr);
    return vr == VR::OB || vr == VR::OW || vr == VR::OF || vr == VR::SQ || vr == VR::UT || vr == VR::UN;
}

Encoding TogDicomDataset::Reader::EncodingAsWritten(Encoding declared) noexcept {
    if (declared != Encoding::ExplicitLittle && declared != Encoding::ImplicitLittle) return declared;
    // The bytes after the tag of the data set's first element: a VR and its
    // length when the element is written in explicit VR.
    uint8_t b[8];
    uint32_t got = 8;
    if (ReadRaw(b, got) != ResultSuccess) {
        got = 4;
        if (ReadRaw(b, got) != ResultSuccess) return declared;
    }
    if (Skip(-static_cast<int64_t>(got)) != ResultSuccess) return declared;
    const uint32_t vr = MakeVR(static_cast<char>(b[0]), static_cast<char>(b[1]));
    if (declared == Encoding::ExplicitLittle) return IsKnownVR(vr) ? declared : Encoding::ImplicitLittle;
    if (!IsKnownVR(vr)) return declared;
    // Implicit VR declared, yet a VR stands where the length would: explicit
    // when the length it gives fits in the source.
    const uint32_t shortLength = uint32_t{b[2]} | (uint32_t{b[3]} << 8);
    bool fits;
    if (IsShortLengthVR(vr)) {
        fits = CheckRemaining(4u + uint64_t{shortLength}) == ResultSuccess;
    } else {
        const uint32_t length =
            uint32_t{b[4]} | (uint32_t{b[5]} << 8) | (uint32_t{b[6]} << 16) | (uint32_t{b[7]} << 24);
        fits = got == 8 && shortLength == 0 &&
               (length == UndefinedLength || CheckRemaining(8u + uint64_t{length}) == ResultSuccess);
    }
    return fits ? Encoding::ExplicitLittle : declared;
}

Encoding TogDicomDataset::Reader::UnSequenceKind(Encoding kind, bool fixedLayout) noexcept {
    switch (ds_.settings_.unSequenceMode) {
        case UnSequenceImplicit:
            return Encoding::ImplicitLittle;
        case UnSequenceEnclosing:
            return fixedLayout ? Encoding::ExplicitLittle : kind;
        default:
            return DetectExplicit() ? Encoding::ExplicitLittle : Encoding::ImplicitLittle;
    }
}

int TogDicomDataset::Reader::DataSet(TogDicomDataElement* parent, Encoding kind, bool meta, int depth,
                                     uint32_t limit) noexcept {
    const int64_t start = position_;
    // Set once (0002,0010) is read in this data set.
    bool haveSyntax = false;
    Encoding syntaxKind = kind;
    ChildAttacher children(parent);

    for (;;) {
        if (depth >= 1 && limit != UndefinedLength && position_ - start >= limit) return children.Done(ResultSuccess);
        if (AtEnd()) return children.Done(ResultSuccess);

        uint8_t tag[4];
        int result = ReadRaw(tag, sizeof(tag));
        if (result != ResultSuccess) return result;
        // The meta group ends where group 0002 ends. Its group length is not
        // trusted for this: it may be missing, and a wrong one would read the
        // data set in the wrong encoding or the meta group's tail in the data
        // set's.
        if (meta && (uint32_t{tag[0]} | (uint32_t{tag[1]} << 8)) != 0x0002) {
            meta = false;
            // Some writers label the data set with a transfer syntax of the
            // other VR form: its first element tells how it is written.
            syntaxKind = EncodingAsWritten(haveSyntax ? syntaxKind : kind);
            haveSyntax = true;
        }
        const Encoding elementKind = meta ? Encoding::ExplicitLittle : (haveSyntax ? syntaxKind : kind);
        // Deflated data sets are not read.
        if (elementKind == Encoding::Deflated) return ResultMalformed;
        const bool big = elementKind == Encoding::ExplicitBig;
        const uint32_t group = big ? (uint32_t{tag[0]} << 8) | tag[1] : (uint32_t{tag[1]} << 8) | tag[0];
        const uint32_t number = big ? (uint32_t{tag[2]} << 8) | tag[3] : (uint32_t{tag[3]} << 8) | tag[2];
        const bool pixelData = IsPixelData(group, number);
        if (pixelData) ds_.pixelDataStart_ = position_ - 4;

        if (depth >= 1 && group == kItemGroup && number == kItemDelimiter) {
            uint32_t ignored;
            return children.Done(Read32(ignored, elementKind));
        }

        TogDicomDataElement* element = ds_.CreateElement(group, number);
        if (element == nullptr) return ResultOutOfMemory;

        uint32_t vrAsRead = VR::Blank;
        uint32_t vr;
        uint32_t length = 0;
        if (IsExplicit(elementKind)) {
            uint8_t letters[2];
            result = ReadRaw(letters, sizeof(letters));
            if (result != ResultSuccess) return result;
            vrAsRead = MakeVR(static_cast<char>(letters[0]), static_cast<char>(letters[1]));
            vr = vrAsRead;
            if (IsShortLengthVR(vr)) {
                result = Read16(length, elementKind);
            } else {
                result = Skip(2);
                if (result == ResultSuccess) result = Read32(length, elementKind);
            }
            if (result != ResultSuccess) return result;
            if (vr == VR::UN) vr = GetDictionaryVR(group, number);
        } else {
            result = Read32(length, elementKind);
            if (result != ResultSuccess) return result;
            vr = GetDictionaryVR(group, number);
        }
        element->SetVR(vr);
        if (pixelData) ds_.pixelDataVR_ = vrAsRead;

        // Private sequences of defined length may be passed over; one of
        // undefined length is read, as its end is found only by reading it.
        if (ds_.settings_.skipPrivateSequences != 0 && (group & 1u) != 0 && vr == VR::SQ &&
            length != UndefinedLength) {
            result = CheckRemaining(length);
            if (result == ResultSuccess) result = Skip(length);
            if (result != ResultSuccess) return result;
            delete element;
            continue;
        }
        if (length != UndefinedLength && vr != VR::SQ) {
            // Pixel Data stays in the source, whatever its length.
            result = pixelData ? RecordValue(element, length) : ReadValue(element, length, elementKind);
            if (result != ResultSuccess) return result;
            if (group == 0x0002 && number == 0x0010) {
                TogString uid;
                element->GetText(uid);
                haveSyntax = true;
                syntaxKind = TransferSyntaxEncoding(uid);
            }
        } else {
            element->SetValueLength(length);
            result = depth > kMaxDepth ? SkipSequence(vrAsRead, length, elementKind, false)
                                       : Sequence(element, vrAsRead, length, depth, elementKind, false);
            if (result != ResultSuccess) return result;
        }

        result = children.Attach(element);
        if (result != ResultSuccess) return result;
        if (pixelData) ds_.pixelDataSize_ = position_ - ds_.pixelDataStart_;
    }
}

int TogDicomDataset::Reader::Sequence(TogDicomDataElement* sequence, uint32_t vrAsRead, uint32_t length,
                                      int depth, Encoding kind, bool fixedLayout) noexcept {
    if (length != UndefinedLength) {
        const int remaining = CheckRemaining(length);
        if (remaining != ResultSuccess) return remaining;
    }
    const bool mayPassOver = ds_.framesByOffsetTable_ && depth == 0 && !fixedLayout &&
                             length == UndefinedLength && ds_.sourceSize_ >= 0 &&
                             IsPixelData(sequence->GetGroup(), sequence->GetElement());
    if (!mayPassOver) return Items(sequence, vrAsRead, length, depth, kind, fixedLayout, false);
    ds_.itemsPassedOver_ = false;
    const int64_t begin = position_;
    const int result = Items(sequence, vrAsRead, length, depth, kind, fixedLayout, true);
    if (result == ResultSuccess || !passedOver_) {
        ds_.itemsPassedOver_ = result == ResultSuccess && passedOver_;
        passedOver_ = false;
        return result;
    }
    // The table led to no items of the last frame, or these do not run on to
    // the end of the sequence: every item is read after all, as if there had
    // been no jump.
    passedOver_ = false;
    sequence->ClearValue();
    sequence->SetValueLength(length);
    const int back = Skip(begin - position_);
    if (back != ResultSuccess) return back;
    return Items(sequence, vrAsRead, length, depth, kind, fixedLayout, false);
}

int TogDicomDataset::Reader::PassOverFrames(const TogDicomDataElement& table) noexcept {
    const uint8_t* entries = table.GetValueData();
    const uint32_t bytes = table.GetValueByteCount();
    if (entries == nullptr || bytes < 8 || bytes % 4 != 0) return ResultSuccess;
    // Offsets from the first fragment's item: the first 0, each after the
    // one before, the last leaving room for an item header in the source.
    uint32_t last = 0;
    for (uint32_t i = 0; i < bytes; i += 4) {
        const uint32_t entry = uint32_t{entries[i]} | (uint32_t{entries[i + 1]} << 8) |
                               (uint32_t{entries[i + 2]} << 16) | (uint32_t{entries[i + 3]} << 24);
        if (i == 0 ? entry != 0 : entry <= last) return ResultSuccess;
        last = entry;
    }
    if (CheckRemaining(uint64_t{last} + 8) != ResultSuccess) return ResultSuccess;
    passedOver_ = true;
    return Skip(last);
}

int TogDicomDataset::Reader::Items(TogDicomDataElement* sequence, uint32_t vrAsRead, uint32_t length,
                                   int depth, Encoding kind, bool fixedLayout, bool mayPassOver) noexcept {
    const bool unSequence = (fixedLayout || IsExplicit(kind)) && vrAsRead == VR::UN;
    Encoding contents = kind;
    if (unSequence) contents = UnSequenceKind(kind, fixedLayout);
    const bool pixelData = IsPixelData(sequence->GetGroup(), sequence->GetElement());
    const int64_t start = position_;
    uint32_t items = 0;

    for (;;) {
        if (length != UndefinedLength && position_ - start >= length) return ResultSuccess;
        const int64_t itemStart = position_;
        uint32_t group;
        uint32_t number;
        uint32_t itemLength;
        int result = Read16(group, contents);
        if (result == ResultSuccess) result = Read16(number, contents);
        if (result == ResultSuccess) result = Read32(itemLength, contents);
        if (result != ResultSuccess) return result;
        if (group == kItemGroup && number == kSequenceDelimiter) {
            // A jump must lead to the items of the last frame.
            return passedOver_ && items < 2 ? ResultMalformed : ResultSuccess;
        }

        TogDicomDataElement* item = ds_.CreateElement(group, number);
        if (item == nullptr) return ResultOutOfMemory;
        item->SetValueLength(itemLength);
        item->SetItemOffset(itemStart);

        if (pixelData && fixedLayout) {
            // The first item must be empty; the next one runs to its first
            // zero byte; the rest are empty.
            if (items == 0) {
                result = ReadValue(item, itemLength, Encoding::ExplicitLittle);
                if (result == ResultSuccess && itemLength != 0) result = ResultBasicOffsetTable;
            } else if (items == 1) {
                result = ReadUpToZero(item);
            } else {
                item->SetValueLength(0);
            }
        } else if (pixelData) {
            // The basic offset table is held; every fragment stays in the
            // source. Past the frames the table locates only fragment items
            // may follow.
            if (passedOver_ && (group != kItemGroup || number != kItem)) return ResultMalformed;
            result = items == 0 ? ReadValue(item, itemLength, contents) : RecordValue(item, itemLength);
        } else {
            // An item that claims more than its sequence or the source still
            // holds is read to that end: writers that drop elements from an
            // item do not always shorten its length.
            if (itemLength != UndefinedLength) {
                uint64_t limit = itemLength;
                if (length != UndefinedLength)
                    limit = std::min<uint64_t>(
                        limit, static_cast<uint64_t>(std::max<int64_t>(start + length - position_, 0)));
                if (ds_.sourceSize_ >= 0)
                    limit = std::min<uint64_t>(limit, static_cast<uint64_t>(
                                                          std::max<int64_t>(ds_.sourceSize_ - position_, 0)));
                itemLength = static_cast<uint32_t>(limit);
            }
            result = fixedLayout && !unSequence ? FixedLayout(item, depth + 1, itemLength)
                                                : DataSet(item, contents, false, depth + 1, itemLength);
        }
        if (result != ResultSuccess) return result;
        result = sequence->AddChildElement(item);
        if (result != ResultSuccess) return result;
        ++items;
        if (mayPassOver && items == 1) {
            result = PassOverFrames(*item);
            if (result != ResultSuccess) return result;
        }
    }
}

int TogDicomDataset::Reader::SkipSequence(uint32_t vrAsRead, uint32_t length, Encoding kind,
                                          bool fixedLayout) noexcept {
    if (length != UndefinedLength) return Skip(length);
    // The constructs of undefined length still open, innermost last: a
    // sequence (items follow) or an item (elements follow), with how what
    // follows is encoded. Each ends at its delimiter; everything of defined
    // length is skipped whole.
    struct Level {
        bool items;
        Encoding kind;
        bool fixed;  // elements in the fixed-layout form
    };
    std::vector<Level> open;
    auto openSequence = [&](uint32_t vr, Encoding enclosing, bool fixed) noexcept {
        const bool un = (fixed || IsExplicit(enclosing)) && vr == VR::UN;
        try {
            open.push_back({true, un ? UnSequenceKind(enclosing, fixed) : enclosing, fixed && !un});
        } catch (...) {
            return ResultOutOfMemory;
        }
        return ResultSuccess;
    };
    int result = openSequence(vrAsRead, kind, fixedLayout);
    while (result == ResultSuccess && !open.empty()) {
        const Level level = open.back();
        const Encoding k = level.fixed ? Encoding::ExplicitLittle : level.kind;
        uint32_t group = 0;
        uint32_t number = 0;
        uint32_t size = 0;
        uint32_t vr = VR::Blank;
        result = Read16(group, k);
        if (result == ResultSuccess) result = Read16(number, k);
        if (result != ResultSuccess) break;
        if (level.items || group == kItemGroup || !(level.fixed || IsExplicit(k))) {
            // Items, delimiters and implicit VR elements: a 4-byte length.
            result = Read32(size, k);
        } else {
            uint8_t letters[2];
            result = ReadRaw(letters, sizeof(letters));
            vr = MakeVR(static_cast<char>(letters[0]), static_cast<char>(letters[1]));
            if (result == ResultSuccess && !level.fixed && IsShortLengthVR(vr)) {
                result = Read16(size, k);
            } else {
                if (result == ResultSuccess && !level.fixed) result = Skip(2);
                if (result == ResultSuccess) result = Read32(size, k);
            }
        }
        if (result != ResultSuccess) break;
        if (group == kItemGroup && (number == kItemDelimiter || number == kSequenceDelimiter)) {
            open.pop_back();
        } else if (size != UndefinedLength) {
            result = Skip(size);
        } else if (level.items) {
            try {
                open.push_back({false, level.kind, level.fixed});
            } catch (...) {
                result = ResultOutOfMemory;
            }
        } else {
            result = openSequence(vr, level.kind, level.fixed);
        }
    }
    return result;
}

int TogDicomDataset::Reader::FixedLayout(TogDicomDataElement* parent, int depth, uint32_t limit) noexcept {
    const int64_t start = position_;
    ChildAttacher children(parent);
    for (;;) {
        if (depth >= 1 && limit != UndefinedLength && position_ - start >= limit) return children.Done(ResultSuccess);
        if (AtEnd()) return children.Done(ResultSuccess);

        uint32_t group;
        uint32_t number;
        uint8_t letters[2];
        uint32_t length;
        int result = Read16(group, Encoding::ExplicitLittle);
        if (result == ResultSuccess) result = Read16(number, Encoding::ExplicitLittle);
        if (result == ResultSuccess) result = ReadRaw(letters, sizeof(letters));
        if (result == ResultSuccess) result = Read32(length, Encoding::ExplicitLittle);
        if (result != ResultSuccess) return result;
        if (depth >= 1 && group == kItemGroup && number == kItemDelimiter) return children.Done(ResultSuccess);

        const bool pixelData = IsPixelData(group, number);
        if (pixelData) ds_.pixelDataStart_ = position_ - 12;
        TogDicomDataElement* element = ds_.CreateElement(group, number);
        if (element == nullptr) return ResultOutOfMemory;
        const uint32_t vrAsRead = MakeVR(static_cast<char>(letters[0]), static_cast<char>(letters[1]));
        const uint32_t vr = vrAsRead == VR::UN ? GetDictionaryVR(group, number) : vrAsRead;
        element->SetVR(vr);
        if (pixelData) ds_.pixelDataVR_ = vrAsRead;

        if (length == UndefinedLength || vr == VR::SQ) {
            element->SetValueLength(length);
            result = depth > kMaxDepth ? SkipSequence(vrAsRead, length, Encoding::ExplicitLittle, true)
                                       : Sequence(element, vrAsRead, length, depth, Encoding::ExplicitLittle, true);
        } else if (pixelData) {
            result = ReadUpToZero(element);
        } else {
            result = ReadValue(element, length, Encoding::ExplicitLittle);
        }
        // A basic offset table that is not empty ends the stream with its own
        // code; the element is kept.
        if (result != ResultSuccess && result != ResultBasicOffsetTable) return result;
        const int attached = children.Attach(element);
        if (attached != ResultSuccess) return attached;
        if (result != ResultSuccess) return result;
        if (pixelData) {
            ds_.pixelDataSize_ = position_ - ds_.pixelDataStart_;
            if (depth == 0) return children.Done(ResultSuccess);
        }
    }
}

int TogDicomDataset::Reader::PostPass(TogDicomDataElement* element, bool flag1, bool flag2) noexcept {
    TogString syntax;
    element->GetChildText(0x0002, 0x0010, syntax);
    if (syntax.IsEmpty()) syntax = u"1.2.840.10008.1.2";
    TogDicomDataElement* pixel = element->FindChild(kPixelGroup, kPixelElement);
    const bool settle = pixel != nullptr && (flag1 || flag2 || pixel->GetVR() == VR::Blank);
    const TogDicomDataElement* bitsAllocated = element->FindChild(0x0028, 0x0100);

    // OW for more than 8 bits allocated, else OB.
    auto byBitsAllocated = [&]() -> int {
        uint32_t bits = 0;
        const int result = bitsAllocated->GetUInt(bits);
        if (result != ResultSuccess) return result;
        pixel->SetVR(bits > 8 ? VR::OW : VR::OB);
        return ResultSuccess;
    };

    if (settle) {
        int result = ResultSuccess;
        if (syntax == u"1.2.840.10008.1.2") {
            pixel->SetVR(VR::OW);
        } else if (syntax == u"1.2.840.10008.1.2.1" || syntax == u"1.2.840.10008.1.2.2") {
            if (bitsAllocated != nullptr) result = byBitsAllocated();
        } else if (syntax == u"1.2.840.10008.1.2.4.70") {
            if (pixel->GetChildCount() > 0) {
                pixel->SetVR(VR::OB);
            } else if (bitsAllocated != nullptr) {
                result = byBitsAllocated();
            }
        }
        if (result != ResultSuccess) return result;
    }

    for (uint32_t i = 0; i < element->GetChildCount(); ++i) {
        TogDicomDataElement* child = element->GetChildAt(i);
        if (child == pixel || child->GetChildCount() == 0) continue;
        const int result = PostPass(child, flag1, flag2);
        if (result != ResultSuccess) return result;
    }
    return ResultSuccess;
}
