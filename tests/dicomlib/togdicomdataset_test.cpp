#include "dicomlib/togdicomdataset.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dataset_builder.h"
#include "dataset_dump.h"
#include "dataset_sources.h"
#include "dicomlib/togresult.h"
#include "recording_log_writer.h"

namespace {

using namespace TogDicomLib;
using dataset_builder::Bytes;
using dataset_builder::Form;
using dataset_builder::kUndefined;
using dataset_builder::Le16;
using dataset_builder::Le32;

const char kExplicitLittle[] = "1.2.840.10008.1.2.1";
const char kExplicitBig[] = "1.2.840.10008.1.2.2";
const char kImplicit[] = "1.2.840.10008.1.2";
const char kPydicomFiles[] = "/usr/lib/python3/dist-packages/pydicom/data/test_files/";

// Bytes of a literal, NULs included.
template <size_t N>
std::string S(const char (&bytes)[N]) {
    return std::string(bytes, N - 1);
}

std::string Text(const TogDicomDataElement* e, int index = -1) {
    TogString text;
    if (e == nullptr || e->GetText(text, VR::Blank, index) != ResultSuccess) return "<none>";
    return text.ToUtf8();
}

TogString Uid(const char* uid) {
    return TogString::FromUtf8(uid);
}

// One parse result: the code, the tree and the Pixel Data bounds.
struct Parsed {
    int result = -1;
    std::string tree;
    int64_t pixelStart = 0;
    int64_t pixelSize = 0;
    bool operator==(const Parsed& o) const {
        return result == o.result && tree == o.tree && pixelStart == o.pixelStart && pixelSize == o.pixelSize;
    }
};

Parsed Summary(const TogDicomDataset& ds, int result) {
    return {result, dataset_dump::Dump(*ds.GetRoot()), ds.GetPixelDataStart(), ds.GetPixelDataSize()};
}

// Parses from memory into `ds` and returns the result.
int Parse(TogDicomDataset& ds, const std::vector<uint8_t>& bytes, bool part10, const char* syntax = "") {
    return ds.OpenReadingFile(TogDicomSource::FromMemory(bytes.data(), bytes.size()), part10, Uid(syntax), 1);
}

// Parses in the sources whose size is known (memory, callbacks with size, a
// stream over a temporary file) and checks that they agree.
Parsed ParseEveryKnownSize(const std::vector<uint8_t>& bytes, bool part10, const char* syntax = "",
                           const TogDicomDatasetSettings* settings = nullptr) {
    TogDicomDataset memory(settings);
    const Parsed fromMemory = Summary(memory, Parse(memory, bytes, part10, syntax));

    dataset_sources::VectorSource source{bytes};
    TogDicomDataset callbacks(settings);
    const Parsed fromCallbacks =
        Summary(callbacks, callbacks.OpenReadingFile(source.Callbacks(true), part10, Uid(syntax), 1));
    EXPECT_TRUE(fromCallbacks == fromMemory) << fromCallbacks.result << "\n" << fromCallbacks.tree;

    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    TogDicomDataset stream(settings);
    const Parsed fromStream = Summary(
        stream, stream.OpenReadingFile(TogDicomSource::FromStream(file, TogString(u"temp")), part10, Uid(syntax), 1));
    std::fclose(file);
    // Values held by position name their source; the rest agrees.
    EXPECT_EQ(fromStream.result, fromMemory.result);
    EXPECT_EQ(fromStream.tree, fromMemory.tree);
    return fromMemory;
}

Bytes Part10(const char* syntax, bool groupLength = true) {
    Bytes b;
    b.Preamble().Meta(syntax, groupLength);
    return b;
}

// ---------------------------------------------------------------------------
// PS3.10 files, bare data sets and transfer syntaxes

TEST(TogDicomDatasetReader, ExplicitLittleEndianPart10) {
    Bytes file = Part10(kExplicitLittle);
    Bytes body(Form::Explicit);
    body.Element(0x0008, 0x0060, "CS", "MR")
        .Element(0x0028, 0x0010, "US", Le16(512))
        .Element(0x0028, 0x0100, "US", Le16(16))
        .Element(0x0010, 0x0010, "PN", "Doe^John");
    file.Append(body);
    const size_t pixelAt = file.Size();
    file.Header(0x7FE0, 0x0010, "OW", 8).Raw("12345678");
    const Parsed p = ParseEveryKnownSize(file.data, true);
    EXPECT_EQ(p.result, ResultSuccess);
    EXPECT_EQ(p.pixelStart, static_cast<int64_t>(pixelAt));
    EXPECT_EQ(p.pixelSize, 20);
    EXPECT_EQ(p.tree,
              "(0002,0000) UL 4 [42]\n"
              "(0002,0001) OB 2 =0001\n"
              "(0002,0010) UI 20 [1.2.840.10008.1.2.1]\n"
              "(0008,0060) CS 2 [MR]\n"
              "(0010,0010) PN 8 [Doe^John]\n"
              "(0028,0010) US 2 [512]\n"
              "(0028,0100) US 2 [16]\n"
              "(7fe0,0010) OW 8 @" + std::to_string(pixelAt + 12) + "\n");
}

TEST(TogDicomDatasetReader, BigEndianSwapsNumbersButNotText) {
    Bytes file = Part10(kExplicitBig);
    Bytes body(Form::ExplicitBig);
    body.Element(0x0008, 0x0060, "CS", "CT")
        .Element(0x0018, 0x9087, "FL", S("\x3f\xc0\x00\x00"))  // 1.5
        .Element(0x0018, 0x9089, "FD", S("\x40\x01\0\0\0\0\0\0"))  // 2.125
        .Element(0x0028, 0x0009, "AT", S("\x00\x18\x10\x63"))
        .Element(0x0028, 0x0010, "US", S("\x02\x00"))
        .Element(0x0028, 0x0106, "SS", "\xff\xfe")
        .Element(0x0028, 0x1201, "OW", "\x12\x34\x56\x78")
        .Element(0x0029, 0x1010, "OB", "\x12\x34");
    file.Append(body);
    TogDicomDataset ds;
    ASSERT_EQ(Parse(ds, file.data, true), ResultSuccess);
    EXPECT_EQ(Text(ds.FindElement(0x0008, 0x0060)), "CT");
    EXPECT_EQ(Text(ds.FindElement(0x0018, 0x9087)), "1.500000");
    EXPECT_EQ(Text(ds.FindElement(0x0018, 0x9089)), "2.125000");
    EXPECT_EQ(Text(ds.FindElement(0x0028, 0x0009)), "00181063");
    EXPECT_EQ(ds.GetUIntOrDefault(0x0028, 0x0010, 0), 512u);
    EXPECT_EQ(ds.GetIntOrDefault(0x0028, 0x0106, 0), -2);
    const uint8_t* ow = ds.FindElement(0x0028, 0x1201)->GetValueData();
    EXPECT_EQ(std::vector<uint8_t>(ow, ow + 4), (std::vector<uint8_t>{0x34, 0x12, 0x78, 0x56}));
    const uint8_t* ob = ds.FindElement(0x0029, 0x1010)->GetValueData();
    EXPECT_EQ(std::vector<uint8_t>(ob, ob + 2), (std::vector<uint8_t>{0x12, 0x34}));
}

TEST(TogDicomDatasetReader, BareDataSetsInTheGivenSyntax) {
    struct Case {
        Form form;
        const char* syntax;
    };
    for (const Case& c : {Case{Form::Implicit, kImplicit}, Case{Form::Implicit, ""},
                          Case{Form::Explicit, kExplicitLittle}, Case{Form::ExplicitBig, kExplicitBig},
                          Case{Form::Explicit, "1.2.840.10008.1.2.4.50"},
                          Case{Form::Explicit, "1.2.3.4.unknown"}}) {
        Bytes body(c.form);
        body.Element(0x0008, 0x0060, "CS", "US").Element(0x0028, 0x0011, "US", c.form == Form::ExplicitBig ? S("\x01\x00") : S("\x00\x01"));
        const Parsed p = ParseEveryKnownSize(body.data, false, c.syntax);
        EXPECT_EQ(p.result, ResultSuccess) << c.syntax;
        EXPECT_EQ(p.tree, "(0008,0060) CS 2 [US]\n(0028,0011) US 2 [256]\n") << c.syntax;
    }
}

TEST(TogDicomDatasetReader, WithoutPreambleReadsImplicitAndFollowsItsTransferSyntax) {
    // Implicit from the first byte; (0002,0010) switches what follows.
    Bytes head(Form::Implicit);
    head.Element(0x0002, 0x0010, "UI", std::string(kExplicitLittle) + '\0');
    Bytes rest(Form::Explicit);
    rest.Element(0x0008, 0x0060, "CS", "OT").Element(0x0010, 0x0010, "PN", "A^B ");
    head.Append(rest);
    const Parsed p = ParseEveryKnownSize(head.data, true);
    EXPECT_EQ(p.result, ResultSuccess);
    EXPECT_EQ(p.tree,
              "(0002,0010) UI 20 [1.2.840.10008.1.2.1]\n"
              "(0008,0060) CS 2 [OT]\n"
              "(0010,0010) PN 4 [A^B]\n");

    // Shorter than a preamble: read from the first byte.
    Bytes tiny(Form::Implicit);
    tiny.Element(0x0008, 0x0060, "CS", "MR");
    EXPECT_EQ(ParseEveryKnownSize(tiny.data, true).tree, "(0008,0060) CS 2 [MR]\n");
}

TEST(TogDicomDatasetReader, MetaGroupWithoutGroupLengthEndsWithGroup0002) {
    for (const char* syntax : {kImplicit, kExplicitBig}) {
        Bytes file = Part10(syntax, false);
        Bytes body(std::string(syntax) == kImplicit ? Form::Implicit : Form::ExplicitBig);
        body.Element(0x0008, 0x0060, "CS", "RT").Element(0x0028, 0x0010, "US", std::string(syntax) == kImplicit ? S("\x10\x00") : S("\x00\x10"));
        file.Append(body);
        const Parsed p = ParseEveryKnownSize(file.data, true);
        EXPECT_EQ(p.result, ResultSuccess) << syntax;
        EXPECT_THAT(p.tree, ::testing::EndsWith("(0008,0060) CS 2 [RT]\n(0028,0010) US 2 [16]\n")) << syntax;
    }
}

TEST(TogDicomDatasetReader, DataSetInTheOtherVRFormIsReadAsWritten) {
    // The first element after the meta group shows the VR form; a VR whose
    // length would run past the source leaves the declared form.
    const std::string large = S("\xff\xff\xff\x7f") + std::string(0x424F - 4, 'x');
    struct Case {
        const char* syntax;
        Form written;
        std::string first;  // how the first element's tree line starts
    };
    const Case cases[] = {
        {kExplicitLittle, Form::Implicit, "(0008,0060) CS 2 [RT]\n"},
        {"1.2.840.10008.1.2.4.50", Form::Implicit, "(0008,0060) CS 2 [RT]\n"},
        {kImplicit, Form::Explicit, "(0008,0060) CS 2 [RT]\n"},
        {kImplicit, Form::Implicit, "(0008,1010) SH 16976 ["},
    };
    for (const Case& c : cases) {
        Bytes file = Part10(c.syntax);
        Bytes body(c.written);
        if (c.first.rfind("(0008,1010)", 0) == 0) {
            body.Element(0x0008, 0x1010, "SH", large);
        } else {
            body.Element(0x0008, 0x0060, "CS", "RT");
        }
        body.Element(0x0028, 0x0010, "US", S("\x10\x00"));
        file.Append(body);
        const Parsed p = ParseEveryKnownSize(file.data, true);
        EXPECT_EQ(p.result, ResultSuccess) << c.syntax;
        EXPECT_THAT(p.tree, ::testing::HasSubstr(c.first)) << c.syntax;
        EXPECT_THAT(p.tree, ::testing::EndsWith("(0028,0010) US 2 [16]\n")) << c.syntax;
    }
}

TEST(TogDicomDatasetReader, WrongMetaGroupLengthsDoNotChangeWhereTheMetaGroupEnds) {
    // The group length claims too much (the data set would be read as
    // explicit VR) or too little (the meta group's tail would be read as
    // implicit VR): the meta group still ends with group 0002.
    for (const uint32_t claimed : {0x1000u, 10u}) {
        Bytes meta(Form::Explicit);
        meta.Element(0x0002, 0x0001, "OB", std::string("\0\1", 2));
        meta.Element(0x0002, 0x0010, "UI", std::string(kImplicit) + '\0');
        Bytes file;
        file.Preamble().Header(0x0002, 0x0000, "UL", 4).U32(claimed).Append(meta);
        file.Append(Bytes(Form::Implicit).Element(0x0008, 0x0060, "CS", "RT").Element(0x0028, 0x0010, "US", S("\x10\x00")));
        const Parsed p = ParseEveryKnownSize(file.data, true);
        EXPECT_EQ(p.result, ResultSuccess) << claimed;
        EXPECT_THAT(p.tree, ::testing::HasSubstr("(0002,0010) UI 18 [1.2.840.10008.1.2]\n")) << claimed;
        EXPECT_THAT(p.tree, ::testing::EndsWith("(0008,0060) CS 2 [RT]\n(0028,0010) US 2 [16]\n")) << claimed;
    }
}

TEST(TogDicomDatasetReader, DeflatedDataSetsAreRefused) {
    Bytes file = Part10("1.2.840.10008.1.2.1.99");
    file.Raw(std::string("\x63\x60\x60\x60\x00\x02\x00\x00", 8));
    TogDicomDataset ds;
    EXPECT_EQ(Parse(ds, file.data, true), ResultMalformed);
    // The meta group stays.
    EXPECT_EQ(Text(ds.FindElement(0x0002, 0x0010)), "1.2.840.10008.1.2.1.99");
    EXPECT_EQ(ds.GetRoot()->GetChildCount(), 3u);
    EXPECT_EQ(Parse(ds, Bytes().Element(0x0008, 0x0060, "CS", "MR").data, false, "1.2.840.10008.1.2.1.99"),
              ResultMalformed);
    // A deflated file with nothing after its meta group has nothing to refuse.
    EXPECT_EQ(Parse(ds, Part10("1.2.840.10008.1.2.1.99").data, true), ResultSuccess);
}

TEST(TogDicomDatasetReader, ReopeningStartsAfresh) {
    TogDicomDataset ds;
    ASSERT_EQ(Parse(ds, Bytes().Element(0x0008, 0x0060, "CS", "MR").data, false, kExplicitLittle), ResultSuccess);
    ASSERT_EQ(Parse(ds, Bytes().Element(0x0008, 0x0070, "LO", "Maker ").data, false, kExplicitLittle), ResultSuccess);
    EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()), "(0008,0070) LO 6 [Maker]\n");
    EXPECT_EQ(ds.GetUserFlags(), 1u);
}

