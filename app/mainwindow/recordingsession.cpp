#include "recordingsession.h"

#include "cameraconnection.h"
#include "cameracontroller.h"
#include "globals.h"
#include "playbackbar.h"
#include "profile.h"
#include "recorder.h"
#include "recordingcontrols.h"
#include "recordingerrors.h"
#include "thermalimager.h"
#include "toast.h"

#include <dozazuva.h>
#include <ombrix_recording.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <cstdio>

namespace {

// The module the viewer knows: a recording of another size cannot stand in for it.
constexpr int SensorWidth = 256;
constexpr int SensorHeight = 192;
constexpr int ControlsGap = 8;
constexpr int ElapsedRefreshMs = 250;
constexpr double EmissivitySteps = 127.0;
constexpr double DistanceStepsPerMetre = 163.835;

// The module's identity and the settings in force, for the file's tags.
ombrix_recording_tags currentTags()
{
    ombrix_recording_tags tags{};
    uint8_t text[256] = {};
    if (get_sn(text) == 0)
        snprintf(tags.serial, sizeof tags.serial, "%s", reinterpret_cast<const char*>(text));
    std::fill(std::begin(text), std::end(text), uint8_t(0));
    if (get_device_info(5, text) == 0)
        snprintf(tags.firmware, sizeof tags.firmware, "%s", reinterpret_cast<const char*>(text));
    uint16_t value = 0;
    if (get_prop_tpd_params(TPD_PROP_EMS, &value) == 0)
        tags.emissivity = value / EmissivitySteps;
    if (get_prop_tpd_params(TPD_PROP_DISTANCE, &value) == 0)
        tags.distance_m = value / DistanceStepsPerMetre;
    snprintf(tags.range_mode, sizeof tags.range_mode, "%s", g_range_mode.load() == 0 ? "high" : "normal");
    snprintf(tags.unit, sizeof tags.unit, "%s", g_temp_unit.load() == 1 ? "F" : "C");
    snprintf(tags.palette, sizeof tags.palette, "%d", g_palette.load());
    tags.rotation = g_rotate_angle.load();
    return tags;
}

bool isRecordingFile(const QString& path)
{
    return path.endsWith(QLatin1String(".mkv"), Qt::CaseInsensitive);
}

// The first recording among dropped files.
QString droppedRecording(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && isRecordingFile(url.toLocalFile()))
            return url.toLocalFile();
    return QString();
}

}  // namespace

