// Random bytes as a DICOM RLE frame through the frame reader into memory.
// The first three bytes choose the image the frame claims to hold: width,
// height, and the sample shape (bits and channels; the top bit lets the
// declared frame length run past the bytes that are there).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

struct SampleShape {
    uint16_t bits;
    uint16_t channels;
};

constexpr SampleShape kShapes[] = {{8, 1}, {16, 1}, {32, 1}, {8, 3}, {16, 3}, {32, 3}, {8, 2}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrx;
    if (size < 4 || size > INT32_MAX) return 0;
    const SampleShape shape = kShapes[(data[2] & 0x7F) % (sizeof kShapes / sizeof kShapes[0])];
    const uint32_t frame_bytes = static_cast<uint32_t>(size - 3);
    const uint32_t length = frame_bytes + ((data[2] & 0x80) ? 64u : 0u);

    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    header.width = 1u + data[0] % 48u;
    header.height = 1u + data[1] % 48u;
    header.bits = shape.bits;
    header.channels = shape.channels;
    header.color_type(shape.channels == 3   ? VRX_ColorType::s_rgb()
                      : shape.channels == 1 ? VRX_ColorType::gray()
                                            : VRX_ColorType::unknown());
    header.encode_type(VRX_EncodeType::pack_bits());

    VRX_InputStorage* storage =
        VRX_ByteArrayInputStorage::create(&manager, data + 3, static_cast<int32_t>(frame_bytes));
    VRX_Engine* frame =
        storage ? VRX_ReadDICOMRLEFrame(&manager).engine(storage, header, length) : nullptr;
    vrx::destroy(storage);
    if (frame) {
        uint32_t line = 0;
        header.line_bytes(line);
        std::vector<unsigned char> pixels(size_t{line} * header.height);
        VRX_Engine* writer = VRX_WriteMemory(&manager).engine(frame, pixels.data(),
                                                              static_cast<uint32_t>(pixels.size()));
        while (writer && writer->execute()) {
        }
    }
    VRX_Status status(&manager);
    manager.execute(status);
    return 0;
}