// ---------------------------------------------------------------------------
// Values

TEST(TogDicomDatasetReader, OddLengthsArePaddedWithoutSwallowingTheNextTag) {
    Bytes body(Form::Explicit);
    body.Element(0x0010, 0x0010, "PN", "Smith").Element(0x0010, 0x0020, "LO", "ID42");
    for (const bool keepOdd : {false, true}) {
        TogDicomDataset ds;
        ds.SetKeepOddLengths(keepOdd);
        ASSERT_EQ(Parse(ds, body.data, false, kExplicitLittle), ResultSuccess);
        const TogDicomDataElement* name = ds.FindElement(0x0010, 0x0010);
        EXPECT_EQ(name->GetValueLength(), keepOdd ? 5u : 6u);
        EXPECT_EQ(Text(name), "Smith");
        if (!keepOdd) {
            EXPECT_EQ(name->GetValueData()[5], 0);
        }
        EXPECT_EQ(Text(ds.FindElement(0x0010, 0x0020)), "ID42");
    }
}

TEST(TogDicomDatasetReader, PixelDataIsRecordedByPositionWhateverItsLength) {
    for (const uint32_t length : {0u, 2u, 65535u}) {
        Bytes body(Form::Explicit);
        body.Element(0x0028, 0x0100, "US", Le16(8));
        const size_t at = body.Size();
        body.Header(0x7FE0, 0x0010, "OB", length).Raw(std::string(length, '\x5a'));
        body.Element(0xFFFC, 0xFFFC, "OB", std::string(4, '\0'));
        TogDicomDataset ds;
        ASSERT_EQ(Parse(ds, body.data, false, kExplicitLittle), ResultSuccess) << length;
        const TogDicomDataElement* pixel = ds.FindElement(0x7FE0, 0x0010);
        EXPECT_EQ(pixel->GetStorageMode(), ValueStorage::Position) << length;
        EXPECT_EQ(pixel->GetValueData(), nullptr);
        EXPECT_EQ(pixel->GetValueLength(), length);
        EXPECT_EQ(pixel->GetValueOffset(), static_cast<int64_t>(at + 12));
        EXPECT_NE(ds.FindElement(0xFFFC, 0xFFFC), nullptr) << length;
        EXPECT_EQ(ds.GetPixelDataSize(), 12 + length);
    }
}

