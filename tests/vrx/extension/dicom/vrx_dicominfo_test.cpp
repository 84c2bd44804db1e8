// The image information of a DICOM file: attributes of pydicom's test files,
// refused transfer syntaxes and photometric interpretations, the number of
// frames capped by the pixel data, the frames of encapsulated pixel data
// (basic offset table, start-of-image grouping, one fragment per RLE frame),
// and the checks of palettes.
#include "vrx/extension/dicom/vrx_dicominfo.h"

#include <gtest/gtest.h>

#include "tests/vrx/core/storage/vrx_rle_test_encoder.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/extension/dicom/vrx_dicompalettetable.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace vrx;
using namespace dicomtest;
using vrx_test::TestManager;

constexpr const char* kPixelOffset = "VRX_DICOMInfoInternal::get_pixel_offset()";
constexpr const char* kPalette = "VRX_DICOMInfoInternal::get_info_palette()";

constexpr const char* kExplicitLittle = "1.2.840.10008.1.2.1";
constexpr const char* kRle = "1.2.840.10008.1.2.5";
constexpr const char* kJpegBaseline = "1.2.840.10008.1.2.4.50";

// A loaded information over bytes of a file.
struct Info : Loaded<VRX_DICOMInfo> {
    using Loaded::Loaded;

    std::vector<uint32_t> offsets(uint32_t frame) const {
        const VRX_Vector<uint32_t> v = info.frame_offsets(frame, storage);
        return std::vector<uint32_t>(v.begin(), v.end());
    }
    std::vector<uint32_t> lengths(uint32_t frame) const {
        const VRX_Vector<uint32_t> v = info.frame_lengths(frame, storage);
        return std::vector<uint32_t>(v.begin(), v.end());
    }
    // What the frame's chain writes to memory (nothing when it is refused).
    Bytes decode(uint32_t frame) {
        return drain(manager, VRX_ReadDICOM(&manager).engine(storage, info, frame));
    }
};

// ---- attributes of pydicom's files ----

struct Attributes {
    const char* file;
    uint32_t width, height;
    uint16_t channels, bits;
    const VRX_ColorType* (*color)();
    uint32_t compression, byte_order, syntax, frames;
    bool planar, declared_signed, header_signed;
};

