// Value access of TogDicomDataElement: typed getters by VR and value to text.
#include <cstring>

#include "dicomlib/togcharset.h"
#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togdicomdictionary.h"
#include "dicomlib/togresult.h"

using namespace TogDicomLib;

namespace {

template <class T>
T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}

// Text VRs of single-byte characters, taken byte by byte.
bool IsSingleByteText(uint32_t vr) {
    switch (vr) {
        case VR::AE: case VR::AS: case VR::CS: case VR::DA: case VR::DS:
        case VR::DT: case VR::IS: case VR::TM: case VR::UI:
            return true;
        default:
            return false;
    }
}

// Bytes of one value of a binary number VR, 0 for the others.
uint32_t NumberUnit(uint32_t vr) {
    switch (vr) {
        case VR::SS: case VR::US:
            return 2;
        case VR::SL: case VR::UL: case VR::FL: case VR::AT:
            return 4;
        case VR::FD:
            return 8;
        default:
            return 0;
    }
}

// Value `index` (-1: all of it) of text split at backslashes, as the range
// [begin, end) of `length` characters; false when there is no such value.
template <class Char>
bool PickValue(const Char* text, size_t length, int index, size_t& begin, size_t& end) {
    begin = 0;
    end = length;
    if (index < 0) return true;
    for (int n = 0; n < index; ++n) {
        while (begin < length && text[begin] != '\\') ++begin;
        if (begin == length) return false;
        ++begin;
    }
    end = begin;
    while (end < length && text[end] != '\\') ++end;
    return true;
}

bool IsPureAscii(const uint8_t* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] >= 0x80 || bytes[i] == 0x1B) return false;
    }
    return true;
}

// `get` on a child that exists; else `absent` sets the out value and the
// result is 5004.
template <class Get, class Absent>
int OnChild(const TogDicomDataElement* child, Get get, Absent absent) {
    if (child == nullptr) {
        absent();
        return ResultNoValue;
    }
    return get(*child);
}

int NormaliseIndex(int index) {
    return index < 0 ? 0 : index;
}

}  // namespace

uint32_t TogDicomDataElement::ResolveVR(uint32_t vr) const noexcept {
    if (vr == VR::Blank) {
        vr = vr_;
        if (vr == VR::Blank || vr == VR::UN) vr = GetDictionaryVR(group_, element_);
    }
    return vr;
}

TogString TogDicomDataElement::FindCharacterSet() const noexcept {
    TogString text;
    for (const TogDicomDataElement* p = parent_; p != nullptr; p = p->parent_) {
        const TogDicomDataElement* charset = p->FindChild(0x0008, 0x0005);
        if (charset != nullptr) {
            charset->GetText(text, VR::CS, -1);
            break;
        }
    }
    return text;
}

int TogDicomDataElement::TextOfString(TogString& text, uint32_t vr, int index) const noexcept {
    const uint8_t* bytes = value_;
    const size_t size = byteCount_;
    if (IsSingleByteText(vr)) {
        size_t begin = 0;
        size_t end = size;
        if (vr != VR::TM) {
            while (begin < end && bytes[begin] == ' ') ++begin;
        }
        while (end > begin && (bytes[end - 1] == ' ' || bytes[end - 1] == 0)) --end;
        size_t from = 0;
        size_t to = 0;
        if (!PickValue(bytes + begin, end - begin, index, from, to)) return ResultNoValue;
        text = TogString::FromBytes(reinterpret_cast<const char*>(bytes + begin + from), to - from);
        return ResultSuccess;
    }

    TogString decoded;
    const TogString charset = FindCharacterSet();
    // ASCII reads the same in every repertoire that a single defined term
    // names, so it is widened directly.
    const bool singleTerm = charset.View().find(u'\\') == std::u16string_view::npos;
    if (singleTerm && IsPureAscii(bytes, size)) {
        decoded = TogString::FromBytes(reinterpret_cast<const char*>(bytes), size);
    } else {
        const bool systemConverter =
            dataset_ != nullptr && dataset_->GetSettings().useSystemCharsetConverter != 0;
        if (ConvertDicomCharEncodeToUtf16(decoded, bytes, size, charset, vr, systemConverter) != ResultSuccess) {
            return ResultNoValue;
        }
    }
    const char16_t* chars = decoded.GetString();
    size_t begin = 0;
    size_t end = decoded.GetLength();
    if (vr == VR::LO || vr == VR::SH || vr == VR::UT) {
        while (begin < end && chars[begin] == u' ') ++begin;
    }
    // A value padded to even length may end in a NUL byte.
    while (end > begin && (chars[end - 1] == u' ' || chars[end - 1] == 0)) --end;
    size_t from = 0;
    size_t to = 0;
    if (!PickValue(chars + begin, end - begin, index, from, to)) return ResultNoValue;
    if (from == 0 && to == decoded.GetLength()) {
        text = std::move(decoded);
    } else {
        text = TogString(chars + begin + from, static_cast<int>(to - from));
    }
    return ResultSuccess;
}

