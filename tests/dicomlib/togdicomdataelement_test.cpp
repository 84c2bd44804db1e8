#include "dicomlib/togdicomdataelement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "dicomlib/togdicomdataset.h"
#include "dicomlib/togresult.h"
#include "recording_log_writer.h"
#include "tests/test_folder.h"

namespace {

using namespace TogDicomLib;
using ::testing::ElementsAre;

std::string Utf8(const TogString& s) {
    return s.ToUtf8();
}

// An element of `ds` with the value bytes given, attached to `parent`.
TogDicomDataElement* AddValue(TogDicomDataset& ds, TogDicomDataElement* parent, uint32_t group,
                              uint32_t element, uint32_t vr, const std::string& bytes) {
    TogDicomDataElement* e = ds.CreateElement(group, element);
    e->SetVR(vr);
    EXPECT_EQ(e->AllocateValue(static_cast<uint32_t>(bytes.size()), false), ResultSuccess);
    if (!bytes.empty()) std::memcpy(e->GetValueData(), bytes.data(), bytes.size());
    EXPECT_EQ(parent->SetChildElement(e), ResultSuccess);
    return e;
}

std::vector<std::pair<uint32_t, uint32_t>> Tags(const TogDicomDataElement& parent) {
    std::vector<std::pair<uint32_t, uint32_t>> tags;
    for (uint32_t i = 0; i < parent.GetChildCount(); ++i) {
        tags.emplace_back(parent.GetChildAt(i)->GetGroup(), parent.GetChildAt(i)->GetElement());
    }
    return tags;
}

// ---------------------------------------------------------------------------
// The tree

TEST(TogDicomDataElementTree, ChildrenStayInTagOrder) {
    TogDicomDataset ds;
    TogDicomDataElement* root = ds.GetRoot();
    for (auto [g, e] : std::vector<std::pair<uint32_t, uint32_t>>{
             {0x0010, 0x0020}, {0x0008, 0x0060}, {0x0010, 0x0010}, {0x0008, 0x0005}, {0x7FE0, 0x0010}}) {
        ASSERT_EQ(root->SetChildElement(ds.CreateElement(g, e)), ResultSuccess);
    }
    EXPECT_THAT(Tags(*root), ElementsAre(std::pair{0x0008u, 0x0005u}, std::pair{0x0008u, 0x0060u},
                                         std::pair{0x0010u, 0x0010u}, std::pair{0x0010u, 0x0020u},
                                         std::pair{0x7FE0u, 0x0010u}));
    EXPECT_EQ(root->GetChildAt(5), nullptr);
    EXPECT_EQ(root->FindChild(0x0010, 0x0010), root->GetChildAt(2));
    EXPECT_EQ(root->FindChild(0x0010, 0x0011), nullptr);
    EXPECT_EQ(root->GetChildAt(2)->GetParent(), root);
    EXPECT_EQ(ds.GetPendingCount(), 0u);
}

TEST(TogDicomDataElementTree, SameTagReplacesButAddKeepsBoth) {
    TogDicomDataset ds;
    TogDicomDataElement* root = ds.GetRoot();
    TogDicomDataElement* first = AddValue(ds, root, 0x0010, 0x0010, VR::PN, "OLD ");
    AddValue(ds, root, 0x0010, 0x0020, VR::LO, "ID");
    TogDicomDataElement* second = AddValue(ds, root, 0x0010, 0x0010, VR::PN, "NEW ");
    (void)first;  // deleted by the replacement (ASan checks)
    EXPECT_EQ(root->GetChildCount(), 2u);
    EXPECT_EQ(root->FindChild(0x0010, 0x0010), second);

    TogDicomDataElement* sequence = ds.CreateElement(0x0008, 0x1140);
    ASSERT_EQ(root->SetChildElement(sequence), ResultSuccess);
    TogDicomDataElement* a = ds.CreateElement(0xFFFE, 0xE000);
    TogDicomDataElement* b = ds.CreateElement(0xFFFE, 0xE000);
    ASSERT_EQ(sequence->AddChildElement(a), ResultSuccess);
    ASSERT_EQ(sequence->AddChildElement(b), ResultSuccess);
    EXPECT_EQ(sequence->GetChildCount(), 2u);
    EXPECT_EQ(sequence->GetChildAt(0), a);
    EXPECT_EQ(sequence->GetChildAt(1), b);

    // Appended at the end of its group, even with a smaller element number;
    // later ordered inserts still find their place.
    TogDicomDataElement* item = ds.CreateElement(0xFFFE, 0xE000);
    ASSERT_EQ(root->SetChildElement(item), ResultSuccess);
    ASSERT_EQ(item->AddChildElement(ds.CreateElement(0x0020, 0x0013)), ResultSuccess);
    ASSERT_EQ(item->AddChildElement(ds.CreateElement(0x0020, 0x000D)), ResultSuccess);
    ASSERT_EQ(item->SetChildElement(ds.CreateElement(0x0020, 0x0011)), ResultSuccess);
    ASSERT_EQ(item->SetChildElement(ds.CreateElement(0x0018, 0x0050)), ResultSuccess);
    EXPECT_THAT(Tags(*item), ElementsAre(std::pair{0x0018u, 0x0050u}, std::pair{0x0020u, 0x0011u},
                                         std::pair{0x0020u, 0x0013u}, std::pair{0x0020u, 0x000Du}));
}

// A batch attaches as the same children would one by one: in tag order, a
// later child of a tag replacing an earlier one, whatever the order and the
// children already there. Children are told apart by their value length.
TEST(TogDicomDataElementTree, ABatchAttachesAsOneByOne) {
    uint32_t seed = 24;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    using Child = std::tuple<uint32_t, uint32_t, uint32_t>;
    auto children = [](const TogDicomDataElement& parent) {
        std::vector<Child> out;
        for (uint32_t i = 0; i < parent.GetChildCount(); ++i) {
            const TogDicomDataElement* c = parent.GetChildAt(i);
            out.emplace_back(c->GetGroup(), c->GetElement(), c->GetValueLength());
        }
        return out;
    };
    for (int round = 0; round < 40; ++round) {
        TogDicomDataset one, batch;
        std::vector<TogDicomDataElement*> waiting;
        const uint32_t before = next(6), count = 1 + next(60), tags = 2 + next(40);
        for (uint32_t i = 0; i < before + count; ++i) {
            const uint32_t tag = next(tags);
            TogDicomDataElement* a = one.CreateElement(0x0008 + 2 * (tag % 3), tag);
            TogDicomDataElement* b = batch.CreateElement(0x0008 + 2 * (tag % 3), tag);
            a->SetValueLength(i);
            b->SetValueLength(i);
            ASSERT_EQ(one.GetRoot()->SetChildElement(a), ResultSuccess);
            if (i < before) {
                ASSERT_EQ(batch.GetRoot()->SetChildElement(b), ResultSuccess);
            } else {
                waiting.push_back(b);
            }
        }
        ASSERT_EQ(batch.GetRoot()->SetChildElements(waiting), ResultSuccess);
        EXPECT_TRUE(waiting.empty());
        EXPECT_EQ(children(*batch.GetRoot()), children(*one.GetRoot())) << "round " << round;
        EXPECT_EQ(batch.GetPendingCount(), 0u);
    }
}

TEST(TogDicomDataElementTree, RefusalsAreLoggedAndReturnTen) {
    TogDicomDataset ds;
    TogDicomDataset other;
    TogDicomDataElement* root = ds.GetRoot();
    TogDicomDataElement* sequence = ds.CreateElement(0x0008, 0x1140);
    ASSERT_EQ(root->SetChildElement(sequence), ResultSuccess);
    TogDicomDataElement* item = ds.CreateElement(0xFFFE, 0xE000);
    ASSERT_EQ(sequence->AddChildElement(item), ResultSuccess);
    TogDicomDataElement* foreign = other.CreateElement(0x0010, 0x0010);

    RecordingLogWriter log;
    EXPECT_EQ(root->SetChildElement(nullptr), ResultBadArgument);
    EXPECT_EQ(root->SetChildElement(foreign), ResultBadArgument);
    EXPECT_EQ(root->AddChildElement(root), ResultBadArgument);
    EXPECT_EQ(item->SetChildElement(root), ResultBadArgument);
    EXPECT_EQ(item->AddChildElement(sequence), ResultBadArgument);
    EXPECT_THAT(log.Messages(), ElementsAre("The passed element is in the different dataset.",
                                            "Can't append the same element.", "Can't append an ancestor element.",
                                            "Can't append an ancestor element."));
    EXPECT_EQ(log.lines[0].code, ResultBadArgument);
    EXPECT_EQ(log.lines[0].signature,
              "int __thiscall TogDicomDataElement::SetChildElement(class TogDicomDataElement *)");
    EXPECT_EQ(log.lines[1].signature,
              "int __thiscall TogDicomDataElement::AddChildElement(class TogDicomDataElement *)");
    // The foreign element is still pending in its own data set.
    EXPECT_EQ(other.GetPendingCount(), 1u);
}

TEST(TogDicomDataElementTree, MovingRemovingAndRegrouping) {
    TogDicomDataset ds;
    TogDicomDataElement* root = ds.GetRoot();
    TogDicomDataElement* item = ds.CreateElement(0xFFFE, 0xE000);
    ASSERT_EQ(root->SetChildElement(item), ResultSuccess);
    TogDicomDataElement* moved = AddValue(ds, item, 0x0010, 0x0010, VR::PN, "A^B ");
    ASSERT_EQ(root->SetChildElement(moved), ResultSuccess);
    EXPECT_EQ(item->GetChildCount(), 0u);
    EXPECT_EQ(moved->GetParent(), root);

    EXPECT_TRUE(root->RemoveChild(moved));
    EXPECT_FALSE(root->RemoveChild(moved));
    EXPECT_EQ(moved->GetParent(), nullptr);
    ASSERT_EQ(root->SetChildElement(moved), ResultSuccess);

    AddValue(ds, root, 0x0008, 0x0060, VR::CS, "MR");
    moved->SetGroup(0x0004);
    EXPECT_EQ(root->GetChildAt(0), moved);
    EXPECT_EQ(root->FindChild(0x0004, 0x0010), moved);
    EXPECT_EQ(root->FindChild(0x0010, 0x0010), nullptr);
}

TEST(TogDicomDataElementTree, DeletingTheRootIsReportedUnlessClosing) {
    RecordingLogWriter log;
    {
        TogDicomDataset ds;
        delete ds.GetRoot();
        EXPECT_EQ(ds.GetRoot(), nullptr);
        EXPECT_EQ(ds.FindElement(0x0008, 0x0060), nullptr);
    }
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].message, "The root data element has been deleted.");
    EXPECT_EQ(log.lines[0].code, 6);
    EXPECT_EQ(log.lines[0].signature, "__thiscall TogDicomDataElement::~TogDicomDataElement(void)");
    { TogDicomDataset quiet; }
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST(TogDicomDataElementTree, PendingElementsDieWithTheDataset) {
    TogDicomDataset ds;
    TogDicomDataElement* loose = ds.CreateElement(0x0008, 0x0060);
    ds.CreateElement(0x0008, 0x0070);
    EXPECT_EQ(ds.GetPendingCount(), 2u);
    delete loose;
    EXPECT_EQ(ds.GetPendingCount(), 1u);
    // The other one is deleted with the data set (ASan reports a leak if not).
}

