// Records what the stream shows into a recording file (ombrix_recording.h):
// start() names the file, every frame the stream thread offers is queued and
// encoded on the recorder's own thread, stop() finishes the file. The picture
// never waits: when encoding falls a second behind, frames are dropped (and
// counted) instead.
//
// Ownership: the recorder is a QObject with a parent; it owns its encoding
// thread and the open file, and installs itself as the stream's frame tap
// while it records. Threads: start, stop and the getters on the GUI thread;
// offerFrame on the stream thread; the signals arrive on the GUI thread.
#pragma once

#include "frametap.h"

#include <ombrix_recording.h>

#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class Recorder : public QObject, public FrameTap
{
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;  // ms since the epoch

    explicit Recorder(QObject* parent = nullptr);
    ~Recorder() override;

    void setClock(Clock clock);

    // Starts recording frames of a sensor of `sensor` pixels into `path`
    // (replaced if it exists); the tags describe the module and the
    // settings. False, with the reason in `error`, when the file cannot be
    // written or a recording runs already.
    bool start(const QString& path, QSize sensor, const ombrix_recording_tags& tags, QString* error = nullptr);
    // Finishes the file with every frame queued so far; stopped() follows.
    void stop();

    bool isRecording() const { return recording; }
    QString path() const { return filePath; }
    // Time from the first frame to the latest one written, ms.
    qint64 elapsedMs() const { return elapsed; }
    int framesDropped() const { return dropped; }

    void offerFrame(const uint8_t* raw, size_t bytes, const cv::Mat& picture) override;

signals:
    void started(const QString& path);
    void stopped(const QString& path, int frames);
    // Writing failed (a full disk); the file is finished at its last whole
    // frame and the recording has stopped.
    void failed(const QString& path, const QString& message);

private:
    struct Item {
        qint64 time = 0;
        std::vector<uint8_t> raw;
        cv::Mat picture;  // BGR
    };

    void encodeLoop();
    int write(ombrix_recorder*& file, Item& item, std::vector<uint8_t>& rgb);
    void finish(int frames, int error);

    Clock clock;
    QString filePath;
    QSize sensorSize;
    ombrix_recording_tags tags{};
    std::atomic<bool> recording{false};
    std::atomic<qint64> elapsed{0};
    std::atomic<int> dropped{0};

    std::mutex queueLock;
    std::condition_variable queued;
    std::deque<Item> queue;  // guarded by queueLock
    bool ending = false;     // guarded by queueLock
    std::thread encoder;
};
