// The start-up splash: the caller's picture, a message line and a thin
// progress line that runs once around the border, clockwise from the
// bottom-left corner, over a set duration.
#pragma once

#include <QElapsedTimer>
#include <QSplashScreen>

class QLabel;
class QProgressBar;

// Owns its label and four edge bars as Qt children. The progress advances on
// a 100 ms timer from start() until finish().
class CSplashScreen : public QSplashScreen
{
    Q_OBJECT

public:
    explicit CSplashScreen(QWidget* parent = nullptr);

    // Time for one full turn, in milliseconds; values under 100 count as 100.
    void setDuration(quint32 milliseconds);
    // Starts the progress timer and shows the splash.
    void start();
    void setMessage(const QString& text);
    // Returns once the splash has been up for at least `milliseconds` since
    // start(). Meanwhile a local event loop runs (the progress moves, the
    // splash repaints) and sleeps between events; a timer ends it.
    void holdAtLeast(int milliseconds);
    // Stops the progress and closes the splash once `window` is shown.
    void finish(QWidget* window);

    // Id of the running progress timer, 0 when none.
    int timerId() const { return progressTimerId; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void setupUi();
    void advance();

    int progressTimerId = 0;
    quint32 duration = 0;
    quint32 elapsed = 0;
    QElapsedTimer shownFor;

    QLabel* labelMessage = nullptr;
    QProgressBar* progressBar = nullptr;
    QProgressBar* progressBar_2 = nullptr;
    QProgressBar* progressBar_3 = nullptr;
    QProgressBar* progressBar_4 = nullptr;
};
