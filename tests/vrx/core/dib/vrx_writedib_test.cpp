#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/vrx/core/dib/dib_test_support.h"
#include "tests/vrx/framework/io/io_test_support.h"
#include "vrx/core/dib/vrx_bitmapinfoheader.h"
#include "vrx/core/dib/vrx_writedibraw.h"
#include "vrx/core/dib/vrx_writedibrawengine.h"
#include "vrx/framework/buffer/vrx_dstbuffer.h"
#include "vrx/framework/engine/vrx_generateengine.h"

using namespace vrx;
using dibtest::Image;
using dibtest::write_dib;

namespace {

uint32_t u32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t u16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
std::vector<unsigned char> bytes_at(const std::vector<unsigned char>& b, size_t at, size_t n) {
    return std::vector<unsigned char>(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

// A grey header of the given size and sample depth.
void gray(VRX_Header& header, uint32_t width, uint32_t height, uint16_t bits = 8) {
    header.width = width;
    header.height = height;
    header.bits = bits;
    header.channels = 1;
    header.color_type(VRX_ColorType::gray());
}

bool is_status(const VRX_Status& status, uint32_t code, const char* function) {
    return status.code == code && std::strcmp(status.function, function) == 0;
}

// The render chain's 3 x 2 grey image.
TEST(WriteDIB, GrayImageLayout) {
    Image image{"gray", 3, 2, 8, 1, VRX_ColorType::gray(), {}, {1, 2, 3, 4, 5, 6}};
    const auto w = write_dib(image, VRX_WriteDIBOption(0, 300, 300, 0));
    ASSERT_TRUE(w.engine_made);
    EXPECT_EQ(w.status.code, 0u) << w.status.function;
    EXPECT_EQ(w.total, 1072u);
    EXPECT_EQ(w.header_bytes, 1064u);
    const auto& d = w.dib;
    EXPECT_EQ(u32(d, 0), 40u);
    EXPECT_EQ(u32(d, 4), 3u);
    EXPECT_EQ(u32(d, 8), 2u);
    EXPECT_EQ(u16(d, 12), 1u);
    EXPECT_EQ(u16(d, 14), 8u);
    EXPECT_EQ(u32(d, 16), 0u);
    EXPECT_EQ(u32(d, 20), 8u);
    EXPECT_EQ(u32(d, 24), 11811u);
    EXPECT_EQ(u32(d, 28), 11811u);
    EXPECT_EQ(u32(d, 32), 256u);
    EXPECT_EQ(u32(d, 36), 0u);
    for (uint32_t i = 0; i < 256; ++i) {
        const unsigned char level = static_cast<unsigned char>(i);
        ASSERT_EQ(bytes_at(d, 40 + 4 * i, 4), (std::vector<unsigned char>{level, level, level, 0}));
    }
    EXPECT_EQ(bytes_at(d, 1064, 8), (std::vector<unsigned char>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(WriteDIB, OneBitRowsAreMaskedAndPadded) {
    // Pixels 0..9 alternate; the six bits after the last pixel are set.
    Image image{"reverse", 10, 2, 1, 1, VRX_ColorType::gray_reverse(), {}, {0xAA, 0xBF, 0x55, 0x7F}};
    const auto w = write_dib(image, VRX_WriteDIBOption());
    ASSERT_TRUE(w.engine_made);
    EXPECT_EQ(w.status.code, 0u) << w.status.function;
    const auto& d = w.dib;
    EXPECT_EQ(u16(d, 14), 1u);
    EXPECT_EQ(u32(d, 32), 2u);
    EXPECT_EQ(bytes_at(d, 40, 8), (std::vector<unsigned char>{255, 255, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bytes_at(d, 48, 8), (std::vector<unsigned char>{0x55, 0x40, 0, 0, 0xAA, 0x80, 0, 0}));
}

TEST(WriteDIB, ColourImageDefaultsTo24Bits) {
    Image image{"rgb", 1, 1, 8, 3, VRX_ColorType::s_rgb(), {}, {10, 20, 30}};
    const auto w = write_dib(image, VRX_WriteDIBOption());
    ASSERT_TRUE(w.engine_made);
    EXPECT_EQ(u16(w.dib, 14), 24u);
    EXPECT_EQ(u32(w.dib, 32), 0u);
    EXPECT_EQ(w.header_bytes, 40u);
    EXPECT_EQ(bytes_at(w.dib, 40, 4), (std::vector<unsigned char>{30, 20, 10, 0}));
}

TEST(WriteDIB, SixteenBitPixels) {
    Image image{"rgb16", 2, 1, 8, 3, VRX_ColorType::s_rgb(), {}, {255, 0, 0, 8, 16, 255}};
    const auto w = write_dib(image, VRX_WriteDIBOption(0, 0, 0, 16));
    ASSERT_TRUE(w.engine_made);
    EXPECT_EQ(w.status.code, 0u) << w.status.function;
    EXPECT_EQ(bytes_at(w.dib, 40, 4), (std::vector<unsigned char>{0x00, 0x7C, 0x5F, 0x04}));
}

// A bitmap written after other bytes (a file header) has its rows placed
// inside itself, and the bytes before it stay as they were.
TEST(WriteDIB, BitmapAfterLeadingBytes) {
    std::mt19937 random(5);
    const Image images[] = {
        dibtest::make_image("8-bit grey", 5, 4, 8, 1, VRX_ColorType::gray(), 0, random),
        dibtest::make_image("1-bit grey", 11, 3, 1, 1, VRX_ColorType::gray(), 0, random),
        dibtest::make_image("24 bits", 3, 3, 8, 3, VRX_ColorType::s_rgb(), 0, random),
    };
    for (const Image& image : images) {
        SCOPED_TRACE(image.name);
        const auto alone = write_dib(image, VRX_WriteDIBOption());
        const auto after = write_dib(image, VRX_WriteDIBOption(), 0, 14);
        ASSERT_TRUE(after.engine_made);
        EXPECT_EQ(after.status.code, 0u) << after.status.function;
        EXPECT_EQ(bytes_at(after.dib, 0, 14), std::vector<unsigned char>(14, 0x5A));
        EXPECT_EQ(bytes_at(after.dib, 14, alone.dib.size()), alone.dib);
    }
}

TEST(WriteDIB, ShortHeader) {
    Image image{"short", 2, 1, 8, 1, VRX_ColorType::gray(), {}, {7, 9}};
    VRX_WriteDIBOption option;
    option.info_header_size = 12;
    const auto w = write_dib(image, option);
    ASSERT_TRUE(w.engine_made);
    EXPECT_EQ(w.header_bytes, 12u + 256u * 3u);
    EXPECT_EQ(u32(w.dib, 0), 12u);
    EXPECT_EQ(u16(w.dib, 4), 2u);
    EXPECT_EQ(u16(w.dib, 6), 1u);
    EXPECT_EQ(u16(w.dib, 8), 1u);
    EXPECT_EQ(u16(w.dib, 10), 8u);
    EXPECT_EQ(bytes_at(w.dib, 12 + 3 * 255, 3), (std::vector<unsigned char>{255, 255, 255}));
    EXPECT_EQ(bytes_at(w.dib, w.header_bytes, 4), (std::vector<unsigned char>{7, 9, 0, 0}));
}

TEST(WriteDIB, OptionResolutions) {
    const VRX_WriteDIBOption option(0, 300, 72.5, 0);
    EXPECT_EQ(option.x_resolution, 11811);
    EXPECT_EQ(option.y_resolution, 2854);
    EXPECT_EQ(option.info_header_size, 40u);
    EXPECT_EQ(VRX_WriteDIBOption::pixels_per_metre(1e300), INT32_MAX);
}

struct Refusal {
    const char* name;
    Image image;
    uint32_t bits_per_pixel;
    uint32_t compression;
    uint32_t header_size;
    uint32_t code;
    const char* function;
};

TEST(WriteDIB, RefusedImagesAndOptions) {
    const Image gray{"gray", 4, 2, 8, 1, VRX_ColorType::gray(), {}, std::vector<unsigned char>(8)};
    const Image rgb{"rgb", 4, 2, 8, 3, VRX_ColorType::s_rgb(), {}, std::vector<unsigned char>(24)};
    const Image wide{"wide", 32768, 1, 8, 1, VRX_ColorType::gray(), {}, std::vector<unsigned char>(32768)};
    const Image gray16{"gray16", 2, 1, 16, 1, VRX_ColorType::gray(), {}, std::vector<unsigned char>(4)};
    const Image ycbcr{"ycbcr", 2, 1, 8, 3, VRX_ColorType::ycbcr(), {}, std::vector<unsigned char>(6)};
    const char* option_text = "VRX_WriteDIBRawEngine::is_supported_option()";
    const Refusal refusals[] = {
        {"depth 4", gray, 4, 0, 40, VRX_ERROR_UNSUPPORTED, option_text},
        {"compression 1", gray, 0, 1, 40, VRX_ERROR_UNSUPPORTED, "VRX_WriteDIB::engine()"},
        {"compression 3", gray, 0, 3, 40, VRX_ERROR_UNSUPPORTED, "VRX_WriteDIB::engine()"},
        {"depth 24 of grey", gray, 24, 0, 40, VRX_ERROR_UNSUPPORTED, option_text},
        {"depth 8 of colour", rgb, 8, 0, 40, VRX_ERROR_UNSUPPORTED, option_text},
        {"depth 1 of bytes", gray, 1, 0, 40, VRX_ERROR_UNSUPPORTED, option_text},
        {"depth 7", gray, 7, 0, 40, VRX_ERROR_ARGUMENT, option_text},
        {"depth 64", rgb, 64, 0, 40, VRX_ERROR_ARGUMENT, option_text},
        {"header size 0", gray, 0, 0, 0, VRX_ERROR_UNSUPPORTED, option_text},
        {"header size 108", gray, 0, 0, 108, VRX_ERROR_UNSUPPORTED, option_text},
        {"short header too wide", wide, 0, 0, 12, VRX_ERROR_ARGUMENT, option_text},
        {"16-bit samples", gray16, 0, 0, 40, VRX_ERROR_UNSUPPORTED, "VRX_WriteDIBRawEngine::initiate()"},
        {"YCbCr", ycbcr, 0, 0, 40, VRX_ERROR_UNSUPPORTED, "VRX_WriteDIBRawEngine::initiate()"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        VRX_WriteDIBOption option(r.compression, 0, 0, r.bits_per_pixel);
        option.info_header_size = r.header_size;
        const auto w = write_dib(r.image, option, 4096);
        EXPECT_FALSE(w.engine_made);
        EXPECT_TRUE(is_status(w.status, r.code, r.function)) << w.status.function;
    }
}

TEST(WriteDIB, NullInputIsRefused) {
    VRX_DefaultManager manager;
    unsigned char memory[8];
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, memory, 8);
    EXPECT_EQ(VRX_WriteDIB(&manager).engine(nullptr, storage, VRX_WriteDIBOption()), nullptr);
    EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_ARGUMENT, "VRX_WriteDIB::engine()"));
    storage->destroy();
}

TEST(WriteDIB, SizesOfImpossibleBitmapsAreZero) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    gray(header, 4, 4, 16);
    EXPECT_EQ(VRX_WriteDIB::total_bytes(nullptr, VRX_WriteDIBOption()), 0u);
    EXPECT_EQ(VRX_WriteDIB::header_bytes(&header, VRX_WriteDIBOption()), 0u);
    EXPECT_EQ(VRX_WriteDIB::total_bytes(&header, VRX_WriteDIBOption()), 0u);
    header.bits = 8;
    EXPECT_EQ(VRX_WriteDIB::total_bytes(&header, VRX_WriteDIBOption()), 40u + 1024u + 4u * 4u);
    header.width = 0x7FFFFFFF;
    header.height = 2;
    EXPECT_EQ(VRX_WriteDIB::total_bytes(&header, VRX_WriteDIBOption()), 0u);
}

TEST(WriteDIB, StorageTooSmall) {
    Image image{"gray", 3, 2, 8, 1, VRX_ColorType::gray(), {}, {1, 2, 3, 4, 5, 6}};
    // No room for the last zero row's last byte.
    auto w = write_dib(image, VRX_WriteDIBOption(), -1);
    EXPECT_FALSE(w.engine_made);
    EXPECT_TRUE(is_status(w.status, VRX_ERROR_IO, "VRX_WriteDIBRawEngine::initiate()")) << w.status.function;
    // Room for part of the ninth colour-table entry only.
    w = write_dib(image, VRX_WriteDIBOption(), -1001);
    EXPECT_FALSE(w.engine_made);
    EXPECT_TRUE(is_status(w.status, VRX_ERROR_IO, "VRX_WriteDIBRawEngine::write_palette()")) << w.status.function;
    // No room at all after the info header: the storage reports it first.
    w = write_dib(image, VRX_WriteDIBOption(), -1032);
    EXPECT_FALSE(w.engine_made);
    EXPECT_TRUE(is_status(w.status, VRX_ERROR_IO, "VRX_ByteArrayOutputStorage::write()")) << w.status.function;
}

// A source that gives fewer lines than its header promises.
class ShortSourceEngine : public VRX_GenerateEngine {
public:
    explicit ShortSourceEngine(VRX_Manager* manager) : VRX_GenerateEngine(manager) {}
    bool initiate(const VRX_Header* header, VRX_DstBuffer* dst, uint32_t lines) {
        lines_ = lines;
        return VRX_GenerateEngine::initiate(header, dst) && header_.line_bytes(bytes_) &&
               dst->block_bytes(bytes_);
    }
    bool execute() override {
        if (done_ >= lines_) return false;
        unsigned char* out = dst_buffer_->get();
        if (!out) return false;
        std::memset(out, static_cast<int>(done_ + 1), bytes_);
        ++done_;
        return dst_buffer_->release(bytes_);
    }

private:
    uint32_t lines_ = 0;
    uint32_t done_ = 0;
    uint32_t bytes_ = 0;
};

class ShortSource : public VRX_EngineCreator {
public:
    using VRX_EngineCreator::VRX_EngineCreator;
    VRX_Engine* engine(const VRX_Header* header, uint32_t lines) {
        VRX_DstBuffer* dst = manager_->new_dst_buffer();
        return make_engine<ShortSourceEngine>(
            nullptr, dst, [&](ShortSourceEngine* e) { return e->initiate(header, dst, lines); });
    }
};

// Every missing row is a data error, the last one as well.
TEST(WriteDIB, SourceEndingEarlyIsADataError) {
    for (uint32_t given : {0u, 2u, 3u}) {
        SCOPED_TRACE(given);
        VRX_DefaultManager manager;
        VRX_Header header(&manager);
        gray(header, 2, 4);
        std::vector<unsigned char> dib(VRX_WriteDIB::total_bytes(&header, VRX_WriteDIBOption()));
        auto* storage = VRX_ByteArrayOutputStorage::create(&manager, dib.data(), static_cast<int32_t>(dib.size()));
        VRX_Engine* source = ShortSource(&manager).engine(&header, given);
        VRX_Engine* writer = VRX_WriteDIB(&manager).engine(source, storage, VRX_WriteDIBOption());
        storage->destroy();
        ASSERT_NE(writer, nullptr);
        uint32_t calls = 0;
        while (writer->execute()) ++calls;
        EXPECT_EQ(calls, given);
        EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_DATA, "VRX_WriteDIBRawEngine::execute()"));
        // The rows written are in place, from the top image line down.
        if (given == 3) {
            EXPECT_EQ(dib[1064 + 4], 3);
        }
        manager.execute();
    }
}

TEST(WriteDIB, WriterRefusesAClosedStorageAndAMissingSource) {
    VRX_DefaultManager manager;
    VRX_Header header(&manager);
    gray(header, 1, 1);
    unsigned char memory[2048];
    auto* storage = VRX_ByteArrayOutputStorage::create(&manager, memory, 2048);
    VRX_WriteDIBRaw raw(&manager);
    EXPECT_EQ(raw.engine(&header, nullptr, storage, VRX_WriteDIBOption()), nullptr);
    EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_ARGUMENT, "VRX_BufferInputEngine::initiate()"));
    manager.reset();
    storage->terminate();
    EXPECT_EQ(raw.engine(&header, nullptr, storage, VRX_WriteDIBOption()), nullptr);
    EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_ARGUMENT, "VRX_StorageOutputEngine::initiate()"));
    manager.reset();
    VRX_BitmapInfoHeader info(&manager, 40, 1, 1, 8, 0, 0, 0, 0);
    EXPECT_FALSE(info.write(storage));
    EXPECT_TRUE(iotest::has_status(manager, VRX_ERROR_ARGUMENT, "VRX_BitmapInfoHeader::write()"));
    storage->destroy();
}