// ---------------------------------------------------------------------------
// Value storage

// An allocator that hands out heap blocks, can move them all, and counts.
class MovingAllocator : public TogIValueAllocator {
public:
    bool refuse = false;
    int live = 0;
    std::map<TogValueAllocation*, TogIRelocationEvent*> sinks;

    bool Allocate(uint32_t bytes, TogValueAllocation& handle, TogIRelocationEvent* sink) noexcept override {
        if (refuse) return false;
        handle.block = new std::vector<uint8_t>(bytes);
        handle.allocator = this;
        sinks[&handle] = sink;
        ++live;
        return true;
    }
    void Release(TogValueAllocation& handle) noexcept override {
        delete static_cast<std::vector<uint8_t>*>(handle.block);
        sinks.erase(&handle);
        --live;
    }
    void* Resolve(const TogValueAllocation& handle) noexcept override {
        return static_cast<std::vector<uint8_t>*>(handle.block)->data();
    }
    // Moves every block to new memory and tells the owners.
    void MoveAll() {
        for (auto& [handle, sink] : sinks) {
            auto* old = static_cast<std::vector<uint8_t>*>(handle->block);
            handle->block = new std::vector<uint8_t>(*old);
            delete old;
            sink->OnRelocate();
        }
    }
};

TEST(TogDicomDataElementValue, StorageFormsByLength) {
    MovingAllocator allocator;
    TogDicomDatasetSettings settings;
    settings.allocator = &allocator;
    settings.allocatorThreshold = 64;
    TogDicomDataset ds(&settings);
    TogDicomDataElement* e = ds.CreateElement(0x0008, 0x0060);

    struct Case {
        uint32_t length;
        bool padOdd;
        bool keepOdd;
        ValueStorage mode;
        uint32_t bytes;
    };
    for (const Case& c : {Case{0, true, false, ValueStorage::Inline, 0}, Case{3, true, false, ValueStorage::Inline, 4},
                          Case{4, true, false, ValueStorage::Inline, 4}, Case{5, true, false, ValueStorage::Heap, 6},
                          Case{5, true, true, ValueStorage::Heap, 5}, Case{5, false, false, ValueStorage::Heap, 5},
                          Case{64, true, false, ValueStorage::Heap, 64},
                          Case{65, true, false, ValueStorage::Allocator, 66}}) {
        ds.SetKeepOddLengths(c.keepOdd);
        ASSERT_EQ(e->AllocateValue(c.length, c.padOdd), ResultSuccess) << c.length;
        EXPECT_EQ(e->GetStorageMode(), c.mode) << c.length;
        EXPECT_EQ(e->GetValueByteCount(), c.bytes) << c.length;
        EXPECT_EQ(e->GetValueLength(), c.bytes) << c.length;
        if (c.bytes > c.length) {
            EXPECT_EQ(e->GetValueData()[c.length], 0);
        }
    }
    EXPECT_EQ(allocator.live, 1);

    // A move of the allocator's blocks reaches the element.
    std::memcpy(e->GetValueData(), "moved", 5);
    allocator.MoveAll();
    EXPECT_EQ(std::memcmp(e->GetValueData(), "moved", 5), 0);
    e->ClearValue();
    EXPECT_EQ(allocator.live, 0);
    EXPECT_EQ(e->GetStorageMode(), ValueStorage::Inline);
    EXPECT_EQ(e->GetValueLength(), 0u);

    allocator.refuse = true;
    EXPECT_EQ(e->AllocateValue(100, true), ResultOutOfMemory);
    delete e;
}

