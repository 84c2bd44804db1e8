// Number parsing of wide text with the C library's rules for the "C" locale,
// written without any locale-dependent call.
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "dicomlib/togstring.h"

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return 99;
}

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

// True when the characters at p spell the lower-case ASCII word.
bool HasWord(const char16_t* p, const char* word) {
    for (; *word != 0; ++p, ++word) {
        if (Lower(*p) != static_cast<char16_t>(*word)) return false;
    }
    return true;
}

// Length of the decimal (or, with hex, hexadecimal) floating-point subject at
// p, without sign: digits with one optional point, at least one digit, then
// an optional exponent that is taken only when it has digits.
size_t FloatSubject(const char16_t* p, bool hex) {
    auto is_digit = [hex](char16_t c) { return hex ? DigitValue(c) < 16 : (c >= u'0' && c <= u'9'); };
    size_t n = 0;
    size_t digits = 0;
    while (is_digit(p[n])) ++n, ++digits;
    if (p[n] == u'.') {
        ++n;
        while (is_digit(p[n])) ++n, ++digits;
    }
    if (digits == 0) return 0;
    const char16_t e = Lower(p[n]);
    if ((hex && e == u'p') || (!hex && e == u'e')) {
        size_t k = n + 1;
        if (p[k] == u'+' || p[k] == u'-') ++k;
        if (p[k] >= u'0' && p[k] <= u'9') {
            while (p[k] >= u'0' && p[k] <= u'9') ++k;
            n = k;
        }
    }
    return n;
}

// Sign of the order of magnitude of a subject that did not fit a double:
// true when it is too large, false when too small.
bool TooLarge(const char* s, size_t n, bool hex) {
    const int digit_bits = hex ? 4 : 1;
    long long magnitude = 0;
    bool seen_nonzero = false;
    bool after_point = false;
    size_t i = 0;
    for (; i < n && s[i] != 'e' && s[i] != 'E' && s[i] != 'p' && s[i] != 'P'; ++i) {
        if (s[i] == '.') {
            after_point = true;
            continue;
        }
        const bool zero = s[i] == '0';
        if (!after_point && (seen_nonzero || !zero)) magnitude += digit_bits;
        if (after_point && !seen_nonzero && zero) magnitude -= digit_bits;
        if (!zero) seen_nonzero = true;
    }
    if (!seen_nonzero) return false;
    long long exponent = 0;
    bool negative = false;
    if (i < n) {
        ++i;
        if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
        for (; i < n; ++i) {
            if (exponent < 1000000000) exponent = exponent * 10 + (s[i] - '0');
        }
    }
    magnitude += negative ? -exponent : exponent;
    return magnitude > 0;
}

}  // namespace

namespace togutils {

double StrToDouble(const char16_t* text, const char16_t** end) noexcept {
    if (end != nullptr) *end = text;
    if (text == nullptr) return 0.0;
    const char16_t* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';

    double value = 0.0;
    const char16_t* stop = nullptr;
    if (HasWord(p, "inf")) {
        value = std::numeric_limits<double>::infinity();
        stop = p + (HasWord(p, "infinity") ? 8 : 3);
    } else if (HasWord(p, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
        stop = p + 3;
        if (*stop == u'(') {
            const char16_t* q = stop + 1;
            while (DigitValue(*q) < 36 || *q == u'_') ++q;
            if (*q == u')') stop = q + 1;
        }
    } else {
        bool hex = p[0] == u'0' && Lower(p[1]) == u'x';
        size_t n = hex ? FloatSubject(p + 2, true) : 0;
        if (hex && n == 0) hex = false;  // "0x" alone reads as the number 0
        const char16_t* subject = hex ? p + 2 : p;
        if (!hex) n = FloatSubject(p, false);
        if (n == 0) return 0.0;
        // The subject is ASCII by construction; DS values are short, so a
        // stack buffer serves nearly always.
        char local[128];
        std::string heap;
        char* narrow = local;
        if (n > sizeof(local)) {
            try {
                heap.resize(n);
            } catch (...) {
                return 0.0;
            }
            narrow = heap.data();
        }
        for (size_t i = 0; i < n; ++i) narrow[i] = static_cast<char>(subject[i]);
        const auto format = hex ? std::chars_format::hex : std::chars_format::general;
        const auto r = std::from_chars(narrow, narrow + n, value, format);
        if (r.ec == std::errc::result_out_of_range) {
            value = TooLarge(narrow, n, hex) ? HUGE_VAL : 0.0;
        } else if (r.ec != std::errc()) {
            return 0.0;
        }
        stop = subject + (r.ptr - narrow);
    }
    if (end != nullptr) *end = stop;
    return negative ? -value : value;
}

namespace {

// Reads the digits of an integer in the given base; returns false when there
// is none. `magnitude` saturates at the 64-bit limit.
bool ReadInteger(const char16_t* text, const char16_t** end, int base, bool* negative,
                 uint64_t* magnitude) {
    if (end != nullptr) *end = text;
    *negative = false;
    *magnitude = 0;
    if (text == nullptr || base < 0 || base == 1 || base > 36) return false;
    const char16_t* p = text;
    while (IsSpace(*p)) ++p;
    if (*p == u'+' || *p == u'-') *negative = *p++ == u'-';
    if ((base == 0 || base == 16) && p[0] == u'0' && Lower(p[1]) == u'x' && DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == u'0' ? 8 : 10;
    }
    const char16_t* first = p;
    uint64_t v = 0;
    for (; DigitValue(*p) < base; ++p) {
        const uint64_t d = static_cast<uint64_t>(DigitValue(*p));
        if (v > (UINT64_MAX - d) / static_cast<uint64_t>(base)) {
            v = UINT64_MAX;
        } else {
            v = v * static_cast<uint64_t>(base) + d;
        }
    }
    if (p == first) return false;
    if (end != nullptr) *end = p;
    *magnitude = v;
    return true;
}

}  // namespace

int32_t StrToLong(const char16_t* text, const char16_t** end, int base) noexcept {
    bool negative;
    uint64_t v;
    if (!ReadInteger(text, end, base, &negative, &v)) return 0;
    if (negative) {
        return v > static_cast<uint64_t>(INT32_MAX) + 1 ? INT32_MIN
                                                         : static_cast<int32_t>(0 - v);
    }
    return v > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(v);
}

uint32_t StrToULong(const char16_t* text, const char16_t** end, int base) noexcept {
    bool negative;
    uint64_t v;
    if (!ReadInteger(text, end, base, &negative, &v)) return 0;
    if (v > UINT32_MAX) return UINT32_MAX;
    const uint32_t u = static_cast<uint32_t>(v);
    return negative ? 0u - u : u;
}

}  // namespace togutils
