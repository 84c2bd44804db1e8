// The DICOMDIR reader: the record trees of pydicom's dicomdirtests against
// what pydicom reads (tests/data/vrx/dicom/dicomdir.txt), the walk along the
// record offsets with its guard against cycles and its fallbacks, roots that
// are not patients, directory files named by records, the record fields, and
// the resolution of referenced file IDs.
#include "vrx/extension/dicom/vrx_dicomdirinfo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "dicomlib/togstring.h"
#include "tests/vrx/extension/dicom/dicom_test_support.h"
#include "vrx/framework/io/vrx_fileinputstorage.h"

namespace {

using namespace vrx;
using namespace dicomtest;
using vrx_test::TestManager;
using String = VRX_DICOMTagObj::String;

constexpr const char* kLoad = "VRX_DICOMDIRInfo::load()";
constexpr const char* kResolve = "VRX_DICOMDIRInfo::resolve_file_id()";

std::string utf8(const String& s) {
    return TogString(s.c_str(), static_cast<int>(s.size())).ToUtf8();
}

String text16(VRX_Manager* manager, const char* s) {
    String out(manager);
    out.assign(TogString::FromUtf8(s).GetString());
    return out;
}

// The tree in the fixture's line format.
std::vector<std::string> tree_lines(const VRX_DICOMDIRInfo& dir) {
    std::vector<std::string> lines;
    for (const VRX_DICOMDIRPatient& p : dir.patients) {
        lines.push_back("P " + utf8(p.patient_name) + "|" + utf8(p.patient_id) + "|" +
                        utf8(p.patient_sex) + "|" + std::to_string(p.tag_info.size()));
        for (const VRX_DICOMDIRStudy& s : p.studies) {
            lines.push_back("S " + utf8(s.study_instance_uid) + "|" + utf8(s.study_date) + "|" +
                            utf8(s.study_time) + "|" + utf8(s.study_description) + "|" +
                            utf8(s.accession_number) + "|" + utf8(s.study_id) + "|" +
                            std::to_string(s.tag_info.size()));
            for (const VRX_DICOMDIRSeries& r : s.series) {
                lines.push_back("R " + utf8(r.modality) + "|" + utf8(r.series_instance_uid) + "|" +
                                utf8(r.series_description) + "|" +
                                std::to_string(r.tag_info.size()));
                for (const VRX_DICOMDIRImage& i : r.images) {
                    lines.push_back("I " + utf8(i.referenced_file_id) + "|" +
                                    utf8(i.sop_instance_uid) + "|" +
                                    std::to_string(i.instance_number) + "|" +
                                    utf8(i.referenced_sop_class_uid_in_file) + "|" +
                                    utf8(i.referenced_transfer_syntax_uid_in_file) + "|" +
                                    utf8(i.image_type) + "|" + std::to_string(i.tag_info.size()));
                }
            }
        }
    }
    return lines;
}

std::map<std::string, std::vector<std::string>> expected_trees() {
    std::map<std::string, std::vector<std::string>> trees;
    std::ifstream in(std::string(TEST_DATA_DIR) + "/vrx/dicom/dicomdir.txt");
    std::string line, name;
    while (std::getline(in, line)) {
        if (line.rfind("dicomdir ", 0) == 0) {
            name = line.substr(9);
            trees[name];
        } else if (line != "end") {
            trees[name].push_back(line);
        }
    }
    return trees;
}

// Every record is indexed once, in depth-first order, and points at its
// parents.
void expect_consistent_lists(const VRX_DICOMDIRInfo& dir) {
    size_t studies = 0, series = 0, images = 0;
    ASSERT_EQ(dir.patient_list.size(), dir.patients.size());
    for (size_t p = 0; p < dir.patients.size(); ++p) {
        const VRX_DICOMDIRPatient& patient = dir.patients[p];
        EXPECT_EQ(dir.patient_list[p], &patient);
        for (const VRX_DICOMDIRStudy& study : patient.studies) {
            ASSERT_LT(studies, dir.study_list.size());
            EXPECT_EQ(dir.study_list[studies++], &study);
            EXPECT_EQ(study.patient, &patient);
            for (const VRX_DICOMDIRSeries& s : study.series) {
                ASSERT_LT(series, dir.series_list.size());
                EXPECT_EQ(dir.series_list[series++], &s);
                EXPECT_EQ(s.study, &study);
                EXPECT_EQ(s.patient, &patient);
                for (const VRX_DICOMDIRImage& image : s.images) {
                    ASSERT_LT(images, dir.image_list.size());
                    EXPECT_EQ(dir.image_list[images++], &image);
                    EXPECT_EQ(image.series, &s);
                    EXPECT_EQ(image.study, &study);
                    EXPECT_EQ(image.patient, &patient);
                }
            }
        }
    }
    EXPECT_EQ(studies, dir.study_list.size());
    EXPECT_EQ(series, dir.series_list.size());
    EXPECT_EQ(images, dir.image_list.size());
    EXPECT_EQ(dir.file_ids.size(), images);
}

// The lines with each patient line cut to its name and ID.
std::vector<std::string> patient_names_only(std::vector<std::string> lines) {
    for (std::string& line : lines)
        if (line[0] == 'P') line.resize(line.find('|', line.find('|') + 1));
    return lines;
}

TEST(DICOMDIRInfoPydicom, RecordTreesEqualPydicom) {
    const std::string folder = std::string(kPydicomFiles) + "/dicomdirtests/";
    if (!file_exists(folder + "DICOMDIR")) GTEST_SKIP() << "pydicom's test files missing";
    const auto trees = expected_trees();
    ASSERT_EQ(trees.size(), 8u);
    for (const auto& [name, expected] : trees) {
        SCOPED_TRACE(name);
        TestManager manager;
        VRX_FileInputStorage* file =
            VRX_FileInputStorage::create(&manager, (folder + name).c_str());
        ASSERT_NE(file, nullptr);
        VRX_DICOMDIRInfo dir(&manager);
        ASSERT_TRUE(dir.load(file))
            << std::hex << manager.status().code << " " << manager.status().function;
        // DICOMDIR-nopatient is DICOMDIR with its patient records' type
        // changed (pydicom finds no patient in it): its studies come under
        // patients made from their images, who are DICOMDIR's patients.
        if (name == "DICOMDIR-nopatient")
            EXPECT_EQ(patient_names_only(tree_lines(dir)),
                      patient_names_only(trees.at("DICOMDIR")));
        else
            EXPECT_EQ(tree_lines(dir), expected);
        // The directory's own links were usable in every file but the one
        // whose root begins with a study.
        EXPECT_EQ(dir.linked_by_offsets(), name != "DICOMDIR-nopatient");
        expect_consistent_lists(dir);
        // Every referenced file is found under the DICOMDIR's folder.
        for (const String& id : dir.file_ids) {
            VRX_BasicString<char> path(&manager);
            EXPECT_TRUE(dir.resolve_file_id(id, path)) << utf8(id);
            EXPECT_TRUE(file_exists(path.c_str())) << path.c_str();
        }
        VRX_Status status(&manager);
        EXPECT_TRUE(manager.execute(status)) << std::hex << status.code << " " << status.function;
        file->destroy();
    }
}

TEST(DICOMDIRInfoPydicom, ReorderedRecordsAreFoundByTheirOffsets) {
    const std::string path = std::string(kPydicomFiles) + "/dicomdirtests/DICOMDIR-reordered";
    if (!file_exists(path)) GTEST_SKIP() << "pydicom's test files missing";
    TestManager manager;
    VRX_FileInputStorage* file = VRX_FileInputStorage::create(&manager, path.c_str());
    VRX_DICOMDIRInfo dir(&manager);
    ASSERT_TRUE(dir.load(file));
    EXPECT_TRUE(dir.linked_by_offsets());
    // pydicom's count of images in the file-set: none is lost.
    EXPECT_EQ(dir.image_list.size(), 31u);
    EXPECT_EQ(dir.patients.size(), 2u);
    file->destroy();
}

// ---- hand-made directories ----

Record rec(const std::string& type, int next, int lower,
           std::vector<std::tuple<uint16_t, uint16_t, std::string, std::string>> texts = {}) {
    return Record{type, next, lower, 0, std::move(texts)};
}

Record image(int next, const std::string& file) {
    return rec("IMAGE", next, -1, {{0x0004, 0x1500, "CS", file}});
}

using Dir = Loaded<VRX_DICOMDIRInfo>;

std::vector<std::string> file_ids(const VRX_DICOMDIRInfo& dir) {
    std::vector<std::string> ids;
    for (const String& id : dir.file_ids) ids.push_back(utf8(id));
    return ids;
}

// Records listed image first, linked from the patient down.
std::vector<Record> reordered() {
    return {image(-1, "B"), rec("SERIES", -1, 0), rec("STUDY", -1, 1), rec("PATIENT", -1, 2),
            image(0, "A")};
}

TEST(DICOMDIRInfoWalk, LinksGiveTheTreeWhateverTheItemOrder) {
    std::vector<Record> records = reordered();
    records[1].lower = 4;  // series -> image A -> image B
    Dir l(dicomdir(records, 3));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.info.linked_by_offsets());
    ASSERT_EQ(l.info.image_list.size(), 2u);
    EXPECT_EQ(file_ids(l.info), (std::vector<std::string>{"A", "B"}));
    expect_consistent_lists(l.info);
}

