// Hostile and damaged inputs: every case of the hostile-files table
// (tests/data/Source/hostile/make_hostile_files.py) run through the render
// program (its exit code, the lines of its messages and its output; time and
// memory are the benchmark's), each case's frame read through the DICOM
// reader for its status, and the render-chain fuzz target's findings painted
// as that target paints them.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Source/frameimageinfo.h"
#include "Source/zebvrxhelper.h"
#include "fuzz/Source/render_chain_tiles.h"
#include "tests/Source/render_test_support.h"
#include "vrx/core/memory/vrx_writememory.h"
#include "vrx/extension/dicom/vrx_readdicom.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

#if defined(__SANITIZE_ADDRESS__)
#define HOSTILE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOSTILE_SANITIZED 1
#endif
#endif

extern char** environ;

namespace {

using rendertest::read_file;
using rendertest::temp_path;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

// One row of the table as the generator writes it.
struct HostileCase {
    std::string name, program, input;
    std::vector<std::string> extras;
    int exit = 0;
    std::vector<std::string> stderrLines;  // a phrase each line holds
    std::string sameAs;
    bool readsFrame = false;  // through the DICOM reader, for `status`
    uint32_t status = 0;
    std::string function;
    uint64_t addressSpace = 0;  // bytes, 0 for no limit
    bool heavy = false;
};

std::vector<HostileCase> ReadCases(const std::string& table) {
    std::vector<HostileCase> cases;
    std::ifstream in(table);
    for (std::string line; std::getline(in, line);) {
        // A trailing empty field would be lost by the split.
        const std::vector<std::string> f = Split(line + "\t", '\t');
        if (f.size() != 13) {
            ADD_FAILURE() << "bad line in " << table << ": " << line;
            continue;
        }
        HostileCase c;
        c.name = f[0];
        c.program = f[1];
        c.input = f[2];
        c.extras = Split(f[3], '\x1f');
        c.exit = std::stoi(f[4]);
        c.stderrLines = Split(f[5], '\x1f');
        c.sameAs = f[8];
        c.readsFrame = f[9] != "-";
        c.status = c.readsFrame ? static_cast<uint32_t>(std::stoul(f[9], nullptr, 16)) : 0;
        c.function = f[10];
        c.addressSpace = std::stoull(f[11]) << 20;
        c.heavy = f[12] == "1";
        cases.push_back(std::move(c));
    }
    return cases;
}

// The table with its inputs, made once for the tests of this file.
const std::vector<HostileCase>& Table() {
    static const std::vector<HostileCase> cases = [] {
        const std::string folder = temp_path("hostile_files");
        const std::string command = std::string("/usr/bin/python3 ") + TEST_DATA_DIR +
                                    "/Source/hostile/make_hostile_files.py --program " + ZRM_RENDER +
                                    " " + folder;
        return std::system(command.c_str()) == 0 ? ReadCases(folder + "/cases.tsv")
                                                 : std::vector<HostileCase>{};
    }();
    return cases;
}

// A run that has not ended by then is stopped by SIGALRM: a program that
// waits for ever (blocked in an open, say) fails its case instead of
// holding up the suite. Far above what any case takes, even sanitized.
constexpr unsigned kHangSeconds = 300;

// The program's exit code (-1 when it did not exit) and its standard error,
// its address space limited to `addressSpace` bytes unless 0.
int RunProgram(const std::vector<std::string>& args, uint64_t addressSpace, const std::string& errPath,
               std::string& err) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit{addressSpace, addressSpace};
        const int out = open("/dev/null", O_WRONLY);
        const int error = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || error < 0 || dup2(out, 1) < 0 || dup2(error, 2) < 0 ||
            (addressSpace != 0 && setrlimit(RLIMIT_AS, &limit) != 0))
            _exit(127);
        alarm(kHangSeconds);
        execve(argv[0], argv.data(), environ);
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    const std::vector<uint8_t> bytes = read_file(errPath);
    err.assign(bytes.begin(), bytes.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HostileFiles, EachCaseEndsAsItsRowSays) {
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3";
    const std::vector<HostileCase>& cases = Table();
    ASSERT_FALSE(cases.empty());
    std::set<std::string> compared;
    for (const HostileCase& c : cases) compared.insert(c.sameAs);
    std::map<std::string, std::vector<uint8_t>> outputs;  // of the rows others are compared with
    const std::string output = temp_path("hostile_files/out.bmp");
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef HOSTILE_SANITIZED
        if (c.heavy) continue;
#endif
        std::remove(output.c_str());
        std::vector<std::string> args{c.program};
        args.insert(args.end(), c.extras.begin(), c.extras.end());
        args.push_back(c.input);
        args.push_back(output);
        std::string err;
        const std::string errPath = temp_path("hostile_files/stderr.txt");
        EXPECT_EQ(RunProgram(args, c.addressSpace, errPath, err), c.exit) << err;
        const std::vector<std::string> lines = Split(err, '\n');
        EXPECT_EQ(lines.size(), c.stderrLines.size()) << err;
        for (size_t i = 0; i < std::min(lines.size(), c.stderrLines.size()); ++i)
            EXPECT_NE(lines[i].find(c.stderrLines[i]), std::string::npos) << "not in " << lines[i];
        // A refused input leaves no output behind.
        EXPECT_EQ(access(output.c_str(), F_OK) == 0, c.exit == 0);
        if (compared.count(c.name)) outputs[c.name] = read_file(output);
        if (!c.sameAs.empty()) {
            ASSERT_TRUE(outputs.count(c.sameAs)) << c.sameAs;
            EXPECT_TRUE(read_file(output) == outputs[c.sameAs]) << "not the output of " << c.sameAs;
        }
    }
}

