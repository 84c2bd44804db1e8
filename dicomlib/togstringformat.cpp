// printf-style formatting of wide text for TogString::Format. Numbers are
// written with std::to_chars, so the result never depends on the locale.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dicomlib/togstring.h"
#include "platform/text_converter.h"

namespace {

// Widths and precisions beyond this are refused as malformed formats.
constexpr int kMaxField = 1 << 20;

// Counts characters always and stores them while there is room.
class Sink {
public:
    Sink(char16_t* out, size_t capacity) : out_(out), capacity_(capacity) {}
    void Put(char16_t c) {
        if (out_ != nullptr && count_ < capacity_) out_[count_] = c;
        ++count_;
    }
    void PutAscii(const char* s, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(static_cast<unsigned char>(s[i]));
    }
    void Repeat(char16_t c, size_t n) {
        for (size_t i = 0; i < n; ++i) Put(c);
    }
    size_t Count() const { return count_; }

private:
    char16_t* out_;
    size_t capacity_;
    size_t count_ = 0;
};

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1;  // -1: not given
    enum Length { none, hh, h, l, ll, j, z, t, L } length = none;
    char conv = 0;
};

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Writes sign, prefix and body padded to the width. Zero padding goes between
// prefix and body.
void Emit(Sink& sink, const Spec& spec, const char* sign, const char* prefix, const char* body,
          size_t body_len, size_t leading_zeros, bool zero_pad) {
    const size_t sign_len = std::char_traits<char>::length(sign);
    const size_t prefix_len = std::char_traits<char>::length(prefix);
    const size_t total = sign_len + prefix_len + leading_zeros + body_len;
    const size_t width = static_cast<size_t>(spec.width);
    const size_t fill = width > total ? width - total : 0;
    if (!spec.left && !zero_pad) sink.Repeat(u' ', fill);
    sink.PutAscii(sign, sign_len);
    sink.PutAscii(prefix, prefix_len);
    if (!spec.left && zero_pad) sink.Repeat(u'0', fill);
    sink.Repeat(u'0', leading_zeros);
    sink.PutAscii(body, body_len);
    if (spec.left) sink.Repeat(u' ', fill);
}

void FormatInteger(Sink& sink, const Spec& spec, bool negative, uint64_t magnitude, bool is_signed) {
    int base = 10;
    if (spec.conv == 'o') base = 8;
    if (spec.conv == 'x' || spec.conv == 'X' || spec.conv == 'p') base = 16;
    char digits[72];
    size_t n = static_cast<size_t>(std::to_chars(digits, digits + sizeof(digits), magnitude, base).ptr - digits);
    if (spec.conv == 'X') {
        for (size_t i = 0; i < n; ++i) digits[i] = Upper(digits[i]);
    }
    if (spec.precision == 0 && magnitude == 0) n = 0;
    size_t zeros = spec.precision > 0 && static_cast<size_t>(spec.precision) > n
                       ? static_cast<size_t>(spec.precision) - n
                       : 0;
    if (spec.alt && spec.conv == 'o' && zeros == 0 && (n == 0 || digits[0] != '0')) zeros = 1;
    const char* prefix = "";
    if ((spec.alt && magnitude != 0 && spec.conv == 'x') || spec.conv == 'p') prefix = "0x";
    if (spec.alt && magnitude != 0 && spec.conv == 'X') prefix = "0X";
    const char* sign = negative ? "-" : (is_signed && spec.plus) ? "+" : (is_signed && spec.space) ? " " : "";
    Emit(sink, spec, sign, prefix, digits, n, zeros, spec.zero && spec.precision < 0);
}

// Exponent written after 'e' in a scientific form.
int ScientificExponent(const char* s, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == 'e') {
            int e = 0;
            std::from_chars(s + i + (s[i + 1] == '+' ? 2 : 1), s + n, e);
            return e;
        }
    }
    return 0;
}

