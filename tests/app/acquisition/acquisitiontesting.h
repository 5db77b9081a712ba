// Helpers of the acquisition tests: what the stream thread reports, a frame
// source and a clock the test drives, and the palette stored in profile.ini.
#pragma once

#include "cameracontroller.h"
#include "cglwidgetimage.h"
#include "cthreadvideostream.h"
#include "globals.h"
#include "profile.h"
#include "../gltesting.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QSettings>
#include <QVector>

#include <dozazuva.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

// What the stream thread's extremes() carried.
struct Extremes
{
    float highest, lowest;
    qlonglong time;
    int unit;
};

// A clock that moves on by one frame period at every reading, as a camera
// of that rate would; the first reading (the run's start) is `start`.
inline CThreadVideoStream::Clock steppingClock(qint64 start, qint64 periodMs)
{
    auto readings = std::make_shared<std::atomic<qint64>>(0);
    return [=] { return start + periodMs * readings->fetch_add(1); };
}

inline void writeProfilePalette(const QVariant& palette)
{
    QFile::remove(profileIniPath());
    if (!palette.isValid())
        return;
    QSettings profile(profileIniPath(), QSettings::IniFormat);
    profile.setValue("Settings/Palette", palette);
    profile.sync();
}

// A frame source the test hands frames to one at a time: the stream thread
// gets a frame for every feed() and a frame-wait failure otherwise.
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

    // Calls of the source so far, how many of them failed, and the frames
    // the thread took.
    int calls() const { return shared->calls; }
    int failures() const { return shared->failures; }
    int taken() const { return shared->calls - shared->failures; }

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
