// The controls of a recording being played as the camera: play/pause (Space),
// a frame back and on (Left, Right), the seek bar, the position, and the way
// back to the camera. It drives the playback of ombrix_recording.h directly
// and shows its state, read every 100 ms while the bar is shown.
//
// Ownership: a Qt child of the widget it lies over (the picture area), whose
// bottom edge it follows.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

class PlaybackBar : public QWidget
{
    Q_OBJECT

public:
    explicit PlaybackBar(QWidget* pictureArea);

    // Reads the playback state now and shows it.
    void refresh();

    QPushButton* playButton() const { return play; }
    QSlider* seekBar() const { return seek; }
    QLabel* positionLabel() const { return position; }

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void follow();
    void togglePlaying();
    void step(int frames);

    QWidget* area;
    QPushButton* back = nullptr;
    QPushButton* play = nullptr;
    QPushButton* forward = nullptr;
    QSlider* seek = nullptr;
    QLabel* position = nullptr;
    QPushButton* close = nullptr;
    QTimer* poll = nullptr;
    bool playing = false;
};