class TempFile {
public:
    explicit TempFile(const std::string& content) {
        std::string pattern = testfolder::file("togdicomdataelement_test.XXXXXX");
        const int fd = mkstemp(pattern.data());
        close(fd);
        path_ = pattern;
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TogString Name() const { return TogString::FromUtf8(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(TogDicomDataElementValue, ValuesByPositionAndMapped) {
    std::string content(10000, 'x');
    content.replace(5000, 10, "0123456789");
    TempFile file(content);
    TogDicomDataset ds;
    TogDicomDataElement* e = ds.CreateElement(0x7FE0, 0x0010);

    ASSERT_EQ(e->SetValueByPosition(file.Name(), 5000, 10), ResultSuccess);
    EXPECT_EQ(e->GetStorageMode(), ValueStorage::Position);
    EXPECT_EQ(e->GetValueData(), nullptr);
    EXPECT_EQ(e->GetValueByteCount(), 0u);
    EXPECT_EQ(e->GetValueLength(), 10u);
    EXPECT_EQ(e->GetValueOffset(), 5000);
    EXPECT_EQ(e->GetSourceName(), file.Name());
    FILE* stream = e->OpenValueStream();
    ASSERT_NE(stream, nullptr);
    char read[10];
    ASSERT_EQ(std::fread(read, 1, 10, stream), 10u);
    EXPECT_EQ(std::string(read, 10), "0123456789");
    EXPECT_EQ(e->Unmap(), ResultSuccess);

    ASSERT_EQ(e->MapValue(file.Name(), 5000, 10), ResultSuccess);
    EXPECT_EQ(e->GetStorageMode(), ValueStorage::Mapping);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e->GetValueData()), 10), "0123456789");
    e->ClearValue();
    // The mapped file is never deleted.
    EXPECT_TRUE(std::filesystem::exists(file.Path()));
    EXPECT_EQ(e->GetSourceName(), TogString());

    RecordingLogWriter log;
    EXPECT_EQ(e->Unmap(), ResultBadArgument);
    EXPECT_THAT(log.Messages(), ElementsAre("The data element is not in a mapping mode."));
    EXPECT_EQ(e->MapValue(TogString(u"/nonexistent/file.dcm"), 0, 4), ResultPlatformCallFailed);
    // A range that runs past the end of the file is refused, never mapped.
    EXPECT_EQ(e->MapValue(file.Name(), 9995, 10), ResultBadArgument);
    EXPECT_EQ(e->MapValue(file.Name(), 20000, 4), ResultBadArgument);
    EXPECT_EQ(e->GetStorageMode(), ValueStorage::Inline);
    EXPECT_EQ(e->GetValueByteCount(), 0u);
    ASSERT_EQ(e->MapValue(file.Name(), 9990, 10), ResultSuccess);
    EXPECT_EQ(e->GetValueData()[9], 'x');
    EXPECT_EQ(e->OpenValueStream(), nullptr);
    delete e;
}

// ---------------------------------------------------------------------------
// Getters

struct GetterCase {
    const char* name;
    uint32_t group;
    uint32_t element;
    uint32_t vr;       // the element's own VR
    std::string bytes;
    uint32_t askVR;    // VR asked of the getter
    int index;
    int uintResult;
    uint32_t uintValue;
    int intResult;
    int32_t intValue;
    int doubleResult;
    double doubleValue;
    int textResult;
    std::string text;
};

std::string U16s(std::initializer_list<uint16_t> values) {
    std::string s;
    for (uint16_t v : values) s.append(reinterpret_cast<const char*>(&v), 2);
    return s;
}
template <class T>
std::string Raw(T v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof(v));
}

