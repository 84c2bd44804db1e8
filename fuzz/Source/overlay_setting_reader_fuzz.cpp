// The annotation settings reader over arbitrary bytes: load (a failure must
// give its reason), build every corner of every modality it found (and of
// one it did not), and turn the items into text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Source/overlaysettingreader.h"
#include "Source/zeboverlaysettinginfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OverlaySettingReader reader;
    // A failed load always says why, and a load that worked says nothing.
    if (reader.LoadBytes(data, size) != reader.FailureText().empty()) __builtin_trap();
    std::vector<std::u16string> modalities{u"OTHER", u"CT"};
    for (const OverlayModalityNode& node : reader.Modalities()) modalities.push_back(node.name);
    for (const std::u16string& modality : modalities) {
        ZEBOverlaySettingInfo setting;
        for (int32_t location = -1; location <= kOverlayLocationCount; ++location) {
            reader.BuildSettings(setting, modality, location);
            for (const auto& [key, item] : setting.GetLocationLines(location)) {
                ZEBOverlaySettingInfoItem copy = setting.GetItem(location, key);
                copy.value = u"20240131101530";
                ZEBOverlaySettingInfoItem::BuildText(1, copy, copy.name);
            }
        }
    }
    return 0;
}
