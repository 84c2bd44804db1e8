// Every allocation of a job in turn fails: storages, decorators and the
// bitmap writer never crash, never leak, and never claim success afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/vrx/core/dib/dib_test_support.h"
#include "tests/vrx/framework/io/io_test_support.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/extension/combinedstorage/vrx_combinedinputstorage.h"
#include "vrx/framework/io/vrx_datainput.h"
#include "vrx/framework/io/vrx_dataoutput.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"
#include "vrx/framework/io/vrx_moveinmoveoutinputstorage.h"
#include "vrx/framework/io/vrx_mutexinputstorage.h"

using namespace vrx;
using vrx_test::FailingMemoryManager;
using vrx_test::TestManager;

namespace {

const std::vector<unsigned char>& file_bytes() {
    static const std::vector<unsigned char> bytes = iotest::counting_bytes(300);
    return bytes;
}

const char* file_path() {
    static iotest::TempFile file(file_bytes());
    return file.path();
}

// The fragments of a file read as one stream through every decorator.
bool read_fragments(TestManager& m) {
    VRX_FileInputStorage* file = VRX_FileInputStorage::create(&m, file_path());
    if (!file) return false;
    VRX_MutexInputStorage* guarded = VRX_MutexInputStorage::create(&m, file);
    file->destroy();
    if (!guarded) return false;
    VRX_Vector<VRX_InputStorage*> parts(&m);
    bool ok = true;
    for (int32_t begin : {10, 100, 200}) {
        auto* reader = VRX_MoveInMoveOutInputStorage<VRX_InputStorage>::create(&m, guarded, begin);
        auto* window = reader ? VRX_InputStorageBound<VRX_InputStorage>::create(&m, reader, 20) : nullptr;
        vrx::destroy(reader);
        ok = ok && window && parts.push_back(window);
        if (window && !ok) window->destroy();
    }
    guarded->destroy();
    VRX_CombinedInputStorage* combined = ok ? VRX_CombinedInputStorage::create(&m, parts) : nullptr;
    for (auto* part : parts) part->destroy();
    if (!combined) return false;
    auto* in = VRX_DataInput<VRX_InputStorage>::create(&m, combined, VRX_BIG_ENDIAN_ORDER);
    combined->destroy();
    if (!in) return false;
    std::vector<unsigned char> got(60);
    ok = in->read(got.data(), 60) == 60 && got[0] == 10 && got[20] == 100 && got[59] == 219;
    in->seek_from_begin(19);
    uint16_t value = 0;
    ok = ok && in->read_value(value) && value == (19 + 10) * 256 + 100;
    in->destroy();
    return ok;
}

// Typed writes into memory, read back through the input view.
bool write_and_view(TestManager& m) {
    unsigned char memory[16] = {};
    auto* out = VRX_ByteArrayOutputStorage::create(&m, memory, 16);
    if (!out) return false;
    auto* typed = VRX_DataOutput<VRX_OutputStorage>::create(&m, out, VRX_LITTLE_ENDIAN_ORDER);
    bool ok = typed && typed->write_value(uint32_t{0x04030201});
    vrx::destroy(typed);
    VRX_InputStorage* view = ok ? out->make_input_storage() : nullptr;
    ok = ok && view && view->get() == 1 && view->size() == 16;
    vrx::destroy(view);
    out->destroy();
    return ok;
}

// The render chain's end: an image from memory written as a bitmap.
bool write_bitmap(TestManager& m) {
    std::mt19937 random(3);
    const dibtest::Image image =
        dibtest::make_image("palette", 9, 5, 8, 1, VRX_ColorType::s_rgb(), 16, random);
    VRX_Header header(&m);
    image.fill(header);
    const VRX_WriteDIBOption option(0, 300, 300, 0);
    std::vector<unsigned char> dib(VRX_WriteDIB::total_bytes(&header, option));
    if (dib.empty()) return false;
    auto* storage = VRX_ByteArrayOutputStorage::create(&m, dib.data(), static_cast<int32_t>(dib.size()));
    VRX_ReadMemory reader(&m);
    VRX_Engine* source = reader.engine(&header, image.pixels.data(),
                                       static_cast<uint32_t>(image.pixels.size()));
    VRX_Engine* writer = VRX_WriteDIB(&m).engine(source, storage, option);
    vrx::destroy(storage);
    if (!writer) return false;
    uint32_t rows = 0;
    while (writer->execute()) ++rows;
    // The top image line is the last bitmap row.
    const size_t last_row = dib.size() - 12;
    return rows == image.height && std::equal(image.pixels.begin(), image.pixels.begin() + 9,
                                              dib.begin() + static_cast<long>(last_row));
}

using Scenario = bool (*)(TestManager&);

struct Named {
    const char* name;
    Scenario scenario;
};

class StorageSweep : public ::testing::TestWithParam<Named> {};

TEST_P(StorageSweep, NeverCrashesLeaksOrSucceedsAfterAFailure) {
    const Named& param = GetParam();
    {
        TestManager manager;
        ASSERT_TRUE(param.scenario(manager)) << "the job works without failures";
        VRX_Status out(&manager);
        ASSERT_TRUE(manager.execute(out)) << out.function;
    }
    uint64_t n = 1;
    for (; n < 10000; ++n) {
        FailingMemoryManager::plan_next(n);
        TestManager manager;
        const bool output_ok = param.scenario(manager);
        const FailingMemoryManager& memory = manager.memory_manager();
        VRX_Status out(&manager);
        const bool job_ok = manager.execute(out);
        const int64_t parts = (manager.error_handler() ? 1 : 0) + (manager.workflow() ? 1 : 0) +
                              (manager.relation() ? 1 : 0);
        EXPECT_EQ(memory.outstanding(), parts) << param.name << " n=" << n;
        if (memory.failures() == 0) {
            EXPECT_TRUE(job_ok && output_ok) << param.name << " n=" << n;
            break;
        }
        EXPECT_FALSE(job_ok) << param.name << " n=" << n;
    }
    EXPECT_GT(n, 3u);
    EXPECT_LT(n, 10000u);
}

INSTANTIATE_TEST_SUITE_P(Jobs, StorageSweep,
                         ::testing::Values(Named{"read_fragments", read_fragments},
                                           Named{"write_and_view", write_and_view},
                                           Named{"write_bitmap", write_bitmap}),
                         [](const ::testing::TestParamInfo<Named>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