int TogDicomDataElement::TextOfNumbers(TogString& text, uint32_t vr, int index) const noexcept {
    const uint32_t unit = NumberUnit(vr);
    const uint32_t count = byteCount_ / unit;
    uint32_t first = 0;
    uint32_t last = count;
    if (index >= 0) {
        if (static_cast<uint32_t>(index) >= count) return ResultNoValue;
        first = static_cast<uint32_t>(index);
        last = first + 1;
    }
    if (first >= last) return ResultNoValue;
    for (uint32_t n = first; n < last; ++n) {
        const uint8_t* p = value_ + static_cast<size_t>(n) * unit;
        TogString one;
        switch (vr) {
            case VR::SS: one = TogString::FromInt(Load<int16_t>(p)); break;
            case VR::US: one = TogString::FromInt(Load<uint16_t>(p)); break;
            case VR::SL: one = TogString::FromInt(Load<int32_t>(p)); break;
            case VR::UL: one = TogString::FromUInt(Load<uint32_t>(p)); break;
            case VR::FL: one = TogString::Format(u"%f", static_cast<double>(Load<float>(p))); break;
            case VR::FD: one = TogString::Format(u"%f", Load<double>(p)); break;
            default:  // AT
                one = TogString::Format(u"%04x%04x", Load<uint16_t>(p), Load<uint16_t>(p + 2));
                break;
        }
        if (n > first && !text.Append(u'\\')) return ResultOutOfMemory;
        if (!text.Append(one)) return ResultOutOfMemory;
    }
    return ResultSuccess;
}

int TogDicomDataElement::GetText(TogString& text, uint32_t vr, int index) const noexcept {
    text.Clear();
    if (byteCount_ == 0 || value_ == nullptr) return ResultSuccess;
    const uint32_t resolved = ResolveVR(vr);
    if (index < -1) index = 0;
    switch (resolved) {
        case VR::ST: case VR::LT: case VR::UT:
            return TextOfString(text, resolved, -1);
        case VR::AE: case VR::AS: case VR::CS: case VR::DA: case VR::DS: case VR::DT:
        case VR::IS: case VR::TM: case VR::UI: case VR::LO: case VR::SH: case VR::PN:
            return TextOfString(text, resolved, index);
        case VR::SL: case VR::SS: case VR::US: case VR::UL: case VR::FL: case VR::FD:
            return TextOfNumbers(text, resolved, index);
        case VR::AT:
            if (vr_ != VR::AT) return ResultNoValue;
            return TextOfNumbers(text, resolved, index);
        default:
            return ResultNoValue;
    }
}

int TogDicomDataElement::GetString(TogString& text, const TogString& fallback, uint32_t vr,
                                   int index) const noexcept {
    const int result = GetText(text, vr, index);
    if (result != ResultSuccess) text = fallback;
    return result;
}

