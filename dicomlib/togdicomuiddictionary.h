#pragma once
// The built-in UID dictionary: the transfer syntaxes with their names as the
// DICOM standard's registry of unique identifiers gives them. The table is
// constant and is never written to.
//
//   const TogDicomUidEntry* e = TogDicomLib::FindUidEntry(u"1.2.840.10008.1.2.4.91");
//   // e->name: u"JPEG 2000 Image Compression"
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

struct TogDicomUidEntry {
    const char16_t* uid;
    const char16_t* name;
    uint32_t retired;
};

namespace TogDicomLib {

// The entry of a UID, or null.
const TogDicomUidEntry* FindUidEntry(std::u16string_view uid) noexcept;
// The transfer syntaxes, in UID order.
std::span<const TogDicomUidEntry> GetTransferSyntaxUids() noexcept;

namespace UidTables {
// Generated (togdicomuiddictionarytable.cpp).
extern const TogDicomUidEntry kTransferSyntaxes[];
extern const size_t kTransferSyntaxCount;
}  // namespace UidTables

}  // namespace TogDicomLib