TEST(TogDicomDatasetReader, EncapsulatedPixelData) {
    Bytes file = Part10("1.2.840.10008.1.2.4.50");
    file.Append(Bytes().Element(0x0028, 0x0100, "US", Le16(8)));
    const size_t pixelAt = file.Size();
    file.Header(0x7FE0, 0x0010, "OB", kUndefined).Item(8).Raw(Le32(0) + Le32(20));
    const size_t first = file.Size() + 8;
    file.Item(12).Raw(std::string(12, '\x11'));
    const size_t second = file.Size() + 8;
    file.Item(6).Raw(std::string(6, '\x22')).SequenceEnd();
    const Parsed p = ParseEveryKnownSize(file.data, true);
    ASSERT_EQ(p.result, ResultSuccess);
    EXPECT_THAT(p.tree, ::testing::EndsWith("(7fe0,0010) OB u/l []\n"
                                            "  (fffe,e000) -- 8 =0000000014000000\n"
                                            "  (fffe,e000) -- 12 @" + std::to_string(first) + "\n"
                                            "  (fffe,e000) -- 6 @" + std::to_string(second) + "\n"));
    EXPECT_EQ(p.pixelStart, static_cast<int64_t>(pixelAt));
    EXPECT_EQ(p.pixelSize, static_cast<int64_t>(file.Size() - pixelAt));
}

