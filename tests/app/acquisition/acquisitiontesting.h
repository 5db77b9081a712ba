// Helpers of the acquisition tests: the main window's stand-in that receives
// the extremes, a frame source and a clock the test drives, and the palette
// stored in profile.ini.
#pragma once

#include "cameracontroller.h"
#include "cglwidgetimage.h"
#include "cthreadvideostream.h"
#include "globals.h"
#include "profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QObject>
#include <QSemaphore>
#include <QSettings>
#include <QVector>

#include <dozazuva.h>

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

// What the stream thread's extremes() carried.
struct Extremes
{
    float highest;
    float lowest;
    qlonglong time;
    int unit;
};

// Stands in for the main window: what the watched threads report lands in
// `received`, on the GUI thread.
class MainWindowStandIn : public QObject
{
    Q_OBJECT

public:
    void watch(CThreadVideoStream* thread)
    {
        connect(thread, &CThreadVideoStream::extremes, this,
                [this](float highest, float lowest, qint64 time, int unit) {
                    received.append({highest, lowest, time, unit});
                });
    }

    QVector<Extremes> received;
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

// Keeps the loaded OpenGL driver (Mesa's *_dri.so) in the process until it
// ends. Mesa unloads it with the last context, and the leak checker, which
// runs at exit, could then not name what the driver keeps for itself.
inline void keepGlDriverLoaded()
{
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.create();
    if (context.create())
        context.makeCurrent(&surface);  // loads the driver
    dl_iterate_phdr(
        [](dl_phdr_info* module, size_t, void*) {
            if (module->dlpi_name && std::strstr(module->dlpi_name, "_dri.so"))
                dlopen(module->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
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
