#include "camerasession.h"

#include <ombrix/temperature_units.h>
#include <ombrix_recording.h>

#include <QDateTime>
#include <QtEndian>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint32_t VendorId = 0x0BDA;
// The order in which the viewer looks for the module.
constexpr uint32_t ProductIds[] = {0x5830, 0x5840};
constexpr uint32_t FrameWaitMs = 1000;
// The stream is the second frame descriptor: the picture above the temperatures.
constexpr int StreamDescriptor = 1;

struct ErrorText {
    int code;
    const char* text;
};

constexpr ErrorText ErrorTexts[] = {
    {DOZAZUVA_ERR_PARAM, "bad parameter"},
    {DOZAZUVA_ERR_INIT, "the USB context could not be made"},
    {DOZAZUVA_ERR_LIST, "the USB devices could not be listed"},
    {DOZAZUVA_ERR_FIND, "the device was not found"},
    {DOZAZUVA_ERR_DEVICE_INFO, "the device description could not be read"},
    {DOZAZUVA_ERR_OPEN, "the device could not be opened (is it in use, or missing the udev rule?)"},
    {DOZAZUVA_ERR_DESCRIPTOR, "the device descriptor could not be read"},
    {DOZAZUVA_ERR_ALREADY_OPEN, "the device is already open"},
    {DOZAZUVA_ERR_STREAM_CTRL, "the device offers no stream of this format and size"},
    {DOZAZUVA_ERR_STREAM_START, "the stream did not start"},
    {DOZAZUVA_ERR_FRAME_TIMEOUT, "no frame came within a second"},
    {DOZAZUVA_ERR_NO_TRANSPORT, "no command transport"},
    {DOZAZUVA_ERR_TRANSFER, "a control transfer was cut short (was the camera pulled?)"},
    {DOZAZUVA_ERR_MODULE_STATUS, "the module reported a failure or stayed busy"},
    {DOZAZUVA_ERR_UNSUPPORTED, "this module does not have the command"},
};

// The camera library prints the device's whole configuration on standard
// error at every open; a script's error output keeps only our messages.
class QuietStandardError
{
public:
    QuietStandardError()
        : saved(dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0) {
            dup2(nowhere, STDERR_FILENO);
            ::close(nowhere);
        }
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            ::close(saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved;
};

void keep(char* storage, size_t capacity, const char* text)
{
    std::snprintf(storage, capacity, "%s", text ? text : "");
}

} // namespace

QString cameraErrorText(int code)
{
    for (const ErrorText& entry : ErrorTexts) {
        if (entry.code == code)
            return QString::fromLatin1(entry.text);
    }
    return QStringLiteral("camera library error %1").arg(code);
}

const uint16_t* CameraFrame::words() const
{
    return reinterpret_cast<const uint16_t*>(bytes.constData() + 2 * width * height);
}

QVector<float> CameraFrame::celsius() const
{
    QVector<float> values(width * height);
    const uchar* in = reinterpret_cast<const uchar*>(bytes.constData()) + 2 * width * height;
    for (int i = 0; i < values.size(); ++i)
        values[i] = raw_to_celsius(qFromLittleEndian<quint16>(in + 2 * i));
    return values;
}

CameraSession::~CameraSession()
{
    close();
}

void CameraSession::close()
{
    if (streaming)
        uvc_camera_stream_close(0);
    streaming = false;
    if (rawFrame)
        uvc_frame_buf_release(rawFrame);
    rawFrame = nullptr;
    if (opened) {
        uvc_camera_close();
        uvc_camera_release();
    }
    opened = false;
    if (playingRecording)
        ombrix_playback_deselect();
    playingRecording = false;
}