// Every defined length is checked against what remains before anything is
// allocated.
TEST(TogDicomDatasetReader, CorruptLengthsAreRefusedBeforeAllocating) {
    std::vector<std::pair<const char*, Bytes>> cases;
    cases.emplace_back("value", Bytes().Element(0x0008, 0x0060, "CS", "MR").Header(0x0009, 0x1010, "OB", 0x7FFFFFF0));
    cases.emplace_back("odd value", Bytes().Header(0x0009, 0x1010, "UT", 0xFFFFFFFE));
    cases.emplace_back("pixel data", Bytes().Header(0x7FE0, 0x0010, "OB", 0xF0000000));
    cases.emplace_back("sequence", Bytes().Header(0x0008, 0x1140, "SQ", 0x10000000));
    cases.emplace_back("item", Bytes().Header(0x0008, 0x1140, "SQ", kUndefined).Item(0x10000000));
    cases.emplace_back("offset table",
                       Bytes().Header(0x7FE0, 0x0010, "OB", kUndefined).Item(0x40000000).Raw("xxxx"));
    cases.emplace_back("fragment",
                       Bytes().Header(0x7FE0, 0x0010, "OB", kUndefined).Item(0).Item(0x40000000).Raw("xxxx"));
    cases.emplace_back("undefined offset table", Bytes().Header(0x7FE0, 0x0010, "OB", kUndefined).Item(kUndefined));
    cases.emplace_back("truncated tag", Bytes().Element(0x0008, 0x0060, "CS", "MR").Raw("\x08\x00"));
    cases.emplace_back("private sequence", Bytes().Header(0x0009, 0x1010, "SQ", 0x10000000));
    TogDicomDatasetSettings skipping;
    skipping.skipPrivateSequences = 1;
    for (auto& [name, bytes] : cases) {
        EXPECT_EQ(ParseEveryKnownSize(bytes.data, false, kExplicitLittle).result, ResultMalformed) << name;
        EXPECT_EQ(ParseEveryKnownSize(bytes.data, false, kExplicitLittle, &skipping).result, ResultMalformed)
            << name;
    }
}

// A value allocator that records every request.
class CountingAllocator : public TogIValueAllocator {
public:
    int requests = 0;
    bool Allocate(uint32_t bytes, TogValueAllocation& handle, TogIRelocationEvent*) noexcept override {
        ++requests;
        handle.block = std::malloc(bytes);
        handle.allocator = this;
        return handle.block != nullptr;
    }
    void Release(TogValueAllocation& handle) noexcept override { std::free(handle.block); }
    void* Resolve(const TogValueAllocation& handle) noexcept override { return handle.block; }
};

// A value allocator that refuses every block.
class RefusingAllocator : public TogIValueAllocator {
public:
    bool Allocate(uint32_t, TogValueAllocation&, TogIRelocationEvent*) noexcept override { return false; }
    void Release(TogValueAllocation&) noexcept override {}
    void* Resolve(const TogValueAllocation&) noexcept override { return nullptr; }
};

// A value that cannot be allocated is out of memory, not a malformed data
// set, at the top level, in an item and as the basic offset table.
TEST(TogDicomDatasetReader, ValuesThatCannotBeAllocatedAreOutOfMemory) {
    RefusingAllocator allocator;
    TogDicomDatasetSettings settings;
    settings.allocator = &allocator;
    settings.allocatorThreshold = 8;
    const std::string value(64, 'x');
    for (const Bytes& bytes :
         {Bytes().Element(0x0008, 0x0060, "CS", "MR").Element(0x0009, 0x1010, "OB", value),
          Bytes().Header(0x0008, 0x1140, "SQ", kUndefined).Item().Element(0x0008, 0x1150, "UI", value)
              .ItemEnd().SequenceEnd(),
          Bytes().Header(0x7FE0, 0x0010, "OB", kUndefined).Item(64).Raw(value).SequenceEnd()})
        EXPECT_EQ(ParseEveryKnownSize(bytes.data, false, kExplicitLittle, &settings).result, ResultOutOfMemory);
}