TEST(DICOMDIRInfoWalk, BrokenLinksFallBackToItemOrder) {
    struct Case {
        const char* name;
        std::vector<Record> records;
        int first;
    };
    // In item order: patient, study, series, image A, image B.
    auto ordered = [](int study_next, int image_next) {
        return std::vector<Record>{rec("PATIENT", -1, 1), rec("STUDY", study_next, 2),
                                   rec("SERIES", -1, 3), image(image_next, "A"), image(-1, "B")};
    };
    const Case cases[] = {
        {"no root link", ordered(-1, 4), -2},
        {"root link 0", ordered(-1, 4), -1},
        {"a study linked to itself", ordered(1, 4), 0},
        {"images linked in a circle",
         [&] {
             auto r = ordered(-1, 4);
             r[4].next = 3;
             return r;
         }(),
         0},
        {"a link into the middle of an item",
         [&] {
             auto r = ordered(-1, 4);
             r[2].lower_bias = 1;
             return r;
         }(),
         0},
        {"the root's first record an image", ordered(-1, 4), 3},
        {"the root's first record a series", ordered(-1, 4), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dir l(dicomdir(c.records, c.first));
        ASSERT_TRUE(l.ok);
        EXPECT_FALSE(l.info.linked_by_offsets());
        EXPECT_EQ(file_ids(l.info), (std::vector<std::string>{"A", "B"}));
        ASSERT_EQ(l.info.patients.size(), 1u);
        expect_consistent_lists(l.info);
    }
}

TEST(DICOMDIRInfoWalk, ItemOrderKeepsOnlyRecordsUnderTheirLevel) {
    // Without links: records before the first patient, and an image that
    // follows a study before any series, are dropped.
    const std::vector<Record> records = {rec("STUDY", -2, -2),   rec("SERIES", -2, -2),
                                         image(-2, "LOST1"),     rec("PATIENT", -2, -2),
                                         rec("STUDY", -2, -2),   image(-2, "LOST2"),
                                         rec("SERIES", -2, -2),  image(-2, "KEPT"),
                                         rec("PRIVATE", -2, -2), image(-2, "KEPT2")};
    Dir l(dicomdir(records, -2));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(file_ids(l.info), (std::vector<std::string>{"KEPT", "KEPT2"}));
    EXPECT_EQ(l.info.patient_list.size(), 1u);
    EXPECT_EQ(l.info.study_list.size(), 1u);
    EXPECT_EQ(l.info.series_list.size(), 1u);
    expect_consistent_lists(l.info);
}

TEST(DICOMDIRInfoWalk, AnImageWithoutAFileIsKeptWithAnEmptyFileID) {
    Dir l(dicomdir({rec("PATIENT", -1, 1), rec("STUDY", -1, 2), rec("SERIES", -1, 3),
                    rec("IMAGE", 4, -1), image(-1, "B")},
                   0));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.info.linked_by_offsets());
    EXPECT_EQ(file_ids(l.info), (std::vector<std::string>{"", "B"}));
    ASSERT_EQ(l.info.image_list.size(), 2u);
    EXPECT_TRUE(l.info.image_list[0]->referenced_file_id.empty());
    expect_consistent_lists(l.info);
}

