// Encapsulated Pixel Data of many fragments: the reader reads no more of the
// source than the item headers between the fragments it skips, and, when
// asked to, passes over the frames the basic offset table locates. Where the
// table cannot be followed the tree is the one every item gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset_builder.h"
#include "dataset_dump.h"
#include "dataset_sources.h"
#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"

namespace {

using namespace TogDicomLib;
using dataset_builder::Bytes;
using dataset_builder::kUndefined;

constexpr uint32_t kHeader = 8;
// Fragment sizes, frame by frame.
using Frames = std::vector<std::vector<uint32_t>>;

// The table the frames give: each frame's first item from the first one.
std::vector<uint32_t> TableOf(const Frames& frames) {
    std::vector<uint32_t> table;
    uint32_t at = 0;
    for (const auto& frame : frames) {
        table.push_back(at);
        for (uint32_t n : frame) at += kHeader + n;
    }
    return table;
}

// A PS3.10 file with the frames' fragments under `table`, a trailing padding
// element after the Pixel Data; the last fragment's item may carry another
// element number.
std::vector<uint8_t> File(const Frames& frames, const std::vector<uint32_t>& table,
                          uint32_t lastItem = 0xE000) {
    Bytes b;
    b.Preamble().Meta("1.2.840.10008.1.2.5");
    b.Element(0x0028, 0x0010, "US", std::string("\x10\0", 2));
    b.Header(0x7FE0, 0x0010, "OB", kUndefined).Item(static_cast<uint32_t>(4 * table.size()));
    for (uint32_t entry : table) b.U32(entry);
    for (size_t f = 0; f < frames.size(); ++f) {
        for (size_t i = 0; i < frames[f].size(); ++i) {
            const bool last = f + 1 == frames.size() && i + 1 == frames[f].size();
            b.U16(0xFFFE).U16(last ? lastItem : 0xE000).U32(frames[f][i]);
            b.Raw(std::string(frames[f][i], static_cast<char>('a' + f % 26)));
        }
    }
    b.SequenceEnd().Element(0xFFFC, 0xFFFC, "OB", std::string(6, '\0'));
    return b.data;
}

struct Opened {
    int result = -1;
    std::string tree;
    // The tree without the items of Pixel Data.
    std::string rest;
    int64_t pixelStart = 0;
    int64_t pixelSize = 0;
    bool passedOver = false;
    size_t bytesRead = 0;
    std::vector<int64_t> items;
};

Opened Open(const std::vector<uint8_t>& bytes, bool byTable, bool knownSize = true) {
    dataset_sources::VectorSource source{bytes};
    TogDicomDataset ds;
    ds.SetFramesByOffsetTable(byTable);
    Opened o;
    o.result = ds.OpenReadingFile(source.Callbacks(knownSize), true, TogString(), 1);
    o.tree = dataset_dump::Dump(*ds.GetRoot());
    o.pixelStart = ds.GetPixelDataStart();
    o.pixelSize = ds.GetPixelDataSize();
    o.passedOver = ds.GetItemsPassedOver();
    o.bytesRead = source.bytesRead;
    if (TogDicomDataElement* pixel = ds.FindElement(0x7FE0, 0x0010)) {
        for (uint32_t i = 0; i < pixel->GetChildCount(); ++i)
            o.items.push_back(pixel->GetChildAt(i)->GetItemOffset());
        pixel->ClearValue();
    }
    o.rest = dataset_dump::Dump(*ds.GetRoot());
    return o;
}

Frames ManyFrames(size_t count, uint32_t size) {
    Frames frames(count, std::vector<uint32_t>{size});
    // The last frame in two fragments, one of them empty.
    frames.back() = {size / 2, 0, size - size / 2};
    return frames;
}

TEST(TogDicomDatasetOffsetTable, PassesOverTheFramesTheTableLocates) {
    const Frames frames = ManyFrames(300, 4000);
    const std::vector<uint32_t> table = TableOf(frames);
    const std::vector<uint8_t> bytes = File(frames, table);
    // Every item read: a little for each header, not the fragments between.
    const Opened all = Open(bytes, false);
    ASSERT_EQ(all.result, ResultSuccess);
    EXPECT_FALSE(all.passedOver);
    EXPECT_EQ(all.items.size(), 1 + 299 + 3u);
    EXPECT_LT(all.bytesRead, bytes.size() / 4);
    // By the table: the table and the last frame's items, where it says.
    const Opened located = Open(bytes, true);
    ASSERT_EQ(located.result, ResultSuccess);
    EXPECT_TRUE(located.passedOver);
    ASSERT_EQ(located.items.size(), 4u);
    EXPECT_EQ(located.items[1], all.items[1] + table.back());
    EXPECT_EQ(std::vector<int64_t>(located.items.begin() + 1, located.items.end()),
              std::vector<int64_t>(all.items.end() - 3, all.items.end()));
    EXPECT_LT(located.bytesRead, 80000u);
    // Everything else as when every item is read, the padding after the
    // Pixel Data too.
    EXPECT_EQ(located.rest, all.rest);
    EXPECT_NE(located.rest.find("(fffc,fffc)"), std::string::npos);
    EXPECT_EQ(located.pixelStart, all.pixelStart);
    EXPECT_EQ(located.pixelSize, all.pixelSize);
}

TEST(TogDicomDatasetOffsetTable, TablesThatCannotBeFollowedReadEveryItem) {
    const Frames frames = ManyFrames(5, 40);
    const std::vector<uint32_t> table = TableOf(frames);
    const uint32_t end = table.back() + 3 * kHeader + 40;
    struct Case {
        const char* name;
        std::vector<uint32_t> table;
        uint32_t lastItem;
        size_t cut;  // bytes cut from the end
        bool knownSize;
    };
    const Case cases[] = {
        {"one entry", {0}, 0xE000, 0, true},
        {"first entry not 0", {8, table[1], table[4]}, 0xE000, 0, true},
        {"entries not ascending", {0, table[2], table[1], table[4]}, 0xE000, 0, true},
        {"an entry twice", {0, table[1], table[1]}, 0xE000, 0, true},
        {"last entry beyond the source", {0, table[1], 0x7FFFFF00}, 0xE000, 0, true},
        {"last entry inside a fragment", {0, table[1], table[4] + 2}, 0xE000, 0, true},
        {"last entry at the sequence delimiter", {0, table[1], end}, 0xE000, 0, true},
        {"an item of another tag after it", table, 0xE001, 0, true},
        {"the last fragment cut", table, 0xE000, 30, true},
        {"size of the source unknown", table, 0xE000, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = File(frames, c.table, c.lastItem);
        bytes.resize(bytes.size() - c.cut);
        const Opened all = Open(bytes, false, c.knownSize);
        const Opened located = Open(bytes, true, c.knownSize);
        EXPECT_FALSE(located.passedOver);
        EXPECT_EQ(located.result, all.result);
        EXPECT_EQ(located.tree, all.tree);
        EXPECT_EQ(located.pixelSize, all.pixelSize);
    }
}

}  // namespace
