// The render program: its options, its exit codes and messages as a process,
// a DICOMDIR image rendered as its file, and overlays, reference lines and
// annotations that change nothing outside what they draw.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numbers>
#include <sstream>

#include "Source/zebstringutil.h"
#include "tests/Source/render_test_support.h"
#include "tests/vrx/extension/dicom/dicom_writer.h"

namespace {

using namespace rendertest;
using platform::Bitmap;
using platform::Rect;

TEST(RenderOptions, Refusals) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    // clang-format off
    const Case cases[] = {
        {{}, "give INPUT and OUTPUT.bmp"},
        {{"in"}, "give INPUT and OUTPUT.bmp"},
        {{"in", "out", "more"}, "give INPUT and OUTPUT.bmp"},
        {{"--list"}, "--list takes one DICOMDIR"},
        {{"--list", "a", "b"}, "--list takes one DICOMDIR"},
        {{"--bogus", "in", "out"}, "unknown option --bogus"},
        {{"in", "out", "--zoom"}, "--zoom needs a decimal or a fraction from 1/64 to 64"},
        {{"--zoom", "1/0", "in", "out"}, "bad value '1/0' for --zoom"},
        {{"--zoom", "1/65", "in", "out"}, "bad value '1/65' for --zoom"},
        {{"--zoom", "1/2/3", "in", "out"}, "bad value '1/2/3' for --zoom"},
        {{"--zoom", "0", "in", "out"}, "bad value '0' for --zoom"},
        {{"--zoom", "65", "in", "out"}, "bad value '65' for --zoom"},
        {{"--zoom", "2x", "in", "out"}, "bad value '2x' for --zoom"},
        {{"--zoom", "nan", "in", "out"}, "bad value 'nan' for --zoom"},
        {{"--window", "40", "in", "out"}, "bad value '40' for --window"},
        {{"--window", "40,0.5", "in", "out"}, "expected CENTER,WIDTH with a width of at least 1"},
        {{"--window", "40,400,1", "in", "out"}, "bad value '40,400,1' for --window"},
        {{"--size", "0x10", "in", "out"}, "bad value '0x10' for --size"},
        {{"--size", "10", "in", "out"}, "bad value '10' for --size"},
        {{"--size", "16384x8192", "in", "out"},
         "a tile of 16384x8192 needs 1.12 GiB of buffers, over the budget of 1 GiB"},
        {{"--size", "2147483647x2147483647", "in", "out"}, "a tile of 2147483647x2147483647 needs"},
        {{"--frame", "0", "in", "out"}, "bad value '0' for --frame"},
        {{"--image", "1.5", "in", "out"}, "bad value '1.5' for --image"},
        {{"--image", "99999999999", "in", "out"}, "bad value '99999999999' for --image"},
        {{"--measure", "1,2,3", "in", "out"}, "bad value '1,2,3' for --measure"},
        {{"--measure", "1,2,3,4,5", "in", "out"}, "bad value '1,2,3,4,5' for --measure"},
        {{"--text", "1,2", "in", "out"}, "bad value '1,2' for --text"},
        {{"--probe", "a,b", "in", "out"}, "bad value 'a,b' for --probe"},
        {{"--probe", "1,2", "--probe=3,4", "in", "out"},
         "--probe may be given only once: a tile shows one pixel value"},
        {{"--arrow", "1,2,3", "in", "out"}, "bad value '1,2,3' for --arrow"},
        {{"--list", "--frame", "2", "dir"}, "--frame does not apply to --list"},
        {{"--image", "2", "--list", "dir"}, "--image does not apply to --list"},
        {{"--mode", "3", "in", "out"}, "bad value '3' for --mode"},
        {{"--mode", "128", "in", "out"}, "bad value '128' for --mode"},
        {{"--no-annotations=1", "in", "out"}, "--no-annotations takes no value"},
        {{"--reference-series", "0", "in", "out"}, "bad value '0' for --reference-series"},
        {{"--reference", "a", "--reference-series", "1", "in", "out"},
         "give either --reference-series or --reference"},
        {{"--reference", "a", "--reference", "b", "--reference", "c", "--reference", "d", "in",
          "out"}, "--reference may be given at most 3 times: the first, last and current image"},
    };
    // clang-format on
    for (const Case& c : cases) {
        ZEBRenderOptions options;
        std::string error;
        EXPECT_FALSE(ParseRenderOptions(c.args, options, error)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(RenderOptions, Values) {
    ZEBRenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions({"--window=-600,1500.5",
                                    "--zoom",
                                    "0.5",
                                    "--size",
                                    "300x200",
                                    "--measure",
                                    "1,2,-3,4",
                                    "--measure=5,6,7,8",
                                    "--arrow",
                                    "9,8,7,6",
                                    "--text",
                                    "5,6,a,b\\nc",
                                    "--probe",
                                    "7,8",
                                    "--mode",
                                    "8",
                                    "--no-annotations",
                                    "--image",
                                    "3",
                                    "--frame",
                                    "2",
                                    "--reference",
                                    "r.dcm",
                                    "--",
                                    "-in",
                                    "out.bmp"},
                                   o, error))
        << error;
    EXPECT_EQ(o.windowCenter, -600.0);
    EXPECT_EQ(o.windowWidth, 1500.5);
    EXPECT_EQ(o.zoom, 0.5);
    EXPECT_EQ(o.tileWidth, 300);
    EXPECT_EQ(o.tileHeight, 200);
    ASSERT_EQ(o.measurements.size(), 2u);
    EXPECT_EQ(o.measurements[0].to, (platform::Point{-3, 4}));
    ASSERT_EQ(o.arrows.size(), 1u);
    EXPECT_EQ(o.arrows[0].from, (platform::Point{9, 8}));
    ASSERT_EQ(o.texts.size(), 1u);
    EXPECT_EQ(o.texts[0].text, u"a,b\nc");
    EXPECT_EQ(o.probe, (platform::Point{7, 8}));
    EXPECT_EQ(o.displayMode, 8);
    EXPECT_FALSE(o.annotations);
    EXPECT_EQ(o.image, 3);
    EXPECT_EQ(o.frame, 2);
    EXPECT_EQ(o.referenceFiles, std::vector<std::string>{"r.dcm"});
    EXPECT_EQ(o.input, "-in");
    EXPECT_EQ(o.output, "out.bmp");
    EXPECT_TRUE(o.hasImage);
    for (const auto& [zoom, value] :
         {std::pair{"3/2", 1.5}, {"1/4", 0.25}, {"1/64", 1.0 / 64}, {"0.75", 0.75}}) {
        ASSERT_TRUE(ParseRenderOptions({"--zoom", zoom, "in", "out.bmp"}, o, error)) << zoom;
        EXPECT_EQ(o.zoom, value) << zoom;
    }
    // 8192 x 8192 fits the tile budget.
    EXPECT_TRUE(ParseRenderOptions({"--size", "8192x8192", "in", "out.bmp"}, o, error)) << error;
    // --help keeps within 80 columns; its largest square tile is the budget's.
    std::istringstream help(RenderUsage());
    for (std::string line; std::getline(help, line);) EXPECT_LE(line.size(), 80u) << line;
    EXPECT_NE(RenderUsage().find("a square of 10922x10922"), std::string::npos);
    EXPECT_TRUE(ZEBRenderOptions::CheckTileSize(10922, 10922).empty());
    EXPECT_FALSE(ZEBRenderOptions::CheckTileSize(10923, 10923).empty());
    for (const char* flag : {"--help", "-h"}) {
        EXPECT_TRUE(ParseRenderOptions({flag}, o, error));
        EXPECT_TRUE(o.help);
    }
    EXPECT_TRUE(ParseRenderOptions({"--version"}, o, error));
    EXPECT_TRUE(o.version);
}

// A sagittal plane through the middle of CT_small's axial slice.
std::string sagittal_reference() {
    dicomtest::Writer w;
    w.text(0x0020, 0x0013, "IS", "7");
    w.text(0x0020, 0x0032, "DS", "-116\\-179\\0");
    w.text(0x0020, 0x0037, "DS", "0\\1\\0\\0\\0\\-1");
    w.u16(0x0028, 0x0010, 128);
    w.u16(0x0028, 0x0011, 128);
    w.text(0x0028, 0x0030, "DS", "2\\2");
    return write_file("sagittal.dcm", w.bytes());
}

// The width of a bitmap file's bytes; 0 when they are not one.
int32_t bitmap_width(const std::string& bytes) {
    const std::string path =
        write_file("bitmap_bytes.bmp", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return read_bitmap(path).width;
}

// A JPEG baseline DICOM file of the restart-interval fixture whose second
// restart marker carries a wrong number.
std::string damaged_jpeg() {
    std::vector<uint8_t> jpeg =
        read_file(std::string(TEST_DATA_DIR) + "/jpegdec/grey_restart_rows.jpg");
    int restarts = 0;
    uint32_t height = 0, width = 0;
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] != 0xFF) continue;
        if (jpeg[i + 1] == 0xC0) {
            height = jpeg[i + 5] << 8 | jpeg[i + 6];
            width = jpeg[i + 7] << 8 | jpeg[i + 8];
        }
        if (jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7 && ++restarts == 2) jpeg[i + 1] = 0xD5;
    }
    if (jpeg.size() % 2) jpeg.push_back(0);
    dicomtest::Writer w("1.2.840.10008.1.2.4.50");
    w.image(height, width, 8, 1, "MONOCHROME2");
    w.encapsulated({0}, {jpeg});
    return write_file("damaged_jpeg.dcm", w.bytes());
}

