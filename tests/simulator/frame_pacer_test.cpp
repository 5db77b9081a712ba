// The free-running pace on a clock the test sets.
#include <gtest/gtest.h>

#include "frame_pacer.h"

namespace {

using ombrix::sim::FramePacer;
using std::chrono::microseconds;

FramePacer::Clock::time_point g_now{};
FramePacer::Clock::time_point now() { return g_now; }

TEST(SimulatorPacer, ALateStreamSkipsMissedFramesInsteadOfBursting) {
    struct Case { int64_t late_us; int64_t next_due_us; };  // both from the clock's time
    const Case cases[] = {
        {0, 40000},          // on time: the schedule goes on
        {40000, 0},          // one frame late: the next one is due at once
        {120000, 40000},     // three frames late: the schedule restarts from now
        {400000, 40000},     // ten frames late: the same
    };
    for (const Case& c : cases) {
        FramePacer pacer(&now);
        g_now = FramePacer::Clock::time_point(microseconds(10000000));
        FramePacer::Clock::time_point due = g_now - microseconds(c.late_us);
        const bool stop = false;
        ASSERT_TRUE(pacer.wait_next(stop, due));
        EXPECT_EQ(due - g_now, microseconds(c.next_due_us)) << c.late_us;
    }
}

}  // namespace