RecordingSession::RecordingSession(ThermalImager* mainWindow, QWidget* topBar, QWidget* pictureArea)
    : QObject(mainWindow)
    , window(mainWindow)
    , recorderObject(new Recorder(this))
    , buttons(new RecordingControls(topBar))
    , bar(new PlaybackBar(pictureArea))
{
    placeControls();
    buttons->show();
    topBar->installEventFilter(this);
    connect(buttons, &RecordingControls::recordRequested, this, &RecordingSession::toggleRecording);
    connect(buttons, &RecordingControls::openRequested, this, &RecordingSession::chooseRecording);
    connect(bar, &PlaybackBar::closeRequested, this, &RecordingSession::closeRecording);

    auto* elapsed = new QTimer(this);
    elapsed->setInterval(ElapsedRefreshMs);
    connect(elapsed, &QTimer::timeout, this, &RecordingSession::showElapsed);
    connect(recorderObject, &Recorder::started, elapsed, qOverload<>(&QTimer::start));
    connect(recorderObject, &Recorder::stopped, this, [this, elapsed](const QString& path, int frames) {
        elapsed->stop();
        buttons->showRecording(false);
        // A failure has been told already.
        if (frames > 0 && !std::exchange(failureTold, false))
            tell(tr("Recording saved: %1").arg(QDir::toNativeSeparators(path)));
    });
    connect(recorderObject, &Recorder::failed, this, [this](const QString&, const QString& reason) {
        failureTold = true;
        tell(tr("Recording stopped. %1").arg(reason));
    });

    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

RecordingSession::~RecordingSession()
{
    recorderObject->stop();
    if (playingBack)
        ombrix_playback_deselect();
}

QString RecordingSession::recordingsFolder()
{
    const QString name = QStringLiteral("Recordings");
    return preferredLocation(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name,
                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
                                 name);
}

void RecordingSession::tell(const QString& text)
{
    Toast::instance()->showTip(0, text);
    emit message(text);
}

void RecordingSession::showElapsed()
{
    buttons->showRecording(recorderObject->isRecording(), recorderObject->elapsedMs());
}

bool RecordingSession::startRecording(const QString& requested)
{
    if (recorderObject->isRecording())
        return true;
    const camera_param_t& camera = g_stream_frame_info.camera_param;
    if (!g_connected || camera.width == 0 || camera.height < 2) {
        tell(tr("No device found, please connect the device!"));
        return false;
    }
    QString path = requested;
    if (path.isEmpty()) {
        const QString folder = recordingsFolder();
        QDir().mkpath(folder);
        path = folder + QLatin1Char('/') +
               QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")) + QStringLiteral(".mkv");
    }
    QString error;
    // The frame holds the picture over the temperature words: the sensor is half its height.
    const QSize sensor(int(camera.width), int(camera.height / 2));
    if (!recorderObject->start(path, sensor, currentTags(), &error)) {
        tell(tr("Recording could not start. %1").arg(error));
        return false;
    }
    buttons->showRecording(true, 0);
    return true;
}

void RecordingSession::stopRecording()
{
    recorderObject->stop();
}

void RecordingSession::toggleRecording()
{
    if (recorderObject->isRecording())
        stopRecording();
    else
        startRecording();
}

void RecordingSession::cameraRemoved()
{
    if (!recorderObject->isRecording())
        return;
    recorderObject->stop();
    tell(tr("The camera was unplugged: the recording ends here and is kept."));
}

void RecordingSession::restoreCamera()
{
    g_connected = window->camera()->openFirst();
    window->setControlsEnabled(g_connected);
}

bool RecordingSession::openRecording(const QString& path)
{
    recorderObject->stop();
    window->camera()->close();
    const int selected = ombrix_playback_select(QFile::encodeName(path).constData());
    ombrix_recording_info info{};
    int problem = selected;
    if (selected == 0 && ombrix_playback_info_get(&info) == 0 &&
        (info.width != SensorWidth || info.height != SensorHeight))
        problem = OMBRIX_REC_ERR_FRAME_SIZE;
    if (problem == 0) {
        playingBack = true;
        g_connected = window->camera()->open(PRODUCT_TYPE_5830, false);
        if (g_connected) {
            window->setControlsEnabled(true);
            bar->show();
            return true;
        }
        problem = OMBRIX_REC_ERR_DECODE;
    }
    if (selected == 0)
        ombrix_playback_deselect();
    playingBack = false;
    bar->hide();
    tell(tr("%1 cannot be played. %2").arg(QDir::toNativeSeparators(path), recordingErrorText(problem)));
    restoreCamera();
    return false;
}

void RecordingSession::closeRecording()
{
    if (!playingBack)
        return;
    recorderObject->stop();
    window->camera()->close();
    ombrix_playback_deselect();
    playingBack = false;
    bar->hide();
    restoreCamera();
}

void RecordingSession::chooseRecording()
{
    const QString path = QFileDialog::getOpenFileName(window, tr("Open recording"), recordingsFolder(),
                                                      tr("Recordings (*.mkv)"));
    if (!path.isEmpty())
        openRecording(path);
}

// Right after the bar's own buttons on its left half (they change with the language).
void RecordingSession::placeControls()
{
    QWidget* bar = buttons->parentWidget();
    int right = 0;
    for (QWidget* part : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (part != buttons && part->isVisibleTo(bar) && part->x() < bar->width() / 2)
            right = std::max(right, part->geometry().right());
    buttons->adjustSize();
    buttons->move(right + ControlsGap, (bar->height() - buttons->height()) / 2);
}

bool RecordingSession::eventFilter(QObject* watched, QEvent* event)
{
    if (buttons && watched == buttons->parentWidget() && event->type() == QEvent::Resize)
        placeControls();
    if (watched == window && event->type() == QEvent::DragEnter) {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (!droppedRecording(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (watched == window && event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedRecording(drop->mimeData());
        if (!path.isEmpty()) {
            drop->acceptProposedAction();
            // After the drop's own event handling: opening stops the stream and may show a message.
            QTimer::singleShot(0, this, [this, path] { openRecording(path); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
