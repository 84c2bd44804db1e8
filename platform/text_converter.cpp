#include "platform/text_converter.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace platform {
namespace {

struct CodePageName {
    uint32_t code_page;
    const char* charset;
};

// Windows code pages and the iconv character sets that decode them the same
// way. 932 is CP932 rather than SHIFT_JIS, which would turn 0x5C into a yen
// sign; the ISO 2022 Japanese code pages go through ISO-2022-JP-2, which also
// knows JIS X 0212 (ESC $ ( D).
constexpr CodePageName kCodePages[] = {
    {874, "CP874"},          {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},          {950, "CP950"},          {1250, "CP1250"},
    {1251, "CP1251"},        {1252, "CP1252"},        {1253, "CP1253"},
    {1254, "CP1254"},        {1255, "CP1255"},        {1256, "CP1256"},
    {1257, "CP1257"},        {1258, "CP1258"},        {20127, "ASCII"},
    {20932, "EUC-JP"},       {20936, "GB2312"},       {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},   {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},   {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},   {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},  {50220, "ISO-2022-JP-2"}, {50221, "ISO-2022-JP-2"},
    {50222, "ISO-2022-JP-2"}, {50225, "ISO-2022-KR"},  {51932, "EUC-JP"},
    {51936, "EUC-CN"},       {51949, "EUC-KR"},       {54936, "GB18030"},
    {65001, "UTF-8"},
};

constexpr char16_t kReplacement = kReplacementCharacter;

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr const char* kUtf16Name = "UTF-16BE";
#else
constexpr const char* kUtf16Name = "UTF-16LE";
#endif

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// iconv descriptors of one thread, by character set name, closed when the
// thread ends. A full cache gives up its slots in turn.
class IconvCache {
public:
    IconvCache() = default;
    IconvCache(const IconvCache&) = delete;
    IconvCache& operator=(const IconvCache&) = delete;
    ~IconvCache() {
        for (Slot& s : slots_) {
            if (s.cd != kNoDescriptor) iconv_close(s.cd);
        }
    }

    // A descriptor reset to its initial state, or kNoDescriptor.
    iconv_t get(const char* charset) {
        for (Slot& s : slots_) {
            if (s.cd != kNoDescriptor && std::strcmp(s.name, charset) == 0) {
                iconv(s.cd, nullptr, nullptr, nullptr, nullptr);
                return s.cd;
            }
        }
        if (std::strlen(charset) >= sizeof(Slot::name)) return kNoDescriptor;
        iconv_t cd = iconv_open(kUtf16Name, charset);
        if (cd == kNoDescriptor) return kNoDescriptor;
        Slot& s = slots_[next_];
        next_ = (next_ + 1) % kSlots;
        if (s.cd != kNoDescriptor) iconv_close(s.cd);
        s.cd = cd;
        std::strcpy(s.name, charset);
        return cd;
    }

private:
    static constexpr size_t kSlots = 16;
    struct Slot {
        char name[32] = {};
        iconv_t cd = kNoDescriptor;
    };
    Slot slots_[kSlots];
    size_t next_ = 0;
};

thread_local IconvCache t_cache;

bool is_utf8_name(const char* charset) {
    return std::strcmp(charset, "UTF-8") == 0 || std::strcmp(charset, "utf-8") == 0;
}

// ASCII-compatible sets decode bytes below 0x80 as themselves; the ISO 2022
// sets do not (ESC, SO and SI change their state).
bool ascii_compatible(const char* charset) {
    return std::strncmp(charset, "ISO-2022", 8) != 0;
}

bool all_ascii(const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (p[i] >= 0x80) return false;
    }
    return true;
}

// Continuation byte range allowed after a lead byte, second position only.
bool second_byte_ok(unsigned char lead, unsigned char b) {
    switch (lead) {
        case 0xE0: return b >= 0xA0 && b <= 0xBF;
        case 0xED: return b >= 0x80 && b <= 0x9F;
        case 0xF0: return b >= 0x90 && b <= 0xBF;
        case 0xF4: return b >= 0x80 && b <= 0x8F;
        default: return b >= 0x80 && b <= 0xBF;
    }
}