constexpr uint32_t B = VR::Blank;
constexpr int OK = ResultSuccess;
constexpr int NO = ResultNoValue;

class TogDicomDataElementGetters : public ::testing::TestWithParam<GetterCase> {};

TEST_P(TogDicomDataElementGetters, ReadEveryForm) {
    const GetterCase& c = GetParam();
    TogDicomDataset ds;
    TogDicomDataElement* e = AddValue(ds, ds.GetRoot(), c.group, c.element, c.vr, c.bytes);
    uint32_t u = 1;
    int32_t i = 1;
    double d = 1;
    TogString t(u"old");
    EXPECT_EQ(e->GetUInt(u, c.askVR, c.index), c.uintResult);
    EXPECT_EQ(u, c.uintValue);
    EXPECT_EQ(e->GetInt(i, c.askVR, c.index), c.intResult);
    EXPECT_EQ(i, c.intValue);
    EXPECT_EQ(e->GetDouble(d, c.askVR, c.index), c.doubleResult);
    EXPECT_DOUBLE_EQ(d, c.doubleValue);
    EXPECT_EQ(e->GetText(t, c.askVR, c.index), c.textResult);
    EXPECT_EQ(Utf8(t), c.text);

    // The child forms and the fallbacks agree.
    const TogDicomDataElement* root = ds.GetRoot();
    EXPECT_EQ(root->GetChildUInt(c.group, c.element, u, c.askVR, c.index), c.uintResult);
    EXPECT_EQ(root->GetChildUIntOrDefault(c.group, c.element, 77, c.askVR, c.index),
              c.uintResult == OK ? c.uintValue : 77u);
    EXPECT_EQ(root->GetChildIntOrDefault(c.group, c.element, -77, c.askVR, c.index),
              c.intResult == OK ? c.intValue : -77);
    EXPECT_DOUBLE_EQ(root->GetChildDoubleOrDefault(c.group, c.element, 7.5, c.askVR, c.index),
                     c.doubleResult == OK ? c.doubleValue : 7.5);
    EXPECT_EQ(root->GetChildString(c.group, c.element, t, TogString(u"fallback"), c.askVR, c.index), c.textResult);
    EXPECT_EQ(Utf8(t), c.textResult == OK ? c.text : "fallback");
}