ExitStatus CameraSession::open(const QString& recording, QString& problem)
{
    if (!recording.isEmpty()) {
        const int selected = ombrix_playback_select(recording.toUtf8().constData());
        if (selected < 0) {
            problem = QStringLiteral("cannot play %1: %2").arg(recording, QString::fromUtf8(ombrix_recording_error_text(selected)));
            return ExitFailure;
        }
        playingRecording = true;
    }
    int result = uvc_camera_init();
    if (result < 0) {
        problem = QStringLiteral("cannot reach the cameras: %1").arg(cameraErrorText(result));
        return ExitCameraError;
    }
    camera_dev_t devices[DOZAZUVA_MAX_DEVICES] = {};
    result = uvc_camera_list(devices);
    int found = -1;
    for (uint32_t productId : ProductIds) {
        for (int i = 0; result >= 0 && found < 0 && i < DOZAZUVA_MAX_DEVICES; ++i) {
            if (devices[i].vid == VendorId && devices[i].pid == productId)
                found = i;
        }
    }
    if (found < 0) {
        uvc_camera_list_release(devices);
        uvc_camera_release();
        problem = QStringLiteral("no thermal camera found (0bda:5830 or 0bda:5840); "
                                 "OMBRIX_CAMERA=simulated uses the simulated module");
        return ExitNoCamera;
    }
    param.dev = devices[found];
    keep(deviceName, sizeof deviceName, devices[found].name);
    param.dev.name = deviceName;
    uvc_camera_list_release(devices);

    camera_stream_info_t infos[DOZAZUVA_MAX_STREAM_INFOS] = {};
    result = uvc_camera_info_get(&param.dev, infos);
    if (result >= 0) {
        const QuietStandardError quiet;
        result = uvc_camera_open(&param.dev);
    }
    if (result >= 0 && infos[StreamDescriptor].width == 0)
        result = DOZAZUVA_ERR_DEVICE_INFO;
    if (result < 0) {
        uvc_camera_info_release(infos);
        uvc_camera_release();
        problem = QStringLiteral("cannot open the camera: %1").arg(cameraErrorText(result));
        return ExitCameraError;
    }
    opened = true;
    const camera_stream_info_t& stream = infos[StreamDescriptor];
    keep(format, sizeof format, stream.format);
    param.format = format;
    param.width = stream.width;
    param.height = stream.height;
    param.frame_size = stream.width * stream.height * 2;
    param.fps = stream.fps[0];
    param.timeout = FrameWaitMs;
    uvc_camera_info_release(infos);
    sensorWidth = int(param.width);
    sensorHeight = int(param.height / 2);
    result = vdcmd_init();
    if (result < 0) {
        problem = QStringLiteral("cannot talk to the module: %1").arg(cameraErrorText(result));
        return ExitCameraError;
    }
    return ExitOk;
}

ExitStatus CameraSession::startStream(QString& problem)
{
    rawFrame = uvc_frame_buf_create(&param);
    const int result = rawFrame ? uvc_camera_stream_start(&param, nullptr) : DOZAZUVA_ERR_PARAM;
    if (result < 0) {
        problem = QStringLiteral("cannot start the picture: %1").arg(cameraErrorText(result));
        return ExitCameraError;
    }
    streaming = true;
    if (playingRecording)
        ombrix_playback_set_playing(1);
    return ExitOk;
}

ExitStatus CameraSession::nextFrame(CameraFrame& frame, QString& problem)
{
    const int result = uvc_frame_get(rawFrame);
    if (result < 0) {
        problem = QStringLiteral("the camera stopped sending pictures: %1").arg(cameraErrorText(result));
        return ExitCameraError;
    }
    frame.bytes = QByteArray(reinterpret_cast<const char*>(rawFrame), int(param.frame_size));
    frame.width = sensorWidth;
    frame.height = sensorHeight;
    frame.timeMs = QDateTime::currentMSecsSinceEpoch();
    // A recording's frames keep the time they were taken at.
    ombrix_playback_state state = {};
    ombrix_recording_info info = {};
    if (playingRecording && ombrix_playback_state_get(&state) == 0 && ombrix_playback_info_get(&info) == 0)
        frame.timeMs = info.tags.start_time_ms + state.position_ms;
    return ExitOk;
}

bool CameraSession::playbackEnded() const
{
    ombrix_playback_state state = {};
    return playingRecording && ombrix_playback_state_get(&state) == 0 && !state.playing;
}

ModuleIdentity CameraSession::identity() const
{
    ModuleIdentity identity;
    identity.product = QString::fromUtf8(deviceName);
    identity.vendorProduct = QStringLiteral("%1:%2").arg(param.dev.vid, 4, 16, QLatin1Char('0')).arg(param.dev.pid, 4, 16, QLatin1Char('0'));
    const auto text = [](int (*read)(uint8_t*)) {
        uint8_t buffer[256] = {};
        return read(buffer) == 0 ? QString::fromLatin1(reinterpret_cast<const char*>(buffer)) : QString();
    };
    identity.serial = text(&get_sn);
    identity.firmware = text([](uint8_t* b) { return get_device_info(5, b); });
    identity.moduleId = text([](uint8_t* b) { return get_device_info(6, b); });
    return identity;
}
