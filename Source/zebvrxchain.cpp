#include "Source/zebvrxchain.h"

#include <cstdio>
#include <vector>

#include "vrx/core/lut/vrx_lut.h"
#include "vrx/core/lut/vrx_lutdata.h"
#include "vrx/framework/base/vrx_header.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/include/vrx_statuscode.h"
#include "vrx/framework/manager/vrx_manager.h"
#include "vrx/framework/manager/vrx_status.h"

std::string ZEBVRXError::Describe() const {
    if (code == 0 && function.empty()) return message;
    char status[24];
    std::snprintf(status, sizeof status, "0x%08X", code);
    std::string out = message + " (status " + status;
    if (!function.empty()) out += ", " + function;
    return out + ")";
}

bool ZEBVRXError::Fail(uint32_t status, std::string failingFunction, std::string words) {
    code = status;
    function = std::move(failingFunction);
    message = std::move(words);
    return false;
}

bool ZEBVRXError::Fail(vrx::VRX_Manager& manager, std::string words, std::string unsupported) {
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    const bool isUnsupported = !unsupported.empty() && status.category() == vrx::VRX_ERROR_UNSUPPORTED;
    return Fail(status.code, status.function, isUnsupported ? std::move(unsupported) : std::move(words));
}

void RunChain(vrx::VRX_Engine* last) {
    while (last && last->execute()) {
    }
}

vrx::VRX_Engine* MapSamples(vrx::VRX_Manager& manager, vrx::VRX_Engine* source, uint16_t bits,
                            const std::function<uint16_t(int32_t)>& entry) {
    const vrx::VRX_Header* header = source ? source->header() : nullptr;
    // Without a source the creator reports the missing source.
    if (!header) return vrx::VRX_Lut(&manager).engine(source, nullptr, nullptr);
    // One entry per value of the source's samples, the lowest first.
    const uint32_t entries = header->bits == 8 ? 256u : 65536u;
    const int32_t lowest =
        header->data_type() == vrx::VRX_DataType::u_integer() ? 0 : -int32_t(entries / 2);
    vrx::VRX_LutData table(&manager);
    table.bits = bits;
    table.channels = 1;
    table.entries = entries;
    bool stored = false;
    if (bits == 8) {
        std::vector<uint8_t> values(entries);
        for (uint32_t i = 0; i < entries; ++i) values[i] = uint8_t(entry(lowest + int32_t(i)));
        stored = table.value(values.data(), entries);
    } else {
        std::vector<uint16_t> values(entries);
        for (uint32_t i = 0; i < entries; ++i) values[i] = entry(lowest + int32_t(i));
        stored = table.value(values.data(), entries * 2);
    }
    return stored ? vrx::VRX_Lut(&manager).engine(source, &table, nullptr) : nullptr;
}
