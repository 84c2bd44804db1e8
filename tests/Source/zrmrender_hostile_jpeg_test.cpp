// The hostile JPEG DICOM files of tests/data/jpegdec/hostile (made by its
// make_hostile.py, which writes the table hostile.txt): each frame read
// through the DICOM reader reports the table's status, and the render
// program gives the table's exit code and words. The 23168 x 23168 frame's
// time and memory are the benchmark's (bench/jpegdec): only its first rows
// are read here.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/Source/render_test_support.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace rendertest;

struct Row {
    std::string file;
    int code = 0;
    uint32_t status = 0;
    std::string function;
    std::vector<std::string> words;
};

std::string hostile(const std::string& name) { return std::string(TEST_DATA_DIR) + "/jpegdec/hostile/" + name; }

std::vector<Row> table() {
    std::vector<Row> rows;
    std::ifstream in(hostile("hostile.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        Row r;
        std::string status, words;
        f >> r.file >> r.code >> status >> r.function >> words;
        r.status = static_cast<uint32_t>(std::stoul(status, nullptr, 16));
        if (r.function == "-") r.function.clear();
        std::istringstream w(words == "-" ? "" : words);
        for (std::string word; std::getline(w, word, '|');) {
            for (char& c : word)
                if (c == '_') c = ' ';
            r.words.push_back(word);
        }
        rows.push_back(r);
    }
    return rows;
}

// Reads up to `most` lines of frame 1; the job's status.
vrx::VRX_Status read_frame(vrx_test::TestManager& manager, const std::string& path, uint32_t most) {
    vrx::VRX_InputStorage* file = vrx::VRX_FileInputStorage::create(&manager, path.c_str());
    vrx::VRX_Engine* frame = file ? vrx::VRX_ReadDICOM(&manager).engine(file, 0) : nullptr;
    uint32_t line = 0;
    if (frame && frame->header()->line_bytes(line)) {
        std::vector<uint8_t> lines(line);
        uint32_t read = 0;
        vrx::VRX_Engine* writer = vrx::VRX_WriteMemory(&manager).engine(
            frame, lines.data(), line, nullptr, [](vrx::VRX_MemoryCallbackInfo*) { return true; });
        while (writer && ++read <= most && writer->execute()) {
        }
    }
    vrx::VRX_Status status(&manager);
    manager.execute(status);
    vrx::destroy(file);
    return status;
}

TEST(HostileJpegFiles, StatusesExitCodesAndWords) {
    const std::vector<Row> rows = table();
    ASSERT_GE(rows.size(), 10u);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file);
        const bool huge = r.file.find("23168") != std::string::npos;
        vrx_test::TestManager manager;
        const vrx::VRX_Status job = read_frame(manager, hostile(r.file), huge ? 16 : UINT32_MAX);
        // An error is the job's status; a warning one of its reports (the
        // stream's JFIF header may warn first).
        if (vrx::is_error(r.status)) {
            EXPECT_EQ(job.code, r.status) << std::hex << job.code << " " << job.function;
            EXPECT_EQ(std::string(job.function), r.function);
        } else {
            EXPECT_FALSE(vrx::is_error(job.code)) << std::hex << job.code << " " << job.function;
            EXPECT_EQ(manager.error_handler()->saw(r.status, r.function), r.status != 0);
        }
        if (huge) continue;
        const std::string output = temp_path("hostile.bmp");
        const Outcome o = run({"--no-annotations", hostile(r.file), output});
        EXPECT_EQ(o.code, r.code) << o.err;
        for (const std::string& word : r.words) EXPECT_NE(o.err.find(word), std::string::npos) << o.err;
    }
}

}  // namespace
