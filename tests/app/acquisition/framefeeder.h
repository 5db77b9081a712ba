// A frame source the test hands frames to one at a time: the stream thread
// gets a frame for every feed() and a frame-wait failure otherwise.
#pragma once

#include "cthreadvideostream.h"

#include <dozazuva.h>

#include <QSemaphore>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

class FrameFeeder
{
public:
    // Lets the thread take `frame` once more.
    void feed(const std::vector<uint8_t>& frame)
    {
        {
            std::lock_guard<std::mutex> guard(shared->lock);
            shared->pending.push_back(frame);
        }
        shared->permits.release();
    }

    // Calls of the source so far and how many of them failed.
    int calls() const { return shared->calls; }
    int failures() const { return shared->failures; }

    CThreadVideoStream::FrameSource source() const
    {
        auto state = shared;
        return [state](uint8_t* raw) {
            ++state->calls;
            // A short wait, like the camera library's frame wait, so that
            // stop() is seen soon.
            if (!state->permits.tryAcquire(1, 20)) {
                ++state->failures;
                return int(DOZAZUVA_ERR_FRAME_TIMEOUT);
            }
            std::lock_guard<std::mutex> guard(state->lock);
            const std::vector<uint8_t>& frame = state->pending.front();
            std::memcpy(raw, frame.data(), frame.size());
            state->pending.erase(state->pending.begin());
            return 0;
        };
    }

private:
    struct State {
        QSemaphore permits;
        std::mutex lock;
        std::vector<std::vector<uint8_t>> pending;
        std::atomic<int> calls{0};
        std::atomic<int> failures{0};
    };
    std::shared_ptr<State> shared = std::make_shared<State>();
};
