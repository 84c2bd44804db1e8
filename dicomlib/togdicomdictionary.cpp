#include "dicomlib/togdicomdictionary.h"

#include <algorithm>
#include <atomic>

#include "dicomlib/togdicomdictionarytable.h"
#include "dicomlib/togdicomvr.h"

namespace TogDicomLib {
namespace {

std::atomic<const TogDicomDictionaryEntry*> g_extraEntries{nullptr};
std::atomic<size_t> g_extraCount{0};

uint32_t Key(uint32_t group, uint32_t element) {
    return (group << 16) | (element & 0xFFFF);
}

const TogDicomDictionaryEntry* Search(std::span<const TogDicomDictionaryEntry> table,
                                      uint32_t group, uint32_t element) {
    const uint32_t key = Key(group, element);
    const auto it = std::lower_bound(
        table.begin(), table.end(), key,
        [](const TogDicomDictionaryEntry& e, uint32_t k) { return Key(e.group, e.element) < k; });
    if (it == table.end() || Key(it->group, it->element) != key) return nullptr;
    return &*it;
}

}  // namespace

std::span<const TogDicomDictionaryEntry> GetMainDictionary() noexcept {
    return {DictionaryTables::kMain, DictionaryTables::kMainCount};
}

std::span<const TogDicomDictionaryEntry> GetCurveDictionary() noexcept {
    return {DictionaryTables::kCurves, DictionaryTables::kCurvesCount};
}

std::span<const TogDicomDictionaryEntry> GetOverlayDictionary() noexcept {
    return {DictionaryTables::kOverlays, DictionaryTables::kOverlaysCount};
}

void SetExtraDictionary(std::span<const TogDicomDictionaryEntry> entries) noexcept {
    g_extraCount.store(0, std::memory_order_release);
    g_extraEntries.store(entries.empty() ? nullptr : entries.data(), std::memory_order_release);
    g_extraCount.store(entries.size(), std::memory_order_release);
}

const TogDicomDictionaryEntry* FindDictionaryEntry(uint32_t group, uint32_t element) noexcept {
    if (group > 0xFFFF || element > 0xFFFF) return nullptr;
    const size_t extraCount = g_extraCount.load(std::memory_order_acquire);
    const TogDicomDictionaryEntry* extra = g_extraEntries.load(std::memory_order_acquire);
    if (extra != nullptr) {
        for (size_t i = 0; i < extraCount; ++i) {
            if (extra[i].group == group && extra[i].element == element) return &extra[i];
        }
    }
    if (const TogDicomDictionaryEntry* e = Search(GetMainDictionary(), group, element)) return e;
    if (group >= 0x5000 && group <= 0x501E) return Search(GetCurveDictionary(), 0x5000, element);
    if (group >= 0x6000 && group <= 0x601E) return Search(GetOverlayDictionary(), 0x6000, element);
    return nullptr;
}

uint32_t GetDictionaryVR(uint32_t group, uint32_t element) noexcept {
    const TogDicomDictionaryEntry* e = FindDictionaryEntry(group, element);
    if (e == nullptr || e->vr == 0) return VR::UN;
    return e->vr;
}

}  // namespace TogDicomLib
