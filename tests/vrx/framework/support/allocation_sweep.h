#pragma once
// The failing-allocation sweep shared by the chain, storage and memory tests:
// the job runs once for every N with its N-th allocation failing, until a run
// meets no failure. Every run must give back all memory but the manager's own
// parts, and a run that met a failure must never end with a success status.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/vrx/framework/support/test_manager.h"

namespace vrx_test {

// Returns the first N whose run met no failure (limit when none did).
template <class Job>
uint64_t sweep_allocation_failures(const char* name, uint64_t limit, Job job) {
    {
        TestManager manager;
        EXPECT_TRUE(job(manager)) << name << ": the job works without failures";
        vrx::VRX_Status out(&manager);
        EXPECT_TRUE(manager.execute(out)) << name << ": " << out.function;
    }
    uint64_t n = 1;
    for (; n < limit; ++n) {
        FailingMemoryManager::plan_next(n);
        TestManager manager;
        const bool output_ok = job(manager);
        vrx::VRX_Status out(&manager);
        const bool job_ok = manager.execute(out);
        const int64_t parts = (manager.error_handler() ? 1 : 0) + (manager.workflow() ? 1 : 0) +
                              (manager.relation() ? 1 : 0);
        EXPECT_EQ(manager.memory_manager().outstanding(), parts) << name << " n=" << n;
        if (manager.memory_manager().failures() == 0) {
            EXPECT_TRUE(job_ok && output_ok) << name << " n=" << n;
            break;
        }
        EXPECT_FALSE(job_ok) << name << " n=" << n;
        EXPECT_TRUE(vrx::is_error(out.code)) << name << " n=" << n;
        if (::testing::Test::HasFailure()) break;
    }
    return n;
}

}  // namespace vrx_test
