#include "Source/zebstringutil.h"

#include <algorithm>
#include <cstdarg>

#include "dicomlib/togstring.h"
#include "platform/text_converter.h"

int32_t CountTextLines(std::u16string_view text) {
    if (text.empty()) return 0;
    return static_cast<int32_t>(std::count(text.begin(), text.end(), u'\r')) + 1;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    platform::utf16_to_utf8(text, out);
    return out;
}

std::u16string RemoveTabs(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text)
        if (c != u'\t') out += c;
    return out;
}

std::u16string FormatText(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    const TogString text = TogString::FormatV(format, args);
    va_end(args);
    return std::u16string(text.View());
}

namespace {

// Bytes of the UTF-8 sequence at the start of `text`, 0 when it is not one
// (a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate or a value past U+10FFFF).
size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // The second byte's range rules out overlong forms, surrogates and
    // values past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90))
        return 0;
    return length;
}

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string ShownText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8SequenceLength(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (length == 0) {
            AppendHex(out, "\\x", lead, 2);
            text.remove_prefix(1);
            continue;
        }
        if (length == 1 && (lead < 0x20 || lead == 0x7F)) {
            switch (lead) {
                case '\0': out += "\\0"; break;
                case '\t': out += "\\t"; break;
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                default: AppendHex(out, "\\x", lead, 2);
            }
        } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            // U+0080 to U+009F.
            AppendHex(out, "\\u00", static_cast<unsigned char>(text[1]), 2);
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out;
}
