#include "dicomlib/togdicomuiddictionary.h"

namespace TogDicomLib {

const TogDicomUidEntry* FindUidEntry(std::u16string_view uid) noexcept {
    for (const TogDicomUidEntry& entry : GetTransferSyntaxUids())
        if (uid == entry.uid) return &entry;
    return nullptr;
}

std::span<const TogDicomUidEntry> GetTransferSyntaxUids() noexcept {
    return {UidTables::kTransferSyntaxes, UidTables::kTransferSyntaxCount};
}

}  // namespace TogDicomLib
