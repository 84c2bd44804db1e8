#pragma once
// DICOM character sets: the conversion of text values in the repertoires
// named by Specific Character Set (0008,0005), ISO 2022 escape sequences
// included, to UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dicomlib/togstring.h"

namespace TogDicomLib {

// One defined term of Specific Character Set.
struct CharsetInfomationData {
    const char16_t* definedTerm;  // null ends a table
    int32_t iso2022;              // the term names a code-extension (ISO 2022) set
    int32_t g1SetSize;            // 0 no G1 set, 1 a 94-character set, 2 a 96-character set
    uint8_t g0MultiByte;
    uint8_t g1MultiByte;
    uint8_t g0Final;  // final byte of the G0 designation, 0 for none
    uint8_t g1Final;  // final byte of the G1 designation, 0 for none
    uint32_t codePage;
    int32_t keepEscapes;  // the code page's converter reads the escape sequences itself
};

// One piece of a value between escape sequences, with the designations in
// force for it.
struct EscapeSequenceState {
    std::string bytes;
    uint8_t g0MultiByte = 0;
    uint8_t g1MultiByte = 0;
    int32_t g0SetSize = 1;  // 1: 94 characters, 2: 96 characters
    int32_t g1SetSize = 0;  // 0: none, 1: 94 characters, 2: 96 characters
    uint8_t g0Final = 0;
    uint8_t g1Final = 0;
};

// The built-in table, ended by a row whose term is null. Its first row is the
// default repertoire (term "", code page 1252).
const CharsetInfomationData* GetBuiltInCharsets() noexcept;

// Installs a second table (ended by a null term) searched after the built-in
// one; null removes it. Install before any conversion runs.
void SetExtraCharsets(const CharsetInfomationData* rows) noexcept;

// Splits the whole text of (0008,0005) at "\" and looks each value up by
// exact comparison. Unrecognised values are logged and left out; when none is
// recognised, or the text is empty, the list is the default row alone.
// Returns false only when memory ran out.
bool ParseSpecificCharacterSet(std::vector<const CharsetInfomationData*>& rows,
                               const TogString& text) noexcept;

// Splits a value at its escape sequences. The first piece carries the
// designations of the first row; each later piece those of the piece before,
// with the G0 or G1 designation that its escape sequence names replaced.
// Returns 0, or 7 when memory ran out.
int ParseEscapeSequence(std::vector<EscapeSequenceState>& pieces, const uint8_t* bytes,
                        size_t size, const std::vector<const CharsetInfomationData*>& rows,
                        uint32_t vr) noexcept;

// True when the row can convert the piece (see ConvertDicomCharEncodeToUtf16).
bool CharsetFitsPiece(const CharsetInfomationData& row, const EscapeSequenceState& piece) noexcept;

// Converts the bytes of a text value of VR `vr` in the character sets named
// by `charset` (the whole text of (0008,0005)) to UTF-16. 0 on success, 7 when
// memory ran out, 1 for any other failure (logged). `useSystemConverter`
// (the data set's useSystemCharsetConverter setting) changes nothing: both
// values convert through platform::decode_code_page.
int ConvertDicomCharEncodeToUtf16(TogString& out, const void* bytes, size_t size,
                                  const TogString& charset, uint32_t vr,
                                  bool useSystemConverter) noexcept;

// Converts bytes of one Windows code page: 0 success, 1 failure (an unknown
// code page), 7 out of memory. Invalid or unmapped bytes become U+FFFD.
int ToTogString(TogString& out, const void* bytes, size_t size, uint32_t codePage,
                bool useSystemConverter) noexcept;

}  // namespace TogDicomLib
