// Decodes every frame of DICOM files through the decode chain into memory,
// optionally writing the samples of all frames to a file: the whole-process
// counterpart of dcmdrle and gdcmconv --raw in the timing comparison
// (compare_tools.py). With -f only frame N (from 1) of each file is decoded:
// the load and decode of one frame that compare_frames.py times.
//
//   vrx_dicom_decode [-o out.raw] [-f N] file...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

namespace {

// Decodes the frames of one file (frame `only` - 1 alone when it is not 0),
// appending their samples to `out`.
bool decode_file(const char* path, uint32_t only, std::vector<unsigned char>& out) {
    using namespace vrx;
    VRX_DefaultManager manager;
    VRX_FileInputStorage* file = VRX_FileInputStorage::create(&manager, path);
    if (!file) return false;
    VRX_DICOMInfo info(&manager);
    bool ok = info.load(file) && info.has_image() && only <= info.frame_count();
    const uint32_t first = only == 0 ? 0 : only - 1;
    const uint32_t end = only == 0 ? info.frame_count() : only;
    for (uint32_t frame = first; ok && frame < end; ++frame) {
        VRX_Engine* reader = VRX_ReadDICOM(&manager).engine(file, info, frame);
        uint32_t line = 0;
        ok = reader && reader->header()->line_bytes(line);
        if (!ok) break;
        const size_t at = out.size();
        const size_t bytes = size_t{line} * reader->header()->height;
        out.resize(at + bytes);
        uint32_t written = 0;
        VRX_Engine* writer = VRX_WriteMemory(&manager).engine(
            reader, out.data() + at, static_cast<uint32_t>(bytes), &written);
        while (writer && writer->execute()) {
        }
        VRX_Status status(&manager);
        ok = manager.execute(status) && writer && written == bytes;
        if (!ok)
            std::fprintf(stderr, "%s: frame %u: %08x %s\n", path, frame, status.code,
                         status.function);
    }
    file->destroy();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* output = nullptr;
    uint32_t only = 0;
    std::vector<unsigned char> samples;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
            continue;
        }
        if (std::strcmp(argv[i], "-f") == 0 && i + 1 < argc) {
            only = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            continue;
        }
        if (!decode_file(argv[i], only, samples)) {
            std::fprintf(stderr, "%s: not decoded\n", argv[i]);
            ++failures;
        }
    }
    if (output) {
        FILE* f = std::fopen(output, "wb");
        if (!f || std::fwrite(samples.data(), 1, samples.size(), f) != samples.size()) ++failures;
        if (f) std::fclose(f);
    }
    return failures == 0 ? 0 : 1;
}
