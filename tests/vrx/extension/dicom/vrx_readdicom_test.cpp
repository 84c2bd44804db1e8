// Whole decode chains of one frame: every frame of pydicom's native,
// big-endian, planar, YBR and RLE test files and of the palette images made
// by tests/data/vrx/dicom/make_dicom_fixtures.py, sample for sample against
// pydicom; the refusals of the chain.
#include "vrx/extension/dicom/vrx_readdicom.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace vrx;
using namespace dicomtest;
using vrx_test::TestManager;

struct Expected {
    std::string file;
    uint32_t frame = 0, rows = 0, columns = 0, samples = 0, sample_bytes = 0;
    std::string sha;
    int64_t picks[3] = {0, 0, 0};
};

std::vector<Expected> expected_frames() {
    std::vector<Expected> frames;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/vrx/dicom/frames.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        Expected e;
        f >> e.file >> e.frame >> e.rows >> e.columns >> e.samples >> e.sample_bytes >> e.sha >>
            e.picks[0] >> e.picks[1] >> e.picks[2];
        if (f) frames.push_back(e);
    }
    return frames;
}

// The files made by the fixture script, else pydicom's.
std::string path_of(const std::string& file) {
    const std::string made = std::string(TEST_DATA_DIR) + "/vrx/dicom/" + file + ".dcm";
    return file_exists(made) ? made : pydicom_file(file);
}

// One byte per sample of 1-bit lines (first sample in the most significant
// bit); the bits that pad each line must be 0.
Bytes unpack_lines(const Bytes& lines, uint32_t width, uint32_t height) {
    const size_t line = (size_t{width} + 7) / 8;
    Bytes samples;
    for (size_t y = 0; y < height && (y + 1) * line <= lines.size(); ++y) {
        for (size_t x = 0; x < line * 8; ++x) {
            const uint8_t bit = (lines[y * line + x / 8] >> (7 - x % 8)) & 1;
            if (x < width) samples.push_back(bit);
            else EXPECT_EQ(bit, 0) << "padding of line " << y;
        }
    }
    return samples;
}

// Sample i of little-endian samples of `bytes` bytes.
int64_t sample(const Bytes& data, size_t i, uint32_t bytes, bool is_signed) {
    uint64_t v = 0;
    for (uint32_t b = 0; b < bytes; ++b) v |= uint64_t{data[i * bytes + b]} << (8 * b);
    if (is_signed && bytes < 8 && (v >> (8 * bytes - 1)) != 0) v |= ~uint64_t{0} << (8 * bytes);
    return static_cast<int64_t>(v);
}

