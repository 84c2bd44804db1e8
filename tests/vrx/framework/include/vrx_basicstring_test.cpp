#include "vrx/framework/include/vrx_basicstring.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/vrx/framework/support/test_manager.h"

namespace {

using vrx::VRX_String;
using vrx::VRX_WString;
using vrx_test::TestManager;

TEST(VRX_BasicString, AssignAppendErase) {
    TestManager manager;
    VRX_String s(&manager);
    EXPECT_TRUE(s.empty());
    EXPECT_STREQ(s.c_str(), "");
    EXPECT_TRUE(s.assign("VRX_Crop"));
    EXPECT_TRUE(s.append("::engine()"));
    EXPECT_STREQ(s.c_str(), "VRX_Crop::engine()");
    EXPECT_EQ(s.size(), 18u);
    EXPECT_TRUE(s.erase(8));
    EXPECT_STREQ(s.c_str(), "VRX_Crop");
    EXPECT_TRUE(s.erase(0, 4));
    EXPECT_STREQ(s.c_str(), "Crop");
    EXPECT_TRUE(s.append('!'));
    EXPECT_STREQ(s.c_str(), "Crop!");
    EXPECT_TRUE(s.append(static_cast<const char*>(nullptr)));
    EXPECT_STREQ(s.c_str(), "Crop!");
    EXPECT_TRUE(s.assign(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(manager.status().code, 0u);
}

TEST(VRX_BasicString, Compare) {
    TestManager manager;
    VRX_WString s(&manager, u"DICOMDIR");
    EXPECT_EQ(s.compare(u"DICOMDIR"), 0);
    EXPECT_LT(s.compare(u"DICOMDIS"), 0);
    EXPECT_GT(s.compare(u"DICOM"), 0);
    EXPECT_GT(s.compare(nullptr), 0);
    EXPECT_TRUE(s == u"DICOMDIR");
    VRX_WString empty(&manager);
    EXPECT_EQ(empty.compare(nullptr), 0);
    VRX_WString copy(s);
    EXPECT_TRUE(copy == s);
    EXPECT_EQ(copy.manager(), &manager);
}

TEST(VRX_BasicString, Failures) {
    TestManager manager;
    VRX_String s(&manager, "x");
    const std::string long_text(100, 'a');
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(s.assign(long_text.c_str()));
    EXPECT_TRUE(manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY,
                                             "VRX_BasicString<Ch>::assign()"));
    manager.memory_manager().fail_at(1);
    EXPECT_FALSE(s.append(long_text.c_str()));
    EXPECT_TRUE(manager.error_handler()->saw(vrx::VRX_ERROR_OUT_OF_MEMORY,
                                             "VRX_BasicString<Ch>::append()"));
    EXPECT_FALSE(s.erase(50));  // beyond the end
    EXPECT_TRUE(manager.error_handler()->saw(vrx::VRX_ERROR, "VRX_BasicString<Ch>::erase()"));
    // Still usable.
    EXPECT_TRUE(s.assign(long_text.c_str()));
    EXPECT_EQ(s.size(), 100u);
    manager.memory_manager().fail_at(1);
    VRX_String copy(s);
    EXPECT_TRUE(copy.empty());
}

}  // namespace
