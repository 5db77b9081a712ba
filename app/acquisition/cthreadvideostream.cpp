#include "cthreadvideostream.h"

#include "framecolouring.h"
#include "frametap.h"
#include "globals.h"
#include "temperaturesnapshot.h"

#include <QDateTime>
#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

// The temperature step runs once this many frames and this much time have
// passed since the last one.
constexpr int TemperatureFrames = 25;
constexpr qint64 TemperatureIntervalMs = 960;
constexpr unsigned long RetryPauseMs = 100;

// The latest temperature grid in degrees Celsius. The worker is its only
// writer and rewrites it under the lock; the save action copies it under the
// same lock.
struct TemperatureStore {
    std::mutex lock;
    float* values = nullptr;
    size_t capacity = 0;  // bytes
    qint64 time = 0;      // ms since the epoch of the last temperature step
};

TemperatureStore& temperatureStore()
{
    static TemperatureStore store;
    return store;
}

}  // namespace

CThreadVideoStream::CThreadVideoStream(QObject* parent)
    : QThread(parent)
    , clock(&QDateTime::currentMSecsSinceEpoch)
    , frameSource(&uvc_frame_get)
{
    qRegisterMetaType<cv::Mat>("cv::Mat");
    connect(this, &CThreadVideoStream::extremesOfRun, this,
            [this](float highest, float lowest, qint64 time, int unit, quint64 run) {
                if (run == currentRun)
                    emit extremes(highest, lowest, time, unit);
            },
            Qt::QueuedConnection);
}

CThreadVideoStream::~CThreadVideoStream() = default;

void CThreadVideoStream::start(Priority priority)
{
    workerRun = ++currentRun;
    running = true;
    QThread::start(priority);
}

void CThreadVideoStream::stop()
{
    running = false;
    ++currentRun;
}

void CThreadVideoStream::setClock(Clock newClock)
{
    clock = newClock ? std::move(newClock) : Clock(&QDateTime::currentMSecsSinceEpoch);
}

void CThreadVideoStream::setFrameSource(FrameSource source)
{
    frameSource = source ? std::move(source) : FrameSource(&uvc_frame_get);
}

rotate_side_t CThreadVideoStream::rotateSideForAngle(int angle)
{
    switch (angle % 360) {
    case 90:
        return RIGHT_90D;
    case 180:
        return ROTATE_180D;
    case 270:
        return LEFT_90D;
    default:
        return NO_ROTATE;
    }
}

void CThreadVideoStream::decodeTemperatures(const uchar* words, size_t count, float* celsius, float* highest,
                                            float* lowest)
{
    // raw_to_celsius never decreases with the word, so the extremes of the
    // degrees are those of the words: one pass that the compiler vectorises.
    const uchar* __restrict in = words;
    float* __restrict out = celsius;
    quint16 highestWord = 0;
    quint16 lowestWord = 0xFFFF;
    for (size_t i = 0; i < count; ++i) {
        const quint16 word = qFromLittleEndian<quint16>(in + 2 * i);
        out[i] = raw_to_celsius(word);
        highestWord = std::max(highestWord, word);
        lowestWord = std::min(lowestWord, word);
    }
    *highest = raw_to_celsius(highestWord);
    *lowest = raw_to_celsius(lowestWord);
}

TemperatureMatrix CThreadVideoStream::temperatureMatrix()
{
    TemperatureStore& store = temperatureStore();
    std::lock_guard<std::mutex> reading(store.lock);
    TemperatureMatrix matrix;
    matrix.time = store.time;
    if (store.values) {
        const int count = int(store.capacity / sizeof(float));
        matrix.celsius = QVector<float>(store.values, store.values + count);
    }
    return matrix;
}

void CThreadVideoStream::releaseTemperatureMatrix()
{
    TemperatureStore& store = temperatureStore();
    std::lock_guard<std::mutex> writing(store.lock);
    std::free(store.values);
    store.values = nullptr;
    store.capacity = 0;
    store.time = 0;
}

void CThreadVideoStream::run()
{
    stream_frame_info_t& info = g_stream_frame_info;
    if (!info.raw_frame)
        return;

    qint64 lastTemperatureTime = clock();
    int frameCount = 0;

    convert_buffers_create(&info);
    if (!running)
        return;

    while (running) {
        if (frameSource(info.raw_frame) < 0) {
            msleep(RetryPauseMs);
            continue;
        }
        if (!running)
            return;
        raw_data_cut(info.raw_frame, int(info.image_frame_size), int(info.temp_frame_size), info.image_frame,
                     info.temp_frame);
        if (!running)
            return;

        info.image_info.rotate = rotateSideForAngle(g_rotate_angle.load());
        const cv::Mat mat = colour_frame(&info);
        if (!running)
            return;
        if (!mat.empty()) {
            offerToFrameTap(info.raw_frame, info.camera_param.frame_size, mat);
            markFrameSent(mat);
            emit sendFrame(mat);
        }
        if (!running)
            return;

        const qint64 now = clock();
        if (frameCount != 0) {
            const int counted = frameCount++;
            if (counted < TemperatureFrames || now - lastTemperatureTime < TemperatureIntervalMs)
                continue;
        }
        qDebug() << ">>>Temp interval: " << now - lastTemperatureTime << "ms";
        frameCount = 1;
        lastTemperatureTime = now;
        temperatureStep(info, now);
    }
}

void CThreadVideoStream::temperatureStep(stream_frame_info_t& info, qint64 now)
{
    // No temperature half (or not even one word of it).
    if (info.temp_frame_size < 2)
        return;
    const size_t capacity = size_t(info.temp_frame_size) * 2;  // one float per word
    const size_t count = info.temp_frame_size / 2;
    TemperatureStore& store = temperatureStore();
    float highest = 0;
    float lowest = 0;
    {
        std::lock_guard<std::mutex> writing(store.lock);
        if (store.values && store.capacity != capacity) {
            std::free(store.values);
            store.values = nullptr;
            store.capacity = 0;
        }
        if (!store.values) {
            store.values = static_cast<float*>(std::malloc(capacity));
            if (!store.values)
                return;
            store.capacity = capacity;
        }
        store.time = now;
        if (!info.temp_frame)
            return;

        decodeTemperatures(info.temp_frame, count, store.values, &highest, &lowest);
    }
    // The worker is the grid's only writer, so it reads it here unlocked; the
    // snapshot takes its own locks, which must not nest inside this one.
    TemperatureSnapshot::instance().store(store.values, int(capacity / sizeof(float)));

    const int unit = g_temp_unit.load();
    if (unit == 1) {
        highest = celsius_to_fahrenheit(highest);
        lowest = celsius_to_fahrenheit(lowest);
    }
    if (!running)
        return;
    emit extremesOfRun(highest, lowest, now, unit, workerRun, QPrivateSignal());
}