// The tree as names: patients "P<name>(...)", studies "S(...)", series
// "R(...)" and the images' file IDs.
std::string shape(const VRX_DICOMDIRInfo& dir) {
    std::string s;
    for (const VRX_DICOMDIRPatient& p : dir.patients) {
        s += 'P';
        s += utf8(p.patient_name);
        s += '(';
        for (const VRX_DICOMDIRStudy& study : p.studies) {
            s += "S(";
            for (const VRX_DICOMDIRSeries& series : study.series) {
                s += "R(";
                for (const VRX_DICOMDIRImage& i : series.images) {
                    s += utf8(i.referenced_file_id);
                    s += ' ';
                }
                s += ")";
            }
            s += ")";
        }
        s += ")";
    }
    return s;
}

TEST(DICOMDIRInfoWalk, RootsThatAreNotPatientsComeUnderAMadeUpPatient) {
    struct Case {
        const char* name;
        std::vector<Record> records;
        int first;
        const char* shape;
        bool linked;
    };
    // Without image files the made-up patient (and study) is empty.
    const Case cases[] = {
        {"study records linked from the root",
         {rec("STUDY", 3, 1), rec("SERIES", -1, 2), image(-1, "A"), rec("STUDY", -1, 4),
          rec("SERIES", -1, 5), image(-1, "B")},
         0, "P(S(R(A ))S(R(B )))", true},
        {"series records at the root",
         {rec("SERIES", 2, 1), image(-1, "A"), rec("SERIES", -1, 3), image(-1, "B")},
         0, "P(S(R(A )R(B )))", true},
        {"image records at the root", {image(1, "A"), image(-1, "B")}, 0, "P(S(R(A B )))", true},
        {"patient records of another type, the root linked to an image",
         {image(-1, "A"), rec("SERIES", -1, 0), rec("STUDY", -1, 1), rec("UNKNOWN", 5, 2),
          image(-1, "B"), rec("UNKNOWN", -1, 6), rec("STUDY", -1, 7), rec("SERIES", -1, 4)},
         0, "P(S(R(A ))S(R(B )))", false},
        {"no links: item order, what comes before the first study left out",
         {rec("SERIES", -2, -2), image(-2, "LOST1"), rec("STUDY", -2, -2), rec("SERIES", -2, -2),
          image(-2, "A"), rec("SERIES", -2, -2), image(-2, "B"), rec("STUDY", -2, -2),
          image(-2, "LOST2"), rec("SERIES", -2, -2), image(-2, "C")},
         -2, "P(S(R(A )R(B ))S(R(C )))", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dir l(dicomdir(c.records, c.first));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(shape(l.info), c.shape);
        EXPECT_EQ(l.info.linked_by_offsets(), c.linked);
        expect_consistent_lists(l.info);
    }
}

TEST(DICOMDIRInfoWalk, LinkedRecordsOfAnotherTypeArePassedOver) {
    const std::vector<Record> records = {rec("PATIENT", -1, 1), rec("PRIVATE", 2, -1),
                                         rec("STUDY", -1, 3), rec("SERIES", -1, 4), image(-1, "A")};
    Dir l(dicomdir(records, 0));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.info.linked_by_offsets());
    EXPECT_EQ(l.info.study_list.size(), 1u);
    EXPECT_EQ(file_ids(l.info), std::vector<std::string>{"A"});
}