// A valid RLE file of 1-bit samples: 8 x 2 pixels, all set.
std::string one_bit_rle() {
    std::vector<uint8_t> frame(64, 0);
    frame[0] = 1;
    frame[4] = 64;
    frame.insert(frame.end(), {0xFF, 0xFF});  // the byte 0xFF twice
    dicomtest::Writer w("1.2.840.10008.1.2.5");
    w.image(2, 8, 1, 1, "MONOCHROME2");
    w.encapsulated({0}, {frame});
    return write_file("one_bit_rle.dcm", w.bytes());
}

// A file in DICOM's progressive JPEG transfer syntax.
std::string progressive_syntax() {
    dicomtest::Writer w("1.2.840.10008.1.2.4.55");
    w.image(8, 8, 8, 1, "MONOCHROME2");
    w.encapsulated({0}, {{0xFF, 0xD8, 0xFF, 0xD9}});
    return write_file("progressive_syntax.dcm", w.bytes());
}

// A file of 2 x 2 float samples (Float Pixel Data), or one whose Bits
// Allocated is 0.
std::string float_pixels() {
    dicomtest::Writer w;
    w.image(2, 2, 32, 1, "MONOCHROME2");
    w.element(0x7FE0, 0x0008, "OF", dicomtest::Bytes(16));
    return write_file("float_pixels.dcm", w.bytes());
}
std::string no_bits() {
    dicomtest::Writer w;
    w.image(8, 8, 0, 1, "MONOCHROME2");
    w.pixel_data(dicomtest::Bytes(128));
    return write_file("no_bits.dcm", w.bytes());
}