template <class T>
bool FormatFloat(Sink& sink, const Spec& spec, T value) {
    const bool negative = std::signbit(value);
    const char* sign = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
    const bool upper = spec.conv == 'F' || spec.conv == 'E' || spec.conv == 'G' || spec.conv == 'A';
    const T a = std::fabs(value);
    if (!std::isfinite(a)) {
        const char* body = std::isnan(a) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        Emit(sink, spec, sign, "", body, 3, 0, false);
        return true;
    }
    const char conv = static_cast<char>(spec.conv | 0x20);  // lower case
    std::string text;
    try {
        text.resize(5000 + static_cast<size_t>(spec.precision < 0 ? 0 : spec.precision));
    } catch (...) {
        return false;
    }
    char* b = text.data();
    char* e = b + text.size();
    std::to_chars_result r{};
    const int precision = spec.precision < 0 ? 6 : spec.precision;
    const char* prefix = "";
    bool force_point = spec.alt;
    if (conv == 'f') {
        r = std::to_chars(b, e, a, std::chars_format::fixed, precision);
    } else if (conv == 'e') {
        r = std::to_chars(b, e, a, std::chars_format::scientific, precision);
    } else if (conv == 'g') {
        const int p = precision == 0 ? 1 : precision;
        if (!spec.alt) {
            r = std::to_chars(b, e, a, std::chars_format::general, p);
        } else {
            // The alternative form keeps trailing zeros: choose the style as
            // %g does and write it with all its digits.
            r = std::to_chars(b, e, a, std::chars_format::scientific, p - 1);
            if (r.ec != std::errc()) return false;
            const int x = ScientificExponent(b, static_cast<size_t>(r.ptr - b));
            if (p > x && x >= -4) r = std::to_chars(b, e, a, std::chars_format::fixed, p - 1 - x);
        }
    } else {  // 'a'
        prefix = upper ? "0X" : "0x";
        r = spec.precision < 0 ? std::to_chars(b, e, a, std::chars_format::hex)
                               : std::to_chars(b, e, a, std::chars_format::hex, spec.precision);
    }
    if (r.ec != std::errc()) return false;
    size_t n = static_cast<size_t>(r.ptr - b);
    if (force_point && std::char_traits<char>::find(b, n, '.') == nullptr) {
        // Insert the point before the exponent, or at the end.
        size_t at = n;
        for (size_t i = 0; i < n; ++i) {
            if (b[i] == 'e' || b[i] == 'p') {
                at = i;
                break;
            }
        }
        for (size_t i = n; i > at; --i) b[i] = b[i - 1];
        b[at] = '.';
        ++n;
    }
    if (upper) {
        for (size_t i = 0; i < n; ++i) b[i] = Upper(b[i]);
    }
    Emit(sink, spec, sign, prefix, b, n, 0, spec.zero);
    return true;
}

void FormatText16(Sink& sink, const Spec& spec, const char16_t* s) {
    if (s == nullptr) s = u"(null)";
    size_t n = 0;
    const size_t limit = spec.precision < 0 ? SIZE_MAX : static_cast<size_t>(spec.precision);
    while (n < limit && s[n] != 0) ++n;
    const size_t width = static_cast<size_t>(spec.width);
    const size_t fill = width > n ? width - n : 0;
    if (!spec.left) sink.Repeat(u' ', fill);
    for (size_t i = 0; i < n; ++i) sink.Put(s[i]);
    if (spec.left) sink.Repeat(u' ', fill);
}

bool FormatText8(Sink& sink, const Spec& spec, const char* s) {
    if (s == nullptr) s = "(null)";
    std::u16string wide;
    if (platform::utf8_to_utf16(s, wide) != platform::TextConvertResult::ok) return false;
    FormatText16(sink, spec, wide.c_str());
    return true;
}

// The argument list, wrapped so that it can be passed on by reference.
struct Args {
    va_list ap;
};

