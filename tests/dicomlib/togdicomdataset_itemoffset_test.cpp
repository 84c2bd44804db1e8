// Sequence items remember where their tag lies in the source (directory
// records refer to each other by these offsets), and an item that claims more
// bytes than its sequence or the source holds is read to that end.
#include <gtest/gtest.h>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"
#include "tests/dicomlib/dataset_builder.h"

namespace {

using dataset_builder::Bytes;
using dataset_builder::Form;
using dataset_builder::kUndefined;

int Open(TogDicomDataset& ds, const std::vector<uint8_t>& data, Form form) {
    const TogString syntax(form == Form::Implicit   ? u"1.2.840.10008.1.2"
                           : form == Form::Explicit ? u"1.2.840.10008.1.2.1"
                                                    : u"1.2.840.10008.1.2.2");
    return ds.OpenReadingFile(TogDicomSource::FromMemory(data.data(), data.size()), false, syntax,
                              0);
}

TEST(TogDicomDatasetItemOffset, ItemsOfEveryFormKnowTheirOffset) {
    for (Form form : {Form::Implicit, Form::Explicit, Form::ExplicitBig}) {
        SCOPED_TRACE(static_cast<int>(form));
        Bytes b(form);
        b.Element(0x0008, 0x0060, "CS", "CT");
        b.Header(0x0040, 0x0275, "SQ", kUndefined);
        const size_t first = b.data.size();
        b.Item(12).Element(0x0008, 0x0100, "SH", "CODE");
        const size_t second = b.data.size();
        b.Item().Element(0x0008, 0x0100, "SH", "NEXT").ItemEnd();
        b.SequenceEnd();
        TogDicomDataset ds;
        ASSERT_EQ(Open(ds, b.data, form), TogDicomLib::ResultSuccess);
        const TogDicomDataElement* sequence = ds.FindElement(0x0040, 0x0275);
        ASSERT_NE(sequence, nullptr);
        ASSERT_EQ(sequence->GetChildCount(), 2u);
        EXPECT_EQ(sequence->GetChildAt(0)->GetItemOffset(), static_cast<int64_t>(first));
        EXPECT_EQ(sequence->GetChildAt(1)->GetItemOffset(), static_cast<int64_t>(second));
        // Elements that are not items have none.
        EXPECT_EQ(ds.FindElement(0x0008, 0x0060)->GetItemOffset(), -1);
        EXPECT_EQ(sequence->GetItemOffset(), -1);
    }
}

TEST(TogDicomDatasetItemOffset, FragmentsKnowTheirItemsToo) {
    Bytes b(Form::Explicit);
    b.Header(0x7FE0, 0x0010, "OB", kUndefined);
    b.Item(0);
    const size_t fragment = b.data.size();
    b.Item(4).Raw("abcd");
    b.SequenceEnd();
    TogDicomDataset ds;
    ASSERT_EQ(Open(ds, b.data, Form::Explicit), TogDicomLib::ResultSuccess);
    const TogDicomDataElement* pixels = ds.FindElement(0x7FE0, 0x0010);
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(pixels->GetChildCount(), 2u);
    EXPECT_EQ(pixels->GetChildAt(0)->GetItemOffset(), 12);
    EXPECT_EQ(pixels->GetChildAt(1)->GetItemOffset(), static_cast<int64_t>(fragment));
    EXPECT_EQ(pixels->GetChildAt(1)->GetValueOffset(), static_cast<int64_t>(fragment + 8));
}

TEST(TogDicomDatasetItemOffset, AnItemLongerThanItsSequenceEndsWithIt) {
    // The sequence holds 2 items; the last one claims 24 bytes more than is
    // left of the sequence and of the source.
    for (bool at_end : {true, false}) {
        SCOPED_TRACE(at_end);
        Bytes items(Form::Explicit);
        items.Item(12).Element(0x0008, 0x0100, "SH", "CODE");
        items.Item(12 + 24).Element(0x0008, 0x0100, "SH", "LAST");
        Bytes b(Form::Explicit);
        b.Header(0x0004, 0x1220, "SQ", static_cast<uint32_t>(items.data.size()));
        b.Append(items);
        if (!at_end) b.Element(0x0010, 0x0010, "PN", "AFTER^IT");
        TogDicomDataset ds;
        ASSERT_EQ(Open(ds, b.data, Form::Explicit), TogDicomLib::ResultSuccess);
        const TogDicomDataElement* sequence = ds.FindElement(0x0004, 0x1220);
        ASSERT_NE(sequence, nullptr);
        ASSERT_EQ(sequence->GetChildCount(), 2u);
        TogString text;
        EXPECT_EQ(sequence->GetChildAt(1)->GetChildText(0x0008, 0x0100, text), 0);
        EXPECT_EQ(text, u"LAST");
        EXPECT_EQ(ds.FindElement(0x0010, 0x0010) != nullptr, !at_end);
    }
}

}  // namespace

namespace {

TEST(TogDicomDatasetItemOffset, AnItemHeaderPastItsSequenceReadsNothingOfTheItem) {
    // The sequence claims 4 bytes, less than the item header it starts with:
    // the item is read as empty and the elements after it stay top level.
    Bytes b(Form::Explicit);
    b.Header(0x0008, 0x1140, "SQ", 4);
    b.Item(20);
    b.Element(0x0008, 0x1150, "UI", std::string("1.2.3.4\0", 8));
    b.Element(0x0010, 0x0010, "PN", "AFTER^IT");
    TogDicomDataset ds;
    ASSERT_EQ(Open(ds, b.data, Form::Explicit), TogDicomLib::ResultSuccess);
    const TogDicomDataElement* sequence = ds.FindElement(0x0008, 0x1140);
    ASSERT_NE(sequence, nullptr);
    ASSERT_EQ(sequence->GetChildCount(), 1u);
    EXPECT_EQ(sequence->GetChildAt(0)->GetChildCount(), 0u);
    EXPECT_NE(ds.FindElement(0x0008, 0x1150), nullptr);
    EXPECT_NE(ds.FindElement(0x0010, 0x0010), nullptr);
}

}  // namespace
