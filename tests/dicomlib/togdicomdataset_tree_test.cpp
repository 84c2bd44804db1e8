// The element trees of pydicom's test files, in every source form, against
// the committed trees (tests/data/dicomlib/dataset_trees, written by
// make_dataset_trees.py from what pydicom reads).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dataset_dump.h"
#include "dataset_sources.h"
#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"

namespace {

using namespace TogDicomLib;

const char kPydicomData[] = "/usr/lib/python3/dist-packages/pydicom/data/";

struct TreeCase {
    std::string fixture;   // file name in dataset_trees
    std::string source;    // relative to pydicom's data folder
    bool part10 = true;
    std::string syntax;    // for bare data sets
    std::string expected;  // the tree
};

std::vector<TreeCase> LoadCases() {
    std::vector<TreeCase> cases;
    const std::filesystem::path dir = std::filesystem::path(TEST_DATA_DIR) / "dicomlib" / "dataset_trees";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        TreeCase c;
        c.fixture = entry.path().filename().string();
        std::ifstream in(entry.path());
        std::string line;
        std::ostringstream tree;
        while (std::getline(in, line)) {
            if (line.rfind("# source: ", 0) == 0) {
                c.source = line.substr(10);
            } else if (line.rfind("# open: ", 0) == 0) {
                const std::string how = line.substr(8);
                c.part10 = how == "part10";
                if (!c.part10) c.syntax = how.substr(how.find(' ') + 1);
            } else {
                tree << line << '\n';
            }
        }
        c.expected = tree.str();
        cases.push_back(c);
    }
    std::sort(cases.begin(), cases.end(), [](const TreeCase& a, const TreeCase& b) { return a.fixture < b.fixture; });
    return cases;
}

class DatasetTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(DatasetTree, MatchesPydicomInEverySourceForm) {
    const TreeCase& c = GetParam();
    const std::string path = kPydicomData + c.source;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "pydicom's test files are not installed";
    const TogString syntax = TogString::FromUtf8(c.syntax);
    const TogString name = TogString::FromUtf8(path);

    {
        TogDicomDataset ds;
        ASSERT_EQ(ds.OpenReadingFileByPath(name, c.part10, syntax, 1), ResultSuccess);
        EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()), c.expected) << "by path";
        EXPECT_EQ(ds.GetPendingCount(), 0u);
        EXPECT_EQ(ds.GetSourceName(), name);
    }

    dataset_sources::VectorSource bytes{dataset_sources::ReadFileBytes(path)};
    for (const bool copy : {false, true}) {
        TogDicomDataset ds;
        ASSERT_EQ(ds.OpenReadingFile(TogDicomSource::FromMemory(bytes.bytes.data(), bytes.bytes.size(), copy),
                                     c.part10, syntax, 1),
                  ResultSuccess);
        EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()), c.expected) << "from memory, copy " << copy;
    }
    for (const bool knownSize : {true, false}) {
        bytes.at = 0;
        TogDicomDataset ds;
        ASSERT_EQ(ds.OpenReadingFile(bytes.Callbacks(knownSize), c.part10, syntax, 1), ResultSuccess);
        EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()), c.expected) << "through callbacks, size known " << knownSize;
    }
}

INSTANTIATE_TEST_SUITE_P(PydicomFiles, DatasetTree, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<TreeCase>& info) {
                             std::string n = info.param.fixture.substr(0, info.param.fixture.size() - 4);
                             for (char& ch : n) {
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return n;
                         });

}  // namespace