TEST(DICOMDIRInfoWalk, ARecordReachedTwiceFallsBackToItemOrder) {
    // The study's series was reached already under the patient.
    const std::vector<Record> records = {rec("PATIENT", -1, 1), rec("SERIES", 2, 3),
                                         rec("STUDY", -1, 1), image(-1, "A")};
    Dir l(dicomdir(records, 0));
    ASSERT_TRUE(l.ok);
    EXPECT_FALSE(l.info.linked_by_offsets());
    // In item order the series comes before any study and the image follows
    // a study without a series: both are dropped.
    EXPECT_EQ(l.info.study_list.size(), 1u);
    EXPECT_TRUE(l.info.image_list.empty());
}

TEST(DICOMDIRInfoWalk, Refusals) {
    {
        TestManager manager;
        VRX_DICOMDIRInfo dir(&manager);
        EXPECT_FALSE(dir.load(nullptr));
        EXPECT_TRUE(has_status(manager, VRX_ERROR_ARGUMENT, kLoad));
    }
    {
        // A single image file is not a directory.
        Writer w;
        w.image(1, 1, 8, 1, "MONOCHROME2");
        w.pixel_data({0, 0});
        Dir l(w.bytes());
        EXPECT_FALSE(l.ok);
        EXPECT_TRUE(has_status(l.manager, VRX_ERROR_DATA, kLoad));
    }
    {
        // Bytes that are no DICOM file at all.
        Dir l(Bytes(300, 0x41));
        EXPECT_FALSE(l.ok);
        EXPECT_TRUE(is_error(l.manager.status().code));
        EXPECT_EQ(l.storage->position(), 0);
    }
}