TEST(TogDicomDatasetReader, UnknownSizeReadsLargeValuesInPieces) {
    CountingAllocator allocator;
    TogDicomDatasetSettings settings;
    settings.allocator = &allocator;
    settings.allocatorThreshold = 1;
    Bytes body;
    body.Element(0x0008, 0x0060, "CS", "MR").Header(0x0009, 0x1010, "OB", 0x7FFFFFF0).Raw("only a few bytes");
    dataset_sources::VectorSource source{body.data};
    TogDicomDataset ds(&settings);
    // The source's own failure code comes back; nothing was allocated for the
    // value.
    EXPECT_EQ(ds.OpenReadingFile(source.Callbacks(false), false, Uid(kExplicitLittle), 0), -1);
    EXPECT_EQ(allocator.requests, 0);
    EXPECT_EQ(Text(ds.FindElement(0x0008, 0x0060)), "MR");

    // A large value that is really there arrives whole.
    Bytes whole;
    const std::string value(3 * 1024 * 1024 + 2, '\x42');
    whole.Element(0x0009, 0x1010, "OB", value).Element(0x0009, 0x1011, "OB", "ok");
    dataset_sources::VectorSource wholeSource{whole.data};
    ASSERT_EQ(ds.OpenReadingFile(wholeSource.Callbacks(false), false, Uid(kExplicitLittle), 0), ResultSuccess);
    const TogDicomDataElement* e = ds.FindElement(0x0009, 0x1010);
    EXPECT_EQ(e->GetStorageMode(), ValueStorage::Allocator);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e->GetValueData()), value.size()), value);
    EXPECT_NE(ds.FindElement(0x0009, 0x1011), nullptr);
}

// ---------------------------------------------------------------------------
// Sequences

// `levels` sequences nested in one another, each of undefined length.
// `levels` sequences nested in one another, each with one item, around one
// element; undefined lengths, or defined ones; then an element after them.
Bytes Nested(Form form, int levels, bool defined = false) {
    Bytes inner(form);
    inner.Element(0x0008, 0x1150, "UI", "1.2.3.4");
    for (int i = 0; i < levels; ++i) {
        Bytes wrapped(form);
        if (defined) {
            const auto size = static_cast<uint32_t>(inner.data.size());
            wrapped.Header(0x0008, 0x1140, "SQ", size + 8).Item(size).Append(inner);
        } else {
            wrapped.Header(0x0008, 0x1140, "SQ", kUndefined).Item().Append(inner).ItemEnd().SequenceEnd();
        }
        inner = wrapped;
    }
    return inner.Element(0x0010, 0x0010, "PN", "AFTER^");
}

// Elements in falling tag order, a tag read twice (the later one wins) and
// a file cut short: the tree is the one of the same elements in order.
TEST(TogDicomDatasetReader, ElementsOutOfOrderAreOrderedAsTheyAreAttached) {
    auto value = [](uint32_t e) { return std::string{'A', static_cast<char>('0' + e % 10)}; };
    Bytes falling = Part10(kExplicitLittle);
    Bytes rising = Part10(kExplicitLittle);
    for (uint32_t e = 40; e > 0; --e) falling.Element(0x0011 + 2 * (e % 3), e, "LO", value(e));
    falling.Element(0x0015, 5, "LO", "LATE");
    for (uint32_t e = 1; e <= 40; ++e) rising.Element(0x0011 + 2 * (e % 3), e, "LO", e == 5 ? "LATE" : value(e));
    const Parsed in_order = ParseEveryKnownSize(rising.data, true);
    ASSERT_EQ(in_order.result, ResultSuccess);
    EXPECT_EQ(ParseEveryKnownSize(falling.data, true).tree, in_order.tree);
    // Cut inside the last element: what was read is attached, in order.
    std::vector<uint8_t> cut = falling.data;
    cut.resize(cut.size() - 3);
    TogDicomDataset ds;
    EXPECT_NE(Parse(ds, cut, true), ResultSuccess);
    EXPECT_EQ(ds.GetRoot()->GetChildCount(), 3u + 40u);
    EXPECT_EQ(Text(ds.GetRoot()->FindChild(0x0015, 5)), "A5");
}

// Sequences nest eleven levels deep; the content of a deeper one is passed
// over (by its length, or by scanning to its delimiter) and what follows it
// loads; a file cut inside it fails.
TEST(TogDicomDatasetReader, SequencesBeyondElevenLevelsArePassedOver) {
    for (const Form form : {Form::Implicit, Form::Explicit, Form::ExplicitBig})
        for (const bool defined : {false, true})
            for (const int levels : {11, 12, 13, 200}) {
                SCOPED_TRACE(std::to_string(levels) + (defined ? " defined" : " undefined"));
                const char* syntax = form == Form::Implicit ? kImplicit
                                     : form == Form::Explicit ? kExplicitLittle
                                                              : kExplicitBig;
                const Bytes nested = Nested(form, levels, defined);
                TogDicomDataset ds;
                ASSERT_EQ(Parse(ds, nested.data, false, syntax), ResultSuccess);
                EXPECT_EQ(Text(ds.GetRoot()->FindChild(0x0010, 0x0010)), "AFTER^");
                const TogDicomDataElement* e = ds.GetRoot();
                for (int i = 0; i < std::min(levels, 11); ++i) e = e->FindChild(0x0008, 0x1140)->GetChildAt(0);
                if (levels == 11) {
                    EXPECT_EQ(Text(e->FindChild(0x0008, 0x1150)), "1.2.3.4");
                } else {
                    // The twelfth sequence is there, without items.
                    ASSERT_NE(e->FindChild(0x0008, 0x1140), nullptr);
                    EXPECT_EQ(e->FindChild(0x0008, 0x1140)->GetChildCount(), 0u);
                }
                std::vector<uint8_t> cut = nested.data;
                cut.resize(cut.size() / 2 + 3);
                EXPECT_NE(ParseEveryKnownSize(cut, false, syntax).result, ResultSuccess);
            }
}

