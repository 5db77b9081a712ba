// The top bar's recording buttons: Record (Ctrl+R), which shows the elapsed
// time while a recording runs, and Open recording. The widget only shows and
// asks; whoever owns it connects the requests and reports the state.
#pragma once

#include <QWidget>

class QPushButton;

class RecordingControls : public QWidget
{
    Q_OBJECT

public:
    explicit RecordingControls(QWidget* parent = nullptr);

    // Recording or not, and for how long (ms).
    void showRecording(bool recording, qint64 elapsedMs = 0);
    QPushButton* recordButton() const { return record; }
    QPushButton* openButton() const { return open; }

    // "00:07", "12:34", "1:02:03".
    static QString elapsedText(qint64 ms);

signals:
    void recordRequested();
    void openRequested();

private:
    QPushButton* record = nullptr;
    QPushButton* open = nullptr;
};
