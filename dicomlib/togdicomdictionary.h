#pragma once
// The built-in data dictionary: the VR of a tag when the data set does not
// state it. The tables are constant and are never written to.
#include <cstddef>
#include <cstdint>
#include <span>

struct TogDicomDictionaryEntry {
    uint32_t group;
    uint32_t element;
    // Value multiplicity: a fixed VM n is (n, 0, 0); "1-2" is (1, 2, 0);
    // "1-n" is (1, 1, 1); "2-2n" is (2, 2, 1).
    uint32_t vmMinimum;
    uint32_t vmSecond;
    uint32_t vmOpenEnded;
    // VR and up to two alternatives (TogDicomLib::VR values, 0 for none). The
    // item and delimitation tags have VR 0.
    uint32_t vr;
    uint32_t vrAlternative1;
    uint32_t vrAlternative2;
    uint32_t retired;
    const char16_t* name;
};

namespace TogDicomLib {

// The entry of a tag, or null. An installed extra list is searched first;
// then the main table (binary search on the tag); then, for groups 5000 to
// 501E and 6000 to 601E, the curve and overlay tables by element (their
// entries carry the group as 5000 or 6000).
const TogDicomDictionaryEntry* FindDictionaryEntry(uint32_t group, uint32_t element) noexcept;

// The dictionary VR of a tag: the entry's VR, or UN when there is no entry or
// the entry has none (items and delimiters).
uint32_t GetDictionaryVR(uint32_t group, uint32_t element) noexcept;

// The tables themselves, in tag order, without their closing all-zero entry.
std::span<const TogDicomDictionaryEntry> GetMainDictionary() noexcept;
std::span<const TogDicomDictionaryEntry> GetCurveDictionary() noexcept;
std::span<const TogDicomDictionaryEntry> GetOverlayDictionary() noexcept;

// Installs a list searched before the built-in tables, entry by entry (null
// or an empty span removes it). The entries must outlive their use; install
// before any thread looks tags up.
void SetExtraDictionary(std::span<const TogDicomDictionaryEntry> entries) noexcept;

}  // namespace TogDicomLib
