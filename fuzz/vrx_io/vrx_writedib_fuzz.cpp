// The bitmap writer over random image headers, palettes, options, pixels and
// storage sizes. Whatever it is given, it writes inside its storage, and a
// chain that ends without error has written exactly total_bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vrx/core/dib/vrx_writedib.h"
#include "vrx/core/memory/vrx_readmemory.h"
#include "vrx/framework/io/vrx_bytearrayoutputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

using namespace vrx;

namespace {

const VRX_ColorType* color_of(uint8_t v) {
    const VRX_ColorType* kinds[] = {VRX_ColorType::gray(),  VRX_ColorType::gray_reverse(),
                                    VRX_ColorType::s_rgb(), VRX_ColorType::adobe_rgb(),
                                    VRX_ColorType::ycbcr(), VRX_ColorType::none()};
    return kinds[v % 6];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12) return 0;
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    header.width = 1 + data[0] % 40;
    header.height = 1 + data[1] % 40;
    const uint16_t bits[] = {1, 2, 4, 8, 16, 8, 8, 1};
    header.bits = bits[data[2] % 8];
    header.channels = static_cast<uint16_t>(1 + data[3] % 4);
    header.color_type(color_of(data[4]));
    std::vector<unsigned char> palette;
    if (data[5] & 1) {
        const uint32_t entries = 1 + data[6];
        palette.resize(size_t{entries} * 3);
        for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<unsigned char>(i * 37);
        header.palette().bits = (data[5] & 2) ? 16 : 8;
        header.palette().channels = 3;
        header.palette().entries = entries;
        if (header.palette().bits == 16) palette.resize(palette.size() * 2);
        header.palette().value(palette.data(), static_cast<uint32_t>(palette.size()));
    }
    const uint32_t depths[] = {0, 1, 4, 8, 16, 24, 32, 7, 0, 0};
    VRX_WriteDIBOption option(data[7] % 5 == 0 ? 1 : 0, data[8], data[9], depths[data[10] % 10]);
    option.info_header_size = (data[11] & 3) == 0 ? 12 : (data[11] & 3) == 1 ? 108 : 40;
    manager.reset();

    const uint32_t total = VRX_WriteDIB::total_bytes(&header, option);
    const int32_t capacity = static_cast<int32_t>(total) - ((data[11] & 4) ? data[11] >> 3 : 0);
    std::vector<unsigned char> dib(static_cast<size_t>(capacity > 0 ? capacity : 1) + 16, 0xA5);
    const std::vector<unsigned char> pixels(data + 12, data + size);
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, dib.data(),
                                                       capacity > 0 ? capacity : 1);
    VRX_ReadMemory reader(&manager);
    VRX_Engine* source = pixels.empty() ? nullptr
                                        : reader.engine(&header, pixels.data(),
                                                        static_cast<uint32_t>(pixels.size()));
    VRX_Engine* writer = VRX_WriteDIB(&manager).engine(source, storage, option);
    if (writer)
        while (writer->execute()) {
        }
    const int32_t written = storage ? storage->size() : 0;
    vrx::destroy(storage);
    VRX_Status status(&manager);
    const bool ok = manager.execute(status);
    // The guard bytes after the storage's capacity are untouched.
    for (size_t i = dib.size() - 16; i < dib.size(); ++i)
        if (dib[i] != 0xA5) std::abort();
    if (ok && writer && static_cast<uint32_t>(written) != total) std::abort();
    return 0;
}