// One number of the value: integers in `integer`, FL and FD in `real`
// (isReal set), text VRs through their text.
int TogDicomDataElement::NumberAt(uint32_t vr, int index, int64_t& integer, double& real,
                                  bool& isReal) const noexcept {
    integer = 0;
    real = 0.0;
    isReal = false;
    if (byteCount_ == 0 || value_ == nullptr) return ResultNoValue;
    index = NormaliseIndex(index);
    if (vr == VR::IS || vr == VR::DS) {
        TogString text;
        if (TextOfString(text, vr, index) != ResultSuccess) return ResultNoValue;
        const char16_t* end = nullptr;
        if (vr == VR::DS) {
            real = togutils::StrToDouble(text.GetString(), &end);
            isReal = true;
        } else {
            integer = togutils::StrToLong(text.GetString(), &end, 10);
        }
        return end == text.GetString() ? ResultNoValue : ResultSuccess;
    }
    const uint32_t unit = NumberUnit(vr);
    if (unit == 0) return ResultNoValue;
    const uint64_t offset = static_cast<uint64_t>(index) * unit;
    if (offset + unit > byteCount_) return ResultNoValue;
    const uint8_t* p = value_ + offset;
    switch (vr) {
        case VR::SS: integer = Load<int16_t>(p); break;
        case VR::US: integer = Load<uint16_t>(p); break;
        case VR::SL: integer = Load<int32_t>(p); break;
        case VR::UL: integer = Load<uint32_t>(p); break;
        case VR::AT: integer = (static_cast<int64_t>(Load<uint16_t>(p)) << 16) | Load<uint16_t>(p + 2); break;
        case VR::FL: real = Load<float>(p); isReal = true; break;
        default: real = Load<double>(p); isReal = true; break;  // FD
    }
    return ResultSuccess;
}

int TogDicomDataElement::GetUInt(uint32_t& value, uint32_t vr, int index) const noexcept {
    value = 0;
    const uint32_t resolved = ResolveVR(vr);
    switch (resolved) {
        case VR::IS: {
            if (byteCount_ == 0 || value_ == nullptr) return ResultNoValue;
            TogString text;
            if (TextOfString(text, VR::IS, NormaliseIndex(index)) != ResultSuccess) return ResultNoValue;
            const char16_t* end = nullptr;
            const uint32_t v = togutils::StrToULong(text.GetString(), &end, 10);
            if (end == text.GetString()) return ResultNoValue;
            value = v;
            return ResultSuccess;
        }
        case VR::AT: case VR::SL: case VR::UL: case VR::SS: case VR::US: {
            int64_t integer;
            double real;
            bool isReal;
            const int r = NumberAt(resolved, index, integer, real, isReal);
            if (r == ResultSuccess) value = static_cast<uint32_t>(integer);
            return r;
        }
        default:
            return ResultNoValue;
    }
}

int TogDicomDataElement::GetInt(int32_t& value, uint32_t vr, int index) const noexcept {
    value = 0;
    const uint32_t resolved = ResolveVR(vr);
    switch (resolved) {
        case VR::IS: case VR::SL: case VR::UL: case VR::SS: case VR::US: {
            int64_t integer;
            double real;
            bool isReal;
            const int r = NumberAt(resolved, index, integer, real, isReal);
            if (r == ResultSuccess) value = static_cast<int32_t>(static_cast<uint32_t>(integer));
            return r;
        }
        default:
            return ResultNoValue;
    }
}

int TogDicomDataElement::GetDouble(double& value, uint32_t vr, int index) const noexcept {
    value = 0.0;
    const uint32_t resolved = ResolveVR(vr);
    switch (resolved) {
        case VR::DS: case VR::IS: case VR::FL: case VR::FD:
        case VR::SL: case VR::SS: case VR::UL: case VR::US: {
            int64_t integer;
            double real;
            bool isReal;
            const int r = NumberAt(resolved, index, integer, real, isReal);
            if (r == ResultSuccess) value = isReal ? real : static_cast<double>(integer);
            return r;
        }
        default:
            return ResultNoValue;
    }
}

uint32_t TogDicomDataElement::GetUIntOrDefault(uint32_t fallback, uint32_t vr, int index) const noexcept {
    uint32_t value;
    return GetUInt(value, vr, index) == ResultSuccess ? value : fallback;
}

int32_t TogDicomDataElement::GetIntOrDefault(int32_t fallback, uint32_t vr, int index) const noexcept {
    int32_t value;
    return GetInt(value, vr, index) == ResultSuccess ? value : fallback;
}