// A warning phrase of the first line ("" for none) and the case whose
// picture a run with it renders.
using End = std::pair<std::string, std::string>;

// A case rendered under address-space limits (MiB) from about the least the
// program starts in to more than it needs. Each run ends with the picture
// of one of `ends` (the one whose warning its first line holds, else the one
// without), or with that warning and one line that says memory ran out (in
// words, or by the status of the step it stopped), never by a signal. The
// first end is rendered at one limit at least.
void RenderUnderLimits(const std::string& name, std::initializer_list<uint64_t> limits,
                       const std::vector<End>& ends) {
    SCOPED_TRACE(name);
    const std::vector<HostileCase>& cases = Table();
    const auto find = [&](const std::string& wanted) {
        return std::find_if(cases.begin(), cases.end(),
                            [&](const HostileCase& h) { return h.name == wanted; });
    };
    const auto c = find(name);
    ASSERT_NE(c, cases.end());
    const std::string output = temp_path("hostile_files/limited.bmp");
    const std::string errPath = temp_path("hostile_files/limited.txt");
    std::string err;
    std::map<std::string, std::vector<uint8_t>> pictures;
    for (const End& end : ends) {
        const auto shown = find(end.second);
        ASSERT_NE(shown, cases.end());
        ASSERT_EQ(RunProgram({shown->program, shown->input, output}, 0, errPath, err), 0) << err;
        pictures[end.second] = read_file(output);
    }
    const std::vector<std::string> args{c->program, c->input, output};
    int rendered = 0;
    for (const uint64_t mebibytes : limits) {
        SCOPED_TRACE(mebibytes);
        std::remove(output.c_str());
        const int code = RunProgram(args, mebibytes << 20, errPath, err);
        // Too little for the system to load the program at all.
        if (code == 127 && err.find("error while loading shared libraries") != std::string::npos)
            continue;
        std::vector<std::string> lines = Split(err, '\n');
        const auto end = std::find_if(ends.begin(), ends.end(), [&](const End& e) {
            return e.first.empty() || (!lines.empty() && lines[0].find(e.first) != std::string::npos);
        });
        ASSERT_NE(end, ends.end()) << err;
        if (!end->first.empty()) lines.erase(lines.begin());
        if (code == 0) {
            rendered += end == ends.begin();
            EXPECT_TRUE(lines.empty()) << err;
            EXPECT_TRUE(read_file(output) == pictures[end->second]) << end->second;
            continue;
        }
        EXPECT_EQ(code, 1) << err;
        ASSERT_EQ(lines.size(), 1u) << err;
        EXPECT_EQ(lines[0].rfind("zrm-render: " + c->input + ": ", 0), 0u) << lines[0];
        EXPECT_TRUE(lines[0].find("out of memory") != std::string::npos ||
                    lines[0].find("(status 0x80010000, ") != std::string::npos)
            << lines[0];
        EXPECT_NE(access(output.c_str(), F_OK), 0);
    }
    EXPECT_GT(rendered, 0);
}

