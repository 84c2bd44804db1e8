// The JPEG reader under failing allocations: every allocation of the load,
// the decoder's start and its rows fails in turn; nothing leaks and no run
// that met a failure ends as a success.
#include <gtest/gtest.h>

#include "tests/vrx/core/jpeg/jpeg_reader_support.h"
#include "tests/vrx/framework/support/allocation_sweep.h"
#include "vrx/core/jfif/vrx_readjfif.h"
#include "vrx/core/jpeg/vrx_jpeginfo.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"

namespace {

using namespace vrx;
using namespace jpegreadertest;

TEST(ReadJPEGSweep, FailingAllocationsNeverLeakOrSucceed) {
    struct Case {
        const char* file;
        bool jfif;
        const VRX_ColorType* (*color)();
    };
    const Case cases[] = {{"s420_restart.jpg", false, VRX_ColorType::unknown},
                          {"s420.jpg", false, VRX_ColorType::s_rgb},
                          {"prog_s422_restart.jpg", true, VRX_ColorType::unknown},
                          {"separate_scans_opt.jpg", false, VRX_ColorType::unknown}};
    for (const Case& c : cases) {
        const jpegoracle::Bytes bytes = read_fixture(c.file);
        const uint64_t runs = vrx_test::sweep_allocation_failures(c.file, 400, [&](vrx_test::TestManager& manager) {
            VRX_InputStorage* storage = pixeltest::storage_over(manager, bytes);
            if (!storage) return false;
            VRX_Engine* image = nullptr;
            if (c.jfif) {
                image = VRX_ReadJFIF(&manager).engine(storage, 256);
            } else {
                VRX_JPEGInfo info(&manager);
                if (info.load(storage, c.color(), nullptr, 0)) image = VRX_ReadJPEG(&manager).engine(storage, info, 256);
            }
            storage->destroy();
            const jpegoracle::Bytes pixels = pixeltest::drain(manager, image);
            return image && pixels.size() == 61u * 45u * 3u;
        });
        EXPECT_GT(runs, 20u) << c.file;
        EXPECT_LT(runs, 400u) << c.file;
    }
}

}  // namespace