TEST(DICOMDIRInfoRecords, FieldsAndSplitValues) {
    const std::vector<Record> records = {
        rec("PATIENT", -1, 1, {{0x0010, 0x0010, "PN", "Doe^Jane"}, {0x0010, 0x0020, "LO", "42"}}),
        rec("STUDY", -1, 2, {{0x0008, 0x0020, "DA", "20240102"}}),
        rec("SERIES", -1, 3,
            {{0x0008, 0x0060, "CS", "CT"},
             {0x0018, 0x0060, "DS", "120"},
             {0x0028, 0x0010, "US", ""},
             {0x0028, 0x0030, "DS", "0.5\\0.25"}}),
        rec("IMAGE", 4, -1,
            {{0x0004, 0x1500, "CS", "DIR\\FILE1"},
             {0x0004, 0x1511, "UI", "1.2.3"},
             {0x0008, 0x0018, "UI", ""},
             {0x0020, 0x0013, "IS", "7"},
             {0x0020, 0x0032, "DS", "1.5\\-2"},
             {0x0020, 0x1041, "DS", ""},
             {0x0028, 0x0030, "DS", "0.5"}}),
        rec("IMAGE", -1, -1,
            {{0x0004, 0x1500, "CS", "FILE2"},
             {0x0008, 0x0018, "UI", "9.8"},
             {0x0020, 0x0032, "DS", "1\\2\\3.25"},
             {0x0020, 0x0037, "DS", "1\\0\\0\\0\\1\\0"},
             {0x0020, 0x1041, "DS", "-12.5"}}),
    };
    Dir l(dicomdir(records, 0));
    ASSERT_TRUE(l.ok);
    const VRX_DICOMDIRPatient& p = l.info.patients[0];
    EXPECT_EQ(utf8(p.patient_name), "Doe^Jane");
    EXPECT_EQ(utf8(p.patient_sex), "");
    EXPECT_EQ(utf8(p.studies[0].study_date), "20240102");
    const VRX_DICOMDIRSeries& s = p.studies[0].series[0];
    EXPECT_DOUBLE_EQ(s.kvp, 120.0);
    EXPECT_DOUBLE_EQ(s.pixel_spacing_y, 0.5);
    EXPECT_DOUBLE_EQ(s.pixel_spacing_x, 0.25);
    EXPECT_EQ(s.rows, 0u);
    const VRX_DICOMDIRImage& a = s.images[0];
    EXPECT_EQ(utf8(a.referenced_file_id), "DIR\\FILE1");
    EXPECT_EQ(utf8(a.sop_instance_uid), "1.2.3");
    EXPECT_EQ(a.instance_number, 7u);
    // Two values of three, one of two: all 0.0; an empty slice location is
    // not one.
    EXPECT_EQ(a.image_position[0], 0.0);
    EXPECT_EQ(a.image_position[2], 0.0);
    EXPECT_EQ(a.pixel_spacing_x, 0.0);
    EXPECT_EQ(a.pixel_spacing_y, 0.0);
    EXPECT_FALSE(a.has_slice_location);
    EXPECT_EQ(a.slice_location, 0.0);
    const VRX_DICOMDIRImage& b = s.images[1];
    EXPECT_EQ(utf8(b.sop_instance_uid), "9.8");
    EXPECT_DOUBLE_EQ(b.image_position[0], 1.0);
    EXPECT_DOUBLE_EQ(b.image_position[1], 2.0);
    EXPECT_DOUBLE_EQ(b.image_position[2], 3.25);
    EXPECT_EQ(utf8(b.image_orientation), "1\\0\\0\\0\\1\\0");
    EXPECT_TRUE(b.has_slice_location);
    EXPECT_DOUBLE_EQ(b.slice_location, -12.5);
    // The record's elements, and tag access over its item.
    ASSERT_EQ(b.tag_info.size(), 8u);
    EXPECT_EQ(b.tag_info[0].group, 0x0004);
    EXPECT_EQ(b.tag_info[0].element, 0x1400);
    EXPECT_EQ(b.tag_info[0].vr, 0x4C55u);  // "UL"
    EXPECT_EQ(b.tag_info[0].length, 4u);
    EXPECT_EQ(utf8(b.tag_obj.get_string(0x0004, 0x1430)), "IMAGE");
}