const GetterCase kGetterCases[] = {
    // name, tag, VR, bytes, asked VR, index, uint, int, double, text
    {"DsWithBlanks", 0x0028, 0x1053, VR::DS, " 1.5 ", B, 0, NO, 0, NO, 0, OK, 1.5, OK, "1.5"},
    {"DsSecondValue", 0x0028, 0x0030, VR::DS, "0.5\\0.25", B, 1, NO, 0, NO, 0, OK, 0.25, OK, "0.25"},
    {"DsAllValues", 0x0028, 0x0030, VR::DS, "0.5\\0.25", B, -1, NO, 0, NO, 0, OK, 0.5, OK, "0.5\\0.25"},
    {"DsMissingValue", 0x0028, 0x0030, VR::DS, "0.5\\0.25", B, 2, NO, 0, NO, 0, NO, 0, NO, ""},
    {"DsLetters", 0x0028, 0x1053, VR::DS, "ABCD", B, 0, NO, 0, NO, 0, NO, 0, OK, "ABCD"},
    {"IsLetters", 0x0020, 0x0013, VR::IS, "ABC ", B, 0, NO, 0, NO, 0, NO, 0, OK, "ABC"},
    {"IsNegative", 0x0020, 0x0013, VR::IS, "12\\-3", B, 1, OK, 0xFFFFFFFDu, OK, -3, OK, -3, OK, "-3"},
    {"IsNegativeIndex", 0x0020, 0x0013, VR::IS, "12\\-3", B, -5, OK, 12, OK, 12, OK, 12, OK, "12"},
    {"BlanksOnly", 0x0020, 0x0013, VR::IS, "    ", B, 0, NO, 0, NO, 0, NO, 0, OK, ""},
    {"NoValue", 0x0028, 0x0010, VR::US, "", B, 0, NO, 0, NO, 0, NO, 0, OK, ""},
    {"UsValues", 0x0028, 0x0010, VR::US, U16s({1, 2, 65535}), B, -1, OK, 1, OK, 1, OK, 1, OK, "1\\2\\65535"},
    {"UsThird", 0x0028, 0x0010, VR::US, U16s({1, 2, 65535}), B, 2, OK, 65535, OK, 65535, OK, 65535, OK, "65535"},
    {"UsBeyond", 0x0028, 0x0010, VR::US, U16s({1, 2, 65535}), B, 3, NO, 0, NO, 0, NO, 0, NO, ""},
    {"SsNegative", 0x0028, 0x0106, VR::SS, Raw<int16_t>(-2), B, 0, OK, 0xFFFFFFFEu, OK, -2, OK, -2, OK, "-2"},
    {"UlTopBit", 0x0002, 0x0000, VR::UL, Raw<uint32_t>(0x80000000u), B, 0, OK, 0x80000000u, OK, INT_MIN, OK,
     2147483648.0, OK, "2147483648"},
    {"SlNegative", 0x0018, 0x9219, VR::SL, Raw<int32_t>(-70000), B, 0, OK, static_cast<uint32_t>(-70000), OK,
     -70000, OK, -70000, OK, "-70000"},
    {"FlText", 0x0018, 0x9087, VR::FL, Raw<float>(1.5f) + Raw<float>(-0.25f), B, -1, NO, 0, NO, 0, OK, 1.5, OK,
     "1.500000\\-0.250000"},
    {"FdSecond", 0x0018, 0x9089, VR::FD, Raw<double>(1.0) + Raw<double>(2.125), B, 1, NO, 0, NO, 0, OK, 2.125, OK,
     "2.125000"},
    {"AtPair", 0x0028, 0x0009, VR::AT, U16s({0x0018, 0x1063, 0x0054, 0x0010}), B, 1, OK, 0x00540010u, NO, 0, NO,
     0, OK, "00540010"},
    {"AtAll", 0x0028, 0x0009, VR::AT, U16s({0x0018, 0x1063, 0x0054, 0x0010}), B, -1, OK, 0x00181063u, NO, 0, NO,
     0, OK, "00181063\\00540010"},
    // "UN" (and blank) answer by the dictionary's VR: Rows is US.
    {"UnByDictionary", 0x0028, 0x0010, VR::UN, U16s({512}), B, 0, OK, 512, OK, 512, OK, 512, OK, "512"},
    {"BlankByDictionary", 0x0028, 0x0011, VR::Blank, U16s({256}), B, 0, OK, 256, OK, 256, OK, 256, OK, "256"},
    // An explicitly asked VR wins over the element's own.
    {"AskedVR", 0x0009, 0x1001, VR::OB, "42", VR::IS, 0, OK, 42, OK, 42, OK, 42, OK, "42"},
    {"ObHasNoText", 0x0009, 0x1001, VR::OB, "\x01\x02", B, 0, NO, 0, NO, 0, NO, 0, NO, ""},
    {"PrivateUn", 0x0009, 0x1001, VR::UN, "\x01\x02", B, 0, NO, 0, NO, 0, NO, 0, NO, ""},
    {"PnSecondName", 0x0010, 0x0010, VR::PN, "Doe^John\\Roe^Jane", B, 1, NO, 0, NO, 0, NO, 0, OK, "Roe^Jane"},
    {"LtKeepsBackslashes", 0x0020, 0x4000, VR::LT, "  a\\b  ", B, 1, NO, 0, NO, 0, NO, 0, OK, "  a\\b"},
    {"LoLeadingBlanks", 0x0008, 0x0070, VR::LO, "  Maker  ", B, 0, NO, 0, NO, 0, NO, 0, OK, "Maker"},
    {"TmKeepsLeadingBlanks", 0x0008, 0x0030, VR::TM, " 1200 ", B, 0, NO, 0, NO, 0, NO, 0, OK, " 1200"},
    {"UiNulPadding", 0x0008, 0x0016, VR::UI, std::string("1.2.3\0", 6), B, 0, NO, 0, NO, 0, NO, 0, OK, "1.2.3"},
    {"CsInnerBlanks", 0x0008, 0x0008, VR::CS, " A \\B ", B, 0, NO, 0, NO, 0, NO, 0, OK, "A "},
};

