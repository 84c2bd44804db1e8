// Frames of pydicom's test files decoded by the native, planar, YBR 4:2:2 and
// RLE readers, sample for sample against pydicom's pixel_array (fixtures made
// by tests/data/vrx/pixelframes/make_pixel_frames.py).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cinttypes>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/vrx/core/storage/vrx_pixelread_test_support.h"
#include "vrx/core/storage/vrx_readstorage.h"
#include "vrx/extension/dicom/vrx_readstorageplanar.h"
#include "vrx/extension/dicom/vrx_ybr422toycbcr.h"
#include "vrx/extension/readdicomrleframe/vrx_readdicomrleframe.h"
#include "vrx/framework/engine/vrx_engine.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"
#include "vrx/framework/io/vrx_inputstoragebound.h"

namespace {

using namespace vrx;
using namespace pixeltest;
using vrx_test::TestManager;

constexpr const char* kPydicomFiles = "/usr/lib/python3/dist-packages/pydicom/data/test_files";

struct Frame {
    std::string kind, file;
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, channels = 0;
    int32_t byte_order = 1;
    uint32_t index = 0;
    int32_t offset = 0;
    uint32_t length = 0;
    uint64_t fnv = 0;
    std::vector<uint64_t> first;
};

std::vector<Frame> load_frames() {
    std::vector<Frame> frames;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/vrx/pixelframes/pixel_frames.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Frame f;
        std::string fnv;
        fields >> f.kind >> f.file >> f.width >> f.height >> f.bits >> f.channels >> f.byte_order >>
            f.index >> f.offset >> f.length >> fnv;
        f.fnv = std::stoull(fnv, nullptr, 16);
        uint64_t v = 0;
        while (fields >> v) f.first.push_back(v);
        frames.push_back(f);
    }
    return frames;
}

uint64_t fnv64(const Bytes& bytes) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 0x100000001B3ull;
    }
    return h;
}

uint64_t sample(const Bytes& bytes, size_t i, uint16_t bits) {
    const size_t n = bits / 8u;
    uint64_t v = 0;
    for (size_t k = 0; k < n && i * n + k < bytes.size(); ++k)
        v |= uint64_t{bytes[i * n + k]} << (8 * k);
    return v;
}

Bytes decode(TestManager& manager, const Frame& f, const std::string& path) {
    VRX_InputStorage* file = VRX_FileInputStorage::create(&manager, path.c_str());
    if (!file) return {};
    VRX_Header header(&manager);
    const VRX_ColorType* color =
        f.channels == 3 ? (f.kind == "ybr422" ? VRX_ColorType::ycbcr() : VRX_ColorType::s_rgb())
                        : VRX_ColorType::gray();
    describe(header, f.width, f.height, f.bits, f.channels, color);
    VRX_Engine* engine = nullptr;
    if (f.kind == "native") {
        engine = VRX_ReadStorage(&manager).engine(file, header, f.offset, 0, f.byte_order);
    } else if (f.kind == "planar") {
        engine = VRX_ReadStoragePlanar(&manager).engine(file, header, f.offset, 0, f.byte_order);
    } else if (f.kind == "ybr422") {
        engine = VRX_YBR422ToYCbCr(&manager).engine(file, header, f.offset, f.byte_order);
    } else if (f.kind == "rle") {
        // The frame's fragment as its own window, as the DICOM reader gives it.
        header.encode_type(VRX_EncodeType::pack_bits());
        VRX_InputStorage* window = nullptr;
        if (file->seek_from_begin(f.offset))
            window = VRX_InputStorageBound<VRX_InputStorage>::create(
                &manager, file, static_cast<int32_t>(f.length));
        if (window) engine = VRX_ReadDICOMRLEFrame(&manager).engine(window, header, f.length);
        vrx::destroy(window);
    }
    file->destroy();
    return drain(manager, engine);
}

TEST(PixelReadersOnPydicomFiles, EveryFrameMatchesPixelArray) {
    struct stat st {};
    if (::stat(kPydicomFiles, &st) != 0) GTEST_SKIP() << "pydicom's test files are not installed";
    const std::vector<Frame> frames = load_frames();
    ASSERT_GE(frames.size(), 30u);
    int rle = 0;
    for (const Frame& f : frames) {
        const std::string path = std::string(kPydicomFiles) + "/" + f.file;
        if (::stat(path.c_str(), &st) != 0) {
            ADD_FAILURE() << "missing " << path;
            continue;
        }
        TestManager manager;
        const Bytes out = decode(manager, f, path);
        const std::string where = f.kind + " " + f.file + " frame " + std::to_string(f.index);
        EXPECT_TRUE(is_clean(manager)) << where;
        ASSERT_EQ(out.size(), size_t{f.width} * f.height * f.channels * (f.bits / 8u)) << where;
        for (size_t i = 0; i < f.first.size(); ++i)
            EXPECT_EQ(sample(out, i, f.bits), f.first[i]) << where << " sample " << i;
        EXPECT_EQ(fnv64(out), f.fnv) << where;
        rle += f.kind == "rle";
    }
    EXPECT_GE(rle, 20);
}

}  // namespace
