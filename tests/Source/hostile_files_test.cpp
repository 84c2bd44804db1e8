// Hostile and damaged inputs: every case of the hostile-files table run
// through the render program (its exit code and messages; time and memory
// are the benchmark's), and the render-chain fuzz target's findings painted
// as that target paints them.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Source/frameimageinfo.h"
#include "Source/zebimageviewctrl.h"
#include "Source/zebvrxhelper.h"
#include "tests/Source/render_test_support.h"

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
    std::string name, input;
    std::vector<std::string> extras;
    int exit = 0;
    std::vector<std::string> stderrPhrases;
};

std::vector<HostileCase> ReadCases(const std::string& table) {
    std::vector<HostileCase> cases;
    std::ifstream in(table);
    for (std::string line; std::getline(in, line);) {
        // A trailing empty field would be lost by the split.
        const std::vector<std::string> f = Split(line + "\t", '\t');
        if (f.size() != 7) {
            ADD_FAILURE() << "bad line in " << table << ": " << line;
            continue;
        }
        cases.push_back({f[0], f[1], Split(f[2], '\x1f'), std::stoi(f[3]), Split(f[4], '\x1f')});
    }
    return cases;
}

// The program's exit code (-1 when it did not exit) and its standard error.
int RunProgram(const std::vector<std::string>& args, const std::string& errPath, std::string& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return -1;
    const std::vector<uint8_t> bytes = read_file(errPath);
    err.assign(bytes.begin(), bytes.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HostileFiles, EachCaseEndsAsItsRowSays) {
    if (access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3";
    const std::string folder = temp_path("hostile_files");
    const std::string generator =
        std::string(TEST_DATA_DIR) + "/Source/hostile/make_hostile_files.py";
    ASSERT_EQ(std::system(("/usr/bin/python3 " + generator + " " + folder).c_str()), 0);
    const std::vector<HostileCase> cases = ReadCases(folder + "/cases.tsv");
    ASSERT_FALSE(cases.empty());
    const std::string output = folder + "/out.bmp";
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(output.c_str());
        std::vector<std::string> args{ZRM_RENDER};
        args.insert(args.end(), c.extras.begin(), c.extras.end());
        args.push_back(c.input);
        args.push_back(output);
        std::string err;
        EXPECT_EQ(RunProgram(args, folder + "/stderr.txt", err), c.exit) << err;
        for (const std::string& phrase : c.stderrPhrases) {
            EXPECT_NE(err.find(phrase), std::string::npos) << "no \"" << phrase << "\" in " << err;
        }
        if (c.stderrPhrases.empty()) {
            EXPECT_EQ(err, "");
        }
        // A refused input leaves no output behind.
        EXPECT_EQ(access(output.c_str(), F_OK) == 0, c.exit == 0);
    }
}

// The fuzz target's steps: the first frame decoded, then painted into 48 x
// 40 tiles at three zooms under one view, annotations at zoom 1. Pixel
// aspects of 1e-40 and 1e7 are taken as square pixels.
TEST(HostileFiles, RenderChainFindingsPaintAsTheFuzzTargetPaints) {
    for (const char* name : {"render_chain_aspect_ub.bin", "render_chain_slow.bin"}) {
        SCOPED_TRACE(name);
        ZEBVRXHelper helper;
        FrameImageInfo frame;
        ASSERT_TRUE(helper.DecodeFrame(std::string(TEST_DATA_DIR) + "/Source/render_chain/" + name,
                                       0, frame));
        EXPECT_EQ(frame.m_overlay.m_verticalAspect, 1.0);
        for (double zoom : {0.37, 1.0, 2.6}) {
            ZEBImageViewCtrl tile(48, 40);
            tile.SetFrame(&frame);
            tile.SetView({-3, 2, {0, 0}, zoom});
            tile.SetImagePainter(helper.Painter());
            tile.ShowAnnotations(zoom == 1.0);
            tile.Paint();
            EXPECT_FALSE(helper.PaintFailed()) << helper.LastError().Describe();
        }
    }
}

}  // namespace
