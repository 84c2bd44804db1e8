// The decode chain of pydicom's CT_small.dcm rescaled to signed 32-bit
// samples by its slope and intercept against pydicom's apply_modality_lut
// (fixture made by tests/data/vrx/convert/make_modality_fixture.py).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/vrx/core/operation/pixel_chain.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/core/convertdatatype/vrx_convertdatatype.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/extension/signedextension/vrx_signedextension.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace vrx;

TEST(Modality, CtSmallRescaledMatchesPydicom) {
    const std::string path = dicomtest::pydicom_file("CT_small.dcm");
    if (!dicomtest::file_exists(path)) GTEST_SKIP() << "pydicom's test files missing";
    const dicomtest::Bytes fixture =
        dicomtest::read_file(std::string(TEST_DATA_DIR) + "/vrx/convert/ct_small_modality.bin");
    ASSERT_GT(fixture.size(), 32u);
    ASSERT_EQ(std::memcmp(fixture.data(), "VRXMOD01", 8), 0);
    double slope = 0, intercept = 0;
    uint32_t width = 0, height = 0;
    std::memcpy(&slope, &fixture[8], 8);
    std::memcpy(&intercept, &fixture[16], 8);
    std::memcpy(&width, &fixture[24], 4);
    std::memcpy(&height, &fixture[28], 4);
    const std::vector<uint8_t> want(fixture.begin() + 32, fixture.end());
    ASSERT_EQ(want.size(), size_t{width} * height * 4);

    VRX_DefaultManager manager;
    VRX_InputStorage* file = VRX_FileInputStorage::create(&manager, path.c_str());
    ASSERT_NE(file, nullptr);
    VRX_Engine* frame = VRX_ReadDICOM(&manager).engine(file, 0);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->header()->width, width);
    ASSERT_EQ(frame->header()->height, height);
    // Signed 16-bit samples whose high bit is bit 15: the extension keeps them.
    VRX_Engine* extended = VRX_SignedExtension(&manager).engine(frame, 15);
    VRX_Engine* rescaled = VRX_ConvertDataType(&manager).engine(extended, VRX_DataType::s_integer(),
                                                                32, slope, intercept);
    std::vector<uint8_t> got;
    ASSERT_TRUE(vrx_pixel_test::write_memory(manager, rescaled, got));
    file->destroy();
    EXPECT_TRUE(got == want);
    EXPECT_TRUE(manager.execute());
}

}  // namespace