TEST(TogDicomDatasetReader, DefinedAndUndefinedLengthItems) {
    Bytes item;
    item.Element(0x0008, 0x1150, "UI", "1.2.3.4").Element(0x0008, 0x1155, "UI", "5.6");
    Bytes body;
    body.Header(0x0008, 0x1115, "SQ", static_cast<uint32_t>(2 * (8 + item.Size())))
        .Item(static_cast<uint32_t>(item.Size()))
        .Append(item)
        .Item(static_cast<uint32_t>(item.Size()))
        .Append(item)
        .Header(0x0008, 0x1140, "SQ", kUndefined)
        .Item()
        .Append(item)
        .ItemEnd()
        .Item(0)
        .SequenceEnd()
        .Element(0x0020, 0x000D, "UI", "9.9");
    const Parsed p = ParseEveryKnownSize(body.data, false, kExplicitLittle);
    ASSERT_EQ(p.result, ResultSuccess);
    EXPECT_EQ(p.tree,
              "(0008,1115) SQ 68 []\n"
              "  (fffe,e000) -- 26 []\n"
              "    (0008,1150) UI 8 [1.2.3.4]\n"
              "    (0008,1155) UI 4 [5.6]\n"
              "  (fffe,e000) -- 26 []\n"
              "    (0008,1150) UI 8 [1.2.3.4]\n"
              "    (0008,1155) UI 4 [5.6]\n"
              "(0008,1140) SQ u/l []\n"
              "  (fffe,e000) -- u/l []\n"
              "    (0008,1150) UI 8 [1.2.3.4]\n"
              "    (0008,1155) UI 4 [5.6]\n"
              "  (fffe,e000) -- 0 []\n"
              "(0020,000d) UI 4 [9.9]\n");
}

// A private sequence whose explicit VR is "UN", with the contents in the
// given form.
Bytes UnSequence(Form contents) {
    Bytes inner(contents);
    inner.Element(0x0008, 0x0060, "CS", "MR").Element(0x0008, 0x0070, "LO", "Maker ");
    Bytes body(Form::Explicit);
    body.Header(0x0009, 0x1001, "UN", kUndefined);
    Bytes items(Form::Explicit);
    items.Item().Append(inner).ItemEnd().SequenceEnd();
    body.Append(items).Element(0x0010, 0x0010, "PN", "After");
    return body;
}

TEST(TogDicomDatasetReader, UnSequenceModes) {
    const std::string contents =
        "(0009,1001) UN u/l []\n"
        "  (fffe,e000) -- u/l []\n"
        "    (0008,0060) CS 2 [MR]\n"
        "    (0008,0070) LO 6 [Maker]\n"
        "(0010,0010) PN 6 [After]\n";
    struct Case {
        int32_t mode;
        Form contents;
    };
    for (const Case& c : {Case{UnSequenceImplicit, Form::Implicit}, Case{UnSequenceEnclosing, Form::Explicit},
                          Case{UnSequenceDetect, Form::Implicit}, Case{UnSequenceDetect, Form::Explicit}}) {
        TogDicomDatasetSettings settings;
        settings.unSequenceMode = c.mode;
        const Parsed p = ParseEveryKnownSize(UnSequence(c.contents).data, false, kExplicitLittle, &settings);
        EXPECT_EQ(p.result, ResultSuccess) << c.mode;
        EXPECT_EQ(p.tree, contents) << c.mode;
    }
}

TEST(TogDicomDatasetReader, PrivateSequencesCanBeSkipped) {
    Bytes item;
    item.Element(0x0009, 0x1002, "LO", "inner ");
    Bytes body;
    body.Element(0x0008, 0x0060, "CS", "MR")
        .Header(0x0009, 0x1001, "SQ", static_cast<uint32_t>(8 + item.Size()))
        .Item(static_cast<uint32_t>(item.Size()))
        .Append(item)
        .Header(0x0009, 0x1003, "SQ", kUndefined)
        .Item()
        .Append(item)
        .ItemEnd()
        .SequenceEnd()
        .Element(0x0010, 0x0010, "PN", "After");
    TogDicomDatasetSettings settings;
    settings.skipPrivateSequences = 1;
    const Parsed p = ParseEveryKnownSize(body.data, false, kExplicitLittle, &settings);
    ASSERT_EQ(p.result, ResultSuccess);
    EXPECT_EQ(p.tree,
              "(0008,0060) CS 2 [MR]\n"
              "(0009,1003) SQ u/l []\n"
              "  (fffe,e000) -- u/l []\n"
              "    (0009,1002) LO 6 [inner]\n"
              "(0010,0010) PN 6 [After]\n");
}

// ---------------------------------------------------------------------------
// The VR of Pixel Data