INSTANTIATE_TEST_SUITE_P(Cases, TogDicomDataElementGetters, ::testing::ValuesIn(kGetterCases),
                         [](const ::testing::TestParamInfo<GetterCase>& info) { return info.param.name; });

TEST(TogDicomDataElementValue, ValueCountByOwnVR) {
    TogDicomDataset ds;
    TogDicomDataElement* root = ds.GetRoot();
    AddValue(ds, root, 0x0008, 0x0008, VR::CS, "ORIGINAL\\PRIMARY\\AXIAL");
    AddValue(ds, root, 0x0028, 0x0010, VR::US, "\x01\x02\x03");
    AddValue(ds, root, 0x0028, 0x0011, VR::US, U16s({1, 2}));
    AddValue(ds, root, 0x0018, 0x9089, VR::FD, std::string(24, '\0'));
    AddValue(ds, root, 0x0028, 0x0009, VR::AT, std::string(8, '\0'));
    AddValue(ds, root, 0x7FE1, 0x0010, VR::OB, "xx");
    AddValue(ds, root, 0x0020, 0x4000, VR::LT, "a\\b\\c");
    AddValue(ds, root, 0x0010, 0x0020, VR::LO, "  ");
    AddValue(ds, root, 0x0010, 0x0030, VR::DA, "");
    AddValue(ds, root, 0x0009, 0x0010, VR::Blank, "xx");
    const std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> expected = {
        {0x0008, 0x0008, 3}, {0x0028, 0x0010, 0}, {0x0028, 0x0011, 2}, {0x0018, 0x9089, 3}, {0x0028, 0x0009, 2},
        {0x7FE1, 0x0010, 1}, {0x0020, 0x4000, 1}, {0x0010, 0x0020, 1}, {0x0010, 0x0030, 0}, {0x0009, 0x0010, 0},
        {0x0009, 0x0011, 0}};
    for (const auto& [g, e, count] : expected) {
        EXPECT_EQ(root->GetChildValueCount(g, e), count) << std::hex << g << "," << e;
    }
}

