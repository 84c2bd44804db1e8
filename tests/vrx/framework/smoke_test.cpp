#include <gtest/gtest.h>

#include "vrx/framework/manager/vrx_managerimpl.h"

TEST(Smoke, ManagerStartsClean) {
    vrx::VRX_DefaultManager manager;
    EXPECT_EQ(manager.status().code, 0u);
}
