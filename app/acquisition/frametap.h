// A listener on the stream thread's frames: each camera frame as it came and
// the coloured picture made of it (palette and rotation applied, BGR), while
// the picture goes on to the view. The recorder listens here.
//
// Threads: offerFrame runs on the stream thread under the tap lock, so it
// must only copy and return; setFrameTap waits for a running offer to end,
// so once it returns the old tap is never called again.
#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>

class FrameTap
{
public:
    virtual ~FrameTap() = default;
    virtual void offerFrame(const uint8_t* raw, size_t bytes, const cv::Mat& picture) = 0;
};

// The one tap of the process (null: none). The caller keeps ownership.
void setFrameTap(FrameTap* tap);
// Takes `tap` away if it is the one listening (a newer tap stays).
void removeFrameTap(FrameTap* tap);
// Hands the frame to the tap if there is one (the stream thread).
void offerToFrameTap(const uint8_t* raw, size_t bytes, const cv::Mat& picture);
