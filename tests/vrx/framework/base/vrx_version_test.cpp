#include "vrx/framework/base/vrx_version.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionGate, Table) {
    struct Case {
        uint32_t word;
        bool ok;
    } cases[] = {
        {0x01040100u, true},  {0x01040000u, true},  {0x010400FFu, true},  {0x01040101u, false},
        {0x0104FFFFu, false}, {0x01030100u, false}, {0x01050100u, false}, {0x00000000u, false},
        {0x11040100u, false}, {0x00040100u, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vrx::is_compatible_version(c.word), c.ok) << std::hex << c.word;
    static_assert(vrx::is_compatible_version(vrx::VRX_INTERFACE_VERSION));
    static_assert(vrx::is_compatible_version(vrx::VRX_INTERFACE_VERSION_BASE));
}

}  // namespace
