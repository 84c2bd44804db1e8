#pragma once
// Managers for tests: memory that can be told to fail its N-th allocation and
// counts what is still out, and an error handler that also keeps every report.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "vrx/framework/manager/vrx_managerimpl.h"

namespace vrx_test {

class FailingMemoryManager : public vrx::VRX_MemoryManager {
public:
    // The next FailingMemoryManager made on this thread fails its n-th
    // allocation (counting from its first, so the manager's own parts count).
    static void plan_next(uint64_t n, bool all_after = false) {
        planned_fail_at() = n;
        planned_all_after() = all_after;
    }
    FailingMemoryManager() : fail_at_(planned_fail_at()), fail_all_after_(planned_all_after()) {
        plan_next(0);
    }

    // The n-th allocation from now on fails (1 = the next one); 0 never.
    void fail_at(uint64_t n) { fail_at_ = n == 0 ? 0 : allocations_ + n; }
    // Every allocation from the n-th on fails.
    void fail_from(uint64_t n) {
        fail_at(n);
        fail_all_after_ = true;
    }
    void never_fail() {
        fail_at_ = 0;
        fail_all_after_ = false;
    }

    void* allocate(size_t bytes) override {
        ++allocations_;
        if (fail_at_ != 0 &&
            (allocations_ == fail_at_ || (fail_all_after_ && allocations_ > fail_at_))) {
            ++failures_;
            return nullptr;
        }
        void* memory = std::malloc(bytes != 0 ? bytes : 1);
        if (memory) ++outstanding_;
        return memory;
    }
    void deallocate(void* memory) override {
        if (!memory) return;
        --outstanding_;
        std::free(memory);
    }

    uint64_t allocations() const { return allocations_; }
    uint64_t failures() const { return failures_; }
    int64_t outstanding() const { return outstanding_; }

private:
    static uint64_t& planned_fail_at() {
        thread_local uint64_t n = 0;
        return n;
    }
    static bool& planned_all_after() {
        thread_local bool all = false;
        return all;
    }

    uint64_t allocations_ = 0;
    uint64_t failures_ = 0;
    uint64_t fail_at_ = 0;
    bool fail_all_after_ = false;
    int64_t outstanding_ = 0;
};

struct Report {
    uint32_t code;
    std::string function;
};

// The first-error handler that also lists every report it was given.
class RecordingErrorHandler : public vrx::VRX_FirstErrorHandler {
public:
    explicit RecordingErrorHandler(vrx::VRX_Manager* manager) : VRX_FirstErrorHandler(manager) {}
    void report(uint32_t code, const char* function, const char* file, uint32_t line) override {
        reports.push_back({code, function ? function : ""});
        VRX_FirstErrorHandler::report(code, function, file, line);
    }
    using VRX_FirstErrorHandler::report;
    bool saw(uint32_t code, const std::string& function) const {
        for (const Report& r : reports)
            if (r.code == code && r.function == function) return true;
        return false;
    }
    std::vector<Report> reports;
};

using TestManager =
    vrx::VRX_ManagerImpl<FailingMemoryManager, RecordingErrorHandler, vrx::VRX_BlockWorkflow>;

// The manager's first status has this code and function text.
inline void expect_status(TestManager& manager, uint32_t code, const char* function) {
    EXPECT_EQ(manager.status().code, code);
    EXPECT_STREQ(manager.status().function, function);
}

}  // namespace vrx_test
