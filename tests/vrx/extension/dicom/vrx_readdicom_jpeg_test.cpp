// JPEG frames of pydicom's test files through the decode chain, against
// libjpeg-turbo decoding the same frame.
#include <gtest/gtest.h>

#include <string>

#include "tests/jpegdec/jpeg_oracle.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace dicomtest;

// The frame's JPEG stream: its fragments one after the other.
Bytes frame_stream(const Bytes& file, const VRX_DICOMInfo& info, uint32_t frame) {
    Bytes jpeg;
    const VRX_Vector<uint32_t> offsets = info.frame_offsets(frame), lengths = info.frame_lengths(frame);
    for (size_t i = 0; i < offsets.size(); ++i)
        jpeg.insert(jpeg.end(), file.begin() + offsets[i], file.begin() + offsets[i] + lengths[i]);
    return jpeg;
}

bool has_jfif(const Bytes& jpeg) {
    return jpeg.size() > 11 && jpeg[2] == 0xFF && jpeg[3] == 0xE0 &&
           std::string(jpeg.begin() + 6, jpeg.begin() + 11) == std::string("JFIF\0", 5);
}

TEST(ReadDICOMJpeg, FramesMatchLibjpegWithTheColourTypeTheChainGives) {
    const char* const files[] = {
        "SC_rgb_jpeg_dcmtk.dcm", "SC_rgb_jpeg_lossy_gdcm.dcm",
        "SC_rgb_jpeg_app14_dcmd.dcm", "SC_rgb_dcmtk_+eb+cr.dcm", "SC_rgb_dcmtk_+eb+cy+n1.dcm",
        "SC_rgb_dcmtk_+eb+cy+n2.dcm", "SC_rgb_dcmtk_+eb+cy+np.dcm", "SC_rgb_dcmtk_+eb+cy+s2.dcm",
        "SC_rgb_dcmtk_+eb+cy+s4.dcm", "SC_jpeg_no_color_transform.dcm",
        "SC_jpeg_no_color_transform_2.dcm", "SC_rgb_small_odd_jpeg.dcm", "SC_rgb_jpeg.dcm"};
    if (!file_exists(pydicom_file(files[0]))) GTEST_SKIP() << "pydicom's test files missing";
    for (const char* name : files) {
        SCOPED_TRACE(name);
        Loaded<VRX_DICOMInfo> file(read_file(pydicom_file(name)));
        ASSERT_TRUE(file.ok);
        const Bytes jpeg = frame_stream(file.bytes, file.info, 0);
        const jpegoracle::Image ref = jpegoracle::Decode(jpeg);
        ASSERT_TRUE(ref.ok);
        VRX_Engine* frame = VRX_ReadDICOM(&file.manager).engine(file.storage, file.info, 0);
        ASSERT_NE(frame, nullptr);
        const pixeltest::Shape shape = pixeltest::shape_of(frame);
        // A JFIF stream keeps its own colour type, any other takes the file's.
        EXPECT_EQ(shape.color, has_jfif(jpeg) ? VRX_ColorType::ycbcr() : file.info.color_type());
        EXPECT_EQ(shape.channels, ref.channels);
        jpegoracle::Image mine = ref;
        mine.pixels = drain(file.manager, frame);
        ASSERT_EQ(mine.pixels.size(), ref.pixels.size());
        EXPECT_LE(jpegoracle::MaxDifference(mine, ref), 1);
        VRX_Status status(&file.manager);
        EXPECT_TRUE(file.manager.execute(status)) << std::hex << status.code << " " << status.function;
    }
}

// A frame split over several fragments is read as one stream, also when the
// decoder goes back over it (one component per scan) or keeps every
// coefficient (progressive).
TEST(ReadDICOMJpeg, FrameSplitOverFragments) {
    for (const char* name : {"s420_restart.jpg", "separate_scans_restart.jpg", "prog_s420.jpg"}) {
        SCOPED_TRACE(name);
        Bytes jpeg = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegdec/" + name);
        if (jpeg.size() % 2) jpeg.push_back(0);
        const size_t third = jpeg.size() / 6 * 2;
        Writer w("1.2.840.10008.1.2.4.50");
        w.image(45, 61, 8, 3, "YBR_FULL_422");
        w.encapsulated({}, {Bytes(jpeg.begin(), jpeg.begin() + third),
                            Bytes(jpeg.begin() + third, jpeg.begin() + 2 * third),
                            Bytes(jpeg.begin() + 2 * third, jpeg.end())});
        Loaded<VRX_DICOMInfo> file(w.bytes());
        ASSERT_TRUE(file.ok);
        ASSERT_EQ(file.info.frame_offsets(0).size(), 3u);
        const jpegoracle::Image ref = jpegoracle::Decode(jpeg);
        jpegoracle::Image mine = ref;
        mine.pixels = drain(file.manager, VRX_ReadDICOM(&file.manager).engine(file.storage, file.info, 0));
        ASSERT_EQ(mine.pixels.size(), ref.pixels.size());
        EXPECT_LE(jpegoracle::MaxDifference(mine, ref), 1);
    }
}

// Frames the decoder does not offer: 12-bit extended (SOF1) streams.
TEST(ReadDICOMJpeg, UnsupportedProcessesAreRefused) {
    const std::pair<const char*, const char*> files[] = {
        {"JPEG-lossy.dcm", "VRX_DecodeJPEGEngine::initiate()"},
        {"JPGExtended.dcm", "VRX_DecodeJPEGEngine::initiate()"}};
    if (!file_exists(pydicom_file(files[0].first))) GTEST_SKIP() << "pydicom's test files missing";
    for (const auto& [name, function] : files) {
        SCOPED_TRACE(name);
        Loaded<VRX_DICOMInfo> file(read_file(pydicom_file(name)));
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(VRX_ReadDICOM(&file.manager).engine(file.storage, file.info, 0), nullptr);
        EXPECT_TRUE(has_status(file.manager, VRX_ERROR_UNSUPPORTED, function));
    }
}

}  // namespace
