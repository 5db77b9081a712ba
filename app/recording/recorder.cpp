#include "recorder.h"

#include "recordingerrors.h"

#include <QDateTime>
#include <QFile>
#include <QPointer>

namespace {

// A second of frames at 25 frames a second.
constexpr size_t MostQueuedFrames = 25;

}  // namespace

Recorder::Recorder(QObject* parent)
    : QObject(parent)
    , clock(&QDateTime::currentMSecsSinceEpoch)
{
}

Recorder::~Recorder()
{
    stop();
}

void Recorder::setClock(Clock newClock)
{
    clock = newClock ? std::move(newClock) : Clock(&QDateTime::currentMSecsSinceEpoch);
}

bool Recorder::start(const QString& path, QSize sensor, const ombrix_recording_tags& recordingTags, QString* error)
{
    auto refuse = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (recording)
        return refuse(tr("A recording is already running."));
    if (encoder.joinable())
        encoder.join();  // a recording that failed and has not been reaped yet
    if (sensor.width() <= 0 || sensor.height() <= 0)
        return refuse(tr("No camera picture to record."));
    // Found out now, not at the first frame: the user is still looking.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return refuse(tr("Cannot write %1: %2").arg(path, probe.errorString()));
    probe.close();

    filePath = path;
    sensorSize = sensor;
    tags = recordingTags;
    elapsed = 0;
    dropped = 0;
    {
        std::lock_guard<std::mutex> locked(queueLock);
        queue.clear();
        ending = false;
    }
    recording = true;
    encoder = std::thread(&Recorder::encodeLoop, this);
    setFrameTap(this);
    emit started(path);
    return true;
}

void Recorder::stop()
{
    if (!encoder.joinable())
        return;
    removeFrameTap(this);
    {
        std::lock_guard<std::mutex> locked(queueLock);
        ending = true;
    }
    queued.notify_all();
    encoder.join();
}

void Recorder::offerFrame(const uint8_t* raw, size_t bytes, const cv::Mat& picture)
{
    if (!recording)
        return;
    Item item;
    item.time = clock();
    item.raw.assign(raw, raw + bytes);
    item.picture = picture.clone();  // the stream reuses its buffers
    {
        std::lock_guard<std::mutex> locked(queueLock);
        if (queue.size() >= MostQueuedFrames) {
            ++dropped;
            return;
        }
        queue.push_back(std::move(item));
    }
    queued.notify_one();
}

// The file is opened at the first frame, when the picture's size is known.
int Recorder::write(ombrix_recorder*& file, Item& item, std::vector<uint8_t>& rgb)
{
    const cv::Mat& bgr = item.picture;
    const bool hasPicture = !bgr.empty() && bgr.type() == CV_8UC3;
    if (!file) {
        ombrix_recorder_params params{};
        params.width = sensorSize.width();
        params.height = sensorSize.height();
        params.view_width = hasPicture ? bgr.cols : sensorSize.width();
        params.view_height = hasPicture ? bgr.rows : sensorSize.height();
        params.tags = tags;
        params.tags.start_time_ms = item.time;
        const int opened = ombrix_recorder_open(filePath.toLocal8Bit().constData(), &params, &file);
        if (opened < 0)
            return opened;
    }
    if (hasPicture) {
        rgb.resize(size_t(bgr.cols) * bgr.rows * 3);
        for (int y = 0; y < bgr.rows; ++y) {
            const uint8_t* in = bgr.ptr<uint8_t>(y);
            uint8_t* out = rgb.data() + size_t(y) * bgr.cols * 3;
            for (int x = 0; x < bgr.cols * 3; x += 3) {
                out[x] = in[x + 2];
                out[x + 1] = in[x + 1];
                out[x + 2] = in[x];
            }
        }
    }
    return ombrix_recorder_write(file, item.time, item.raw.data(), item.raw.size(), hasPicture ? rgb.data() : nullptr,
                                 bgr.cols, bgr.rows);
}

void Recorder::encodeLoop()
{
    ombrix_recorder* file = nullptr;
    std::vector<uint8_t> rgb;
    qint64 first = -1;
    int error = 0;
    for (;;) {
        Item item;
        {
            std::unique_lock<std::mutex> locked(queueLock);
            queued.wait(locked, [this] { return ending || !queue.empty(); });
            if (queue.empty())
                break;  // ending, and every queued frame written
            item = std::move(queue.front());
            queue.pop_front();
        }
        error = write(file, item, rgb);
        if (error < 0)
            break;  // the file ends here; frames still queued are let go
        if (first < 0)
            first = item.time;
        elapsed = item.time - first;
    }
    recording = false;
    const int frames = file ? ombrix_recorder_frames(file) : 0;
    const int closed = ombrix_recorder_close(file);
    finish(frames, error ? error : closed);
}

// On the encoding thread: the news goes to the GUI thread.
void Recorder::finish(int frames, int error)
{
    recording = false;
    const QString path = filePath;
    const QPointer<Recorder> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, path, frames, error] {
            if (!self)
                return;
            // The thread is done; let it go before anyone may start again.
            if (self->encoder.joinable())
                self->encoder.join();
            removeFrameTap(self);
            if (error < 0)
                emit self->failed(path, recordingErrorText(error));
            emit self->stopped(path, frames);
        },
        Qt::QueuedConnection);
}
