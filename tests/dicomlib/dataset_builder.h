#pragma once
// Builds DICOM byte streams for the data-set reader tests: elements in
// implicit VR, explicit VR little or big endian, items and delimiters, the
// preamble and a meta group.
#include <cstdint>
#include <string>
#include <vector>

namespace dataset_builder {

constexpr uint32_t kUndefined = 0xFFFFFFFF;

enum class Form { Implicit, Explicit, ExplicitBig };

class Bytes {
public:
    explicit Bytes(Form form = Form::Explicit) : form_(form) {}

    std::vector<uint8_t> data;

    Bytes& Raw(const std::string& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& U16(uint32_t v) {
        if (form_ == Form::ExplicitBig) {
            Put(v >> 8);
            Put(v);
        } else {
            Put(v);
            Put(v >> 8);
        }
        return *this;
    }
    Bytes& U32(uint32_t v) {
        if (form_ == Form::ExplicitBig) {
            U16(v >> 16);
            U16(v & 0xFFFF);
        } else {
            U16(v & 0xFFFF);
            U16(v >> 16);
        }
        return *this;
    }
    // A header: tag, VR (explicit forms) and length.
    Bytes& Header(uint32_t group, uint32_t element, const char* vr, uint32_t length) {
        U16(group);
        U16(element);
        if (form_ == Form::Implicit) return U32(length);
        Raw(std::string(vr, 2));
        const std::string v(vr, 2);
        static const std::string shortVRs = "AEASATCSDADSDTFLFDISLOLTPNSHSLSSSTTMUIULUS";
        bool isShort = false;
        for (size_t i = 0; i < shortVRs.size(); i += 2) isShort = isShort || shortVRs.compare(i, 2, v) == 0;
        if (isShort) return U16(length);
        U16(0);
        return U32(length);
    }
    // An element with a value given as bytes.
    Bytes& Element(uint32_t group, uint32_t element, const char* vr, const std::string& value) {
        Header(group, element, vr, static_cast<uint32_t>(value.size()));
        return Raw(value);
    }
    Bytes& Item(uint32_t length = kUndefined) {
        U16(0xFFFE);
        U16(0xE000);
        return U32(length);
    }
    Bytes& ItemEnd() {
        U16(0xFFFE);
        U16(0xE00D);
        return U32(0);
    }
    Bytes& SequenceEnd() {
        U16(0xFFFE);
        U16(0xE0DD);
        return U32(0);
    }
    Bytes& Append(const Bytes& other) {
        data.insert(data.end(), other.data.begin(), other.data.end());
        return *this;
    }
    // 128 zero bytes and "DICM".
    Bytes& Preamble() {
        return Raw(std::string(128, '\0') + "DICM");
    }
    // A meta group (explicit VR little endian) naming the transfer syntax,
    // with or without its group length.
    Bytes& Meta(const std::string& syntax, bool groupLength = true) {
        Bytes meta(Form::Explicit);
        std::string uid = syntax;
        if (uid.size() % 2) uid.push_back('\0');
        meta.Element(0x0002, 0x0001, "OB", std::string("\0\1", 2));
        meta.Element(0x0002, 0x0010, "UI", uid);
        if (groupLength) {
            Bytes length(Form::Explicit);
            length.Header(0x0002, 0x0000, "UL", 4).U32(static_cast<uint32_t>(meta.data.size()));
            Append(length);
        }
        return Append(meta);
    }
    size_t Size() const { return data.size(); }

private:
    void Put(uint32_t byte) { data.push_back(static_cast<uint8_t>(byte)); }
    Form form_;
};

inline std::string Le16(uint32_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string Le32(uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

}  // namespace dataset_builder
