#include "vrx/framework/manager/vrx_firsterrorhandler.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using vrx::VRX_FirstErrorHandler;

struct Step {
    uint32_t code;
    const char* function;
};

struct MergeCase {
    const char* name;
    std::vector<Step> steps;
    uint32_t code;
    const char* function;
};

// The first error is kept; a later error replaces a recorded warning; a second
// warning never replaces the first; code 0 and empty texts are dropped.
TEST(VRX_FirstErrorHandler, Merging) {
    const MergeCase cases[] = {
        {"warning then error",
         {{0x40400000u, "W::w()"}, {0x80800000u, "E::e()"}},
         0x80800000u,
         "E::e()"},
        {"error then warning",
         {{0x80800000u, "E::e()"}, {0x40400000u, "W::w()"}},
         0x80800000u,
         "E::e()"},
        {"two errors", {{0x80010000u, "A::a()"}, {0x80800000u, "B::b()"}}, 0x80010000u, "A::a()"},
        {"two warnings", {{0x40400000u, "A::a()"}, {0x41000000u, "B::b()"}}, 0x40400000u, "A::a()"},
        {"empty text dropped", {{0x80800000u, ""}}, 0u, ""},
        {"null text dropped", {{0x80800000u, nullptr}}, 0u, ""},
        {"code 0 dropped", {{0u, "A::a()"}}, 0u, ""},
        {"warning, empty error, error",
         {{0x40400000u, "W::w()"}, {0x80800000u, ""}, {0x81000000u, "E::e()"}},
         0x81000000u,
         "E::e()"},
        {"uncategorised error replaces warning",
         {{0x40000000u, "W::w()"}, {0x80000000u, "E::e()"}},
         0x80000000u,
         "E::e()"},
    };
    for (const MergeCase& c : cases) {
        VRX_FirstErrorHandler handler(nullptr);
        for (const Step& s : c.steps) handler.report(s.code, s.function, "dir/file.cpp", 10);
        const vrx::VRX_Status st = handler.status();
        EXPECT_EQ(st.code, c.code) << c.name;
        EXPECT_STREQ(st.function, c.function) << c.name;
    }
}

TEST(VRX_FirstErrorHandler, TwoArgumentReportHasNoFileOrLine) {
    VRX_FirstErrorHandler handler(nullptr);
    handler.report(0x80800000u, "A::a()");
    const vrx::VRX_Status st = handler.status();
    EXPECT_EQ(st.code, 0x80800000u);
    EXPECT_STREQ(st.function, "A::a()");
    EXPECT_STREQ(st.file, "");
    EXPECT_EQ(st.line, 0u);
}

TEST(VRX_FirstErrorHandler, ResetClearsTheRecord) {
    VRX_FirstErrorHandler handler(nullptr);
    handler.report(0x80800000u, "A::a()", "a.cpp", 3);
    EXPECT_TRUE(handler.reset());
    const vrx::VRX_Status st = handler.status();
    EXPECT_EQ(st.code, 0u);
    EXPECT_STREQ(st.function, "");
    EXPECT_STREQ(st.file, "");
    handler.report(0x40400000u, "W::w()", "w.cpp", 4);
    EXPECT_EQ(handler.status().code, 0x40400000u);
}

// Reports from several threads keep one whole record: an error, with the
// text that belongs to its code.
TEST(VRX_FirstErrorHandler, ConcurrentReportsKeepOneError) {
    VRX_FirstErrorHandler handler(nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&handler, t] {
            for (int i = 0; i < 200; ++i) {
                handler.report(0x40400000u, "W::w()", "w.cpp", 1);
                if (t == 2 && i == 100) handler.report(0x80400000u, "E::e()", "e.cpp", 2);
            }
        });
    }
    for (auto& th : threads) th.join();
    const vrx::VRX_Status st = handler.status();
    EXPECT_EQ(st.code, 0x80400000u);
    EXPECT_STREQ(st.function, "E::e()");
}

}  // namespace