// The large frame: memory runs out in the decode, in the tile or not at
// all. The annotation settings of as many lines as their limit holds: in
// their parse (its warning, and the built-in settings drawn), in the render
// after their warning, or not at all; never while they are read.
TEST(HostileFiles, MemoryRunningOutAnywhereEndsInOneLine) {
#ifdef HOSTILE_SANITIZED
    GTEST_SKIP() << "the sanitizers need address space of their own";
#endif
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3";
    RenderUnderLimits("frame_2048_square", {48, 52, 56, 60, 64, 72, 96, 160},
                      {{"", "frame_2048_square"}});
    RenderUnderLimits("overlay_1_mib_of_lines", {48, 56, 60, 64, 72, 96},
                      {{"OverlaySetting.xml: out of memory while it was read; ", "settings_none"},
                       {"more than 32 lines in a corner", "overlay_32_lines"}});
}

// Reads the lines of frame 1 (the first 16 of a frame over 64 MiB); the
// job's status.
vrx::VRX_Status ReadFrame(vrx_test::TestManager& manager, const std::string& path) {
    vrx::VRX_InputStorage* file = vrx::VRX_FileInputStorage::create(&manager, path.c_str());
    vrx::VRX_Engine* frame = file ? vrx::VRX_ReadDICOM(&manager).engine(file, 0) : nullptr;
    uint32_t line = 0;
    if (frame && frame->header()->line_bytes(line)) {
        const uint64_t bytes = uint64_t{line} * frame->header()->height;
        const uint64_t most = bytes > (uint64_t{64} << 20) ? 16 : UINT64_MAX;
        std::vector<uint8_t> lines(line);
        uint64_t read = 0;
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

// The status of each case's frame 1 read through the DICOM reader: an error
// is the job's status, a warning one of its reports (the stream's JFIF
// header may warn first), none a job without any.
TEST(HostileFiles, FramesReadThroughTheDicomReaderGiveTheirStatus) {
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3";
    size_t read = 0;
    for (const HostileCase& c : Table()) {
        if (!c.readsFrame) continue;
        SCOPED_TRACE(c.name);
        ++read;
        vrx_test::TestManager manager;
        const vrx::VRX_Status job = ReadFrame(manager, c.input);
        if (vrx::is_error(c.status)) {
            EXPECT_EQ(job.code, c.status) << std::hex << job.code << " " << job.function;
            EXPECT_EQ(std::string(job.function), c.function);
        } else if (c.status != 0) {
            EXPECT_FALSE(vrx::is_error(job.code)) << std::hex << job.code << " " << job.function;
            EXPECT_TRUE(manager.error_handler()->saw(c.status, c.function));
        } else {
            EXPECT_EQ(job.code, 0u) << std::hex << job.code << " " << job.function;
        }
    }
    EXPECT_GE(read, 10u);
}

// The fuzz target's steps: the first frame decoded, then painted into 48 x
// 40 tiles at three zooms under one view, annotations at zoom 1. Pixel
// aspects of 1e-40 and 1e7 are taken as square pixels.
TEST(HostileFiles, RenderChainFindingsPaintAsTheFuzzTargetPaints) {
    for (const char* name : {"render_chain_ratio_ub.bin", "render_chain_slow.bin"}) {
        SCOPED_TRACE(name);
        ZEBVRXHelper helper;
        FrameImageInfo frame;
        ASSERT_TRUE(helper.DecodeFrame(std::string(TEST_DATA_DIR) + "/Source/render_chain/" + name,
                                       0, frame));
        EXPECT_EQ(frame.m_overlay.m_verticalAspect, 1.0);
        EXPECT_TRUE(PaintFuzzTiles(helper, frame)) << helper.LastError().Describe();
    }
}

}  // namespace
