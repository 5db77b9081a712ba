// Recording and playback in the main window: the Record and Open buttons of
// the top bar, the recorder, and a recording played as the camera (with its
// playback bar), opened by the file dialog, by dropping a file on the window
// or from the command line.
//
// Ownership: a Qt child of the main window; it owns the recorder and puts
// its buttons into the title bar, after the bar's own buttons, and its
// playback bar over the picture area (Qt children of those). Threads: GUI thread only.
//
// Other callers (a remote command) use startRecording, stopRecording and
// openRecording and hear the outcome through the recorder's signals and
// message().
#pragma once

#include "playbackbar.h"
#include "recordingcontrols.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Recorder;
class ThermalImager;

class RecordingSession : public QObject
{
    Q_OBJECT

public:
    RecordingSession(ThermalImager* window, QWidget* topBar, QWidget* pictureArea);
    ~RecordingSession() override;

    Recorder& recorder() const { return *recorderObject; }
    RecordingControls* controls() const { return buttons; }
    PlaybackBar* playbackBar() const { return bar; }
    bool isPlayingBack() const { return playingBack; }

    // "Recordings": beside the program when writable, else in the user's data folder.
    static QString recordingsFolder();

public slots:
    // Records the camera (or the recording played) into `path`; an empty path
    // names a new file in the recordings folder. False, with a message, when
    // nothing streams or the file cannot be written.
    bool startRecording(const QString& path = QString());
    void stopRecording();
    void toggleRecording();
    // Plays the recording as the camera; on failure the camera comes back
    // and a message says why.
    bool openRecording(const QString& path);
    // Back to the camera.
    void closeRecording();
    void chooseRecording();
    // The camera went: a running recording ends here and is kept.
    void cameraRemoved();

signals:
    // Whatever the user is told (also shown as a toast).
    void message(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tell(const QString& text);
    void showElapsed();
    void restoreCamera();
    void placeControls();

    ThermalImager* window;
    Recorder* recorderObject = nullptr;
    QPointer<RecordingControls> buttons;
    QPointer<PlaybackBar> bar;
    bool playingBack = false;
    bool failureTold = false;
};
