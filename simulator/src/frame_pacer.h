// When the simulated module's streams may send their next frame: every frame
// interval by the steady clock (free-running), or only when a test steps them
// (manual). Also counts the frames handed out.
#ifndef OMBRIX_SIM_FRAME_PACER_H
#define OMBRIX_SIM_FRAME_PACER_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace ombrix::sim {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;
    using Now = Clock::time_point (*)();
    enum class Mode { Realtime, Manual };

    // `now` reads the clock the free-running pace follows (tests pass their own).
    explicit FramePacer(Now now = &Clock::now) : now_(now) {}

    static constexpr int64_t kMinIntervalUs = 1000;
    static constexpr int64_t kMaxIntervalUs = 10000000;

    // Free-running at 25 frames a second, counters at zero.
    void reset();
    void set_mode(Mode mode);
    bool set_interval_us(int64_t interval_us);
    int64_t interval_us() const;

    // Stream side. A stream attaches before its first wait and detaches after
    // its last tick. `stop` is guarded by the pacer: set it with stop().
    void attach();
    void detach();
    // Blocks until the next frame is due; false once `stop` is set. `due` is
    // the stream's own schedule (start it at first_due()).
    bool wait_next(const bool& stop, Clock::time_point& due);
    Clock::time_point first_due() const;
    void stop(bool& stop);
    // One due frame handled; `delivered` when it reached the frame callback.
    void tick_done(bool delivered);

    // Test side: manual steps (see ombrix_sim_step_frames).
    int step(unsigned frames, unsigned timeout_ms);
    uint64_t delivered() const;
    bool streaming() const;

private:
    const Now now_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Mode mode_ = Mode::Realtime;
    int64_t interval_us_ = 40000;
    uint64_t credits_ = 0;    // manual frames allowed but not yet taken
    uint64_t ticks_ = 0;      // frames handled since start
    uint64_t delivered_ = 0;  // frames delivered since the last reset
    int active_ = 0;          // attached streams
};

}  // namespace ombrix::sim

#endif
