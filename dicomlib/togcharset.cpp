#include "dicomlib/togcharset.h"

#include <atomic>
#include <cerrno>

#include "dicomlib/toglogwriter.h"
#include "dicomlib/togresult.h"
#include "dicomlib/togutils.h"
#include "platform/text_converter.h"

namespace TogDicomLib {
namespace {

const char kParseCharsetSignature[] =
    "void __cdecl TogDicomLib::ParseSpecificCharacterSet(class std::vector<struct "
    "TogDicomLib::CharsetInfomationData const *> &,const class TogString &)";
const char kParseEscapeSignature[] =
    "int __cdecl TogDicomLib::ParseEscapeSequence(class std::vector<struct "
    "TogDicomLib::EscapeSequenceState> &,const unsigned char *,unsigned int,const class "
    "std::vector<struct TogDicomLib::CharsetInfomationData const *> &,unsigned int)";
const char kConvertSignature[] =
    "int __cdecl TogDicomLib::ConvertDicomCharEncodeToUtf16(class TogString &,const unsigned "
    "char *,unsigned int,const class TogString &,unsigned int,bool)";
const char kToTogStringSignature[] =
    "int __cdecl TogDicomLib::ToTogString(class TogString &,const unsigned char *,unsigned "
    "int,unsigned int,bool)";

constexpr uint8_t kEsc = 0x1B;

// Rows: term, ISO 2022, G1 size, G0 multi-byte, G1 multi-byte, G0 final, G1
// final, code page, keep escapes.
const CharsetInfomationData kCharsets[] = {
    {u"", 0, 0, 0, 0, 'B', 0, 1252, 0},
    {u"ISO_IR 100", 0, 2, 0, 0, 'B', 'A', 28591, 0},
    {u"ISO_IR 101", 0, 2, 0, 0, 'B', 'B', 28592, 0},
    {u"ISO_IR 109", 0, 2, 0, 0, 'B', 'C', 28593, 0},
    {u"ISO_IR 110", 0, 2, 0, 0, 'B', 'D', 28594, 0},
    {u"ISO_IR 144", 0, 2, 0, 0, 'B', 'L', 28595, 0},
    {u"ISO_IR 127", 0, 2, 0, 0, 'B', 'G', 28596, 0},
    {u"ISO_IR 126", 0, 2, 0, 0, 'B', 'F', 28597, 0},
    {u"ISO_IR 138", 0, 2, 0, 0, 'B', 'H', 28598, 0},
    {u"ISO_IR 148", 0, 2, 0, 0, 'B', 'M', 28599, 0},
    {u"ISO_IR 13", 0, 2, 0, 0, 'J', 'I', 932, 0},
    {u"ISO_IR 166", 0, 2, 0, 0, 'B', 'T', 874, 0},
    {u"ISO 2022 IR 6", 1, 2, 0, 0, 'B', 0, 1252, 0},
    {u"ISO 2022 IR 100", 1, 2, 0, 0, 'B', 'A', 28591, 0},
    {u"ISO 2022 IR 101", 1, 2, 0, 0, 'B', 'B', 28592, 0},
    {u"ISO 2022 IR 109", 1, 2, 0, 0, 'B', 'C', 28593, 0},
    {u"ISO 2022 IR 110", 1, 2, 0, 0, 'B', 'D', 28594, 0},
    {u"ISO 2022 IR 144", 1, 2, 0, 0, 'B', 'L', 28595, 0},
    {u"ISO 2022 IR 127", 1, 2, 0, 0, 'B', 'G', 28596, 0},
    {u"ISO 2022 IR 126", 1, 2, 0, 0, 'B', 'F', 28597, 0},
    {u"ISO 2022 IR 138", 1, 2, 0, 0, 'B', 'H', 28598, 0},
    {u"ISO 2022 IR 148", 1, 2, 0, 0, 'B', 'M', 28599, 0},
    {u"ISO 2022 IR 13", 1, 1, 0, 0, 'J', 'I', 932, 0},
    {u"ISO 2022 IR 166", 1, 2, 0, 0, 'B', 'T', 874, 0},
    {u"ISO 2022 IR 87", 1, 0, 1, 0, 'B', 0, 50221, 1},
    {u"ISO 2022 IR 159", 1, 0, 1, 0, 'D', 0, 50221, 1},
    {u"ISO 2022 IR 149", 1, 1, 0, 1, 'B', 'C', 51949, 0},
    {u"ISO_IR 192", 0, 0, 1, 0, 0, 0, 65001, 0},
    {u"GB18030", 0, 0, 1, 0, 0, 0, 54936, 0},
    {u"GBK", 0, 0, 1, 0, 0, 0, 936, 0},
    {u"ISO 2022 IR 58", 1, 1, 0, 1, 'B', 'A', 936, 0},
    {u"ISO 2022 IR 171", 1, 0, 0, 0, 'B', 'G', 950, 0},
    {u"ISO 2022 IR 172", 1, 0, 0, 0, 'B', 'H', 950, 0},
    {u"ISO 2022 IR 183", 1, 0, 0, 0, 'B', 'I', 950, 0},
    {u"CP1250", 0, 2, 0, 0, 'B', 'B', 1250, 0},
    {u"CP1251", 0, 2, 0, 0, 'B', 'L', 1251, 0},
    {nullptr, 0, 0, 0, 0, 0, 0, 0, 0},
};

std::atomic<const CharsetInfomationData*> g_extraCharsets{nullptr};

const CharsetInfomationData* FindRow(const CharsetInfomationData* table, const TogString& term) {
    for (; table != nullptr && table->definedTerm != nullptr; ++table) {
        if (term == table->definedTerm) return table;
    }
    return nullptr;
}

// Final bytes compared with "B" (ASCII) and "J" (JIS X 0201 Roman) taken as
// one for single-byte sets.
bool SameFinal(uint8_t a, uint8_t b, bool multiByte) {
    if (a == b) return true;
    if (multiByte) return false;
    return (a == 'B' || a == 'J') && (b == 'B' || b == 'J');
}

bool IsCnsTerm(const CharsetInfomationData* row) {
    const TogString term(row->definedTerm);
    return term == u"ISO 2022 IR 171" || term == u"ISO 2022 IR 172" || term == u"ISO 2022 IR 183";
}

// A read escape sequence: where it ends and what it designates.
struct Escape {
    size_t end = 0;          // index after the sequence
    bool valid = false;      // the final byte lies in 0x20 to 0x7F
    bool multiByte = false;  // "$"
    uint8_t target = 0;      // '(' G0, ')' G1 of 94, '-' G1 of 96, 0 none
    uint8_t final = 0;
};

// Reads the escape sequence that starts with the ESC at bytes[at]; logs what
// it cannot use.
Escape ReadEscape(const uint8_t* bytes, size_t size, size_t at, const char* signature) {
    Escape e;
    size_t i = at + 1;
    for (; i < size && bytes[i] >= 0x20 && bytes[i] <= 0x2F; ++i) {
        const uint8_t c = bytes[i];
        if (c == '$') {
            e.multiByte = true;
        } else if (c == '(' || c == ')' || c == '-') {
            if (e.target == 0) e.target = c;  // a second designation byte is ignored
        } else {
            ReportFormat(signature, ResultUnknownError,
                         u"Unknown middle-character of escape sequence. ('0x%02x')", c);
        }
    }
    if (i >= size) {
        Report(signature, ResultUnknownError, TogString(u"Incomplete escape sequence."));
        e.end = size;
        return e;
    }
    if (bytes[i] < 0x20 || bytes[i] > 0x7F) {
        ReportFormat(signature, ResultUnknownError, u"Invalid escape sequence. ('0x%02x')", bytes[i]);
        e.end = i;  // the byte stays part of the text
        return e;
    }
    e.valid = true;
    e.final = bytes[i];
    e.end = i + 1;
    return e;
}

// The escape sequence that the ISO 2022 Japanese converter reads for the G0
// designation of a piece.
void AppendG0Escape(std::string& out, const EscapeSequenceState& piece) {
    out.push_back(static_cast<char>(kEsc));
    if (piece.g0MultiByte) {
        out.push_back('$');
        // JIS C 6226 (@) and JIS X 0208 (B) have the short form that the
        // converter expects; other sets (JIS X 0212, D) need "(".
        if (piece.g0Final != '@' && piece.g0Final != 'A' && piece.g0Final != 'B') out.push_back('(');
    } else {
        out.push_back('(');
    }
    out.push_back(static_cast<char>(piece.g0Final));
}

// Rewrites a value in the CNS 11643 planes (designated by ESC $ ( F or
// ESC $ ) F, F = G for plane 1 up to M for plane 7) and ASCII into EUC-TW
// bytes, which name every plane. False for a sequence that cannot be read.
bool RewriteCnsToEucTw(const uint8_t* bytes, size_t size, const CharsetInfomationData& first,
                       std::string& out) {
    auto plane_of = [](uint8_t final) { return (final >= 'G' && final <= 'M') ? final - 'G' + 1 : 0; };
    int g0 = 0;  // 0: ASCII, else the plane in G0
    int g1 = IsCnsTerm(&first) ? plane_of(first.g1Final) : 0;
    auto put_cns = [&out](int plane, uint8_t c1, uint8_t c2) {
        if (plane > 1) {
            out.push_back(static_cast<char>(0x8E));
            out.push_back(static_cast<char>(0xA0 + plane));
        }
        out.push_back(static_cast<char>(c1 | 0x80));
        out.push_back(static_cast<char>(c2 | 0x80));
    };
    for (size_t i = 0; i < size;) {
        const uint8_t b = bytes[i];
        if (b == kEsc) {
            const Escape e = ReadEscape(bytes, size, i, kConvertSignature);
            if (!e.valid) return false;
            if (e.multiByte) {
                const int plane = plane_of(e.final);
                if (plane == 0) return false;
                if (e.target == ')') {
                    g1 = plane;
                } else if (e.target == '(' || e.target == 0) {
                    g0 = plane;
                } else {
                    return false;
                }
            } else if (e.target == '(' && (e.final == 'B' || e.final == 'J')) {
                g0 = 0;
            } else {
                return false;
            }
            i = e.end;
        } else if (b < 0x80) {
            if (g0 == 0 || b < 0x21 || b == 0x7F) {
                out.push_back(static_cast<char>(b));
                ++i;
            } else {
                if (i + 1 >= size || bytes[i + 1] < 0x21 || bytes[i + 1] > 0x7E) return false;
                put_cns(g0, b, bytes[i + 1]);
                i += 2;
            }
        } else {
            if (g1 == 0 || i + 1 >= size || bytes[i + 1] < 0xA1 || bytes[i + 1] == 0xFF) return false;
            put_cns(g1, b & 0x7F, bytes[i + 1] & 0x7F);
            i += 2;
        }
    }
    return true;
}

// Appends the UTF-16 text of bytes in a code page.
int AppendCodePage(std::u16string& out, const void* bytes, size_t size, uint32_t codePage) {
    if (size == 0) return ResultSuccess;
    switch (platform::decode_code_page(codePage, bytes, size, out)) {
        case platform::TextConvertResult::ok:
            return ResultSuccess;
        case platform::TextConvertResult::out_of_memory:
            return ResultOutOfMemory;
        default:
            togutils::WriteWindowsAPIErrorMessageToLog(kToTogStringSignature, "MultiByteToWideChar", EINVAL);
            return ResultUnknownError;
    }
}

int AssignResult(TogString& out, const std::u16string& text) {
    if (!out.Assign(text.c_str())) return ResultOutOfMemory;
    return ResultSuccess;
}

}  // namespace

const CharsetInfomationData* GetBuiltInCharsets() noexcept {
    return kCharsets;
}

void SetExtraCharsets(const CharsetInfomationData* rows) noexcept {
    g_extraCharsets.store(rows, std::memory_order_release);
}

bool ParseSpecificCharacterSet(std::vector<const CharsetInfomationData*>& rows,
                               const TogString& text) noexcept {
    rows.clear();
    try {
        std::vector<TogString> values;
        if (!text.Split(TogString(u"\\"), TogString(), values)) return false;
        for (const TogString& value : values) {
            const CharsetInfomationData* row = FindRow(kCharsets, value);
            if (row == nullptr) row = FindRow(g_extraCharsets.load(std::memory_order_acquire), value);
            if (row == nullptr) {
                ReportFormat(kParseCharsetSignature, ResultUnknownError,
                             u"A specific character set couldn't be recognized. ('%s')", value.GetString());
                continue;
            }
            rows.push_back(row);
        }
        if (rows.empty()) {
            if (!text.IsEmpty()) {
                ReportFormat(kParseCharsetSignature, ResultUnknownError,
                             u"Any specific character sets couldn't be recognized. ('%s')", text.GetString());
            }
            rows.push_back(&kCharsets[0]);
        }
        return true;
    } catch (...) {
        rows.clear();
        return false;
    }
}

int ParseEscapeSequence(std::vector<EscapeSequenceState>& pieces, const uint8_t* bytes,
                        size_t size, const std::vector<const CharsetInfomationData*>& rows,
                        uint32_t vr) noexcept {
    (void)vr;  // designations hold across delimiters of every VR
    pieces.clear();
    try {
        EscapeSequenceState state;
        if (!rows.empty()) {
            const CharsetInfomationData& first = *rows.front();
            state.g0MultiByte = first.g0MultiByte;
            state.g0Final = first.g0Final;
            state.g0SetSize = 1;
            state.g1MultiByte = first.g1MultiByte;
            state.g1Final = first.g1Final;
            state.g1SetSize = first.g1SetSize;
        }
        size_t i = 0;
        for (;;) {
            size_t next = i;
            while (next < size && bytes[next] != kEsc) ++next;
            state.bytes.assign(reinterpret_cast<const char*>(bytes) + i, next - i);
            pieces.push_back(state);
            if (next >= size) break;
            const Escape e = ReadEscape(bytes, size, next, kParseEscapeSignature);
            i = e.end;
            if (e.valid) {
                if (e.target == '(' || (e.target == 0 && e.multiByte)) {
                    state.g0MultiByte = e.multiByte;
                    state.g0Final = e.final;
                    state.g0SetSize = 1;
                } else if (e.target == ')' || e.target == '-') {
                    state.g1MultiByte = e.multiByte;
                    state.g1Final = e.final;
                    state.g1SetSize = e.target == ')' ? 1 : 2;
                } else {
                    ReportFormat(kParseEscapeSignature, ResultUnknownError,
                                 u"Invalid escape sequence. ('0x%02x')", e.final);
                }
            }
        }
        return ResultSuccess;
    } catch (...) {
        pieces.clear();
        return ResultOutOfMemory;
    }
}

bool CharsetFitsPiece(const CharsetInfomationData& row, const EscapeSequenceState& piece) noexcept {
    bool hasG0 = false;
    bool hasG1 = false;
    for (const char c : piece.bytes) {
        if (static_cast<uint8_t>(c) < 0x80) {
            hasG0 = true;
        } else {
            hasG1 = true;
        }
    }
    if (hasG0) {
        if (row.g0Final == 0 || row.g0MultiByte != piece.g0MultiByte || piece.g0SetSize != 1 ||
            !SameFinal(row.g0Final, piece.g0Final, piece.g0MultiByte != 0)) {
            return false;
        }
    }
    if (hasG1) {
        if (row.g1Final == 0 || row.g1MultiByte != piece.g1MultiByte || piece.g1SetSize != row.g1SetSize) {
            return false;
        }
        const bool singleByte94 = piece.g1MultiByte == 0 && piece.g1SetSize == 1;
        if (row.g1Final != piece.g1Final &&
            !(singleByte94 && SameFinal(row.g0Final, piece.g0Final, false))) {
            return false;
        }
    }
    return true;
}

int ToTogString(TogString& out, const void* bytes, size_t size, uint32_t codePage,
                bool useSystemConverter) noexcept {
    (void)useSystemConverter;
    out.Clear();
    std::u16string text;
    const int r = AppendCodePage(text, bytes, size, codePage);
    if (r != ResultSuccess) return r;
    return AssignResult(out, text);
}

int ConvertDicomCharEncodeToUtf16(TogString& out, const void* bytes, size_t size,
                                  const TogString& charset, uint32_t vr,
                                  bool useSystemConverter) noexcept {
    out.Clear();
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (size > 0 && p == nullptr) return ResultUnknownError;
    try {
        std::vector<const CharsetInfomationData*> rows;
        if (!ParseSpecificCharacterSet(rows, charset)) return ResultOutOfMemory;

        if (rows.size() == 1) {
            const CharsetInfomationData& row = *rows.front();
            if (row.iso2022) {
                ReportFormat(kConvertSignature, ResultUnknownError,
                             u"Only single character set was specified, but the code extension was used. (%s)",
                             charset.GetString());
            }
            return ToTogString(out, p, size, row.codePage, useSystemConverter);
        }

        for (const CharsetInfomationData* row : rows) {
            if (!IsCnsTerm(row)) continue;
            // CNS 11643: rewritten into EUC-TW, which carries every plane.
            std::string euc;
            euc.reserve(size * 2);
            if (!RewriteCnsToEucTw(p, size, *rows.front(), euc)) return ResultUnknownError;
            std::u16string text;
            switch (platform::decode_charset("EUC-TW", euc.data(), euc.size(), text)) {
                case platform::TextConvertResult::ok:
                    return AssignResult(out, text);
                case platform::TextConvertResult::out_of_memory:
                    return ResultOutOfMemory;
                default:
                    return ResultUnknownError;
            }
        }

        std::vector<EscapeSequenceState> pieces;
        const int parsed = ParseEscapeSequence(pieces, p, size, rows, vr);
        if (parsed != ResultSuccess) return parsed;
        std::u16string text;
        std::string withEscape;
        for (const EscapeSequenceState& piece : pieces) {
            if (piece.bytes.empty()) continue;
            const CharsetInfomationData* fit = nullptr;
            for (const CharsetInfomationData* row : rows) {
                if (CharsetFitsPiece(*row, piece)) {
                    fit = row;
                    break;
                }
            }
            if (fit == nullptr) {
                ReportFormat(kConvertSignature, ResultUnknownError,
                             u"Couldn't convert characters by the specific character set. ('%s')",
                             charset.GetString());
                return ResultUnknownError;
            }
            int r;
            if (fit->keepEscapes) {
                withEscape.clear();
                AppendG0Escape(withEscape, piece);
                withEscape += piece.bytes;
                r = AppendCodePage(text, withEscape.data(), withEscape.size(), fit->codePage);
            } else {
                r = AppendCodePage(text, piece.bytes.data(), piece.bytes.size(), fit->codePage);
            }
            if (r != ResultSuccess) return r;
        }
        return AssignResult(out, text);
    } catch (...) {
        out.Clear();
        return ResultOutOfMemory;
    }
}

}  // namespace TogDicomLib
