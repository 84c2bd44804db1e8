#pragma once
// A text dump of an element tree, one line per element:
//   <2 blanks per level>(gggg,eeee) VR length value
// VR: the two letters, "--" when blank, "?xxxx" when not letters. Length: the
// value length in decimal, "u/l" when undefined. Value: "@offset" for a
// value held by position, "[text]" for the value's text (every value), else
// "=" and the hex bytes (the first 32, then "..."), or "-" without bytes.
// The committed fixtures of the reader tests are written in this form.
#include <cstdio>
#include <string>

#include "dicomlib/togdicomdataelement.h"
#include "dicomlib/togresult.h"

namespace dataset_dump {

inline std::string VRText(uint32_t vr) {
    const char a = static_cast<char>(vr & 0xFF);
    const char b = static_cast<char>((vr >> 8) & 0xFF);
    if (vr == TogDicomLib::VR::Blank) return "--";
    if (a >= 'A' && a <= 'Z' && b >= 'A' && b <= 'Z') return std::string{a, b};
    char text[8];
    std::snprintf(text, sizeof(text), "?%04x", vr & 0xFFFF);
    return text;
}

inline void DumpElement(const TogDicomDataElement& e, int depth, std::string& out) {
    char head[64];
    std::snprintf(head, sizeof(head), "(%04x,%04x) ", e.GetGroup(), e.GetElement());
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += head;
    out += VRText(e.GetVR());
    out += ' ';
    if (e.GetValueLength() == TogDicomLib::UndefinedLength) {
        out += "u/l";
    } else {
        out += std::to_string(e.GetValueLength());
    }
    out += ' ';
    TogString text;
    if (e.GetStorageMode() == TogDicomLib::ValueStorage::Position) {
        out += '@';
        out += std::to_string(e.GetValueOffset());
    } else if (e.GetText(text, TogDicomLib::VR::Blank, -1) == TogDicomLib::ResultSuccess) {
        out += '[';
        out += text.ToUtf8();
        out += ']';
    } else if (e.GetValueByteCount() > 0 && e.GetValueData() != nullptr) {
        out += '=';
        const uint32_t n = e.GetValueByteCount() < 32 ? e.GetValueByteCount() : 32;
        for (uint32_t i = 0; i < n; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%02x", e.GetValueData()[i]);
            out += hex;
        }
        if (n < e.GetValueByteCount()) out += "...";
    } else {
        out += '-';
    }
    out += '\n';
    for (uint32_t i = 0; i < e.GetChildCount(); ++i) DumpElement(*e.GetChildAt(i), depth + 1, out);
}

// The children of `root` (the root itself is not listed).
inline std::string Dump(const TogDicomDataElement& root) {
    std::string out;
    for (uint32_t i = 0; i < root.GetChildCount(); ++i) DumpElement(*root.GetChildAt(i), 0, out);
    return out;
}

}  // namespace dataset_dump