TEST(TogDicomDatasetReader, PixelDataVRFollowsTheTransferSyntax) {
    struct Case {
        const char* syntax;
        const char* storedVR;
        int bitsAllocated;  // 0: absent
        bool encapsulated;
        const char* expectedVR;
    };
    const Case cases[] = {
        {kImplicit, "OB", 8, false, "OW"},
        {kExplicitLittle, "OW", 8, false, "OB"},
        {kExplicitLittle, "OB", 16, false, "OW"},
        {kExplicitBig, "OB", 12, false, "OW"},
        {kExplicitLittle, "OB", 0, false, "OB"},
        {"1.2.840.10008.1.2.4.70", "OW", 16, true, "OB"},
        {"1.2.840.10008.1.2.4.70", "OB", 16, false, "OW"},
        {"1.2.840.10008.1.2.4.70", "OW", 0, false, "OW"},
        {"1.2.840.10008.1.2.4.50", "OW", 8, true, "OW"},
    };
    for (const Case& c : cases) {
        const Form form = std::string(c.syntax) == kImplicit      ? Form::Implicit
                          : std::string(c.syntax) == kExplicitBig ? Form::ExplicitBig
                                                                  : Form::Explicit;
        Bytes file = Part10(c.syntax);
        Bytes body(form);
        if (c.bitsAllocated != 0) body.Header(0x0028, 0x0100, "US", 2).U16(static_cast<uint32_t>(c.bitsAllocated));
        if (c.encapsulated) {
            body.Header(0x7FE0, 0x0010, c.storedVR, kUndefined).Item(0).Item(2).Raw("ab").SequenceEnd();
        } else {
            body.Element(0x7FE0, 0x0010, c.storedVR, "abcd");
        }
        file.Append(body);
        TogDicomDataset ds;
        ASSERT_EQ(Parse(ds, file.data, true), ResultSuccess) << c.syntax;
        EXPECT_EQ(dataset_dump::VRText(ds.FindElement(0x7FE0, 0x0010)->GetVR()), c.expectedVR)
            << c.syntax << " " << c.storedVR << " " << c.bitsAllocated;
    }

    // Nested data sets carry no transfer syntax: their Pixel Data becomes OW.
    Bytes file = Part10(kExplicitLittle);
    Bytes icon;
    icon.Element(0x0028, 0x0100, "US", Le16(8)).Element(0x7FE0, 0x0010, "OB", "ab");
    file.Header(0x0088, 0x0200, "SQ", kUndefined).Item().Append(icon).ItemEnd().SequenceEnd();
    TogDicomDataset ds;
    ASSERT_EQ(Parse(ds, file.data, true), ResultSuccess);
    const TogDicomDataElement* nested = ds.FindElement(0x0088, 0x0200)->GetChildAt(0)->FindChild(0x7FE0, 0x0010);
    EXPECT_EQ(nested->GetVR(), VR::OW);
    EXPECT_EQ(nested->GetStorageMode(), ValueStorage::Position);

    // Bits Allocated that cannot be read is the opening's result.
    Bytes empty = Part10(kExplicitLittle);
    empty.Element(0x0028, 0x0100, "US", "").Element(0x7FE0, 0x0010, "OB", "ab");
    EXPECT_EQ(Parse(ds, empty.data, true), ResultNoValue);
}

// ---------------------------------------------------------------------------
// Sources

TEST(TogDicomDatasetReader, ReadAheadSavesCallbackCalls) {
    const std::string path = std::string(kPydicomFiles) + "CT_small.dcm";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "pydicom's test files are not installed";
    dataset_sources::VectorSource direct{dataset_sources::ReadFileBytes(path)};
    dataset_sources::VectorSource ahead{direct.bytes};
    TogDicomDataset a;
    TogDicomDataset b;
    ASSERT_EQ(a.OpenReadingFile(direct.Callbacks(false), true, TogString(), 1), ResultSuccess);
    ASSERT_EQ(b.OpenReadingFile(ahead.Callbacks(true), true, TogString(), 1), ResultSuccess);
    EXPECT_EQ(dataset_dump::Dump(*a.GetRoot()), dataset_dump::Dump(*b.GetRoot()));
    EXPECT_GT(direct.reads, 500);
    EXPECT_GT(direct.endQueries, 200);
    EXPECT_LE(ahead.reads, 2);
    EXPECT_EQ(ahead.endQueries, 0);
}

TEST(TogDicomDatasetReader, SkipFailureOnPixelDataIsAStreamFailure) {
    Bytes body;
    body.Element(0x0028, 0x0100, "US", Le16(8)).Header(0x7FE0, 0x0010, "OB", 64).Raw("too short");
    dataset_sources::VectorSource source{body.data};
    TogDicomDataset ds;
    EXPECT_EQ(ds.OpenReadingFile(source.Callbacks(false), false, Uid(kExplicitLittle), 0), ResultStreamFailed);
    // With the size known the length itself is refused.
    source.at = 0;
    EXPECT_EQ(ds.OpenReadingFile(source.Callbacks(true), false, Uid(kExplicitLittle), 0), ResultMalformed);
}

TEST(TogDicomDatasetReader, OpeningByPathAndClosing) {
    const std::string path = std::string(kPydicomFiles) + "MR_small.dcm";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "pydicom's test files are not installed";
    TogDicomDataset ds;
    ASSERT_EQ(ds.OpenReadingFileByPath(TogString::FromUtf8(path), true, TogString(), 1), ResultSuccess);
    const TogDicomDataElement* pixel = ds.FindElement(0x7FE0, 0x0010);
    EXPECT_EQ(pixel->GetSourceName(), TogString::FromUtf8(path));
    EXPECT_EQ(ds.CloseReading(), ResultSuccess);
    EXPECT_EQ(ds.CloseReading(), ResultSuccess);
    // The value can still be read from its source by position.
    TogDicomDataElement* mutablePixel = ds.FindElement(0x7FE0, 0x0010);
    FILE* stream = mutablePixel->OpenValueStream();
    ASSERT_NE(stream, nullptr);
    std::vector<uint8_t> bytes(pixel->GetValueLength());
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), stream), bytes.size());
    const std::vector<uint8_t> file = dataset_sources::ReadFileBytes(path);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + pixel->GetValueOffset()));

    RecordingLogWriter log;
    EXPECT_EQ(ds.OpenReadingFileByPath(TogString(u"/nonexistent/dir/file.dcm"), true, TogString(), 1),
              ResultInvalidPathEntry);
    EXPECT_EQ(ds.GetRoot()->GetChildCount(), 0u);
}

