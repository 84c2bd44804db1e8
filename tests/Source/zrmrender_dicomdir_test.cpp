// DICOMDIRs as vendors' discs lay them out, through the render program: the
// listing of each fixture of tests/data/Source/dicomdir against the one
// make_dicomdir_fixtures.py expects (patients made from the images of
// STUDY-rooted directories, records chained through directory files, each
// series in its order), the warnings about directory files that cannot be
// followed, exit codes and messages as a process, and the page and
// reference-line numbers the program shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "tests/Source/render_test_support.h"

namespace {

using namespace rendertest;

const std::string kFixtures = std::string(TEST_DATA_DIR) + "/Source/dicomdir";

// What the program must print of a fixture folder: the listing ("{dir}"
// standing for the folder) and the words of its warnings.
struct Expected {
    std::string listing;
    std::vector<std::string> warnings;
    // The warning lines for the input as given.
    std::string WarningLines(const std::string& input) const {
        std::string lines;
        for (const std::string& w : warnings)
            lines += "zrm-render: " + input + ": warning: " + w + "\n";
        return lines;
    }
};

std::map<std::string, Expected> expected_listings() {
    std::map<std::string, Expected> listings;
    std::ifstream in(kFixtures + "/expected.txt");
    std::string line, name;
    while (std::getline(in, line)) {
        if (line.rfind("dir ", 0) == 0) {
            name = line.substr(4);
            listings[name];
            continue;
        }
        if (line.rfind("warning ", 0) == 0) {
            listings[name].warnings.push_back(line.substr(8));
            continue;
        }
        for (size_t at; (at = line.find("{dir}")) != std::string::npos;)
            line.replace(at, 5, kFixtures + "/" + name);
        listings[name].listing += line + "\n";
    }
    return listings;
}

TEST(RenderDicomdir, ListingsExitCodesAndRenders) {
    const auto listings = expected_listings();
    ASSERT_EQ(listings.size(), 12u);
    const std::string out = temp_path("dicomdir.bmp"), direct = temp_path("dicomdir_direct.bmp");
    const std::string folder = temp_path("dicomdir_none");
    ::mkdir(folder.c_str(), 0755);
    struct Case {
        std::string args;
        int code;
        std::string out;
        std::string err;  // the warning lines, then on failure its one line
    };
    std::vector<Case> cases;
    for (const auto& [name, e] : listings) {
        const std::string dir = kFixtures + "/" + name;
        if (e.listing.empty()) {
            // A directory without images: an error, listed or rendered,
            // after the warnings.
            const std::string failure = "zrm-render: " + dir + ": the DICOMDIR holds no image\n";
            cases.push_back({"--list " + dir, 1, "", e.WarningLines(dir) + failure});
            cases.push_back({dir + " " + out, 1, "", e.WarningLines(dir) + failure});
            continue;
        }
        // The folder stands for its DICOMDIR.
        cases.push_back({"--list " + dir, 0, e.listing, e.WarningLines(dir)});
        cases.push_back(
            {"--list " + dir + "/DICOMDIR", 0, e.listing, e.WarningLines(dir + "/DICOMDIR")});
    }
    cases.push_back(
        {"--list " + folder, 1, "", "zrm-render: " + folder + ": is a folder without a DICOMDIR\n"});
    // An image after a series whose directory file is cut: the warning, then
    // the render (the last case: its output is compared below).
    const std::string cut = kFixtures + "/chain_cut";
    cases.push_back({"--image 5 " + cut + " " + out, 0, "", listings.at("chain_cut").WarningLines(cut)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::remove(out.c_str());
        const Process p = launch(c.args);
        EXPECT_EQ(p.code, c.code) << p.err;
        EXPECT_EQ(p.out, c.out);
        EXPECT_EQ(p.err, c.err);
        if (c.code != 0) {
            EXPECT_NE(access(out.c_str(), F_OK), 0) << "output left behind";
        }
    }
    // The image rendered is the first of the third series.
    ASSERT_EQ(launch(cut + "/ST000002/SE000002/IM000000 " + direct).code, 0);
    EXPECT_EQ(read_file(out), read_file(direct));
    // Every image of the chained directory renders as its file does.
    std::istringstream lines(listings.at("chained").listing);
    int n = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string file = line.substr(line.rfind('\t') + 1);
        SCOPED_TRACE(file);
        ASSERT_EQ(launch("--image " + std::to_string(++n) + " " + kFixtures + "/chained " + out).code, 0);
        ASSERT_EQ(launch(file + " " + direct).code, 0);
        EXPECT_EQ(read_file(out), read_file(direct));
    }
    EXPECT_EQ(n, 4);
    std::remove(out.c_str());
    std::remove(direct.c_str());
    ::rmdir(folder.c_str());
}

// The page of each image is its place in its series' order; the reference
// lines of a series are drawn for its first, last and middle image in that
// order.
TEST(RenderDicomdir, PagesAndReferenceLinesFollowTheSeriesOrder) {
    const std::string dir = kFixtures + "/shuffled";
    const auto scene = [&](const std::vector<std::string>& args, ZEBRenderScene& s) {
        ZEBRenderOptions o;
        std::string error;
        ASSERT_TRUE(ParseRenderOptions(args, o, error)) << error;
        std::ostringstream err;
        ASSERT_EQ(BuildRenderScene(o, s, err), kRenderDone) << err.str();
    };
    // The shuffled series lists its files in the order of their numbers
    // 3, 1, 5, 2, 4; the unnumbered one at 20, 0, 30, 10 mm.
    const struct {
        int image, page, count, number;
    } pages[] = {{1, 1, 5, 1}, {3, 3, 5, 3}, {5, 5, 5, 5}, {6, 1, 4, 0}, {9, 4, 4, 0}, {10, 1, 1, 1}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.image);
        ZEBRenderScene s;
        scene({"--image", std::to_string(p.image), dir, "out.bmp"}, s);
        EXPECT_EQ(s.tile->AnnotationState().page, p.page);
        EXPECT_EQ(s.tile->AnnotationState().pageCount, p.count);
        EXPECT_EQ(s.frame.m_imageNumber, p.number);
    }
    // On the coronal localiser: the lines of the numbered series' images 1
    // (first), 5 (last) and 3 (middle), each at the row of its slice.
    ZEBRenderScene s;
    scene({"--image", "10", "--reference-series", "1", dir, "out.bmp"}, s);
    const auto& records = s.frame.m_overlay.ReferenceLine().m_records;
    const int numbers[3] = {1, 5, 3};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].shown, 1);
        EXPECT_EQ(records[i].number, numbers[i]);
        // Slice z = 5 x number on rows (30 - z) / 2 from 30 mm down.
        EXPECT_NEAR(records[i].start.y, (30.0 - 5.0 * numbers[i]) / 2.0, 0.5);
    }
}

}  // namespace