double TogDicomDataElement::GetDoubleOrDefault(double fallback, uint32_t vr, int index) const noexcept {
    double value;
    return GetDouble(value, vr, index) == ResultSuccess ? value : fallback;
}

uint32_t TogDicomDataElement::GetValueCount() const noexcept {
    if (byteCount_ == 0 || value_ == nullptr) return 0;
    switch (vr_) {
        case VR::AE: case VR::AS: case VR::CS: case VR::DA: case VR::DS: case VR::DT:
        case VR::IS: case VR::LO: case VR::PN: case VR::SH: case VR::TM: case VR::UI: {
            TogString text;
            if (GetText(text, vr_, -1) != ResultSuccess) return 0;
            uint32_t count = 1;
            for (const char16_t c : text.View()) count += c == u'\\' ? 1 : 0;
            return count;
        }
        case VR::AT: case VR::FL: case VR::SL: case VR::UL:
            return byteCount_ / 4;
        case VR::FD:
            return byteCount_ / 8;
        case VR::SS: case VR::US:
            return byteCount_ % 2 == 0 ? byteCount_ / 2 : 0;
        case VR::OB: case VR::OW: case VR::SQ: case VR::UN: case VR::OF:
        case VR::ST: case VR::LT: case VR::UT:
            return 1;
        default:
            return 0;
    }
}

int TogDicomDataElement::GetChildUInt(uint32_t group, uint32_t element, uint32_t& value, uint32_t vr,
                                      int index) const noexcept {
    return OnChild(
        FindChild(group, element), [&](const TogDicomDataElement& c) { return c.GetUInt(value, vr, index); },
        [&] { value = 0; });
}

int TogDicomDataElement::GetChildInt(uint32_t group, uint32_t element, int32_t& value, uint32_t vr,
                                     int index) const noexcept {
    return OnChild(
        FindChild(group, element), [&](const TogDicomDataElement& c) { return c.GetInt(value, vr, index); },
        [&] { value = 0; });
}

int TogDicomDataElement::GetChildDouble(uint32_t group, uint32_t element, double& value, uint32_t vr,
                                        int index) const noexcept {
    return OnChild(
        FindChild(group, element), [&](const TogDicomDataElement& c) { return c.GetDouble(value, vr, index); },
        [&] { value = 0.0; });
}

int TogDicomDataElement::GetChildText(uint32_t group, uint32_t element, TogString& text, uint32_t vr,
                                      int index) const noexcept {
    return OnChild(
        FindChild(group, element), [&](const TogDicomDataElement& c) { return c.GetText(text, vr, index); },
        [&] { text.Clear(); });
}

int TogDicomDataElement::GetChildString(uint32_t group, uint32_t element, TogString& text,
                                        const TogString& fallback, uint32_t vr, int index) const noexcept {
    return OnChild(
        FindChild(group, element),
        [&](const TogDicomDataElement& c) { return c.GetString(text, fallback, vr, index); },
        [&] { text = fallback; });
}

uint32_t TogDicomDataElement::GetChildUIntOrDefault(uint32_t group, uint32_t element, uint32_t fallback,
                                                    uint32_t vr, int index) const noexcept {
    uint32_t value;
    return GetChildUInt(group, element, value, vr, index) == ResultSuccess ? value : fallback;
}

int32_t TogDicomDataElement::GetChildIntOrDefault(uint32_t group, uint32_t element, int32_t fallback,
                                                  uint32_t vr, int index) const noexcept {
    int32_t value;
    return GetChildInt(group, element, value, vr, index) == ResultSuccess ? value : fallback;
}

double TogDicomDataElement::GetChildDoubleOrDefault(uint32_t group, uint32_t element, double fallback,
                                                    uint32_t vr, int index) const noexcept {
    double value;
    return GetChildDouble(group, element, value, vr, index) == ResultSuccess ? value : fallback;
}

uint32_t TogDicomDataElement::GetChildValueCount(uint32_t group, uint32_t element) const noexcept {
    const TogDicomDataElement* child = FindChild(group, element);
    return child != nullptr ? child->GetValueCount() : 0;
}
