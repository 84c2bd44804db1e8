// Lossless JPEG frames through the DICOM reader against dcmtk's dcmdjpeg
// (frames of dcmcjpeg, gdcmconv, a small test encoder with restart
// intervals and colliding long codes, and pydicom's gdcm file), and which
// frames the kernel-backed path decodes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "jpegdec/jpeg_decoder.h"
#include "tests/jpegdec/jpeg_oracle.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/core/jpeg/vrx_readjpeg.h"
#include "vrx/extension/dicom/vrx_dicominfo.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/engine/vrx_engine.h"

namespace {

using namespace vrx;
using namespace dicomtest;

std::string LosslessFixture(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/jpegdec/lossless_dicom/" + name;
}

// Decodes frame 0 of a file; the samples, and whether the kernel path
// decoded it.
struct Frame {
    Bytes samples;
    bool kernelPath = false;
    bool clean = false;
};

Frame DecodeFrame(const Bytes& file) {
    Frame f;
    Loaded<VRX_DICOMInfo> loaded(file);
    if (!loaded.ok) return f;
    const uint64_t before = jpegdec::JpegKernelPathStarts();
    VRX_Engine* engine = VRX_ReadDICOM(&loaded.manager).engine(loaded.storage, loaded.info, 0);
    f.kernelPath = jpegdec::JpegKernelPathStarts() > before;
    f.samples = drain(loaded.manager, engine);
    VRX_Status status(&loaded.manager);
    f.clean = engine && loaded.manager.execute(status);
    return f;
}

TEST(ReadDICOMLossless, FramesEqualDcmdjpegsSamples) {
    std::ifstream manifest(LosslessFixture("manifest.txt"));
    std::string line;
    int files = 0;
    while (std::getline(manifest, line)) {
        std::istringstream in(line);
        std::string name;
        uint32_t columns = 0, rows = 0, samples = 0, bits = 0;
        if (!(in >> name >> columns >> rows >> samples >> bits)) continue;
        SCOPED_TRACE(name);
        const bool pydicoms = name == "SC_rgb_jpeg_gdcm";
        const std::string path = pydicoms ? pydicom_file(name + ".dcm") : LosslessFixture(name + ".dcm");
        if (!file_exists(path)) continue;
        const Frame f = DecodeFrame(read_file(path));
        EXPECT_TRUE(f.clean);
        EXPECT_TRUE(f.kernelPath);
        const Bytes expected = jpegoracle::ReadFile(LosslessFixture(name + ".raw"));
        ASSERT_EQ(expected.size(), size_t{columns} * rows * samples * (bits / 8));
        EXPECT_TRUE(f.samples == expected);
        ++files;
    }
    EXPECT_GE(files, 18);
}

// Frames cut short: their lost rows hold the middle of the range the
// samples can hold (the stored bits', or the stream's precision when it is
// smaller), 0 for signed samples, with the warning.
TEST(ReadDICOMLossless, LostRowsHoldTheMiddleOfTheStoredRange) {
    struct Case {
        const char* stream;
        uint16_t allocated, stored, signedSamples;
        uint32_t lost;
    };
    for (const Case& c : {Case{"g12_sv1_pt0.jpg", 16, 12, 0, 2048}, Case{"g12_sv1_pt0.jpg", 16, 12, 1, 0},
                          Case{"g12_sv1_pt0.jpg", 16, 16, 0, 2048}, Case{"g16_sv1_pt0.jpg", 16, 16, 0, 32768},
                          Case{"g8_sv1_pt0.jpg", 8, 8, 0, 128}, Case{"g8_sv1_pt0.jpg", 8, 4, 0, 8},
                          Case{"g8_sv1_pt0.jpg", 8, 8, 1, 0}}) {
        SCOPED_TRACE(std::string(c.stream) + " " + std::to_string(c.stored) + " bits stored");
        const Bytes jpeg = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegkernels/lossless/" + c.stream);
        Writer w("1.2.840.10008.1.2.4.70");
        w.image(12, 40, c.allocated, 1, "MONOCHROME2", 0, c.signedSamples, c.stored);
        w.encapsulated({}, {Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 4 * 2)});
        Loaded<VRX_DICOMInfo> file(w.bytes());
        const Bytes samples = drain(file.manager, VRX_ReadDICOM(&file.manager).engine(file.storage, file.info, 0));
        const size_t bytes = c.allocated / 8;
        ASSERT_EQ(samples.size(), 480u * bytes);
        EXPECT_EQ(samples.back() << 8 * (bytes - 1) | samples[samples.size() - bytes], c.lost);  // the last one
        EXPECT_TRUE(file.manager.error_handler()->saw(VRX_WARNING_DATA, "VRX_DecodeJPEGEngine::execute()"));
    }
}

// A baseline stream as the frame of a DICOM file.
Bytes WrapJpeg(const std::string& fixture, uint32_t rows, uint32_t columns, uint16_t samples) {
    Bytes jpeg = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegdec/" + fixture);
    if (jpeg.size() % 2) jpeg.push_back(0);
    Writer w("1.2.840.10008.1.2.4.50");
    w.image(rows, columns, 8, samples, samples == 3 ? "YBR_FULL_422" : "MONOCHROME2");
    w.encapsulated({}, {jpeg});
    return w.bytes();
}

// Frames decoded whole take the kernel path: baseline streams with JFIF
// (cjpeg's) and without, streams of one component per scan (each component's own
// decoder) and lossless frames; progressive streams and reduced sizes take
// the generic path.
TEST(ReadDICOMLossless, FramesDecodedWholeTakeTheKernelPath) {
    struct Case {
        const char* fixture;
        bool kernel;
    };
    for (const Case& c : {Case{"s420.jpg", true}, Case{"grey.jpg", true}, Case{"separate_scans.jpg", true},
                          Case{"prog_s420.jpg", false}}) {
        SCOPED_TRACE(c.fixture);
        const Bytes jpeg = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegdec/" + c.fixture);
        const jpegoracle::HeaderInfo header = jpegoracle::ReadHeaderInfo(jpeg);
        const Frame f = DecodeFrame(WrapJpeg(c.fixture, header.height, header.width,
                                             static_cast<uint16_t>(header.components)));
        EXPECT_TRUE(f.clean);
        EXPECT_EQ(f.kernelPath, c.kernel);
    }
    // pydicom's baseline frames of gdcm (without JFIF) and dcmtk (Adobe).
    for (const char* name : {"SC_rgb_jpeg_lossy_gdcm.dcm", "SC_rgb_dcmtk_+eb+cr.dcm"}) {
        if (!file_exists(pydicom_file(name))) continue;
        SCOPED_TRACE(name);
        const Frame f = DecodeFrame(read_file(pydicom_file(name)));
        EXPECT_TRUE(f.clean);
        EXPECT_TRUE(f.kernelPath);
    }
    // Half size through the JPEG reader.
    vrx_test::TestManager manager;
    const Bytes jpeg = jpegoracle::ReadFile(std::string(TEST_DATA_DIR) + "/jpegdec/s420.jpg");
    VRX_InputStorage* storage = storage_over(manager, jpeg);
    const uint64_t before = jpegdec::JpegKernelPathStarts();
    EXPECT_FALSE(drain(manager, VRX_ReadJPEG(&manager).engine(storage, 128)).empty());
    EXPECT_EQ(jpegdec::JpegKernelPathStarts(), before);
    storage->destroy();
}

}  // namespace
