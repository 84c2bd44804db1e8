#include "platform/read_ahead_span.h"

#include <gtest/gtest.h>

using platform::ReadAheadSpan;

// A run of fetches, each as long as the span asked for (unless the source
// ends, `got`): the first fills the buffer, a jump gets a little, reading on
// grows eightfold up to the buffer.
TEST(ReadAheadSpan, GrowsWhileReadingOnAndShrinksAfterAJump) {
    struct Fetch {
        int64_t position;
        uint32_t capacity;
        uint32_t span;
        uint32_t got;
    };
    const Fetch fetches[] = {
        {0, 65536, 65536, 65536},       // the first fetch
        {65536, 65536, 65536, 65536},   // reading on
        {300000, 65536, 512, 512},      // a jump
        {300512, 65536, 4096, 4096},    // reading on
        {304608, 65536, 32768, 32768},  //
        {337376, 65536, 65536, 100},    // the source ends
        {337476, 65536, 4096, 4096},    // short fetches count as a jump's
        {10, 65536, 512, 512},          // backwards is a jump too
        {522, 100, 100, 100},           // never above the buffer
        {622, 0, 1, 1},                 // nor below one byte
    };
    ReadAheadSpan span;
    for (const Fetch& f : fetches) {
        EXPECT_EQ(span.Next(f.position, f.capacity), f.span) << f.position;
        span.Fetched(f.position, f.got);
    }
    span.Reset();
    EXPECT_EQ(span.Next(12345, 8192), 8192u);
}
