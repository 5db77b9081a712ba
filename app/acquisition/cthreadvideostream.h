// The acquisition loop: pulls each frame from the camera library, splits it
// into its picture and temperature halves, has the controller convert and
// colour the picture, sends it to the image view and, about once a second
// (every 25 frames and 960 ms at the soonest), decodes the temperature half,
// hands the grid to the temperature snapshot and reports the extremes.
//
// Ownership: the image view creates the thread as its child, starts and
// stops it. Threads: run() executes on the worker; everything else on the GUI
// thread. The worker reaches the GUI thread only through queued signals, the
// snapshot's own locking and the temperature matrix lock below.
#pragma once

#include "cameracontroller.h"
#include "framebufferpool.h"

#include <QThread>
#include <QVector>

#include <opencv2/core.hpp>

#include <atomic>
#include <functional>

Q_DECLARE_METATYPE(cv::Mat)


// The latest decoded temperature grid, as the save action copies it.
struct TemperatureMatrix
{
    QVector<float> celsius;  // row-major, one value per picture pixel
    qint64 time = 0;         // ms since the epoch (UTC) of the temperature step
};

class CThreadVideoStream : public QThread
{
    Q_OBJECT

public:
    // Milliseconds since the epoch (UTC).
    using Clock = std::function<qint64()>;
    // Copies the next camera frame into a buffer of camera_param.frame_size
    // bytes; 0 or a negative camera library code.
    using FrameSource = std::function<int(uint8_t* raw)>;

    // Registers cv::Mat as the meta-type "cv::Mat" for queued connections.
    explicit CThreadVideoStream(QObject* parent = nullptr);
    ~CThreadVideoStream() override;

    // Starts the loop on the worker. The loop is marked running here, before
    // the worker exists, so that a stop() right after the start is never
    // overwritten by the starting loop.
    void start(Priority priority = InheritPriority);
    // Ends the loop at its next check; the owner then waits for the thread.
    // No extremes() of this run are delivered once it returns, even those
    // the worker sent just before.
    void stop();

    // The clock and frame source of the next run (default: the system clock
    // and uvc_frame_get). Set them while the thread is not running.
    void setClock(Clock clock);
    void setFrameSource(FrameSource source);

    // A copy of the latest temperature grid in degrees Celsius and its time,
    // taken under the lock the worker writes it under; empty before the first
    // temperature step.
    static TemperatureMatrix temperatureMatrix();

    // Frees the temperature grid (the program's teardown, once the thread
    // has stopped); the next temperature step makes it anew.
    static void releaseTemperatureMatrix();

    // Decodes count little-endian temperature words into degrees Celsius and
    // finds the highest and lowest value (count >= 1).
    static void decodeTemperatures(const uchar* words, size_t count, float* celsius, float* highest,
                                   float* lowest);

    // The turn of the picture for a rotation angle in degrees clockwise: the
    // remainder by 360 (with the angle's sign) of 90, 180 or 270, else none.
    static rotate_side_t rotateSideForAngle(int angle);

signals:
    void sendFrame(cv::Mat mat);
    // The scene's highest and lowest temperature in `unit` (0 Celsius,
    // 1 Fahrenheit) at `time` (ms since the epoch), about once a second;
    // delivered on the GUI thread while the run that measured them lasts.
    void extremes(float highest, float lowest, qint64 time, int unit);
    // The worker's report, tagged with its run; turned into extremes() on
    // the GUI thread when that run is still the current one.
    void extremesOfRun(float highest, float lowest, qint64 time, int unit, quint64 run, QPrivateSignal);

protected:
    void run() override;

private:
    // One temperature step on the temperature half: decode, store, report.
    void temperatureStep(stream_frame_info_t& info, qint64 now);

    std::atomic<bool> running{false};
    // Every start and stop begins a new run, so that a report queued by an
    // earlier run is recognised on arrival. currentRun is the GUI thread's;
    // workerRun is the worker's copy, set before the worker starts.
    quint64 currentRun = 0;
    std::atomic<quint64> workerRun{0};
    Clock clock;
    FrameSource frameSource;
};
