// One session with the camera module (or a recording played as one) through
// dozazuva: found and opened as the viewer finds it (0bda:5830 first, then
// 0bda:5840; OMBRIX_CAMERA=simulated selects the simulated module), its
// vendor commands, and frames pulled from its stream.
//
// Ownership: the session owns the opened device and the stream; the
// destructor stops and closes them. dozazuva keeps one device per process,
// so there is one session at a time.
#pragma once

#include "exitstatus.h"

#include <dozazuva.h>

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

// One camera frame: the picture half (YUYV) above the temperature half
// (little-endian 16-bit words, 1/64 K), each width x height pixels.
struct CameraFrame {
    QByteArray bytes;
    int width = 0;
    int height = 0;
    qint64 timeMs = 0; // ms since the epoch (UTC) when it was taken

    const uint8_t* picture() const { return reinterpret_cast<const uint8_t*>(bytes.constData()); }
    const uint16_t* words() const;
    // The temperatures in degrees Celsius, row-major.
    QVector<float> celsius() const;
};

struct ModuleIdentity {
    QString product; // the USB product string
    QString vendorProduct; // "0bda:5830"
    QString serial;
    QString moduleId;
    QString firmware;
};

class CameraSession
{
public:
    CameraSession() = default;
    ~CameraSession();
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    // Opens the camera, or plays the recording at `recording` when not empty.
    // ExitOk, ExitNoCamera or ExitCameraError with `problem` set.
    ExitStatus open(const QString& recording, QString& problem);
    ExitStatus startStream(QString& problem);
    // The next frame of the stream (waits for it).
    ExitStatus nextFrame(CameraFrame& frame, QString& problem);
    // A recording played to its end.
    bool playbackEnded() const;

    ModuleIdentity identity() const;

private:
    void close();

    bool opened = false;
    bool streaming = false;
    bool playingRecording = false;
    uint32_t frameBytes = 0;
    int sensorWidth = 0;
    int sensorHeight = 0;
    uint8_t* rawFrame = nullptr; // dozazuva's frame buffer
    camera_param_t param = {};
    char format[32] = {};      // param.format points here
    char deviceName[256] = {}; // param.dev.name points here
};

// dozazuva's error code as words ("no frame within the frame wait").
QString cameraErrorText(int code);
