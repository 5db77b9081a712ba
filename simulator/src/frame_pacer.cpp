#include "frame_pacer.h"

namespace ombrix::sim {

using Lock = std::unique_lock<std::mutex>;

void FramePacer::reset() {
    Lock lock(mutex_);
    mode_ = Mode::Realtime;
    interval_us_ = 40000;
    credits_ = 0;
    delivered_ = 0;
    changed_.notify_all();
}

void FramePacer::set_mode(Mode mode) {
    Lock lock(mutex_);
    mode_ = mode;
    credits_ = 0;
    changed_.notify_all();
}

bool FramePacer::set_interval_us(int64_t interval_us) {
    if (interval_us < kMinIntervalUs || interval_us > kMaxIntervalUs) return false;
    Lock lock(mutex_);
    interval_us_ = interval_us;
    changed_.notify_all();
    return true;
}

int64_t FramePacer::interval_us() const {
    Lock lock(mutex_);
    return interval_us_;
}

void FramePacer::attach() {
    Lock lock(mutex_);
    ++active_;
}

void FramePacer::detach() {
    Lock lock(mutex_);
    if (--active_ == 0) credits_ = 0;
    changed_.notify_all();
}

FramePacer::Clock::time_point FramePacer::first_due() const {
    Lock lock(mutex_);
    return now_() + std::chrono::microseconds(interval_us_);
}

bool FramePacer::wait_next(const bool& stop, Clock::time_point& due) {
    Lock lock(mutex_);
    for (;;) {
        if (stop) return false;
        if (mode_ == Mode::Manual) {
            if (credits_ > 0) {
                --credits_;
                due = now_() + std::chrono::microseconds(interval_us_);
                return true;
            }
            changed_.wait(lock);
            continue;
        }
        const auto now = now_();
        const auto interval = std::chrono::microseconds(interval_us_);
        if (now >= due) {
            // Late by more than a frame (a slow callback): skip, don't burst.
            if (now - due > interval) due = now;
            due += interval;
            return true;
        }
        // A shorter interval set meanwhile takes effect at once.
        if (due - now > interval) due = now + interval;
        changed_.wait_until(lock, due);
    }
}

void FramePacer::stop(bool& stop) {
    Lock lock(mutex_);
    stop = true;
    changed_.notify_all();
}

void FramePacer::tick_done(bool delivered) {
    Lock lock(mutex_);
    ++ticks_;
    if (delivered) ++delivered_;
    changed_.notify_all();
}

int FramePacer::step(unsigned frames, unsigned timeout_ms) {
    Lock lock(mutex_);
    if (mode_ != Mode::Manual) return -1;
    if (active_ == 0) return 0;
    const uint64_t target = ticks_ + credits_ + frames;
    const uint64_t before = delivered_;
    credits_ += frames;
    changed_.notify_all();
    const bool done = changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                        [&] { return ticks_ >= target || active_ == 0; });
    if (!done) return -1;
    return delivered_ >= before ? static_cast<int>(delivered_ - before) : 0;  // a reset meanwhile
}

uint64_t FramePacer::delivered() const {
    Lock lock(mutex_);
    return delivered_;
}

bool FramePacer::streaming() const {
    Lock lock(mutex_);
    return active_ > 0;
}

}  // namespace ombrix::sim
