// Random bytes as a DICOM file rendered as the render program does: its
// first and its last frame decoded into a frame (significant bits, rescale or
// modality LUT, the frame's functional groups, window or VOI LUT), then
// painted through the render chain into small tiles at zooms below, at and
// above 1, with the corner annotations once.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Source/render_chain_tiles.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

// Frames are decoded when their memory stays in proportion to the input.
// Native frames always are: the decoder refuses one the pixel data does not
// hold before it allocates anything. A compressed frame may be up to
// kExpansion times the input (no encoding makes more of a byte: a 4:2:0
// JPEG whose codes are a bit each gives 768 bytes of colour from 12 bits),
// and at least 4 MiB.
constexpr uint64_t kExpansion = 1024;
constexpr uint64_t kFrameFloor = 4u << 20;

bool small_enough(const uint8_t* data, size_t size) {
    vrx::VRX_DefaultManager manager;
    vrx::VRX_InputStorage* storage =
        vrx::VRX_ByteArrayInputStorage::create(&manager, data, static_cast<int32_t>(size));
    if (!storage) return false;
    bool small = false;
    {
        vrx::VRX_DICOMInfo info(&manager);
        uint32_t line = 0;
        const uint64_t limit = std::max<uint64_t>(kFrameFloor, kExpansion * size);
        small = info.load(storage) && info.has_image() && info.line_bytes(line) &&
                (info.compression() == 0 || uint64_t{line} * info.height <= limit);
    }
    storage->destroy();
    manager.execute();
    return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x7FFFFFFF || !small_enough(data, size)) return 0;
    // The helper reads files by name: the bytes go to a file in memory.
    static const int fd = memfd_create("render_chain_fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    ZEBVRXHelper helper;
    FrameImageInfo frame;
    if (!helper.DecodeFrame(path, 0, frame)) return 0;
    const uint32_t last = uint32_t(frame.m_frameCount > 1 ? frame.m_frameCount - 1 : 0);
    if (last > 0 && !helper.DecodeFrame(path, last, frame)) return 0;
    PaintFuzzTiles(helper, frame);
    return 0;
}