void append_code_point(std::u16string& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// False when any sequence was ill-formed (and replaced).
bool decode_utf8(const unsigned char* p, size_t n, std::u16string& out) {
    bool well_formed = true;
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        size_t extra;
        uint32_t cp;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out.push_back(kReplacement);
            well_formed = false;
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= extra; ++k) {
            if (i + k >= n) break;
            const unsigned char b = p[i + k];
            const bool ok = k == 1 ? second_byte_ok(lead, b) : (b >= 0x80 && b <= 0xBF);
            if (!ok) break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (k <= extra) {
            // Ill-formed: the lead byte and the continuations that were valid
            // so far make one replacement; go on at the offending byte.
            out.push_back(kReplacement);
            well_formed = false;
            i += k;
            continue;
        }
        append_code_point(out, cp);
        i += extra + 1;
    }
    return well_formed;
}

TextConvertResult decode_iconv(const char* charset, const unsigned char* bytes, size_t size,
                               std::u16string& out) {
    iconv_t cd = t_cache.get(charset);
    if (cd == kNoDescriptor) return TextConvertResult::unsupported;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    size_t in_left = size;
    char16_t chunk[512];
    while (in_left > 0) {
        char* o = reinterpret_cast<char*>(chunk);
        size_t o_left = sizeof(chunk);
        const size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        const int err = errno;
        out.append(chunk, static_cast<size_t>(reinterpret_cast<char16_t*>(o) - chunk));
        if (r != static_cast<size_t>(-1)) continue;
        if (err == E2BIG) continue;
        out.push_back(kReplacement);
        if (err == EINVAL) break;  // a sequence cut off by the end of the input
        ++in;                      // EILSEQ: skip the offending byte
        --in_left;
    }
    char* o = reinterpret_cast<char*>(chunk);
    size_t o_left = sizeof(chunk);
    iconv(cd, nullptr, nullptr, &o, &o_left);
    out.append(chunk, static_cast<size_t>(reinterpret_cast<char16_t*>(o) - chunk));
    return TextConvertResult::ok;
}

}  // namespace

const char* code_page_charset(uint32_t code_page) {
    for (const CodePageName& c : kCodePages) {
        if (c.code_page == code_page) return c.charset;
    }
    return nullptr;
}

TextConvertResult decode_charset(const char* charset, const void* bytes, size_t size,
                                 std::u16string& out) {
    if (charset == nullptr) return TextConvertResult::unsupported;
    if (size > 0 && bytes == nullptr) return TextConvertResult::unsupported;
    const auto* p = static_cast<const unsigned char*>(bytes);
    const size_t start = out.size();
    try {
        if (is_utf8_name(charset)) {
            decode_utf8(p, size, out);
            return TextConvertResult::ok;
        }
        if (ascii_compatible(charset) && all_ascii(p, size)) {
            // Most DICOM text is plain ASCII: no need to reach iconv, but the
            // set must still be known.
            if (t_cache.get(charset) == kNoDescriptor) return TextConvertResult::unsupported;
            out.append(p, p + size);
            return TextConvertResult::ok;
        }
        const TextConvertResult r = decode_iconv(charset, p, size, out);
        if (r != TextConvertResult::ok) out.resize(start);
        return r;
    } catch (...) {
        out.resize(start);
        return TextConvertResult::out_of_memory;
    }
}

TextConvertResult decode_code_page(uint32_t code_page, const void* bytes, size_t size,
                                   std::u16string& out) {
    return decode_charset(code_page_charset(code_page), bytes, size, out);
}

TextConvertResult utf8_to_utf16(std::string_view text, std::u16string& out) {
    return decode_charset("UTF-8", text.data(), text.size(), out);
}

bool well_formed_utf8_to_utf16(std::string_view text, std::u16string& out) {
    const size_t start = out.size();
    try {
        if (decode_utf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), out))
            return true;
    } catch (...) {
    }
    out.resize(start);
    return false;
}

TextConvertResult utf16_to_utf8(std::u16string_view text, std::string& out) {
    const size_t start = out.size();
    try {
        for (size_t i = 0; i < text.size(); ++i) {
            uint32_t cp = text[i];
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = kReplacement;
            }
            if (cp < 0x80) {
                out.push_back(static_cast<char>(cp));
            } else if (cp < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else if (cp < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            }
        }
    } catch (...) {
        out.resize(start);
        return TextConvertResult::out_of_memory;
    }
    return TextConvertResult::ok;
}

}  // namespace platform
