// Decodes the first frame of a DICOM file through the DICOM reader and
// writes its samples to a file, one block of memory at a time: the
// whole-process counterpart of dcmdjpeg and `gdcmconv --raw` in
// compare_dcmdjpeg.py.
//
//   jpegdec_dicom_decode in.dcm out.raw
#include <cstdio>
#include <vector>

#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

struct Output {
    std::FILE* file = nullptr;
    unsigned char* block = nullptr;
    uint32_t size = 0;
    uint64_t flushed = 0;
};

// A full block goes to the file and is handed back empty.
bool FlushBlock(vrx::VRX_MemoryCallbackInfo* info) {
    auto* out = static_cast<Output*>(info->user_data);
    if (std::fwrite(out->block, 1, out->size, out->file) != out->size) return false;
    out->flushed += out->size;
    info->memory = out->block;
    info->size = out->size;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vrx;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s in.dcm out.raw\n", argv[0]);
        return 2;
    }
    VRX_DefaultManager manager;
    VRX_FileInputStorage* file = VRX_FileInputStorage::create(&manager, argv[1]);
    VRX_Engine* frame = file ? VRX_ReadDICOM(&manager).engine(file, 0) : nullptr;
    std::vector<unsigned char> block(1 << 20);
    Output out{std::fopen(argv[2], "wb"), block.data(), static_cast<uint32_t>(block.size()), 0};
    uint32_t written = 0;
    if (frame && out.file) {
        VRX_Engine* writer =
            VRX_WriteMemory(&manager).engine(frame, out.block, out.size, &written, FlushBlock, &out);
        while (writer && writer->execute()) {
        }
    }
    VRX_Status status(&manager);
    const bool ok = manager.execute(status) && frame && out.file;
    // The bytes of the last block that did not fill it.
    const uint64_t rest = written - out.flushed;
    if (ok && rest > 0 && rest <= out.size) std::fwrite(out.block, 1, static_cast<size_t>(rest), out.file);
    if (out.file) std::fclose(out.file);
    vrx::destroy(file);
    if (!ok) std::fprintf(stderr, "%s: %08x %s\n", argv[1], status.code, status.function);
    return ok ? 0 : 1;
}