// Reads a decimal field or '*'; false when it is too large.
bool ReadField(const char16_t*& p, Args& args, int& out, bool& from_args) {
    from_args = false;
    if (*p == u'*') {
        ++p;
        out = va_arg(args.ap, int);
        from_args = true;
        return true;
    }
    long long v = 0;
    while (*p >= u'0' && *p <= u'9') {
        v = v * 10 + (*p++ - u'0');
        if (v > kMaxField) return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool FormatAll(Sink& sink, const char16_t* format, Args& args) {
    for (const char16_t* p = format; *p != 0;) {
        if (*p != u'%') {
            sink.Put(*p++);
            continue;
        }
        ++p;
        if (*p == u'%') {
            sink.Put(u'%');
            ++p;
            continue;
        }
        Spec spec;
        for (;; ++p) {
            if (*p == u'-') spec.left = true;
            else if (*p == u'+') spec.plus = true;
            else if (*p == u' ') spec.space = true;
            else if (*p == u'#') spec.alt = true;
            else if (*p == u'0') spec.zero = true;
            else if (*p == u'\'') continue;  // no digit grouping: the locale is not read
            else break;
        }
        bool from_args = false;
        if (!ReadField(p, args, spec.width, from_args)) return false;
        if (spec.width < 0) {
            spec.left = true;
            spec.width = spec.width == INT32_MIN ? kMaxField + 1 : -spec.width;
        }
        if (spec.width > kMaxField) return false;
        if (*p == u'.') {
            ++p;
            if (!ReadField(p, args, spec.precision, from_args)) return false;
            if (spec.precision < 0) spec.precision = -1;
            if (spec.precision > kMaxField) return false;
        }
        switch (*p) {
            case u'h':
                spec.length = p[1] == u'h' ? Spec::hh : Spec::h;
                p += spec.length == Spec::hh ? 2 : 1;
                break;
            case u'l':
                spec.length = p[1] == u'l' ? Spec::ll : Spec::l;
                p += spec.length == Spec::ll ? 2 : 1;
                break;
            case u'q': spec.length = Spec::ll; ++p; break;
            case u'j': spec.length = Spec::j; ++p; break;
            case u'z': spec.length = Spec::z; ++p; break;
            case u't': spec.length = Spec::t; ++p; break;
            case u'L': spec.length = Spec::L; ++p; break;
            default: break;
        }
        const char16_t conv = *p;
        if (conv == 0 || conv > 0x7F) return false;
        ++p;
        spec.conv = static_cast<char>(conv);
        switch (spec.conv) {
            case 'd':
            case 'i': {
                long long v;
                switch (spec.length) {
                    case Spec::hh: v = static_cast<signed char>(va_arg(args.ap, int)); break;
                    case Spec::h: v = static_cast<short>(va_arg(args.ap, int)); break;
                    case Spec::l: v = va_arg(args.ap, long); break;
                    case Spec::ll: v = va_arg(args.ap, long long); break;
                    case Spec::j: v = va_arg(args.ap, intmax_t); break;
                    case Spec::z: v = va_arg(args.ap, ptrdiff_t); break;
                    case Spec::t: v = va_arg(args.ap, ptrdiff_t); break;
                    default: v = va_arg(args.ap, int); break;
                }
                const uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
                FormatInteger(sink, spec, v < 0, magnitude, true);
                break;
            }
            case 'u':
            case 'o':
            case 'x':
            case 'X': {
                unsigned long long v;
                switch (spec.length) {
                    case Spec::hh: v = static_cast<unsigned char>(va_arg(args.ap, unsigned)); break;
                    case Spec::h: v = static_cast<unsigned short>(va_arg(args.ap, unsigned)); break;
                    case Spec::l: v = va_arg(args.ap, unsigned long); break;
                    case Spec::ll: v = va_arg(args.ap, unsigned long long); break;
                    case Spec::j: v = va_arg(args.ap, uintmax_t); break;
                    case Spec::z: v = va_arg(args.ap, size_t); break;
                    case Spec::t: v = static_cast<unsigned long long>(va_arg(args.ap, ptrdiff_t)); break;
                    default: v = va_arg(args.ap, unsigned); break;
                }
                FormatInteger(sink, spec, false, v, false);
                break;
            }
            case 'p': {
                const void* v = va_arg(args.ap, void*);
                spec.alt = false;
                FormatInteger(sink, spec, false, reinterpret_cast<uintptr_t>(v), false);
                break;
            }
            case 'c':
            case 'C': {
                // A NUL character cannot be held in the text: it writes
                // nothing but its padding.
                const char16_t c = static_cast<char16_t>(va_arg(args.ap, int));
                const char16_t text[2] = {c, 0};
                Spec s = spec;
                s.precision = -1;  // no meaning for a character
                FormatText16(sink, s, text);
                break;
            }
            case 's':
                if (spec.length == Spec::h) {
                    if (!FormatText8(sink, spec, va_arg(args.ap, const char*))) return false;
                } else {
                    FormatText16(sink, spec, va_arg(args.ap, const char16_t*));
                }
                break;
            case 'S':
                if (!FormatText8(sink, spec, va_arg(args.ap, const char*))) return false;
                break;
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                bool ok;
                if (spec.length == Spec::L) {
                    ok = FormatFloat(sink, spec, va_arg(args.ap, long double));
                } else {
                    ok = FormatFloat(sink, spec, va_arg(args.ap, double));
                }
                if (!ok) return false;
                break;
            }
            default:
                return false;  // %n and unknown conversions
        }
    }
    return true;
}

}  // namespace

TogString TogString::Format(const char16_t* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    TogString s = FormatV(format, args);
    va_end(args);
    return s;
}

TogString TogString::FormatV(const char16_t* format, va_list args) noexcept {
    if (format == nullptr) return TogString();
    Args measure;
    va_copy(measure.ap, args);
    Sink counter(nullptr, 0);
    const bool ok = FormatAll(counter, format, measure);
    va_end(measure.ap);
    const size_t n = counter.Count();
    TogString s;
    if (!ok || n == 0 || n >= UINT32_MAX || !s.SetLength(static_cast<uint32_t>(n))) return s;
    Args write;
    va_copy(write.ap, args);
    Sink writer(s.At(0), n);
    FormatAll(writer, format, write);
    va_end(write.ap);
    return s;
}
