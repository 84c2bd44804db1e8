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
