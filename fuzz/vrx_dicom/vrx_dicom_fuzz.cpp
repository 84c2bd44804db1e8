// Random bytes as a DICOM file: loaded as a DICOMDIR (its record tree and
// lists walked), then as an image whose first and last frames are decoded
// through the decode chain, line by line into one line of memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_dicomdirinfo.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_bytearrayinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

using namespace vrx;

// Frames larger than this are not decoded (the memory of some readers would
// be the test), except JPEG frames, whose decoder's memory is bounded by its
// own limit. The lines go into one line of memory and stop after this many
// bytes (more only cost time).
constexpr uint64_t kFrameLimit = 4u << 20;
constexpr uint64_t kMostBytes = 4u << 20;

void walk_directory(const uint8_t* data, size_t size) {
    VRX_DefaultManager manager;
    VRX_InputStorage* storage =
        VRX_ByteArrayInputStorage::create(&manager, data, static_cast<int32_t>(size));
    if (!storage) return;
    {
        VRX_DICOMDIRInfo dir(&manager);
        if (dir.load(storage)) {
            size_t images = 0;
            for (const VRX_DICOMDIRPatient& p : dir.patients)
                for (const VRX_DICOMDIRStudy& s : p.studies)
                    for (const VRX_DICOMDIRSeries& r : s.series) images += r.images.size();
            if (images != dir.image_list.size() || images != dir.file_ids.size()) __builtin_trap();
            for (const VRX_DICOMDIRImage* image : dir.image_list)
                if (image->series->patient != image->patient) __builtin_trap();
        }
    }
    storage->destroy();
}

void decode_frames(const uint8_t* data, size_t size) {
    VRX_DefaultManager manager;
    VRX_InputStorage* storage =
        VRX_ByteArrayInputStorage::create(&manager, data, static_cast<int32_t>(size));
    if (!storage) return;
    VRX_DICOMInfo info(&manager);
    if (info.load(storage) && info.has_image() && info.frame_count() > 0) {
        for (uint32_t frame : {0u, info.frame_count() - 1}) {
            VRX_Engine* reader = VRX_ReadDICOM(&manager).engine(storage, info, frame);
            uint32_t line = 0;
            const bool jpeg = info.compression() == 1 || info.compression() == 2;
            if (!reader || !reader->header()->line_bytes(line) ||
                (!jpeg && uint64_t{line} * reader->header()->height > kFrameLimit)) {
                manager.execute();
                continue;
            }
            std::vector<uint8_t> out(line);
            VRX_Engine* writer = VRX_WriteMemory(&manager).engine(
                reader, out.data(), line, nullptr, [](VRX_MemoryCallbackInfo*) { return true; });
            for (uint64_t bytes = 0; writer && bytes < kMostBytes && writer->execute(); bytes += line) {
            }
            manager.execute();
        }
    }
    storage->destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > INT32_MAX) return 0;
    walk_directory(data, size);
    decode_frames(data, size);
    return 0;
}