TEST(ReadDICOMFrames, EveryFrameEqualsPydicom) {
    if (!file_exists(pydicom_file("MR_small.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    const std::vector<Expected> frames = expected_frames();
    ASSERT_GE(frames.size(), 70u);
    for (const Expected& e : frames) {
        SCOPED_TRACE(e.file + " frame " + std::to_string(e.frame));
        TestManager manager;
        VRX_FileInputStorage* file =
            VRX_FileInputStorage::create(&manager, path_of(e.file).c_str());
        ASSERT_NE(file, nullptr);
        VRX_DICOMInfo info(&manager);
        ASSERT_TRUE(info.load(file));
        ASSERT_TRUE(info.has_image());
        VRX_Engine* frame = VRX_ReadDICOM(&manager).engine(file, info, e.frame);
        ASSERT_NE(frame, nullptr);
        const VRX_Header& out = *frame->header();
        EXPECT_EQ(out.width, e.columns);
        EXPECT_EQ(out.height, e.rows);
        EXPECT_EQ(out.channels, e.samples);
        // 1-bit samples are compared one byte each.
        const bool one_bit = out.bits == 1;
        EXPECT_EQ(one_bit ? 8u : out.bits, e.sample_bytes * 8);
        EXPECT_TRUE(out.encode_type()->is_raw());
        EXPECT_TRUE(out.palette().empty());
        // The sample type the file declares, also behind a decompressor;
        // colours from a palette are unsigned.
        EXPECT_EQ(out.data_type(),
                  info.has_palette() ? VRX_DataType::u_integer() : info.declared_data_type());
        const bool is_signed = out.data_type() == VRX_DataType::s_integer();
        Bytes samples = drain(manager, frame);
        if (one_bit) samples = unpack_lines(samples, e.columns, e.rows);
        VRX_Status status(&manager);
        EXPECT_TRUE(manager.execute(status)) << std::hex << status.code << " " << status.function;
        ASSERT_EQ(samples.size(), size_t{e.rows} * e.columns * e.samples * e.sample_bytes);
        EXPECT_EQ(sha256(samples), e.sha);
        const size_t n = samples.size() / e.sample_bytes;
        EXPECT_EQ(sample(samples, 0, e.sample_bytes, is_signed), e.picks[0]);
        EXPECT_EQ(sample(samples, n / 2, e.sample_bytes, is_signed), e.picks[1]);
        EXPECT_EQ(sample(samples, n - 1, e.sample_bytes, is_signed), e.picks[2]);
        file->destroy();
    }
}

// The chain from the storage alone loads the information itself.
TEST(ReadDICOMFrames, LoadsTheInformationItself) {
    if (!file_exists(pydicom_file("rtdose.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    TestManager manager;
    VRX_FileInputStorage* file =
        VRX_FileInputStorage::create(&manager, pydicom_file("rtdose.dcm").c_str());
    VRX_Engine* frame = VRX_ReadDICOM(&manager).engine(file, 14u);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(drain(manager, frame).size(), 10u * 10u * 4u);
    VRX_Status status(&manager);
    EXPECT_TRUE(manager.execute(status));
    file->destroy();
}

struct Refusal {
    const char* file;
    uint32_t frame;
    uint32_t code;
    const char* function;
};

// Files and frames the chain refuses, with the first error of the job
// (reported while building or while running the chain).
TEST(ReadDICOMFrames, RefusalsNameTheirCause) {
    if (!file_exists(pydicom_file("MR_small.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    const Refusal refusals[] = {
        // The file ends inside the pixel data, which the parse drops (with a
        // warning): no image is left.
        {"MR_truncated.dcm", 0, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"},
        // 12-bit extended JPEG.
        {"JPGExtended.dcm", 0, VRX_ERROR_UNSUPPORTED, "VRX_DecodeJPEGEngine::initiate()"},
        // A transfer syntax outside the table.
        {"SC_rgb_gdcm_KY.dcm", 0, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_compression_type()"},
        // No pixel data: the header is empty.
        {"test-SR.dcm", 0, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"},
        // One frame past the last.
        {"rtdose.dcm", 15, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"},
        {"SC_rgb_rle_2frame.dcm", 2, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.file);
        TestManager manager;
        VRX_FileInputStorage* file =
            VRX_FileInputStorage::create(&manager, pydicom_file(r.file).c_str());
        ASSERT_NE(file, nullptr);
        VRX_Engine* frame = VRX_ReadDICOM(&manager).engine(file, r.frame);
        if (frame) drain(manager, frame);
        EXPECT_TRUE(has_status(manager, r.code, r.function));
        if (std::string(r.file) == "MR_truncated.dcm") {
            EXPECT_TRUE(manager.error_handler()->saw(VRX_WARNING_DATA,
                                                     "VRX_DICOMInfoInternal::decode_start()"));
        }
        VRX_Status status(&manager);
        EXPECT_FALSE(manager.execute(status));
        file->destroy();
    }
}

TEST(ReadDICOMFrames, NullAndClosedStoragesAreRefused) {
    TestManager manager;
    VRX_DICOMInfo info(&manager);
    EXPECT_EQ(VRX_ReadDICOM(&manager).engine(nullptr, info, 0), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"));
    manager.reset();
    EXPECT_EQ(VRX_ReadDICOM(&manager).engine(nullptr, 0), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_FormatInfo::load()"));
    manager.reset();
    EXPECT_EQ(VRX_ReadDICOM(&manager).reset_comp_header(nullptr, info, false), nullptr);
    EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::reset_comp_header()"));
}

}  // namespace