// Lines the program prints show control characters and bytes that are not
// UTF-8 as escapes; printable text, UTF-8 included, as it is.
TEST(RenderMessages, TextFromFilesIsShownNeverObeyed) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "plain \xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
        {std::string("a\0b\tc\nd\re", 9), "a\\0b\\tc\\nd\\re"},
        {"\x1b[2J\x7f", "\\x1b[2J\\x7f"},
        {"\xc2\x85\xc2\x9b\xc2\xa0", "\\u0085\\u009b\xc2\xa0"},  // C1, then no-break space
        // A stray continuation, an overlong '/', a surrogate, a cut sequence.
        {"\x80\xc0\xaf\xed\xa0\x80\xe2\x82", "\\x80\\xc0\\xaf\\xed\\xa0\\x80\\xe2\\x82"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(ShownText(text), shown);
}

// A file whose transfer syntax UID holds a line break and the terminal's
// clear-screen sequence; one whose Rows is 0.
std::string control_uid() {
    dicomtest::Writer w("1.2.3\n\x1b[2J");
    w.image(8, 8, 8, 1, "MONOCHROME2");
    w.pixel_data(dicomtest::Bytes(64));
    return write_file("control_uid.dcm", w.bytes());
}
std::string no_rows() {
    dicomtest::Writer w;
    w.image(0, 640, 8, 1, "MONOCHROME2");
    w.pixel_data(dicomtest::Bytes(640));
    return write_file("no_rows.dcm", w.bytes());
}

