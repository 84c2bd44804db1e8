// Random bytes as a JPEG stream: the format information is loaded and the
// decode engine runs every line into memory. The first byte chooses how:
// bits 0-1 the scale (256, 128, 64, 32), bit 2 RGB asked of the decoder,
// bit 3 the JFIF road, bits 4-6 the kernel column (at most the processor's
// own). Frames of any size are decoded: the lines go one at a time into one
// line of memory and the decoder's memory limit is 32 MiB, so that memory
// stays bounded whatever the frame says; lines stop after 4 megapixels (more
// only cost time).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jpegdec/jpeg_decoder.h"
#include "jpegkernels/kernel_dispatch.h"
#include "vrx/core/jfif/vrx_jfifinfo.h"
#include "vrx/core/jfif/vrx_readjfif.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

constexpr uint64_t kMostPixels = uint64_t{1} << 22;

// The decoder of a loaded information gets the fuzzer's memory limit.
bool limit(const vrx::VRX_JPEGInfo& info) {
    jpegdec::SetMemoryLimit(info.internal()->context(), uint64_t{32} << 20);
    return true;
}

vrx::VRX_Engine* build(vrx::VRX_Manager* manager, vrx::VRX_InputStorage* storage, uint8_t mode) {
    using namespace vrx;
    const uint32_t scale = 256u >> (mode & 3);
    if (mode & 8) {
        VRX_JFIFInfo info(manager);
        if (!info.load(storage) || !limit(info)) return nullptr;
        return VRX_ReadJFIF(manager).engine(storage, info, scale);
    }
    VRX_JPEGInfo info(manager);
    const VRX_ColorType* color = (mode & 4) ? VRX_ColorType::s_rgb() : VRX_ColorType::unknown();
    if (!info.load(storage, color, nullptr, 0) || !limit(info)) return nullptr;
    return VRX_ReadJPEG(manager).engine(storage, info, scale);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vrx;
    if (size < 2 || size > INT32_MAX) return 0;
    // The column the processor allows, chosen once.
    static const int32_t kHighest = [] {
        jpegdec::InitJpegLibrary(nullptr, nullptr);
        return jpegkernels::ProcessorIndex();
    }();
    const int32_t column = (data[0] >> 4) & 7;
    jpegkernels::SetProcessorIndex(column < kHighest ? column : kHighest);
    VRX_DefaultManager manager;
    VRX_InputStorage* storage =
        VRX_ByteArrayInputStorage::create(&manager, data + 1, static_cast<int32_t>(size - 1));
    VRX_Engine* image = storage ? build(&manager, storage, data[0]) : nullptr;
    vrx::destroy(storage);
    uint32_t line = 0;
    if (image && image->header()->line_bytes(line)) {
        std::vector<unsigned char> pixels(line);
        VRX_Engine* writer = VRX_WriteMemory(&manager).engine(
            image, pixels.data(), line, nullptr, [](VRX_MemoryCallbackInfo*) { return true; });
        const uint64_t width = image->header()->width;
        for (uint64_t pixels = 0; writer && pixels < kMostPixels && writer->execute(); pixels += width) {
        }
    }
    VRX_Status status(&manager);
    manager.execute(status);
    return 0;
}
