// Encapsulated Pixel Data of many fragments: the reader reads no more of the
// source than the item headers between the fragments it skips.
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
    size_t bytesRead = 0;
    std::vector<int64_t> items;
};

Opened Open(const std::vector<uint8_t>& bytes, bool knownSize = true) {
    dataset_sources::VectorSource source{bytes};
    TogDicomDataset ds;
    Opened o;
    o.result = ds.OpenReadingFile(source.Callbacks(knownSize), true, TogString(), 1);
    o.tree = dataset_dump::Dump(*ds.GetRoot());
    o.pixelStart = ds.GetPixelDataStart();
    o.pixelSize = ds.GetPixelDataSize();
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

TEST(TogDicomDatasetOffsetTable, FragmentsCostTheReadsOfTheirHeaders) {
    const Frames frames = ManyFrames(300, 4000);
    const std::vector<uint8_t> bytes = File(frames, TableOf(frames));
    const Opened all = Open(bytes);
    ASSERT_EQ(all.result, ResultSuccess);
    EXPECT_EQ(all.items.size(), 1 + 299 + 3u);
    // A little for each header, not the fragments between them.
    EXPECT_LT(all.bytesRead, bytes.size() / 4);
}

}  // namespace