TEST(RenderProcess, ExitCodesMessagesAndOutputs) {
    if (access(kPydicomFiles, R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const std::string ct = pydicom_file("CT_small.dcm");
    const std::string output = temp_path("process_out.bmp");
    const std::string folder = temp_path("process_folder");
    const std::string readOnly = temp_path("process_read_only");
    // Files the render reads, in a folder of the test's own: CT_small and a
    // DICOMDIR with its files (one of them gone).
    const std::string input = temp_path("process_input.dcm"), media = temp_path("process_media");
    ASSERT_EQ(std::system(("rm -rf " + media + " " + readOnly + " && mkdir -p " + folder + " " +
                           readOnly + " && chmod 555 " + readOnly + " && cp " + ct + " " + input +
                           " && cp -r " + pydicom_file("dicomdirtests") + " " + media)
                              .c_str()),
              0);
    const std::string dicomdir = media + "/DICOMDIR";
    // The DICOMDIR with the length of its (0002,0001) changed.
    std::vector<uint8_t> bytes = read_file(dicomdir);
    const uint8_t element[] = {0x02, 0x00, 0x01, 0x00, 'O', 'B'};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(element), std::end(element));
    ASSERT_NE(at, bytes.end());
    at[8] ^= 0x10;
    const std::string damagedDir = write_file("process_damaged_dicomdir", bytes);
    std::vector<std::string> images;
    std::istringstream lines(launch("--list " + dicomdir).out);
    for (std::string line; std::getline(lines, line);)
        images.push_back(line.substr(line.rfind('\t') + 1));
    ASSERT_GE(images.size(), 2u);
    std::remove(images[1].c_str());
    const std::string reference = sagittal_reference();
    const std::string link = temp_path("process_link.bmp"),
                      target = temp_path("process_target.bmp");
    const std::string fifo = temp_path("process_fifo"), copy = temp_path("process_fifo_copy");
    // Rows about permissions run the program as an unprivileged user: as
    // root, nobody through setpriv (without it they are skipped).
    const bool root = ::geteuid() == 0;
    const bool canDropRoot = access("/usr/bin/setpriv", X_OK) == 0;
    // That user may not reach the build tree (a checkout in root's home), so
    // it reads the tests' font configuration and cache from copies in the
    // test's folder, the cache folder named anew in the configuration.
    std::string unprivileged = root && canDropRoot ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    if (const char* conf = std::getenv("FONTCONFIG_FILE"); conf && !unprivileged.empty()) {
        const std::string cache = std::filesystem::path(conf).parent_path() / "cache";
        const std::string fonts = temp_path("process_fonts");
        ASSERT_EQ(std::system(("rm -rf " + fonts + " && mkdir " + fonts + " && cp -R " + cache + " " + fonts +
                               "/cache && sed 's|<cachedir>" + cache + "</cachedir>|<cachedir>" + fonts +
                               "/cache</cachedir>|' " + conf + " >" + fonts + "/fonts.conf && grep -q '<cachedir>" +
                               fonts + "/cache</cachedir>' " + fonts + "/fonts.conf && chmod -R a+rX " + fonts)
                                  .c_str()),
                  0);
        unprivileged = "FONTCONFIG_FILE=" + fonts + "/fonts.conf " + unprivileged;
    }
    // A read-only file in a folder anyone may write, and a writable file in
    // a read-only folder.
    const std::string shared = temp_path("process_shared"), locked = shared + "/locked.bmp";
    const std::string sealed = temp_path("process_sealed"), inPlace = sealed + "/in_place.bmp";
    ASSERT_EQ(std::system(("mkdir -p " + shared + " && chmod 777 " + shared).c_str()), 0);
    const std::string rgb = pydicom_file("SC_rgb_rle.dcm"), floats = float_pixels(), noBits = no_bits();
    const std::string notDicom = pydicom_file("README.txt");
    const std::string j2k = pydicom_file("JPEG2000.dcm"), damaged = damaged_jpeg();
    const std::string oneBit = one_bit_rle(), progressive = progressive_syntax();
    const std::string controlUid = control_uid(), noRows = no_rows();
    struct Case {
        std::string args;
        int code;
        std::string err;          // the start of the one stderr line; empty for none
        int32_t width;            // of the bitmap written, 0 for none (OUTPUT keeps what it held)
        std::string at = {};      // where the bitmap goes when not at OUTPUT; "-" standard output
        std::string before = {};  // shell commands run first
        bool unprivileged = false;  // run as an unprivileged user
        std::string stdoutTo = {};  // standard output's redirection, when not to a file
    };
    const std::string in = input + " ";
    // clang-format off
    const Case cases[] = {
        // Usage and input failures: one line, nothing written.
        {"--bogus " + in + output, 2, "zrm-render: unknown option --bogus (see --help)", 0},
        {"--mode 3 " + in + output, 2, "zrm-render: bad value '3' for --mode", 0},
        {"--image 2 " + in + output, 2, "zrm-render: --image needs a DICOMDIR as INPUT (see --help)", 0},
        // Damaged input is told by its reading error, whatever the options.
        {"--image 1 " + damagedDir + " " + output, 1, "zrm-render: " + damagedDir +
         ": corrupt or unreadable data set (status 0x80400000, VRX_DICOMInfoInternal::decode_start())", 0},
        {"--list " + damagedDir, 1, "zrm-render: " + damagedDir + ": corrupt or unreadable data set", 0},
        {"--probe 5,5 " + noRows + " " + output, 1, "zrm-render: " + noRows + ": Rows (0028,0010) is 0: the image has no pixels", 0},
        // Text from a file is shown, never obeyed.
        {controlUid + " " + output, 1, "zrm-render: " + controlUid +
         ": transfer syntax 1.2.3\\n\\x1b[2J is not supported (status 0x81000000, ", 0},
        {"--probe 1,2 --probe 3,4 " + in + output, 2, "zrm-render: --probe may be given only once", 0},
        {"--list --frame 2 " + dicomdir, 2, "zrm-render: --frame does not apply to --list", 0},
        {"--size 16384x16384 " + in + output, 2,
         "zrm-render: a tile of 16384x16384 needs 2.25 GiB of buffers, over the budget of 1 GiB", 0},
        {"--zoom 64 " + pydicom_file("liver_1frame.dcm") + " " + output, 2,
         "zrm-render: a tile of 32768x32768 needs 9.00 GiB of buffers, over the budget of 1 GiB", 0},
        // Overlay points off the image's pixels.
        {"--measure 10,10,600,600 " + in + output, 2, "zrm-render: --measure 10,10,600,600: the point "
         "600,600 is outside the image of 128 x 128 pixels (columns 0 to 127, rows 0 to 127)", 0},
        {"--probe 200,5 " + in + output, 2, "zrm-render: --probe 200,5: the point 200,5 is outside", 0},
        {"--probe -1,2 " + in + output, 2, "zrm-render: --probe -1,2: the point -1,2 is outside", 0},
        {"--arrow 300,300,10,10 " + in + output, 2, "zrm-render: --arrow 300,300,10,10: the point 300,300 is", 0},
        {"--text 5,900,x " + in + output, 2, "zrm-render: --text 5,900,...: the point 5,900 is outside", 0},
        {"/nonexistent.dcm " + output, 1,
         "zrm-render: /nonexistent.dcm: cannot open: No such file or directory", 0},
        {pydicom_file("README.txt") + " " + output, 1,
         "zrm-render: " + pydicom_file("README.txt") + ": not a DICOM file", 0},
        {folder + " " + output, 1, "zrm-render: " + folder + ": is a folder", 0},
        {"--frame 2 " + in + output, 1,
         "zrm-render: " + input + ": frame 2 is out of range (the file has 1)", 0},
        // Causes in words first.
        {j2k + " " + output, 1, "zrm-render: " + j2k +
         ": JPEG 2000 Image Compression (1.2.840.10008.1.2.4.91) is not supported (status 0x81000000, ", 0},
        {progressive + " " + output, 1, "zrm-render: " + progressive +
         ": JPEG Full Progression, Non-Hierarchical (Process 10 and 12) (1.2.840.10008.1.2.4.55) is not supported", 0},
        {pydicom_file("JPEG-lossy.dcm") + " " + output, 1, "zrm-render: " + pydicom_file("JPEG-lossy.dcm") +
         ": 12-bit DCT JPEG (SOF1, 12-bit precision) is not supported in frame 1 (status 0x81000000, "
         "VRX_DecodeJPEGEngine::initiate())", 0},
        {oneBit + " " + output, 1, "zrm-render: " + oneBit +
         ": unsupported compression or coding process in frame 1 (status 0x81000000, VRX_ReadDICOMRLESegment::engine())", 0},
        {"--reference /nonexistent/ref.dcm " + in + output, 1,
         "zrm-render: /nonexistent/ref.dcm: reference image: missing file", 0},
        {"--reference " + notDicom + " " + in + output, 1, "zrm-render: " + notDicom +
         ": reference image: not a DICOM file (no \"DICM\" at offset 128)", 0},
        {"--reference-series 99 " + dicomdir + " " + output, 1, "zrm-render: " + dicomdir +
         ": reference series 99 is out of range (the directory has 13)", 0},
        {floats + " " + output, 1, "zrm-render: " + floats + ": Float Pixel Data (7FE0,0008) is not "
         "supported (status 0x81000000, ZEBVRXHelper::DecodeFrame())", 0},
        {noBits + " " + output, 1, "zrm-render: " + noBits + ": Bits Allocated (0028,0100) is 0: the "
         "image has no pixels (status 0x80400000, ZEBVRXHelper::DecodeFrame())", 0},
        {"--window 40,400 " + rgb + " " + output, 0, "zrm-render: " + rgb +
         ": warning: --window is not used: the window applies to monochrome images", 100},
        {"--image 2 " + dicomdir + " " + output, 1,
         "zrm-render: " + dicomdir + ": image 2: missing file " + images[1], 0},
        {damaged + " " + output, 0,
         "zrm-render: " + damaged + ": frame 1: warning: damaged JPEG data: what could not be decoded is "
         "shown mid-grey (status 0x40400000", 61},
        // The output: a name, a kind of file and never a file the render reads.
        {in + temp_path("process_out.txt"), 2, "zrm-render: " + temp_path("process_out.txt") +
         ": only BMP files are written", 0},
        {in + input, 2, "zrm-render: " + input + ": only BMP files are written", 0},
        {in + link, 2, "zrm-render: OUTPUT is the input file (" + input + ")", 0, "", "ln -sfn " + input + " " + link + "; "},
        {dicomdir + " " + link, 2, "zrm-render: OUTPUT is the input file", 0, "", "ln -sfn " + dicomdir + " " + link + "; "},
        {"--image 1 " + dicomdir + " " + link, 2, "zrm-render: OUTPUT is a file the render reads (" + images[0] + ")", 0, "",
         "ln -sfn " + images[0] + " " + link + "; "},
        {"--reference " + reference + " " + in + link, 2, "zrm-render: OUTPUT is a file the render reads (" + reference + ")", 0, "",
         "ln -f " + reference + " " + link + "; "},
        {in + folder + "/missing/out.bmp", 3,
         "zrm-render: " + folder + "/missing/out.bmp: cannot create the output: No such file or directory", 0},
        // A new name's folder is looked at when the file is made: after INPUT.
        {"/nonexistent.dcm " + folder + "/missing/out.bmp", 1,
         "zrm-render: /nonexistent.dcm: cannot open: No such file or directory", 0},
        {in + folder, 3, "zrm-render: " + folder + ": cannot write the output: Is a directory", 0},
        {in + readOnly + "/out.bmp", 3,
         "zrm-render: " + readOnly + "/out.bmp: cannot create the output: Permission denied", 0, "", "", true},
        {in + locked, 3, "zrm-render: " + locked + ": cannot write the output: Permission denied", 0, "",
         "echo keep >" + locked + "; chmod 444 " + locked + "; ", true},
        {in + "/dev/full", 3, "zrm-render: /dev/full: cannot write the output: No space left on device", 0},
        // A file-size limit, and a reader that goes away: the temporary file
        // removed, what was streamed said to be cut short.
        {in + output, 3, "zrm-render: " + output + ": cannot write the output: File too large", 0, "",
         "prlimit --fsize=10000 "},
        {"--zoom 4 " + in + fifo, 3, "zrm-render: " + fifo + ": cannot write the whole output, which is "
         "cut short: Broken pipe", 0, "", "rm -f " + fifo + "; mkfifo " + fifo + "; head -c 2 " + fifo +
         " >/dev/null & "},
        // Written: a regular file, a new name, a link's target, a FIFO's
        // reader, a device, standard output.
        {"--window 40,400 --zoom 2 " + in + output, 0, "", 256},
        {"--zoom 1/2 " + in + temp_path("process_new.BMP"), 0, "", 64, temp_path("process_new.BMP"),
         "rm -f " + temp_path("process_new.BMP") + "; "},
        {"--zoom 3/2 " + in + link, 0, "", 192, target, "echo old >" + target + "; ln -sfn " + target + " " + link + "; "},
        {in + inPlace, 0, "", 128, inPlace, "mkdir -p " + sealed + "; chmod 755 " + sealed + "; echo old >" +
         inPlace + "; chmod 666 " + inPlace + "; chmod 555 " + sealed + "; ", true},
        {in + fifo, 0, "", 128, copy, "rm -f " + fifo + "; mkfifo " + fifo + "; cat " + fifo + " >" + copy + " & "},
        {"--zoom 64 " + in + "/dev/null", 0, "", 0},
        // An output the pipe holds whole is written before its reader goes.
        {"--version", 0, "", 0, "", "rm -f " + fifo + "; mkfifo " + fifo + "; head -c 3 " + fifo + " >/dev/null & ",
         false, ">" + fifo},
        {in + "-", 0, "", 128, "-"},
        // Text for standard output that cannot be written, at once or after
        // a part of it: a full device, a closed standard output, a file-size
        // limit and a pipe whose reader is gone.
        {"--help", 3, "zrm-render: standard output: cannot write the output: No space left on device", 0, "",
         "", false, ">/dev/full"},
        {"--version", 3, "zrm-render: standard output: cannot write the output: Bad file descriptor", 0, "",
         "", false, ">&-"},
        {"--list " + dicomdir, 3, "zrm-render: standard output: cannot write the whole output, which is cut "
         "short: File too large", 0, "", "prlimit --fsize=100 "},
        {"--list " + dicomdir, 3, "zrm-render: standard output: cannot write the output: Broken pipe", 0, "",
         "rm -f " + fifo + "; mkfifo " + fifo + "; true <" + fifo + " & exec 5>" + fifo + "; wait; ", false,
         ">&5"},
    };
    // clang-format on
    int skipped = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + c.args);
        if (c.unprivileged && root && !canDropRoot) {
            ++skipped;
            continue;
        }
        // A file already at the output path stays as it was unless the
        // bitmap goes there.
        std::ofstream(output) << "keep";
        const Process p = launch(c.args, c.before + (c.unprivileged ? unprivileged : ""), c.stdoutTo);
        EXPECT_EQ(p.code, c.code) << p.err;
        if (c.err.empty()) {
            EXPECT_TRUE(p.err.empty()) << p.err;
        } else {
            EXPECT_EQ(p.err.rfind(c.err, 0), 0u) << p.err;
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
        }
        if (c.at == "-") {
            EXPECT_EQ(bitmap_width(p.out), c.width);
        } else if (!c.at.empty()) {
            EXPECT_EQ(read_bitmap(c.at).width, c.width);
        }
        if (c.width && c.at.empty()) {
            EXPECT_EQ(read_bitmap(output).width, c.width);
        } else {
            EXPECT_EQ(read_file(output), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
        }
    }
    if (skipped)
        std::cout << "[  SKIPPED ] " << skipped
                  << " rows about permissions: running as root without setpriv to drop to an "
                     "unprivileged user\n";
    // A file that may not be written stays; a file in a folder that takes no
    // new file is written in place, nothing beside it.
    EXPECT_EQ(read_file(locked), (std::vector<uint8_t>{'k', 'e', 'e', 'p', '\n'}));
    EXPECT_EQ(std::system(("test \"$(ls -A " + sealed + ")\" = in_place.bmp").c_str()), 0);
    // Links stay links, devices devices; nothing is left beside an output.
    struct stat st;
    EXPECT_TRUE(::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_TRUE(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_TRUE(::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_EQ(read_file(input), read_file(ct));
    EXPECT_NE(std::system(("ls " + temp_path("process_") + "*.tmp* " + folder + "/* " + readOnly +
                           "/* >/dev/null 2>&1")
                              .c_str()),
              0);
    for (const char* flag : {"--help", "-h"}) {
        const Process help = launch(flag);
        EXPECT_EQ(help.code, 0);
        EXPECT_EQ(help.out.rfind("Usage: zrm-render", 0), 0u);
    }
    const Process version = launch("--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("zrm-render ", 0), 0u);
    std::system(("chmod 755 " + sealed + "; rm -rf " + shared + " " + sealed + " " + media + " " +
                 readOnly + " " + folder + " " + link + " " + target +
                 " " + fifo + " " + copy + " " + input + " " + output + " " +
                 temp_path("process_new.BMP"))
                    .c_str());
}

TEST(RenderProgram, DicomdirImagesRenderAsTheirFiles) {
    const std::string dir = pydicom_file("dicomdirtests/DICOMDIR");
    if (access(dir.c_str(), R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const Outcome list = run({"--list", dir});
    ASSERT_EQ(list.code, kRenderDone) << list.err;
    std::vector<std::string> paths;
    std::istringstream lines(list.out);
    for (std::string line; std::getline(lines, line);) paths.push_back(line.substr(line.rfind('\t') + 1));
    ASSERT_EQ(paths.size(), 31u);
    const std::string a = temp_path("dicomdir_image.bmp"), b = temp_path("dicomdir_file.bmp");
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        ASSERT_EQ(run({"--no-annotations", "--zoom", "1.5", "--image", std::to_string(i + 1), dir, a}).code,
                  kRenderDone);
        ASSERT_EQ(run({"--no-annotations", "--zoom", "1.5", paths[i], b}).code, kRenderDone);
        EXPECT_EQ(read_file(a), read_file(b));
    }
    // The page of a DICOMDIR image is its place in its series; of a file,
    // the frame.
    ZEBRenderScene scene;
    std::ostringstream err;
    ZEBRenderOptions o;
    std::string error;
    ASSERT_TRUE(ParseRenderOptions({"--image", "5", dir, a}, o, error));
    ASSERT_EQ(BuildRenderScene(o, scene, err), kRenderDone) << err.str();
    EXPECT_EQ(scene.tile->AnnotationState().page, 2);
    EXPECT_EQ(scene.tile->AnnotationState().pageCount, 4);
    ZEBRenderScene dose;
    ASSERT_TRUE(ParseRenderOptions({"--frame", "3", pydicom_file("rtdose.dcm"), a}, o, error));
    ASSERT_EQ(BuildRenderScene(o, dose, err), kRenderDone) << err.str();
    EXPECT_EQ(dose.tile->AnnotationState().page, 3);
    EXPECT_EQ(dose.tile->AnnotationState().pageCount, 15);

    const Outcome beyond = run({"--image", "32", dir, a});
    EXPECT_EQ(beyond.code, kRenderBadInput);
    EXPECT_NE(beyond.err.find("image 32 is out of range (the directory has 31)"), std::string::npos);
    const Outcome notDir = run({"--list", pydicom_file("CT_small.dcm")});
    EXPECT_EQ(notDir.code, kRenderBadInput);
    EXPECT_NE(notDir.err.find("not a DICOMDIR"), std::string::npos);
    std::remove(a.c_str());
    std::remove(b.c_str());
}

// The tile of the options painted; with a `grey` level above 0 the image is
// flat in that grey, so that everything drawn over it shows.
Bitmap paint(const std::vector<std::string>& args, uint8_t grey,
             const std::function<void(ZEBRenderScene&, Rect&)>& region = {},
             Rect* drawn = nullptr) {
    ZEBRenderOptions o;
    std::string error;
    EXPECT_TRUE(ParseRenderOptions(args, o, error)) << error;
    ZEBRenderScene scene;
    std::ostringstream err;
    EXPECT_EQ(BuildRenderScene(o, scene, err), kRenderDone) << err.str();
    if (!scene.tile) return Bitmap();
    if (grey)
        scene.tile->SetImagePainter([grey](platform::DeviceContext& dc, const FrameImageInfo& f,
                                           const ZEBViewTransform& v) {
            const Rect image = f.m_overlay.GetImageRect(v.offsetX, v.offsetY, v.origin, v.zoom);
            dc.fill_rect(image, {{grey, grey, grey}});
            return image.intersect(dc.clip());
        });
    scene.tile->Paint();
    if (region && drawn) region(scene, *drawn);
    return scene.tile->BackBuffer();
}

std::vector<platform::Point> changed(const Bitmap& a, const Bitmap& b) {
    std::vector<platform::Point> points;
    for (int32_t y = 0; y < a.height(); ++y)
        for (int32_t x = 0; x < a.width(); ++x)
            if (!(a.pixel(x, y) == b.pixel(x, y))) points.push_back({x, y});
    return points;
}

TEST(RenderProgram, OverlaysAndAnnotationsChangeOnlyTheirRegions) {
    if (access(kPydicomFiles, R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const std::vector<std::string> base = {"--zoom", "2", "--window", "40,400",
                                           pydicom_file("CT_small.dcm"), "out.bmp"};
    const auto box = [](platform::Point a, platform::Point b) {
        return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
    };
    const auto join = [](const Rect& a, const Rect& b) {
        return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
    };
    struct Case {
        const char* name;
        std::vector<std::string> args;
        // Where the overlay may draw, from its own record (empty: anywhere).
        std::function<void(ZEBRenderScene&, Rect&)> region;
    };
    const Case cases[] = {
        {"measurement",
         {"--measure", "10,12,90,70"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayMeasure& m = *s.frame.m_overlay.Measurements().begin()->second;
             r = join(box(m.m_start, m.m_end).inflate(6),
                      Rect{m.m_labelPos.x, m.m_labelPos.y, m.m_labelPos.x + m.m_labelWidth,
                           m.m_labelPos.y + m.m_labelHeight}.inflate(2));
         }},
        {"arrow",
         {"--arrow", "90,70,10,12"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayArrow& a = *s.frame.m_overlay.Arrows().begin()->second;
             platform::Point left, right;
             CZEBOverlayArrow::HeadPoints(a.m_start, a.m_end, left, right);
             r = join(box(a.m_start, a.m_end), box(left, right)).inflate(2);
         }},
        {"text",
         {"--text", "20,90,Two\\nlines"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayText& t = *s.frame.m_overlay.Texts().begin()->second;
             r = Rect{t.m_pos.x, t.m_pos.y, t.m_pos.x + t.m_width, t.m_pos.y + t.m_height}.inflate(2);
         }},
        {"probe",
         {"--probe", "64,64"},
         [&](ZEBRenderScene& s, Rect& r) {
             const CZEBOverlayPixelValue& p = s.frame.m_overlay.PixelValue();
             r = Rect{p.m_labelPos.x, p.m_labelPos.y, p.m_labelPos.x + p.m_labelWidth,
                      p.m_labelPos.y + p.m_labelHeight}.inflate(2);
         }},
        {"reference line",
         {"--reference", sagittal_reference()},
         [&](ZEBRenderScene& s, Rect& r) {
             const ReferenceLineRecord& l =
                 s.frame.m_overlay.ReferenceLine().m_records[0];
             EXPECT_EQ(l.shown, 1);
             const ZEBViewTransform& v = s.tile->View();
             const platform::Point a = s.frame.m_overlay.ImageToScreen(l.start, v.offsetX, v.offsetY, v.origin, v.zoom);
             const platform::Point b = s.frame.m_overlay.ImageToScreen(l.end, v.offsetX, v.offsetY, v.origin, v.zoom);
             r = box(a, b).inflate(40);  // the line and its image number beside it
         }},
        {"annotations", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> plainArgs = base, withArgs = c.args;
        withArgs.insert(withArgs.end(), base.begin(), base.end());
        if (std::string(c.name) != "annotations") {
            plainArgs.insert(plainArgs.begin(), "--no-annotations");
            withArgs.insert(withArgs.begin(), "--no-annotations");
        } else {
            plainArgs.insert(plainArgs.begin(), "--no-annotations");
        }
        Rect region{0, 0, 1 << 20, 1 << 20};
        const Bitmap plain = paint(plainArgs, 0), with = paint(withArgs, 0, c.region, &region);
        const std::vector<platform::Point> shown = changed(plain, with);
        // What they draw: the pixels they change over a dark and over a
        // light grey (a blended edge can match one grey, not both).
        std::vector<platform::Point> drawn = changed(paint(plainArgs, 64), paint(withArgs, 64));
        for (const platform::Point& p : changed(paint(plainArgs, 192), paint(withArgs, 192)))
            drawn.push_back(p);
        EXPECT_GT(shown.size(), 20u);
        // Over the image they change only pixels they draw, and they draw
        // only inside their own region.
        std::vector<bool> isDrawn(size_t(plain.width()) * size_t(plain.height()));
        for (const platform::Point& p : drawn) {
            isDrawn[size_t(p.y) * size_t(plain.width()) + size_t(p.x)] = true;
            EXPECT_TRUE(region.contains(p)) << p.x << "," << p.y;
        }
        for (const platform::Point& p : shown)
            EXPECT_TRUE(isDrawn[size_t(p.y) * size_t(plain.width()) + size_t(p.x)]) << p.x << "," << p.y;
    }
}

// An arrow as rendered: its white line lies on the segment and the two
// arrowhead strokes of the model (10 pixels at 30 degrees from the tip
// toward the tail), covering them, with the black outline beside it.
TEST(RenderProgram, ArrowDrawnAsItsModel) {
    if (access(kPydicomFiles, R_OK) != 0) GTEST_SKIP() << "pydicom's test files missing";
    const std::vector<std::string> base = {"--no-annotations", "--zoom", "2",
                                           pydicom_file("CT_small.dcm"), "out.bmp"};
    std::vector<std::string> args = {"--arrow", "90,70,10,12"};
    args.insert(args.end(), base.begin(), base.end());
    double segments[3][4] = {};
    Rect unused;
    const Bitmap with = paint(
        args, 128,
        [&](ZEBRenderScene& s, Rect&) {
            const ZEBViewTransform& v = s.tile->View();
            const auto screen = [&](platform::Point p) {
                return s.frame.m_overlay.ImageToScreen(p, v.offsetX, v.offsetY, v.origin, v.zoom);
            };
            const platform::Point tip = screen({90, 70}), tail = screen({10, 12});
            const double ux = tail.x - tip.x, uy = tail.y - tip.y, n = std::hypot(ux, uy);
            const double c = std::cos(std::numbers::pi / 6), sn = 0.5;
            const double ends[3][2] = {
                {double(tail.x), double(tail.y)},
                {tip.x + 10 * (ux * c + uy * sn) / n, tip.y + 10 * (uy * c - ux * sn) / n},
                {tip.x + 10 * (ux * c - uy * sn) / n, tip.y + 10 * (uy * c + ux * sn) / n}};
            for (int i = 0; i < 3; ++i)
                segments[i][0] = tip.x, segments[i][1] = tip.y, segments[i][2] = ends[i][0],
                segments[i][3] = ends[i][1];
        },
        &unused);
    const Bitmap plain = paint(base, 128);
    const auto distance = [&](double x, double y) {
        double best = 1e9;
        for (const auto& g : segments) {
            const double dx = g[2] - g[0], dy = g[3] - g[1];
            const double t =
                std::clamp(((x - g[0]) * dx + (y - g[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            best = std::min(best, std::hypot(x - g[0] - t * dx, y - g[1] - t * dy));
        }
        return best;
    };
    size_t white = 0;
    for (const platform::Point& p : changed(plain, with)) {
        const platform::Color c = with.pixel(p.x, p.y);
        if (c == platform::kWhite) ++white;
        EXPECT_TRUE(c == platform::kWhite || c == platform::kBlack) << p.x << "," << p.y;
        EXPECT_LE(distance(p.x, p.y), c == platform::kWhite ? 1.0 : 2.0) << p.x << "," << p.y;
    }
    EXPECT_GT(white, 170u);
    // Every point of the model has the white line within a pixel.
    for (const auto& g : segments)
        for (double t = 0; t <= 1.0; t += 0.02) {
            const int32_t x = int32_t(std::lround(g[0] + t * (g[2] - g[0])));
            const int32_t y = int32_t(std::lround(g[1] + t * (g[3] - g[1])));
            bool near = false;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    near |= with.pixel(x + dx, y + dy) == platform::kWhite;
            EXPECT_TRUE(near) << x << "," << y;
        }
}

}  // namespace
