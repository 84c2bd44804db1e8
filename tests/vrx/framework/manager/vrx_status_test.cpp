#include "vrx/framework/manager/vrx_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vrx::VRX_Status;

TEST(VRX_Status, DefaultIsSuccessWithEmptyTexts) {
    VRX_Status s;
    EXPECT_EQ(s.code, 0u);
    EXPECT_STREQ(s.function, "");
    EXPECT_STREQ(s.file, "");
    EXPECT_EQ(s.line, 0u);
    EXPECT_FALSE(s.is_error());
    EXPECT_FALSE(s.is_warning());
}

TEST(VRX_Status, FileIsCutAfterTheLaterSeparator) {
    struct Case {
        const char* path;
        const char* base;
    } cases[] = {
        {"a/b\\c/d.cpp", "d.cpp"},
        {"a\\b/c\\d.cpp", "d.cpp"},
        {"/x/y/z.cpp", "z.cpp"},
        {"c:\\x\\y.cpp", "y.cpp"},
        {"plain.cpp", "plain.cpp"},
        {"ends/", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        VRX_Status s(nullptr, 0x80800000u, "F::f()", c.path, 7);
        EXPECT_STREQ(s.file, c.base) << c.path;
    }
    VRX_Status null_file(nullptr, 0x80800000u, "F::f()", nullptr, 7);
    EXPECT_STREQ(null_file.file, "");
}

TEST(VRX_Status, TextsAreCutTo255Characters) {
    const std::string long_function(300, 'f');
    const std::string long_file = "dir/" + std::string(300, 'g');
    VRX_Status s(nullptr, 0x80000000u, long_function.c_str(), long_file.c_str(), 1);
    EXPECT_EQ(std::string(s.function), long_function.substr(0, 255));
    EXPECT_EQ(std::string(s.file), std::string(255, 'g'));
    const std::string exact(255, 'e');
    VRX_Status e(nullptr, 0x80000000u, exact.c_str(), exact.c_str(), 1);
    EXPECT_EQ(std::string(e.function), exact);
}

TEST(VRX_Status, AssignmentCopiesCodeTextsAndLine) {
    VRX_Status a(nullptr, 0x81000000u, "A::initiate()", "x/a.cpp", 12);
    VRX_Status b;
    b = a;
    EXPECT_EQ(b.code, 0x81000000u);
    EXPECT_STREQ(b.function, "A::initiate()");
    EXPECT_STREQ(b.file, "a.cpp");
    EXPECT_EQ(b.line, 12u);
    VRX_Status c(a);
    EXPECT_STREQ(c.function, "A::initiate()");
    VRX_Status& self = c;
    c = self;
    EXPECT_STREQ(c.function, "A::initiate()");
}

// Every code of the status table: its bits, and the category without the detail.
TEST(VRX_Status, CodeTable) {
    struct Row {
        uint32_t code;
        bool error;
        bool warning;
    } rows[] = {
        {vrx::VRX_SUCCESS, false, false},
        {vrx::VRX_WARNING, false, true},
        {vrx::VRX_WARNING_OUT_OF_MEMORY, false, true},
        {vrx::VRX_WARNING_IO, false, true},
        {vrx::VRX_WARNING_VERSION, false, true},
        {vrx::VRX_WARNING_STATE, false, true},
        {vrx::VRX_WARNING_FORMAT_INFO, false, true},
        {vrx::VRX_WARNING_HEADER, false, true},
        {vrx::VRX_WARNING_DATA, false, true},
        {vrx::VRX_WARNING_ARGUMENT, false, true},
        {vrx::VRX_WARNING_UNSUPPORTED, false, true},
        {vrx::VRX_WARNING_CATEGORY_25, false, true},
        {vrx::VRX_WARNING_CATEGORY_26, false, true},
        {vrx::VRX_ERROR, true, false},
        {vrx::VRX_ERROR_OUT_OF_MEMORY, true, false},
        {vrx::VRX_ERROR_IO, true, false},
        {vrx::VRX_ERROR_VERSION, true, false},
        {vrx::VRX_ERROR_STATE, true, false},
        {vrx::VRX_ERROR_FORMAT_INFO, true, false},
        {vrx::VRX_ERROR_HEADER, true, false},
        {vrx::VRX_ERROR_DATA, true, false},
        {vrx::VRX_ERROR_ARGUMENT, true, false},
        {vrx::VRX_ERROR_UNSUPPORTED, true, false},
        {vrx::VRX_ERROR_CATEGORY_25, true, false},
        {vrx::VRX_ERROR_CATEGORY_26, true, false},
    };
    EXPECT_EQ(std::size(rows), 25u);
    uint32_t seen_categories = 0;
    for (const Row& r : rows) {
        VRX_Status s(nullptr, r.code, "T::t()", "t.cpp", 1);
        EXPECT_EQ(s.is_error(), r.error) << std::hex << r.code;
        EXPECT_EQ(s.is_warning(), r.warning) << std::hex << r.code;
        EXPECT_EQ(r.code & 0xFFFFu, 0u);
        const uint32_t category_bits = r.code & 0x07FF0000u;
        EXPECT_LE(__builtin_popcount(category_bits), 1) << std::hex << r.code;
        if (r.error) seen_categories |= category_bits;
        VRX_Status detailed(nullptr, r.code | 0x0010u, "T::t()", "t.cpp", 1);
        EXPECT_EQ(detailed.category(), r.code);
    }
    EXPECT_EQ(seen_categories, 0x07FF0000u);  // eleven categories, one bit each
    EXPECT_EQ(vrx::status_category(0x40200010u), 0x40200000u);
}

}  // namespace
