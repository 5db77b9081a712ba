// Recording from the simulated module and playing recordings back in the
// real main window: the camera unplugged or the disk full mid-recording still
// leave a playable file, played frames reach the stream thread unchanged, and
// bad files leave the camera streaming with a message.
#include "../mainwindow/windowtesting.h"

#include "frametap.h"
#include "playbackbar.h"
#include "recorder.h"
#include "recordingsession.h"

#include <ombrix_recording.h>

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>

namespace {

// Every frame the stream thread hands on while it listens.
struct FrameCollector : FrameTap {
    std::mutex lock;
    std::vector<std::vector<uint8_t>> frames;
    void offerFrame(const uint8_t* raw, size_t bytes, const cv::Mat&) override
    {
        std::lock_guard<std::mutex> locked(lock);
        frames.emplace_back(raw, raw + bytes);
    }
    size_t count()
    {
        std::lock_guard<std::mutex> locked(lock);
        return frames.size();
    }
};

// The whole frames of a recording, or none when it does not open.
std::vector<std::vector<uint8_t>> recordedFrames(const QString& path)
{
    std::vector<std::vector<uint8_t>> frames;
    ombrix_recording* recording = nullptr;
    if (ombrix_recording_open(QFile::encodeName(path).constData(), &recording) < 0)
        return frames;
    ombrix_recording_info info{};
    ombrix_recording_info_get(recording, &info);
    for (int i = 0; i < info.frames; ++i) {
        std::vector<uint8_t> frame(size_t(info.width) * info.height * 4);
        if (ombrix_recording_read(recording, i, frame.data(), frame.size(), nullptr) == 0)
            frames.push_back(std::move(frame));
    }
    ombrix_recording_close(recording);
    return frames;
}

}  // namespace

class TestRecordingWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unpluggedRecordingPlaysBackUnchanged();
    void fullDiskEndsTheRecordingWithAMessage();
    void badFilesKeepTheCamera();
    void ctrlRAndDroppingAFile();

private:
    RecordingSession& session() { return *window->recording(); }

    QTemporaryDir folder;
    std::unique_ptr<ThermalImager> window;
    std::unique_ptr<QSignalSpy> messages;
};

void TestRecordingWindow::init()
{
    ombrix_sim_reset();
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Other test programs share the display and may hold its focus; the
    // window's shortcuts need only Qt's own active window.
    QApplication::setActiveWindow(window.get());
    messages = std::make_unique<QSignalSpy>(&session(), &RecordingSession::message);
    // Recorded frames are 40 ms apart whatever the machine's load.
    auto readings = std::make_shared<std::atomic<qint64>>(0);
    session().recorder().setClock([readings] { return 1700000000000 + 40 * readings->fetch_add(1); });
    QTRY_VERIFY(pictureRunning(*window));
}

void TestRecordingWindow::cleanup()
{
    setFrameTap(nullptr);
    messages.reset();
    window.reset();
    if (!ombrix_sim_is_plugged())
        ombrix_sim_plug();
}

void TestRecordingWindow::unpluggedRecordingPlaysBackUnchanged()
{
    const QString path = folder.filePath(QStringLiteral("unplugged.mkv"));
    QVERIFY(session().startRecording(path));
    QTRY_VERIFY_WITH_TIMEOUT(session().recorder().elapsedMs() >= 600, 10000);
    ombrix_sim_unplug();
    QTRY_VERIFY(!session().recorder().isRecording());
    QVERIFY(messages->first().first().toString().contains(QStringLiteral("unplugged")));
    const auto recorded = recordedFrames(path);
    QVERIFY(recorded.size() >= 10);

    ombrix_sim_plug();
    QVERIFY(session().openRecording(path));
    QVERIFY(session().isPlayingBack());
    QVERIFY(session().playbackBar()->isVisible());
    FrameCollector collector;
    setFrameTap(&collector);
    QTest::mouseClick(session().playbackBar()->playButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(collector.count() >= recorded.size() + 5, 10000);
    setFrameTap(nullptr);
    const std::set<std::vector<uint8_t>> known(recorded.begin(), recorded.end());
    std::set<std::vector<uint8_t>> shown;
    for (const auto& frame : collector.frames) {
        QVERIFY(known.count(frame) == 1);
        shown.insert(frame);
    }
    // Played on to its end, where the last frame stays (the stream thread
    // takes the latest frame, so a busy machine may skip some on the way).
    QVERIFY(shown.size() >= 2);
    QVERIFY(shown.count(recorded.back()) == 1);

    // A camera event does not end the playback; going back does.
    ombrix_sim_unplug();
    QCoreApplication::sendPostedEvents();  // the removal notice, queued at the unplug
    QVERIFY(session().isPlayingBack() && pictureRunning(*window) && controlsEnabled(*window));
    ombrix_sim_plug();
    session().closeRecording();
    QVERIFY(!session().playbackBar()->isVisible());
    QTRY_VERIFY(pictureRunning(*window) && controlsEnabled(*window));
}

void TestRecordingWindow::fullDiskEndsTheRecordingWithAMessage()
{
    const QString path = folder.filePath(QStringLiteral("full.mkv"));
    QSignalSpy failed(&session().recorder(), &Recorder::failed);
    {
        FileSizeLimit limit(300 * 1000);
        QVERIFY(session().startRecording(path));
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() == 1, 20000);
    }
    QTRY_VERIFY(session().controls()->recordButton()->isChecked() == false);
    QVERIFY(messages->last().first().toString().startsWith(QStringLiteral("Recording stopped.")));
    QVERIFY(!recordedFrames(path).empty());
    QVERIFY(pictureRunning(*window));
}

// A missing file, a text file, and a recording of another frame size.
void TestRecordingWindow::badFilesKeepTheCamera()
{
    const QString small = folder.filePath(QStringLiteral("small.mkv")), text = folder.filePath(QStringLiteral("text.mkv"));
    ombrix_recorder_params params{160, 120, 160, 120, {}};
    ombrix_recorder* recorder = nullptr;
    QCOMPARE(ombrix_recorder_open(QFile::encodeName(small).constData(), &params, &recorder), 0);
    const std::vector<uint8_t> frame(160 * 120 * 4, 9);
    QCOMPARE(ombrix_recorder_write(recorder, 0, frame.data(), frame.size(), nullptr, 0, 0), 0);
    QCOMPARE(ombrix_recorder_close(recorder), 0);
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("no video here\n") > 0);
    file.close();
    for (const QString& path : {folder.filePath(QStringLiteral("missing.mkv")), text, small}) {
        const int before = messages->count();
        QVERIFY(!session().openRecording(path));
        QVERIFY(!session().isPlayingBack());
        QCOMPARE(messages->count(), before + 1);
        QVERIFY(messages->last().first().toString().contains(QDir::toNativeSeparators(path)));
        QTRY_VERIFY(pictureRunning(*window) && controlsEnabled(*window));
    }
}

void TestRecordingWindow::ctrlRAndDroppingAFile()
{
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(session().recorder().isRecording());
    QTRY_VERIFY_WITH_TIMEOUT(session().recorder().elapsedMs() >= 200, 10000);
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(!session().recorder().isRecording());
    const QString path = session().recorder().path();
    QVERIFY(path.startsWith(RecordingSession::recordingsFolder()));
    QVERIFY(!recordedFrames(path).empty());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    QTRY_VERIFY(session().isPlayingBack());
    QTRY_VERIFY(pictureRunning(*window));
}

int main(int argc, char** argv)
{
    return runIsolated<TestRecordingWindow>(argc, argv);
}

#include "test_recording_window.moc"
