// Decoder statuses as the library reports them, and colour types as the
// decoder's colour spaces.
#include <gtest/gtest.h>

#include "jpegdec/jpeg_decoder.h"
#include "tests/vrx/framework/support/test_manager.h"
#include "vrx/core/jpeg/vrx_jpegregiststatus.h"

namespace {

using namespace vrx;

TEST(JpegRegistStatus, EveryStatusHasItsWord) {
    const std::pair<int32_t, uint32_t> words[] = {
        {-50, VRX_ERROR_UNSUPPORTED}, {-13, VRX_ERROR_HEADER},  {-14, VRX_ERROR_HEADER},
        {-11, VRX_ERROR_IO},          {-3, VRX_ERROR_DATA},     {-2, VRX_ERROR_ARGUMENT},
        {3, VRX_WARNING_DATA},        {14, VRX_WARNING_UNSUPPORTED}, {100, 0x40200010u},
        {-9997, VRX_ERROR},           {0, VRX_ERROR}};
    for (const auto& [status, word] : words) {
        vrx_test::TestManager manager;
        MapJpegStatus(&manager, status, "VRX_JPEGInfoInternal::execute()");
        EXPECT_TRUE(manager.error_handler()->saw(word, "VRX_JPEGInfoInternal::execute()")) << status;
    }
    for (int32_t silent : {1, -1, -12, -9999}) {
        vrx_test::TestManager manager;
        MapJpegStatus(&manager, silent, "x");
        EXPECT_TRUE(manager.error_handler()->reports.empty()) << silent;
    }
}

TEST(JpegRegistStatus, ColourTypesAskForTheirColourSpaces) {
    EXPECT_EQ(ColorTypeToJpegColorSpace(VRX_ColorType::none()), jpegdec::kJpegColorAsStored);
    EXPECT_EQ(ColorTypeToJpegColorSpace(VRX_ColorType::adobe_rgb()), jpegdec::kJpegColorRgb);
    EXPECT_EQ(ColorTypeToJpegColorSpace(VRX_ColorType::icc_lab()), jpegdec::kJpegColorIccLab);
    EXPECT_EQ(ColorTypeToJpegColorSpace(VRX_ColorType::cmyk()), jpegdec::kJpegColorCmyk);
    EXPECT_EQ(ColorTypeToJpegColorSpace(VRX_ColorType::hsl()), jpegdec::kJpegColorAsStored);
}

}  // namespace