TEST(DICOMInfoPydicom, AttributesOfTheTestFiles) {
    if (!file_exists(pydicom_file("CT_small.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    const Attributes cases[] = {
        {"CT_small.dcm", 128, 128, 1, 16, &VRX_ColorType::gray, 0, 1, 1, 1, false, true, true},
        {"MR_small_implicit.dcm", 64, 64, 1, 16, &VRX_ColorType::gray, 0, 1, 0, 1, false, true,
         true},
        {"MR_small_bigendian.dcm", 64, 64, 1, 16, &VRX_ColorType::gray, 0, 0, 3, 1, false, true,
         true},
        // Compressed signed data: the header stays unsigned.
        {"MR_small_RLE.dcm", 64, 64, 1, 16, &VRX_ColorType::gray, 3, 1, 31, 1, false, true, false},
        {"ExplVR_BigEnd.dcm", 80, 60, 3, 8, &VRX_ColorType::s_rgb, 0, 0, 3, 1, true, false, false},
        {"SC_rgb_rle_32bit_2frame.dcm", 100, 100, 3, 32, &VRX_ColorType::s_rgb, 3, 1, 31, 2, false,
         false, false},
        {"SC_ybr_full_422_uncompressed.dcm", 100, 100, 3, 8, &VRX_ColorType::ycbcr, 0, 1, 1, 1,
         false, false, false},
        {"rtdose.dcm", 10, 10, 1, 32, &VRX_ColorType::gray, 0, 1, 0, 15, false, false, false},
        {"SC_rgb_jpeg_dcmtk.dcm", 100, 100, 3, 8, &VRX_ColorType::ycbcr, 1, 1, 4, 1, false, false,
         false},
        {"SC_rgb_jpeg_gdcm.dcm", 100, 100, 3, 8, &VRX_ColorType::s_rgb, 2, 1, 21, 1, false, false,
         false},
    };
    for (const Attributes& c : cases) {
        SCOPED_TRACE(c.file);
        Info i(read_file(pydicom_file(c.file)));
        ASSERT_TRUE(i.ok);
        const VRX_DICOMInfo& info = i.info;
        EXPECT_TRUE(info.has_image());
        EXPECT_TRUE(info.is_valid());
        EXPECT_STREQ(info.format_name(), "dicom");
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.bits, c.bits);
        EXPECT_EQ(info.color_type(), c.color());
        EXPECT_EQ(info.compression(), c.compression);
        EXPECT_EQ(info.byte_order(), c.byte_order);
        EXPECT_EQ(info.transfer_syntax_code(), c.syntax);
        EXPECT_EQ(info.frame_count(), c.frames);
        EXPECT_EQ(info.planar(), c.planar);
        EXPECT_EQ(info.encapsulated(), c.compression != 0);
        EXPECT_EQ(info.declared_data_type() == VRX_DataType::s_integer(), c.declared_signed);
        EXPECT_EQ(info.data_type() == VRX_DataType::s_integer(), c.header_signed);
        EXPECT_EQ(info.encode_type(), c.compression == 0   ? VRX_EncodeType::raw()
                                      : c.compression == 3 ? VRX_EncodeType::pack_bits()
                                                           : VRX_EncodeType::jpeg());
        EXPECT_EQ(info.frame_offsets(info.frame_count()).size(), 0u);
        EXPECT_FALSE(info.frame_offsets(info.frame_count() - 1).empty());
        // The Pixel Data element reaches to its value's end.
        EXPECT_GT(info.pixel_data_size(), 0u);
        EXPECT_LE(uint64_t{info.pixel_data_start()} + info.pixel_data_size(), i.bytes.size());
    }
}

// Files of less common forms made by tests/data/vrx/dicom/make_dicom_fixtures.py
// load as images without a warning (their frames are compared with pydicom
// and dcm2pnm in vrx_readdicom_test.cpp).
TEST(DICOMInfoUnusualFiles, LoadWithTheirFramesAndNames) {
    struct Case {
        const char* file;
        uint32_t frames;
        const char16_t* name;
    };
    const Case cases[] = {
        {"many_frames", 4096, u""},
        {"falling_tags", 1, u"Falling^Tags"},
        {"deep_nesting", 1, u""},
        {"names_gb18030", 1, u"\u738b^\u5c0f\u4e1c"},
        {"names_gbk", 1, u"\u738b^\u5c0f\u4e1c"},
        {"palette_signed8_rle", 1, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Info i(read_file(std::string(TEST_DATA_DIR) + "/vrx/dicom/unusual/" + c.file + ".dcm"));
        ASSERT_TRUE(i.ok);
        EXPECT_TRUE(pixeltest::is_clean(i.manager));
        EXPECT_TRUE(i.info.has_image());
        EXPECT_EQ(i.info.frame_count(), c.frames);
        EXPECT_TRUE(i.info.get_string(0x0010, 0x0010) == c.name);
        // Elements are in tag order whatever order the file gave them.
        for (uint32_t t = 1; t < i.info.child_count(); ++t)
            EXPECT_LT((uint32_t{i.info.group_at(t - 1)} << 16) | i.info.element_at(t - 1),
                      (uint32_t{i.info.group_at(t)} << 16) | i.info.element_at(t));
    }
}

TEST(DICOMInfoPydicom, FilesWithoutPixelDataLoadWithoutImage) {
    if (!file_exists(pydicom_file("test-SR.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    for (const char* file : {"test-SR.dcm", "rtplan.dcm", "dicomdirtests/DICOMDIR"}) {
        SCOPED_TRACE(file);
        Info i(read_file(pydicom_file(file)));
        ASSERT_TRUE(i.ok);
        EXPECT_TRUE(i.info.is_loaded());
        EXPECT_FALSE(i.info.has_image());
        EXPECT_EQ(i.info.width, 0u);
        EXPECT_EQ(i.info.height, 0u);
        EXPECT_EQ(i.info.frame_count(), 0u);
    }
}

TEST(DICOMInfoPydicom, ALaterLoadKeepsNothingOfTheEarlierImage) {
    if (!file_exists(pydicom_file("test-SR.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    Info i(read_file(pydicom_file("SC_rgb_rle_2frame.dcm")));
    ASSERT_TRUE(i.ok);
    ASSERT_TRUE(i.info.has_image());
    ASSERT_EQ(i.info.frame_count(), 2u);
    const Bytes report = read_file(pydicom_file("test-SR.dcm"));
    VRX_InputStorage* other = storage_over(i.manager, report);
    ASSERT_TRUE(i.info.load(other));
    EXPECT_FALSE(i.info.has_image());
    EXPECT_EQ(i.info.width, 0u);
    EXPECT_EQ(i.info.height, 0u);
    EXPECT_EQ(i.info.channels, 0u);
    EXPECT_EQ(i.info.frame_count(), 0u);
    EXPECT_TRUE(i.info.frame_offsets(0).empty());
    EXPECT_FALSE(i.info.encapsulated());
    EXPECT_EQ(i.info.compression(), 0u);
    EXPECT_EQ(i.info.encode_type(), VRX_EncodeType::raw());
    // The report's frames are refused, not read at the image's positions.
    EXPECT_EQ(VRX_ReadDICOM(&i.manager).engine(other, i.info, 0), nullptr);
    EXPECT_TRUE(has_status(i.manager, VRX_ERROR_ARGUMENT, "VRX_ReadDICOM::engine()"));
    vrx::destroy(other);
}

TEST(DICOMInfoPydicom, TagAccess) {
    if (!file_exists(pydicom_file("CT_small.dcm"))) GTEST_SKIP() << "pydicom's test files missing";
    Info i(read_file(pydicom_file("CT_small.dcm")));
    ASSERT_TRUE(i.ok);
    const VRX_DICOMInfo& info = i.info;
    auto text = [](const VRX_DICOMTagObj::String& s) {
        return std::string(s.view().begin(), s.view().end());
    };
    EXPECT_EQ(text(info.get_string(0x0010, 0x0010)), "CompressedSamples^CT1");
    EXPECT_EQ(text(info.get_string(0x0028, 0x0030)), "0.661468\\0.661468");
    EXPECT_DOUBLE_EQ(info.get_double(0x0028, 0x1052), -1024.0);
    EXPECT_EQ(info.get_int(0x0028, 0x0010), 128);
    EXPECT_DOUBLE_EQ(info.get_double(0x0020, 0x0032), -158.135803);
    VRX_Vector<double> position(&i.manager);
    ASSERT_TRUE(info.read_double_values(0x0020, 0x0032, position));
    ASSERT_EQ(position.size(), 3u);
    EXPECT_DOUBLE_EQ(position[2], -75.699997);
    VRX_Vector<VRX_DICOMTagObj::String> spacing(&i.manager);
    ASSERT_TRUE(info.read_string_values(0x0028, 0x0030, spacing));
    EXPECT_EQ(spacing.size(), 2u);
    uint32_t rows = 0;
    EXPECT_TRUE(info.read_integer(0x0028, 0x0010, rows));
    EXPECT_EQ(rows, 128u);
    EXPECT_EQ(info.vr(0x0028, 0x0010), 0x5355u);  // "US"
    EXPECT_EQ(info.length(0x0028, 0x0010), 2u);
    // Pixel Data is held by position: no bytes in memory.
    const void* pixels = nullptr;
    EXPECT_FALSE(info.get_value_data(0x7FE0, 0x0010, pixels));
    EXPECT_TRUE(info.get_value_data(0x0028, 0x0010, pixels));
    // An absent tag.
    VRX_Vector<uint32_t> none(&i.manager);
    none.push_back(5);
    EXPECT_FALSE(info.read_uint_values(0x0009, 0x0001, none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(info.vr(0x0009, 0x0001), VRX_DICOMTagObj::vr_unknown);
    // The whole tag list in child order.
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tags(&i.manager);
    ASSERT_TRUE(info.get_tag_info_list(tags));
    ASSERT_EQ(tags.size(), info.child_count());
    for (uint32_t t = 0; t < tags.size(); ++t) {
        EXPECT_EQ(tags[t].group, info.group_at(t));
        EXPECT_EQ(tags[t].element, info.element_at(t));
    }
    EXPECT_EQ(info.group_at(info.child_count()), 0xFFFF);
    EXPECT_EQ(info.vr_at(info.child_count()), VRX_DICOMTagObj::vr_unknown);
    // An item of a sequence outlives the object it came from.
    VRX_DICOMTagObj item(&i.manager);
    {
        VRX_DICOMInfo other(&i.manager);
        i.storage->seek_from_begin(0);
        ASSERT_TRUE(other.load(i.storage));
        ASSERT_EQ(other.item_count(0x0010, 0x1002), 2u);
        ASSERT_TRUE(other.get_item(0x0010, 0x1002, 1, item));
        EXPECT_FALSE(other.get_item(0x0010, 0x1002, 2, item));
    }
    EXPECT_TRUE(item.exists(0x0010, 0x0020));
    EXPECT_FALSE(item.get_string(0x0010, 0x0020).empty());
}

TEST(DICOMTagObj, NeverLoadedGettersAnswerNothing) {
    TestManager manager;
    VRX_DICOMTagObj tag(&manager);
    uint32_t u = 7;
    double d = 7;
    const void* p = nullptr;
    EXPECT_EQ(tag.get_int(0x0028, 0x0010), 0);
    EXPECT_EQ(tag.get_double(0x0028, 0x0010), 0.0);
    EXPECT_FALSE(tag.exists(0x0028, 0x0010));
    EXPECT_FALSE(tag.read_integer(0x0028, 0x0010, u));
    EXPECT_FALSE(tag.read_double(0x0028, 0x0010, d));
    EXPECT_FALSE(tag.get_value_data(0x0028, 0x0010, p));
    EXPECT_EQ(tag.item_count(0x0028, 0x0010), 0u);
    EXPECT_EQ(tag.child_count(), 0u);
    EXPECT_EQ(tag.group_at(0), 0xFFFF);
    EXPECT_EQ(tag.element_at(0), 0xFFFF);
    EXPECT_EQ(tag.vr_at(0), VRX_DICOMTagObj::vr_unknown);
    EXPECT_EQ(tag.length_at(0), 0u);
    EXPECT_TRUE(tag.get_string(0x0010, 0x0010).empty());
    VRX_Vector<VRX_DICOMTagObj::VRX_DICOMTagInfo> tags(&manager);
    EXPECT_FALSE(tag.get_tag_info_list(tags));
    VRX_DICOMTagObj item(&manager);
    EXPECT_FALSE(tag.get_item(0x0008, 0x1140, 0, item));
}

// ---- refusals while loading ----

struct LoadRefusal {
    const char* name;
    const char* syntax;
    const char* photometric;
    uint16_t samples;
    uint32_t code;
    const char* function;
    uint16_t bits = 8;
};

TEST(DICOMInfoLoad, RefusedSyntaxesAndColoursLeaveTheStorageWhereItWas) {
    const LoadRefusal cases[] = {
        {"unknown syntax", "1.2.840.10008.1.2.4.90", "MONOCHROME2", 1, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_compression_type()"},
        {"deflated data set", "1.2.840.10008.1.2.1.99", "MONOCHROME2", 1, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::decode_start()"},
        {"HSV", kExplicitLittle, "HSV", 3, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_color_type()"},
        {"ARGB", kExplicitLittle, "ARGB", 4, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_color_type()"},
        {"YBR_PARTIAL_422", kExplicitLittle, "YBR_PARTIAL_422", 3, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_color_type()"},
        {"other text", kExplicitLittle, "XYZ", 3, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::get_info_color_type()"},
        {"no samples, unknown colour", kExplicitLittle, "UNKNOWN", 0, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::correct_color()"},
        {"1-bit samples, three of them", kExplicitLittle, "RGB", 3, VRX_ERROR_UNSUPPORTED,
         "VRX_DICOMInfoInternal::load_attributes()", 1},
    };
    for (const LoadRefusal& c : cases) {
        SCOPED_TRACE(c.name);
        Writer w(c.syntax);
        w.image(2, 2, c.bits, c.samples, c.photometric);
        w.pixel_data(Bytes(12, 0));
        TestManager manager;
        const Bytes bytes = w.bytes();
        VRX_InputStorage* storage = storage_over(manager, bytes);
        storage->seek_from_begin(0);
        VRX_DICOMInfo info(&manager);
        EXPECT_FALSE(info.load(storage));
        EXPECT_TRUE(has_status(manager, c.code, c.function));
        EXPECT_EQ(storage->position(), 0);
        storage->destroy();
    }
}

TEST(DICOMInfoLoad, SamplesPerPixelFollowTheColourWhenAbsent) {
    const std::pair<const char*, uint16_t> cases[] = {
        {"MONOCHROME1", 1}, {"RGB", 3}, {"YBR_FULL", 3}, {"CMYK", 4}};
    for (const auto& [photometric, samples] : cases) {
        SCOPED_TRACE(photometric);
        Writer w;
        w.image(1, 2, 8, 0, photometric);
        w.pixel_data(Bytes(size_t{2} * samples, 1));
        Info i(w.bytes());
        ASSERT_TRUE(i.ok);
        EXPECT_EQ(i.info.channels, samples);
        EXPECT_EQ(i.decode(0).size(), size_t{2} * samples);
    }
}

// ---- frames of native pixel data ----

Bytes ramp(size_t n, uint8_t from = 0) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(from + i);
    return b;
}

TEST(DICOMInfoFrames, DeclaredFramesAreCappedByThePixelData) {
    struct Case {
        const char* name;
        uint32_t declared;
        size_t bytes;
        uint32_t frames;
    };
    // Frames of 2 x 2 8-bit pixels, 4 bytes each.
    const Case cases[] = {
        {"five declared, three there", 5, 12, 3},
        {"three declared, padding after them", 3, 14, 3},
        {"one frame, padding after it", 0, 6, 1},
        {"a billion declared", 1000000000, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Writer w;
        w.image(2, 2, 8, 1, "MONOCHROME2", c.declared);
        const size_t at = w.size() + 12;
        w.pixel_data(ramp(c.bytes, 1));
        Info i(w.bytes());
        ASSERT_TRUE(i.ok);
        ASSERT_EQ(i.info.frame_count(), c.frames);
        for (uint32_t f = 0; f < c.frames; ++f) {
            EXPECT_EQ(i.offsets(f), std::vector<uint32_t>{static_cast<uint32_t>(at + 4 * f)});
            EXPECT_EQ(i.lengths(f), std::vector<uint32_t>{4u});
            EXPECT_EQ(i.decode(f), ramp(4, static_cast<uint8_t>(1 + 4 * f)));
        }
    }
}

TEST(DICOMInfoFrames, AFrameTheValueEndsInsideIsRefusedBeforeItsReader) {
    struct Layout {
        const char* name;
        uint32_t rows, columns;
        uint16_t bits, samples;
        const char* photometric;
        uint16_t planar;
        size_t frame_bytes;
    };
    const Layout layouts[] = {
        {"8-bit grey", 2, 2, 8, 1, "MONOCHROME2", 0, 4},
        {"16-bit grey", 2, 3, 16, 1, "MONOCHROME2", 0, 12},
        {"1-bit, 9 bits", 3, 3, 1, 1, "MONOCHROME2", 0, 2},
        {"planar RGB", 2, 2, 8, 3, "RGB", 1, 12},
        {"YBR_FULL_422, odd width", 2, 3, 8, 3, "YBR_FULL_422", 0, 16},
    };
    for (const Layout& l : layouts) {
        // Exact, padded by a byte (kept odd), and a byte short.
        for (const size_t bytes : {l.frame_bytes, l.frame_bytes + 1, l.frame_bytes - 1}) {
            SCOPED_TRACE(std::string(l.name) + ", " + std::to_string(bytes) + " bytes");
            Writer w;
            w.image(l.rows, l.columns, l.bits, l.samples, l.photometric);
            if (l.planar) w.u16(0x0028, 0x0006, l.planar);
            w.pixel_data(ramp(bytes));
            // Whatever follows the pixel data is not read as pixels.
            w.text(0x7FE1, 0x0010, "LO", "TRAILER!");
            Info i(w.bytes());
            ASSERT_TRUE(i.ok);
            ASSERT_EQ(i.info.frame_count(), 1u);
            const bool whole = bytes >= l.frame_bytes;
            // The frame's part leaves the padding out.
            EXPECT_EQ(i.lengths(0), std::vector<uint32_t>{static_cast<uint32_t>(
                                        std::min(bytes, l.frame_bytes))});
            EXPECT_EQ(i.info.frame_short(0), !whole);
            EXPECT_EQ(i.decode(0).empty(), !whole);
            if (!whole) {
                EXPECT_TRUE(has_status(i.manager, VRX_ERROR_DATA, "VRX_ReadDICOM::engine()"));
            }
        }
    }
}

TEST(DICOMInfoFrames, Native422FramesHaveTheSubsampledSize) {
    // 3 x 2 pixels: lines of two pairs (the odd pixel rounded up), 8 bytes.
    Writer w;
    w.image(2, 3, 8, 3, "YBR_FULL_422", 2);
    const Bytes frame0 = {10, 20, 100, 200, 30, 0, 110, 210, 1, 2, 3, 4, 5, 6, 7, 8};
    Bytes data = frame0;
    data.insert(data.end(), frame0.begin(), frame0.end());
    w.pixel_data(data);
    Info i(w.bytes());
    ASSERT_TRUE(i.ok);
    EXPECT_TRUE(i.info.subsampled_422());
    ASSERT_EQ(i.info.frame_count(), 2u);
    EXPECT_EQ(i.lengths(1), std::vector<uint32_t>{16u});
    const Bytes expected = {10, 100, 200, 20, 105, 205, 30, 110, 210, 1, 3, 4, 2, 5, 6, 5, 7, 8};
    EXPECT_EQ(i.decode(1), expected);
}

// ---- frames of encapsulated pixel data ----

// A one-row RLE frame of 8-bit gray pixels.
Bytes rle_of(const Bytes& pixels) { return rletest::rle_frame(pixels, 1, 1); }

Bytes rle_image(uint32_t declared, const std::vector<uint32_t>& table,
                const std::vector<Bytes>& fragments, uint32_t width = 4) {
    Writer w(kRle);
    w.image(1, width, 8, 1, "MONOCHROME2", declared);
    w.encapsulated(table, fragments);
    return w.bytes();
}

TEST(DICOMInfoFragments, EmptyTableRleFramesTakeOneFragmentEach) {
    const Bytes a = rle_of({1, 2, 3, 4}), b = rle_of({5, 6, 7, 8}), c = rle_of({9, 9, 9, 9});
    Info i(rle_image(2, {}, {a, b, c}));
    ASSERT_TRUE(i.ok);
    // Two declared: the third fragment is not a frame.
    ASSERT_EQ(i.info.frame_count(), 2u);
    EXPECT_EQ(i.lengths(0), std::vector<uint32_t>{static_cast<uint32_t>(a.size())});
    EXPECT_EQ(i.decode(0), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(i.decode(1), (Bytes{5, 6, 7, 8}));
}

// A 1-bit RLE frame is a valid file this system does not decode.
TEST(DICOMInfoFragments, OneBitRleFramesAreRefusedAsUnsupported) {
    Writer w(kRle);
    w.image(1, 8, 1, 1, "MONOCHROME2");
    w.encapsulated({}, {rle_of({1, 2, 3, 4})});
    Info i(w.bytes());
    ASSERT_TRUE(i.ok);
    EXPECT_TRUE(i.decode(0).empty());
    EXPECT_TRUE(has_status(i.manager, VRX_ERROR_UNSUPPORTED, "VRX_ReadDICOMRLESegment::engine()"));
}

TEST(DICOMInfoFragments, EmptyTableSingleFrameTakesEveryFragment) {
    const Bytes frame = rle_of({1, 2, 3, 4});
    const Bytes head(frame.begin(), frame.begin() + 66), tail(frame.begin() + 66, frame.end());
    Info i(rle_image(0, {}, {head, tail}));
    ASSERT_TRUE(i.ok);
    ASSERT_EQ(i.info.frame_count(), 1u);
    EXPECT_EQ(i.lengths(0), (std::vector<uint32_t>{66u, static_cast<uint32_t>(tail.size())}));
    EXPECT_EQ(i.decode(0), (Bytes{1, 2, 3, 4}));
}

TEST(DICOMInfoFragments, TableEntriesAreOffsetsOfItems) {
    // Frame 0 in two fragments, frame 1 in one.
    const Bytes f0 = rle_of({1, 2, 3, 4}), f1 = rle_of({4, 3, 2, 1});
    const Bytes head(f0.begin(), f0.begin() + 64), tail(f0.begin() + 64, f0.end());
    const uint32_t second = static_cast<uint32_t>(8 + head.size() + 8 + tail.size());
    {
        Info i(rle_image(2, {0, second}, {head, tail, f1}));
        ASSERT_TRUE(i.ok);
        ASSERT_EQ(i.info.frame_count(), 2u);
        EXPECT_EQ(i.offsets(0).size(), 2u);
        EXPECT_EQ(i.offsets(0)[1], i.offsets(0)[0] + head.size() + 8);
        EXPECT_EQ(i.decode(0), (Bytes{1, 2, 3, 4}));
        EXPECT_EQ(i.decode(1), (Bytes{4, 3, 2, 1}));
    }
    {
        // One frame declared: the table's second frame is not one.
        Info i(rle_image(0, {0, second}, {head, tail, f1}));
        ASSERT_TRUE(i.ok);
        ASSERT_EQ(i.info.frame_count(), 1u);
        EXPECT_EQ(i.decode(0), (Bytes{1, 2, 3, 4}));
    }
    {
        // As many entries as fragments: one fragment each.
        Info i(rle_image(2, {0, static_cast<uint32_t>(8 + f0.size())}, {f0, f1}));
        ASSERT_TRUE(i.ok);
        ASSERT_EQ(i.info.frame_count(), 2u);
        EXPECT_EQ(i.decode(1), (Bytes{4, 3, 2, 1}));
    }
}

TEST(DICOMInfoFragments, TablesThatMissTheItemsAreRefused) {
    const Bytes f0 = rle_of({1, 2, 3, 4});
    const uint32_t second = static_cast<uint32_t>(8 + f0.size());
    const std::vector<std::vector<uint32_t>> tables = {
        {0, second - 8},  // a value offset, not an item's
        {0, second + 1},  // inside an item
        {second, 0},      // backwards
        {0, 0},           // twice the same frame
    };
    for (const auto& table : tables) {
        Info i(rle_image(2, table, {f0, f0, f0}));
        EXPECT_FALSE(i.ok);
        EXPECT_TRUE(has_status(i.manager, VRX_ERROR_DATA, kPixelOffset));
    }
}

TEST(DICOMInfoFragments, LocatedFramesReadTheirItemsWhenAsked) {
    // Five frames, the odd ones in two fragments: the table locates them, so
    // only the last frame's items are read while the file loads.
    std::vector<Bytes> pixels, fragments;
    std::vector<std::vector<uint32_t>> sizes;
    std::vector<uint32_t> table;
    uint32_t at = 0;
    for (uint8_t f = 0; f < 5; ++f) {
        pixels.push_back({f, 7, static_cast<uint8_t>(2 * f), 9});
        const Bytes rle = rle_of(pixels.back());
        std::vector<Bytes> parts = {rle};
        if (f % 2) parts = {Bytes(rle.begin(), rle.begin() + 64), Bytes(rle.begin() + 64, rle.end())};
        table.push_back(at);
        sizes.emplace_back();
        for (const Bytes& p : parts) {
            fragments.push_back(p);
            sizes.back().push_back(static_cast<uint32_t>(p.size()));
            at += static_cast<uint32_t>(8 + p.size());
        }
    }
    Info i(rle_image(5, table, fragments));
    ASSERT_TRUE(i.ok);
    ASSERT_EQ(i.info.frame_count(), 5u);
    for (uint32_t f = 0; f < 5; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(i.lengths(f), sizes[f]);
        EXPECT_EQ(i.decode(f), pixels[f]);
    }
    // Without the storage only the last frame's parts are known.
    EXPECT_TRUE(i.info.frame_offsets(3).empty());
    EXPECT_EQ(i.info.frame_offsets(4).size(), 1u);
    EXPECT_EQ(i.offsets(4)[0], i.offsets(3)[1] + sizes[3][1] + 8);
}

TEST(DICOMInfoFragments, ALocatedFrameWhoseItemsMissItsSpanIsRefusedAlone) {
    const Bytes f0 = rle_of({1, 2, 3, 4}), f1 = rle_of({5, 6, 7, 8}), f2 = rle_of({9, 8, 7, 6});
    const uint32_t item = static_cast<uint32_t>(8 + f0.size());
    // The second entry lies 2 bytes inside the second item; the last is
    // right.
    Info i(rle_image(3, {0, item + 2, 2 * item}, {f0, f1, f2}));
    ASSERT_TRUE(i.ok);
    ASSERT_EQ(i.info.frame_count(), 3u);
    for (uint32_t f : {0u, 1u}) {
        EXPECT_TRUE(i.decode(f).empty());
        EXPECT_TRUE(iotest::reported(i.manager, VRX_ERROR_DATA, "VRX_ReadDICOM::engine()"));
    }
    EXPECT_EQ(i.decode(2), (Bytes{9, 8, 7, 6}));
}

TEST(DICOMInfoFragments, JpegFramesAreGroupedByTheirStartMarkers) {
    const Bytes soi_a = {0xFF, 0xD8, 0xFF, 0xE0}, more = {0x12, 0x34},
                soi_b = {0xFF, 0xD8, 0x00, 0x00};
    Writer w(kJpegBaseline);
    w.image(1, 4, 8, 1, "MONOCHROME2", 2);
    w.encapsulated({}, {soi_a, more, more, soi_b, more});
    Info i(w.bytes());
    ASSERT_TRUE(i.ok);
    ASSERT_EQ(i.info.frame_count(), 2u);
    EXPECT_EQ(i.lengths(0), (std::vector<uint32_t>{4, 2, 2}));
    EXPECT_EQ(i.lengths(1), (std::vector<uint32_t>{4, 2}));
    // The stream ends inside its APP0 segment.
    EXPECT_TRUE(i.decode(0).empty());
    EXPECT_TRUE(has_status(i.manager, VRX_ERROR_DATA, "VRX_JPEGInfoInternal::get_jpeginfo()"));
}

TEST(DICOMInfoFragments, MalformedEncapsulations) {
    {
        // No item at all.
        Writer w(kRle);
        w.image(1, 4, 8, 1, "MONOCHROME2");
        w.encapsulated({}, {});
        Bytes bytes = w.bytes();
        // Drop the basic offset table item: the sequence holds nothing.
        const Bytes item = {0xFE, 0xFF, 0x00, 0xE0, 0, 0, 0, 0};
        const auto at = std::search(bytes.begin(), bytes.end(), item.begin(), item.end());
        bytes.erase(at, at + 8);
        Info i(bytes);
        EXPECT_FALSE(i.ok);
        EXPECT_TRUE(has_status(i.manager, VRX_ERROR_DATA, kPixelOffset));
    }
    {
        // An item tag other than (FFFE,E000).
        Bytes bytes = rle_image(1, {}, {rle_of({1, 2, 3, 4})});
        const Bytes item = {0xFE, 0xFF, 0x00, 0xE0};
        auto at = std::search(bytes.begin(), bytes.end(), item.begin(), item.end());
        at = std::search(at + 4, bytes.end(), item.begin(), item.end());
        at[3] = 0xE1;
        Info i(bytes);
        EXPECT_FALSE(i.ok);
        EXPECT_TRUE(has_status(i.manager, VRX_ERROR_DATA, kPixelOffset));
    }
}

// ---- palettes ----

struct PaletteImage {
    std::vector<uint16_t> descriptor[3];
    std::vector<uint16_t> tables[3];
    bool segmented = false;
    uint16_t bits = 8;
    Bytes indices;
};

Bytes palette_file(const PaletteImage& p) {
    Writer w;
    w.image(1, static_cast<uint32_t>(p.indices.size() / (p.bits / 8)), p.bits, 1, "PALETTE COLOR");
    for (uint16_t c = 0; c < 3; ++c) w.u16s(0x0028, 0x1101 + c, p.descriptor[c]);
    for (uint16_t c = 0; c < 3; ++c) {
        Bytes table;
        for (uint16_t v : p.tables[c]) {
            const Bytes le = Writer::le16(v);
            table.insert(table.end(), le.begin(), le.end());
        }
        w.element(0x0028, static_cast<uint16_t>((p.segmented ? 0x1221 : 0x1201) + c), "OW", table);
    }
    w.pixel_data(p.indices);
    return w.bytes();
}

PaletteImage four_entries(uint16_t first_mapped) {
    PaletteImage p;
    for (int c = 0; c < 3; ++c) {
        p.descriptor[c] = {4, first_mapped, 16};
        p.tables[c] = {static_cast<uint16_t>(1000 * (c + 1)), 2000, 3000, 4000};
    }
    p.bits = 8;
    p.indices = ramp(8);
    return p;
}

TEST(DICOMInfoPalette, FirstMappedValueAndEntriesOutsideTheTable) {
    // Indices below the first mapped value take the first entry, those past
    // the table the last (16-bit entries of an 8-bit image keep their high
    // byte).
    Info i(palette_file(four_entries(2)));
    ASSERT_TRUE(i.ok);
    EXPECT_TRUE(i.info.has_palette());
    EXPECT_EQ(i.info.palette().entries, 256u);
    const Bytes rgb = i.decode(0);
    ASSERT_EQ(rgb.size(), 24u);
    const uint8_t first[3] = {1000 >> 8, 2000 >> 8, 3000 >> 8};
    for (int px = 0; px < 8; ++px) {
        SCOPED_TRACE(px);
        const int entry = std::clamp(px - 2, 0, 3);
        for (int c = 0; c < 3; ++c) {
            const int expected = entry == 0 ? first[c] : (1000 + 1000 * entry) >> 8;
            EXPECT_EQ(rgb[px * 3 + c], expected);
        }
    }
}

TEST(DICOMInfoPalette, DescriptorsAndTablesAreCheckedBeforeUse) {
    struct Case {
        const char* name;
        PaletteImage image;
        uint32_t code;
    };
    std::vector<Case> cases;
    {
        PaletteImage p = four_entries(0);
        p.descriptor[0][0] = 3;
        p.descriptor[1][0] = 5;
        cases.push_back({"three entry counts", p, VRX_ERROR_DATA});
    }
    {
        PaletteImage p = four_entries(0);
        p.descriptor[0][2] = 8;
        p.descriptor[1][2] = 12;
        cases.push_back({"three bit counts", p, VRX_ERROR_DATA});
    }
    {
        PaletteImage p = four_entries(0);
        for (auto& d : p.descriptor) d[2] = 12;
        cases.push_back({"12-bit entries", p, VRX_ERROR_DATA});
    }
    {
        PaletteImage p = four_entries(0);
        p.tables[2].pop_back();
        cases.push_back({"a table shorter than its count", p, VRX_ERROR_DATA});
    }
    {
        PaletteImage p = four_entries(0);
        for (auto& d : p.descriptor) d[0] = 0;  // 65536 entries
        cases.push_back({"a count of 0 with four entries", p, VRX_ERROR_DATA});
    }
    auto segmented = [](std::vector<uint16_t> red) {
        PaletteImage p = four_entries(0);
        p.segmented = true;
        p.tables[0] = std::move(red);
        p.tables[1] = p.tables[2] = {0, 4, 1, 2, 3, 4};
        return p;
    };
    cases.push_back(
        {"segments past the count", segmented({0, 4, 1, 2, 3, 4, 0, 1, 5}), VRX_ERROR_DATA});
    cases.push_back({"segments short of the count", segmented({0, 3, 1, 2, 3}), VRX_ERROR_DATA});
    cases.push_back({"a nested indirect segment", segmented({0, 1, 7, 2, 1, 14, 0, 2, 1, 0, 0}),
                     VRX_ERROR_DATA});
    cases.push_back({"an unknown opcode", segmented({0, 2, 1, 2, 3, 2, 5, 6}), VRX_ERROR_DATA});
    cases.push_back({"a linear segment first", segmented({1, 4, 9}), VRX_ERROR_DATA});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Info i(palette_file(c.image));
        EXPECT_FALSE(i.ok);
        EXPECT_TRUE(has_status(i.manager, c.code, kPalette));
    }
    // Two of three descriptors agreeing is enough.
    PaletteImage p = four_entries(0);
    p.descriptor[2][0] = 9;
    Info i(palette_file(p));
    EXPECT_TRUE(i.ok);
}

TEST(DICOMInfoPalette, SegmentExpansion) {
    TestManager manager;
    VRX_Vector<uint16_t> out(&manager);
    auto expand = [&](const std::vector<uint16_t>& units, uint32_t unit_bytes, uint32_t entries) {
        Bytes bytes;
        for (uint16_t u : units) {
            bytes.push_back(static_cast<uint8_t>(u));
            if (unit_bytes == 2) bytes.push_back(static_cast<uint8_t>(u >> 8));
        }
        const bool ok = VRX_DICOMPaletteTable::expand_segmented(
            bytes.data(), static_cast<uint32_t>(bytes.size()), unit_bytes, entries, out);
        return ok ? std::vector<uint16_t>(out.begin(), out.end()) : std::vector<uint16_t>{};
    };
    // Discrete 10, 20; linear to 40 in two steps; an indirect segment whose
    // offset (least significant word first) is a byte offset: byte 8 is the
    // linear segment, which continues from the last value.
    const std::vector<uint16_t> expected = {10, 20, 30, 40, 40, 40};
    EXPECT_EQ(expand({0, 2, 10, 20, 1, 2, 40, 2, 1, 8, 0}, 2, 6), expected);
    // The same with byte units: the offset is four bytes, little endian.
    EXPECT_EQ(expand({0, 2, 10, 20, 1, 2, 40, 2, 1, 4, 0, 0, 0}, 1, 6), expected);
    // The most significant word first would point far past the table.
    EXPECT_TRUE(expand({0, 2, 10, 20, 1, 2, 40, 2, 1, 0, 8}, 2, 6).empty());
    // An odd byte offset into 16-bit units.
    EXPECT_TRUE(expand({0, 2, 10, 20, 1, 2, 40, 2, 1, 7, 0}, 2, 6).empty());
    // Linear steps are rounded half up: 0 -> 3 in two steps gives 2, 3.
    EXPECT_EQ(expand({0, 1, 0, 1, 2, 3}, 2, 3), (std::vector<uint16_t>{0, 2, 3}));
    // A trailing padding unit is allowed.
    EXPECT_EQ(expand({0, 2, 5, 6, 0}, 1, 2), (std::vector<uint16_t>{5, 6}));
    // Many indirect segments of empty segments end at the work budget.
    std::vector<uint16_t> busy = {0, 1, 9, 0, 0};
    for (int k = 0; k < 200; ++k) busy.insert(busy.end(), {2, 65535, 6, 0});
    EXPECT_TRUE(expand(busy, 2, 1).empty());
}

}  // namespace
