// The live picture: an OpenGL widget that owns the video stream thread,
// receives its coloured frames, keeps them in a five-slot ring in OpenGL byte
// order and paints the newest one stretched over the whole widget with
// fixed-function glDrawPixels.
//
// Ownership: the widget creates the CThreadVideoStream as its child and
// stops it (closeImage) before it goes. Threads: every member is used on the
// GUI thread only; frames arrive through a queued connection, so the ring
// needs no lock.
#pragma once

#include "cthreadvideostream.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QPointer>

#include <opencv2/core.hpp>

class QOpenGLFunctions_1_0;

class CGLWidgetImage : public QOpenGLWidget
{
    Q_OBJECT

public:
    static constexpr int RingSize = 5;

    // 256 x 192, black, with a stopped and unconnected stream thread. Asks
    // for a compatibility-profile context, since it draws with the
    // fixed-function pipeline.
    explicit CGLWidgetImage(QWidget* parent = nullptr);
    ~CGLWidgetImage() override;

    // Reads the palette from profile.ini into g_palette, connects the
    // thread's frames to this view and starts the thread. Nothing happens
    // while the thread runs.
    void openImage();
    // Stops the thread, disconnects it and waits until it has left its loop
    // (at most one frame wait plus 100 ms), then repaints.
    void closeImage();

    // The stream thread this view owns (for its clock and frame source).
    CThreadVideoStream* videoStream() const { return thread; }

    // A frame as a QImage: 8-bit grey (indexed), 8-bit B, G, R (as RGB888),
    // 8-bit four channels (ARGB32) or 32-bit float three channels (through
    // 8-bit B, G, R); a null image for any other type. Always a deep copy.
    static QImage imageFromMat(const cv::Mat& mat);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private slots:
    void onFrame(cv::Mat mat);

private:
    // The next frame to show: the oldest one not shown yet, else the one
    // shown last.
    QImage popBuffer();
    void repaintWhenVisible();

    QPointer<CThreadVideoStream> thread;
    QImage ring[RingSize];
    QImage current;
    bool ready[RingSize] = {};
    bool writable[RingSize] = {true, true, true, true, true};
    int readIndex = 0;
    int writeIndex = 0;
    QOpenGLFunctions_1_0* gl = nullptr;  // the context's; null without fixed-function OpenGL
};
