// Decodes JPEG files through the JPEG reader, every line into one line of
// memory that is handed back for the next (nothing is kept, as djpeg writes
// to /dev/null): the whole-process counterpart of
// `djpeg -outfile /dev/null` in compare_djpeg.py.
//
//   jpegdec_decode file...
#include <cstdio>
#include <vector>

#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/manager/vrx_managerimpl.h"

int main(int argc, char** argv) {
    using namespace vrx;
    int failures = 0;
    std::vector<unsigned char> pixels;
    for (int i = 1; i < argc; ++i) {
        VRX_DefaultManager manager;
        VRX_FileInputStorage* file = VRX_FileInputStorage::create(&manager, argv[i]);
        VRX_Engine* image = file ? VRX_ReadJPEG(&manager).engine(file, 256) : nullptr;
        uint32_t line = 0;
        if (image && image->header()->line_bytes(line)) {
            pixels.resize(line);
            VRX_Engine* writer = VRX_WriteMemory(&manager).engine(
                image, pixels.data(), line, nullptr, [](VRX_MemoryCallbackInfo*) { return true; });
            while (writer && writer->execute()) {
            }
        }
        VRX_Status status(&manager);
        if (!manager.execute(status) || !image) {
            std::fprintf(stderr, "%s: %08x %s\n", argv[i], status.code, status.function);
            ++failures;
        }
        vrx::destroy(file);
    }
    return failures == 0 ? 0 : 1;
}