TEST(DICOMDIRInfoRecords, CopiesOutliveTheDirectory) {
    TestManager manager;
    const Bytes bytes = dicomdir({rec("PATIENT", -1, -1, {{0x0010, 0x0020, "LO", "ID7"}})}, 0);
    VRX_InputStorage* storage = storage_over(manager, bytes);
    VRX_DICOMDIRPatient copy(&manager);
    {
        VRX_DICOMDIRInfo dir(&manager);
        ASSERT_TRUE(dir.load(storage));
        copy = dir.patients[0];
    }
    EXPECT_EQ(utf8(copy.patient_id), "ID7");
    EXPECT_EQ(utf8(copy.tag_obj.get_string(0x0010, 0x0020)), "ID7");
    storage->destroy();
}

// ---- referenced file IDs ----

class FileIdTest : public ::testing::Test {
   protected:
    void SetUp() override {
        root_ =
            std::filesystem::temp_directory_path() / ("vrx_dicomdir_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "set" / "Dir1" / "SUB");
        std::ofstream(root_ / "set" / "Dir1" / "SUB" / "Im0001") << "x";
        std::ofstream(root_ / "outside") << "x";
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    bool resolve(const char* id, std::string& path, bool* outside = nullptr) {
        VRX_BasicString<char> out(&manager_);
        const std::string folder = (root_ / "set").string();
        const bool ok = VRX_DICOMDIRInfo::resolve_file_id(&manager_, folder.c_str(),
                                                          text16(&manager_, id), out, outside);
        path = out.c_str();
        return ok;
    }

    // A DICOMDIR of study records naming directory files: a study naming
    // ST/DIRFILE, one naming the DICOMDIR itself (which would give it the
    // series after it once more), one naming a file that is not there and
    // one whose ID leaves the folder (to come back to ST/DIRFILE), without
    // links (in item order). ST/DIRFILE holds series naming ST/SE/DIRFILE
    // and their own file again; ST/SE/DIRFILE two images.
    void put_nested_set() {
        const auto put = [&](const std::string& name, const Bytes& bytes) {
            const std::filesystem::path path = root_ / "set" / name;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        };
        const auto names = [](const std::string& id) {
            return std::vector<std::tuple<uint16_t, uint16_t, std::string, std::string>>{
                {0x0004, 0x1500, "CS", id}};
        };
        put("DICOMDIR", dicomdir({rec("STUDY", -2, -2, names("ST\\DIRFILE")),
                                  rec("STUDY", -2, -2, names("DICOMDIR")), rec("SERIES", -2, -2),
                                  rec("STUDY", -2, -2, names("GONE\\DIRFILE")),
                                  rec("STUDY", -2, -2, names("ST\\..\\..\\set\\ST\\DIRFILE"))},
                                 -2));
        put("ST/DIRFILE", dicomdir({rec("SERIES", 1, -1, names("ST\\SE\\DIRFILE")),
                                    rec("SERIES", -1, -1, names("ST\\DIRFILE"))},
                                   0));
        // Images named from the DICOMDIR's folder.
        put("ST/SE/DIRFILE", dicomdir({image(1, "ST\\SE\\IM1"), image(-1, "ST\\SE\\IM2")}, 0));
        for (const char* name : {"ST/SE/IM1", "ST/SE/IM2"}) {
            Writer w;
            w.text(0x0010, 0x0010, "PN", "Nest^Ned");
            w.text(0x0010, 0x0020, "LO", "N1");
            w.image(1, 1, 8, 1, "MONOCHROME2");
            w.pixel_data({0, 0});
            put(name, w.bytes());
        }
    }

    std::filesystem::path root_;
    TestManager manager_;
};

TEST_F(FileIdTest, ComponentsMatchWithoutRegardToCase) {
    std::string path;
    ASSERT_TRUE(resolve("DIR1\\SUB\\IM0001", path));
    EXPECT_EQ(path, (root_ / "set" / "Dir1" / "SUB" / "Im0001").string());
    ASSERT_TRUE(resolve("dir1\\sub\\im0001", path));
    EXPECT_TRUE(file_exists(path));
}

// An ID is a path read lexically: "." and empty components name no folder,
// ".." takes back the component before it (one not there too).
TEST_F(FileIdTest, IdsLeavingTheFolderOrMalformedAreRefused) {
    const struct {
        const char* id;
        const char* found;  // under the set's folder; null: refused
        bool outside;
    } ids[] = {{"..\\outside", nullptr, true},
               {"DIR1\\..\\..\\outside", nullptr, true},
               {"DIR1\\\\..\\..\\outside", nullptr, true},
               {"..\\DIR1/SUB", nullptr, true},
               {"DIR1/SUB", nullptr, false},
               {"", nullptr, false},
               {".", nullptr, false},
               {"DIR1\\..", nullptr, false},
               {".\\DIR1", "Dir1", false},
               {"DIR1\\\\SUB", "Dir1/SUB", false},
               {"\\DIR1", "Dir1", false},
               {"NOWHERE\\..\\dir1\\.\\SUB\\..\\sub\\IM0001\\", "Dir1/SUB/Im0001", false}};
    std::string path;
    for (const auto& c : ids) {
        SCOPED_TRACE(c.id);
        manager_.reset();
        bool outside = !c.outside;
        EXPECT_EQ(resolve(c.id, path, &outside), c.found != nullptr);
        EXPECT_EQ(outside, c.outside);
        if (c.found)
            EXPECT_EQ(path, (root_ / "set" / c.found).string());
        else
            EXPECT_TRUE(has_status(manager_, VRX_ERROR_ARGUMENT, kResolve));
    }
    manager_.reset();
    EXPECT_FALSE(resolve("DIR1\\NOTHERE", path));
    EXPECT_TRUE(has_status(manager_, VRX_ERROR_IO, kResolve));
}

TEST_F(FileIdTest, AFileIdHoldingANulIsRefused) {
    // Cut at the NUL the first ID would name an existing file; a NUL that
    // pads the value's end is no part of the ID.
    const std::string id = "DIR1\\SUB\\IM0001";
    for (const auto& [value, found] : {std::pair{id + std::string("\0\\..", 4), false},
                                       std::pair{id + std::string(1, '\0'), true}}) {
        Dir l(dicomdir({rec("PATIENT", -1, 1), rec("STUDY", -1, 2), rec("SERIES", -1, 3),
                        rec("IMAGE", -1, -1, {{0x0004, 0x1500, "CS", value}})},
                       0));
        ASSERT_TRUE(l.ok);
        ASSERT_EQ(l.info.image_list.size(), 1u);
        VRX_BasicString<char> path(&manager_);
        const std::string folder = (root_ / "set").string();
        manager_.reset();
        EXPECT_EQ(VRX_DICOMDIRInfo::resolve_file_id(
                      &manager_, folder.c_str(), l.info.image_list[0]->referenced_file_id, path),
                  found);
        EXPECT_EQ(has_status(manager_, VRX_ERROR_ARGUMENT, kResolve), !found);
    }
}

TEST_F(FileIdTest, DirectoryFilesNamedByRecordsAreFollowed) {
    put_nested_set();
    VRX_FileInputStorage* file =
        VRX_FileInputStorage::create(&manager_, (root_ / "set" / "DICOMDIR").string().c_str());
    VRX_DICOMDIRInfo dir(&manager_);
    ASSERT_TRUE(dir.load(file));
    // The first study's patient is made from its first image; the others
    // have none to take one from.
    EXPECT_EQ(shape(dir), "PNest^Ned(S(R(ST\\SE\\IM1 ST\\SE\\IM2 )R()))P(S(R())S()S())");
    expect_consistent_lists(dir);
    // The file that is not there is a warning; the records stay.
    EXPECT_EQ(manager_.status().code, VRX_WARNING_DATA);
    EXPECT_EQ(std::string(manager_.status().function), kLoad);
    // The files not followed, in walk order: the two named from themselves,
    // the one not there and the one whose ID leaves the folder.
    using Unfollowed = VRX_DICOMDIRInfo::Unfollowed;
    const std::pair<std::string, Unfollowed::Cause> notes[] = {
        {"ST\\DIRFILE", Unfollowed::cycle},
        {"DICOMDIR", Unfollowed::cycle},
        {"GONE\\DIRFILE", Unfollowed::missing},
        {"ST\\..\\..\\set\\ST\\DIRFILE", Unfollowed::outside}};
    ASSERT_EQ(dir.unfollowed.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(utf8(dir.unfollowed[i].file_id), notes[i].first);
        EXPECT_EQ(dir.unfollowed[i].cause, notes[i].second);
    }
    file->destroy();
}

// Memory that runs out at any allocation while the records are read fails
// the load as out of memory: never as malformed records, and never as a
// directory file left out.
TEST_F(FileIdTest, MemoryRunningOutFailsTheLoadAsSuch) {
    put_nested_set();
    const std::string path = (root_ / "set" / "DICOMDIR").string();
    for (uint64_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        TestManager manager;
        manager.memory_manager().fail_at(n);
        VRX_FileInputStorage* file = VRX_FileInputStorage::create(&manager, path.c_str());
        if (!file) continue;
        bool ok = false;
        size_t notes = 0;
        {
            VRX_DICOMDIRInfo dir(&manager);
            ok = dir.load(file);
            notes = dir.unfollowed.size();
        }
        file->destroy();
        if (ok)
            EXPECT_EQ(notes, 4u);
        else
            EXPECT_EQ(manager.status().code, VRX_ERROR_OUT_OF_MEMORY);
        if (manager.memory_manager().failures() == 0) break;
    }
}

}  // namespace
