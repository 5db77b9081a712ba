#include "ombrix_usb/video_streaming.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "ombrix_usb/descriptors.h"

namespace ombrix::sim::usb {

namespace {

constexpr uint8_t kClassOut = 0x21;  // host to device, class, interface
constexpr uint8_t kClassIn = 0xA1;
constexpr uint8_t kMaxFrameIndex = 2;
constexpr uint32_t kClockTicksPerFrame = kClockFrequencyHz / (10000000 / kFrameIntervalUnits);

void put16(uint8_t* at, uint16_t v) {
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
}

void put32(uint8_t* at, uint32_t v) {
    put16(at, uint16_t(v));
    put16(at + 2, uint16_t(v >> 16));
}

}  // namespace

Clock steady_clock_us() {
    return [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
}

VideoStreaming::VideoStreaming(Module& module, Clock clock) : module_(module), clock_(std::move(clock)) {
    fill_control(1, 0, probe_);
}

void VideoStreaming::fill_control(uint8_t frame_index, uint16_t hint, uint8_t* control) const {
    std::memset(control, 0, kStreamingControlBytes);
    const FrameFormat* frame = frame_format(frame_index);
    put16(control, hint);
    control[2] = 1;  // the only format
    control[3] = frame_index;
    put32(control + 4, kFrameIntervalUnits);
    put32(control + 18, frame ? frame->bytes() : 0);
    put32(control + 22, kMaxPayloadBytes);
}

void VideoStreaming::negotiate(const uint8_t* proposed, uint8_t* settled) const {
    // Only the frame can be chosen; an unknown one falls back to the default.
    const uint8_t frame = frame_format(proposed[3]) ? proposed[3] : 1;
    fill_control(frame, uint16_t(proposed[0] | proposed[1] << 8), settled);
}

int VideoStreaming::class_request(uint8_t request_type, uint8_t request, uint16_t value, uint8_t* data,
                                  uint16_t length) {
    const uint8_t selector = uint8_t(value >> 8);
    if (length != kStreamingControlBytes || (selector != kProbeControl && selector != kCommitControl)) return -1;
    uint8_t* control = selector == kProbeControl ? probe_ : commit_;
    if (request_type == kClassOut && request == kSetCur) {
        if (selector == kCommitControl) {
            // A commit must name what the device offers; it (re)starts the stream.
            if (data[2] != 1 || !frame_format(data[3])) return -1;
            negotiate(data, commit_);
            committed_height_ = frame_format(commit_[3])->height;
            streaming_ = true;
            next_frame_us_ = clock_();
            frame_.clear();
            sent_ = 0;
        } else {
            negotiate(data, probe_);
        }
        return length;
    }
    if (request_type == kClassIn && request == kGetCur) {
        std::memcpy(data, control, length);
        return length;
    }
    if (request_type == kClassIn && request == kGetMax) {
        fill_control(kMaxFrameIndex, 0, data);
        return length;
    }
    return -1;
}

void VideoStreaming::stop() {
    streaming_ = false;
    frame_.clear();
    sent_ = 0;
}

bool VideoStreaming::start_frame(int64_t now) {
    if (now < next_frame_us_) return false;
    // Behind by more than a frame (nobody read): drop the backlog, as the
    // camera's own buffer would.
    next_frame_us_ = now - next_frame_us_ > kFrameIntervalUs ? now + kFrameIntervalUs
                                                             : next_frame_us_ + kFrameIntervalUs;
    if (!module_.produce_frame(committed_height_, kFrameIntervalUs, frame_) || frame_.empty()) return false;
    sent_ = 0;
    frame_id_ ^= kHeaderFrameId;
    ++frames_started_;
    return true;
}

void VideoStreaming::write_header(uint8_t* buffer, bool end_of_frame) const {
    const uint32_t pts = uint32_t(frames_started_ * kClockTicksPerFrame);
    buffer[0] = kPayloadHeaderBytes;
    buffer[1] = kHeaderEndOfHeader | kHeaderScr | kHeaderPts | (end_of_frame ? kHeaderEndOfFrame : 0) | frame_id_;
    put32(buffer + 2, pts);
    put32(buffer + 6, pts);
    put16(buffer + 10, uint16_t((frames_started_ * (kFrameIntervalUs / 1000)) & 0x7FF));
}

size_t VideoStreaming::empty_payload(uint8_t* buffer, size_t capacity) const {
    if (capacity < kPayloadHeaderBytes) return 0;
    write_header(buffer, false);
    return kPayloadHeaderBytes;
}

size_t VideoStreaming::next_payload(uint8_t* buffer, size_t capacity) {
    capacity = std::min<size_t>(capacity, kMaxPayloadBytes);
    if (!streaming_ || capacity <= kPayloadHeaderBytes) return 0;
    if (sent_ >= frame_.size() && !start_frame(clock_())) return 0;
    const size_t data = std::min(capacity - kPayloadHeaderBytes, frame_.size() - sent_);
    write_header(buffer, sent_ + data == frame_.size());
    std::memcpy(buffer + kPayloadHeaderBytes, frame_.data() + sent_, data);
    sent_ += data;
    return kPayloadHeaderBytes + data;
}

}  // namespace ombrix::sim::usb