TEST(TogDicomDataElementValue, TextInTheNearestCharacterSet) {
    TogDicomDataset ds;
    TogDicomDataElement* root = ds.GetRoot();
    AddValue(ds, root, 0x0008, 0x0005, VR::CS, "ISO_IR 100");
    AddValue(ds, root, 0x0010, 0x0010, VR::PN, "Buc^J\xe9r\xf4me");
    TogDicomDataElement* sequence = ds.CreateElement(0x0008, 0x1115);
    sequence->SetVR(VR::SQ);
    ASSERT_EQ(root->SetChildElement(sequence), ResultSuccess);
    TogDicomDataElement* latin = ds.CreateElement(0xFFFE, 0xE000);
    TogDicomDataElement* cyrillic = ds.CreateElement(0xFFFE, 0xE000);
    ASSERT_EQ(sequence->AddChildElement(latin), ResultSuccess);
    ASSERT_EQ(sequence->AddChildElement(cyrillic), ResultSuccess);
    AddValue(ds, latin, 0x0008, 0x103E, VR::LO, "caf\xe9");
    AddValue(ds, cyrillic, 0x0008, 0x0005, VR::CS, "ISO_IR 144");
    AddValue(ds, cyrillic, 0x0008, 0x103E, VR::LO, "\xbb\xee\xda\xd0\xdd\xd4\xd5\xe0\xd5\xd2");

    TogString text;
    EXPECT_EQ(root->GetChildText(0x0010, 0x0010, text), ResultSuccess);
    EXPECT_EQ(Utf8(text), "Buc^J\xc3\xa9r\xc3\xb4me");
    EXPECT_EQ(latin->GetChildText(0x0008, 0x103E, text), ResultSuccess);
    EXPECT_EQ(Utf8(text), "caf\xc3\xa9");
    EXPECT_EQ(cyrillic->GetChildText(0x0008, 0x103E, text), ResultSuccess);
    EXPECT_EQ(Utf8(text), "\xd0\x9b\xd1\x8e\xd0\xba\xd0\xb0\xd0\xbd\xd0\xb4\xd0\xb5\xd1\x80\xd0\xb5\xd0\xb2");
    // ASCII text is widened as it stands.
    AddValue(ds, root, 0x0008, 0x0080, VR::LO, "Hospital ");
    EXPECT_EQ(root->GetChildText(0x0008, 0x0080, text), ResultSuccess);
    EXPECT_EQ(Utf8(text), "Hospital");
}

TEST(TogDicomDataElementValue, AbsentChildren) {
    TogDicomDataset ds;
    const TogDicomDataElement* root = ds.GetRoot();
    uint32_t u = 5;
    int32_t i = 5;
    double d = 5;
    TogString t(u"x");
    EXPECT_EQ(root->GetChildUInt(0x0028, 0x0010, u), ResultNoValue);
    EXPECT_EQ(root->GetChildInt(0x0028, 0x0010, i), ResultNoValue);
    EXPECT_EQ(root->GetChildDouble(0x0028, 0x0010, d), ResultNoValue);
    EXPECT_EQ(root->GetChildText(0x0028, 0x0010, t), ResultNoValue);
    EXPECT_EQ(u, 0u);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_EQ(root->GetChildValueCount(0x0028, 0x0010), 0u);
    EXPECT_EQ(ds.GetString(0x0010, 0x0010, TogString(u"none")), TogString(u"none"));
    EXPECT_EQ(ds.GetUIntOrDefault(0x0028, 0x0010, 9), 9u);
    EXPECT_EQ(ds.GetIntOrDefault(0x0028, 0x0010, -9), -9);
}

}  // namespace
