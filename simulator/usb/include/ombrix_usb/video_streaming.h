// The streaming side of the emulated camera's video function: the probe and
// commit negotiation of the 26-byte UVC 1.0 streaming control, then, once
// committed, the module's frames cut into bulk payloads (a 12-byte header,
// then frame bytes), one frame per frame interval of the pacing clock.
//
// Not thread-safe: the USB device calls it under its own lock.
#ifndef OMBRIX_USB_VIDEO_STREAMING_H
#define OMBRIX_USB_VIDEO_STREAMING_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ombrix_sim/module.h"

namespace ombrix::sim::usb {

constexpr size_t kStreamingControlBytes = 26;
constexpr uint32_t kMaxPayloadBytes = 16384;  // dwMaxPayloadTransferSize
constexpr size_t kPayloadHeaderBytes = 12;
constexpr int64_t kFrameIntervalUs = 40000;

// Payload header bits (bmHeaderInfo).
constexpr uint8_t kHeaderFrameId = 0x01;
constexpr uint8_t kHeaderEndOfFrame = 0x02;
constexpr uint8_t kHeaderPts = 0x04;
constexpr uint8_t kHeaderScr = 0x08;
constexpr uint8_t kHeaderEndOfHeader = 0x80;

// UVC class requests (bRequest) and streaming control selectors (wValue >> 8).
constexpr uint8_t kSetCur = 0x01;
constexpr uint8_t kGetCur = 0x81;
constexpr uint8_t kGetMax = 0x83;
constexpr uint8_t kProbeControl = 0x01;
constexpr uint8_t kCommitControl = 0x02;

// Microseconds of a steady clock.
using Clock = std::function<int64_t()>;
Clock steady_clock_us();

class VideoStreaming {
public:
    // `module` must outlive this object.
    VideoStreaming(Module& module, Clock clock);

    // A class request to the streaming interface (bmRequestType 0x21 or
    // 0xA1): returns the bytes taken or answered, or -1 for a stall.
    int class_request(uint8_t request_type, uint8_t request, uint16_t value, uint8_t* data, uint16_t length);

    // The host gave the streaming interface up (alternate setting 0, release,
    // the device gone): no more payloads until the next commit.
    void stop();
    bool streaming() const { return streaming_; }

    // Writes the next payload into `buffer` when one is due: the rest of the
    // frame being sent, or a new frame once its interval has come. Returns
    // the payload's size, 0 when nothing is due.
    size_t next_payload(uint8_t* buffer, size_t capacity);

    // A payload without frame bytes (header only, the current frame's id).
    size_t empty_payload(uint8_t* buffer, size_t capacity) const;

    uint64_t frames_started() const { return frames_started_; }
    // The committed frame height (0 before a commit).
    int committed_height() const { return committed_height_; }

private:
    // The control the device settles on for what the host proposed.
    void negotiate(const uint8_t* proposed, uint8_t* settled) const;
    void fill_control(uint8_t frame_index, uint16_t hint, uint8_t* control) const;
    bool start_frame(int64_t now);
    void write_header(uint8_t* buffer, bool end_of_frame) const;

    Module& module_;
    Clock clock_;
    uint8_t probe_[kStreamingControlBytes] = {};
    uint8_t commit_[kStreamingControlBytes] = {};
    bool streaming_ = false;
    int committed_height_ = 0;
    int64_t next_frame_us_ = 0;
    std::vector<uint8_t> frame_;
    size_t sent_ = 0;  // bytes of frame_ already in payloads
    uint8_t frame_id_ = 0;
    uint64_t frames_started_ = 0;
};

}  // namespace ombrix::sim::usb

#endif