TEST(TogDicomDatasetReader, TruncatedAndCorruptFilesGiveTheirCode) {
    struct Case {
        const char* file;
        int result;
        int unknownSizeResult;  // through callbacks without a size
    };
    const Case cases[] = {
        {"MR_truncated.dcm", ResultMalformed, ResultStreamFailed},
        {"rtplan_truncated.dcm", ResultMalformed, -1},
        {"badVR.dcm", ResultSuccess, ResultSuccess},
        {"no_meta.dcm", ResultMalformed, -1},
        {"image_dfl.dcm", ResultMalformed, ResultMalformed},
        {"ExplVR_LitEndNoMeta.dcm", ResultMalformed, -1},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(kPydicomFiles) + c.file;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << "pydicom's test files are not installed";
        const std::vector<uint8_t> bytes = dataset_sources::ReadFileBytes(path);
        const Parsed p = ParseEveryKnownSize(bytes, true);
        EXPECT_EQ(p.result, c.result) << c.file;
        TogDicomDataset byPath;
        EXPECT_EQ(byPath.OpenReadingFileByPath(TogString::FromUtf8(path), true, TogString(), 1), c.result) << c.file;
        dataset_sources::VectorSource source{bytes};
        TogDicomDataset unknown;
        EXPECT_EQ(unknown.OpenReadingFile(source.Callbacks(false), true, TogString(), 1), c.unknownSizeResult)
            << c.file;
    }
    // What was read before the damage stays.
    const std::string truncated = std::string(kPydicomFiles) + "MR_truncated.dcm";
    TogDicomDataset ds;
    ASSERT_EQ(ds.OpenReadingFileByPath(TogString::FromUtf8(truncated), true, TogString(), 1), ResultMalformed);
    EXPECT_EQ(Text(ds.FindElement(0x0010, 0x0010)), "CompressedSamples^MR1");
    EXPECT_EQ(ds.FindElement(0x7FE0, 0x0010), nullptr);
    EXPECT_EQ(ds.GetPendingCount(), 1u);
}

// ---------------------------------------------------------------------------
// The fixed-layout element stream

// One element of the stream: tag, VR and a 4-byte length, little endian.
Bytes& Fixed(Bytes& b, uint32_t group, uint32_t element, const char* vr, uint32_t length) {
    b.U16(group).U16(element).Raw(std::string(vr, 2)).U32(length);
    return b;
}

TEST(TogDicomDatasetReader, FixedLayoutStream) {
    Bytes b;
    Fixed(b, 0x0008, 0x0060, "CS", 2).Raw("MR");
    Fixed(b, 0x0028, 0x0010, "US", 2).Raw(Le16(64));
    Fixed(b, 0x0008, 0x1140, "SQ", kUndefined).Item();
    Fixed(b, 0x0008, 0x1150, "UI", 6).Raw("1.2.3");
    b.Raw(std::string(1, '\0'));
    Fixed(b, 0xFFFE, 0xE00D, "  ", 0);
    b.SequenceEnd();
    Fixed(b, 0x7FE0, 0x0010, "OB", 1000).Raw(std::string("pixels\0", 7));
    Fixed(b, 0x0010, 0x0010, "PN", 4).Raw("Gone");
    dataset_sources::VectorSource source{b.data};
    TogDicomDataset ds;
    ASSERT_EQ(ds.OpenReading(source.Callbacks(true), 1), ResultSuccess);
    EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()),
              "(0008,0060) CS 2 [MR]\n"
              "(0008,1140) SQ u/l []\n"
              "  (fffe,e000) -- u/l []\n"
              "    (0008,1150) UI 6 [1.2.3]\n"
              "(0028,0010) US 2 [64]\n"
              "(7fe0,0010) OW 8 =706978656c730000\n");

    // Encapsulated: an empty table, then one item up to its first zero byte.
    Bytes e;
    Fixed(e, 0x7FE0, 0x0010, "OB", kUndefined).Item(0).Item(99).Raw(std::string("abc\0", 4));
    e.Item(50).SequenceEnd();
    ASSERT_EQ(ds.OpenReading(TogDicomSource::FromMemory(e.data.data(), e.data.size()), 1), ResultSuccess);
    EXPECT_EQ(dataset_dump::Dump(*ds.GetRoot()),
              "(7fe0,0010) OW u/l []\n"
              "  (fffe,e000) -- 0 []\n"
              "  (fffe,e000) -- 4 =61626300\n"
              "  (fffe,e000) -- 0 []\n");

    // A basic offset table that is not empty ends the stream with 6.
    Bytes t;
    Fixed(t, 0x7FE0, 0x0010, "OB", kUndefined).Item(4).Raw(Le32(0)).SequenceEnd();
    EXPECT_EQ(ds.OpenReading(TogDicomSource::FromMemory(t.data.data(), t.data.size()), 1), ResultBasicOffsetTable);
    EXPECT_EQ(ds.FindElement(0x7FE0, 0x0010)->GetChildCount(), 0u);
}

}  // namespace