// ---- read back by an independent reader ----

bool pillow_available() {
    return ::access("/usr/bin/python3", X_OK) == 0 &&
           std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
}

// The bitmap as a file: the 14-byte file header, then the packed bitmap.
std::vector<unsigned char> as_file(const dibtest::Written& w) {
    const uint32_t size = 14 + static_cast<uint32_t>(w.dib.size());
    const uint32_t offset = 14 + w.header_bytes;
    std::vector<unsigned char> file = {'B', 'M'};
    for (uint32_t v : {size, 0u, offset})
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<unsigned char>(v >> (8 * i)));
    file.insert(file.end(), w.dib.begin(), w.dib.end());
    return file;
}

TEST(WriteDIBReadBack, PillowReadsThePixels) {
    if (!pillow_available()) GTEST_SKIP() << "Pillow under /usr/bin/python3 is not installed";
    std::mt19937 random(21);
    struct Case {
        Image image;
        uint32_t bits_per_pixel;
        uint32_t header_size;
    };
    const auto* gray = VRX_ColorType::gray();
    const auto* reverse = VRX_ColorType::gray_reverse();
    const auto* rgb = VRX_ColorType::s_rgb();
    std::vector<Case> cases = {
        {dibtest::make_image("1-bit grey, 13 wide", 13, 5, 1, 1, gray, 0, random), 0, 40},
        {dibtest::make_image("1-bit reverse, 10 wide", 10, 3, 1, 1, reverse, 0, random), 1, 40},
        {dibtest::make_image("1-bit palette, 7 wide", 7, 4, 1, 1, rgb, 2, random), 0, 40},
        {dibtest::make_image("1-bit grey, 32 wide", 32, 2, 1, 1, gray, 0, random), 0, 40},
        {dibtest::make_image("8-bit grey, 5 wide", 5, 3, 8, 1, gray, 0, random), 0, 40},
        {dibtest::make_image("8-bit grey, 1 wide", 1, 7, 8, 1, gray, 0, random), 8, 40},
        {dibtest::make_image("8-bit grey, short header", 6, 2, 8, 1, gray, 0, random), 0, 12},
        {dibtest::make_image("8-bit palette, 9 wide", 9, 4, 8, 1, rgb, 200, random), 0, 40},
        {dibtest::make_image("8-bit palette, 256", 3, 3, 8, 1, rgb, 256, random), 8, 40},
        {dibtest::make_image("24 bits, 5 wide", 5, 3, 8, 3, rgb, 0, random), 0, 40},
        {dibtest::make_image("24 bits, short header", 3, 2, 8, 3, rgb, 0, random), 24, 12},
        {dibtest::make_image("32 bits, 3 wide", 3, 4, 8, 3, rgb, 0, random), 32, 40},
        {dibtest::make_image("16 bits, 7 wide", 7, 2, 8, 3, rgb, 0, random), 16, 40},
    };
    std::vector<std::unique_ptr<iotest::TempFile>> files;
    std::string command = "/usr/bin/python3 " TEST_SOURCE_DIR "/tests/vrx/core/dib/bmp_pixels.py";
    for (const Case& c : cases) {
        VRX_WriteDIBOption option(0, 96, 96, c.bits_per_pixel);
        option.info_header_size = c.header_size;
        const auto w = write_dib(c.image, option);
        ASSERT_TRUE(w.engine_made) << c.image.name << ": " << w.status.function;
        ASSERT_EQ(w.status.code, 0u) << c.image.name << ": " << w.status.function;
        files.push_back(std::make_unique<iotest::TempFile>(as_file(w)));
        command += " ";
        command += files.back()->path();
    }
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
    ASSERT_EQ(::pclose(pipe), 0) << output;
    std::istringstream lines(output);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image.name);
        uint32_t width = 0, height = 0;
        std::string mode, hex;
        ASSERT_TRUE(lines >> width >> height >> mode >> hex);
        ASSERT_EQ(width, c.image.width);
        ASSERT_EQ(height, c.image.height);
        ASSERT_EQ(hex.size(), size_t{6} * width * height);
        const bool five_bits = c.bits_per_pixel == 16;
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                unsigned char expected[3];
                c.image.rgb(x, y, expected);
                for (int k = 0; k < 3; ++k) {
                    const size_t at = 2 * (3 * (size_t{y} * width + x) + static_cast<size_t>(k));
                    const auto got = static_cast<unsigned>(std::stoul(hex.substr(at, 2), nullptr, 16));
                    const unsigned want = expected[k];
                    if (five_bits)
                        ASSERT_EQ(got >> 3, want >> 3) << "pixel " << x << "," << y;
                    else
                        ASSERT_EQ(got, want) << "pixel " << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
