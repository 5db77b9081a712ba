#include "cameraconnection.h"

#include "cameracontroller.h"
#include "cglwidgetimage.h"
#include "cthreadvideostream.h"
#include "devicepathmatch.h"
#include "globals.h"
#include "savedsettings.h"
#include "signalnotifier.h"
#include "simulatedmodule.h"
#include "udevhotplugmonitor.h"

#include <dozazuva.h>

#include <QDebug>
#include <QMutexLocker>
#include <QTimer>

#include <csignal>

namespace {

constexpr int PictureStartDelayMs = 1500;

} // namespace

CameraConnection::CameraConnection(CGLWidgetImage* picture)
    : picture(picture)
{
    pictureStart = new QTimer(this);
    pictureStart->setSingleShot(true);
    pictureStart->setTimerType(Qt::PreciseTimer);
    pictureStart->setInterval(PictureStartDelayMs);
    connect(pictureStart, &QTimer::timeout, this, [this] {
        if (this->picture && g_connected)
            this->picture->openImage();
    });
}

CameraConnection::~CameraConnection()
{
    close();
    convert_buffers_release();
    frame_buffers_release(&g_stream_frame_info);
    CThreadVideoStream::releaseTemperatureMatrix();
}

void CameraConnection::setStandIn(std::function<bool()> standingIn)
{
    standIn = std::move(standingIn);
}

bool CameraConnection::standingIn() const
{
    return standIn && standIn();
}

void CameraConnection::followHotplug()
{
    usbMonitor = new platform::UdevHotplugMonitor(this);
    connect(usbMonitor, &platform::UdevHotplugMonitor::deviceArrived, this, &CameraConnection::onDeviceArrived);
    connect(usbMonitor, &platform::UdevHotplugMonitor::deviceRemoved, this, &CameraConnection::onDeviceRemoved);
    usbMonitor->start();

    if (!platform::SimulatedModule::isSelected())
        return;
    // The simulated module's cable: its notices take the same way.
    simulatedHotplug = new platform::SimulatedHotplugSource(this);
    connect(simulatedHotplug, &platform::SimulatedHotplugSource::deviceArrived, this,
            &CameraConnection::onDeviceArrived);
    connect(simulatedHotplug, &platform::SimulatedHotplugSource::deviceRemoved, this,
            &CameraConnection::onDeviceRemoved);
    if (!simulatedHotplug->start())
        return;
    plugSignals = new platform::SignalNotifier({SIGUSR1, SIGUSR2}, this);
    connect(plugSignals, &platform::SignalNotifier::received, this, [](int signalNumber) {
        const platform::SimulatedModule* module = platform::SimulatedModule::load();
        if (module && signalNumber == SIGUSR1)
            module->unplug();
        else if (module && signalNumber == SIGUSR2)
            module->plug();
    });
    if (!plugSignals->start())
        qWarning() << "SIGUSR1/SIGUSR2 are taken: the simulated module cannot be plugged by signal";
}

bool CameraConnection::openFirst()
{
    g_connected = open(PRODUCT_TYPE_5830, false);
    if (!g_connected)
        g_connected = open(PRODUCT_TYPE_5840, false);
    return g_connected;
}

bool CameraConnection::open(int productType, bool delayed)
{
    QMutexLocker locked(&deviceMutex);
    stream_frame_info_t& info = g_stream_frame_info;
    if (camera_open(&info.camera_param, productType) < 0)
        return false;
    camera_command_init();
    // The module forgets the user's values when it loses power: they go back
    // before the picture starts.
    if (!SavedSettings::sendToModule())
        emit settingsRefused();

    uint16_t gain = 0;
    if (get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain) == 0) {
        g_range_mode = gain;
        emit rangeRead();
    }

    stream_frame_info_init(&info);
    frame_buffers_create(&info);
    if (camera_stream_start(&info) < 0) {
        camera_close();
        return false;
    }

    if (picture) {
        if (delayed)
            pictureStart->start();
        else
            picture->openImage();
    }
    return true;
}

void CameraConnection::close()
{
    QMutexLocker locked(&deviceMutex);
    g_connected = false;
    pictureStart->stop();
    if (picture)
        picture->closeImage();
    convert_buffers_release();
    camera_stream_stop(&g_stream_frame_info);
    camera_close();
    frame_buffers_release(&g_stream_frame_info);
}

bool CameraConnection::reopen()
{
    {
        QMutexLocker locked(&deviceMutex);
        camera_close();
    }
    return openFirst();
}

void CameraConnection::onDeviceArrived(const QString& path)
{
    const int productType = productTypeForDevicePath(path);
    if (productType != 0 && !standingIn()) {
        // A module arriving while a camera is open replaces it (its removal
        // may have gone unnoticed).
        if (camera_is_open())
            close();
        g_connected = open(productType, true);
        emit presenceChanged(g_connected);
    }
    qDebug() << "USB device arrived:" << path;
}

void CameraConnection::onDeviceRemoved(const QString& path)
{
    if (productTypeForDevicePath(path) != 0 && !standingIn()) {
        emit removing();
        close();
        emit presenceChanged(false);
    }
    qDebug() << "USB device removed:" << path;
}
