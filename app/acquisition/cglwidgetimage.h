// The live picture: a widget that owns the video stream thread, receives its
// coloured frames, keeps them in a five-slot ring and paints the next one
// stretched over the whole widget.
//
// The frames are kept as they come (B, G, R, no copy) and drawn one of two
// ways (see openglrenderer.h): with a graphics processor by an OpenGL child
// that uploads each frame once as a texture and scales it on the GPU; with a
// software OpenGL, or none, by Qt's raster painter, so the window never
// composes through a software renderer.
//
// Ownership: the widget creates the CThreadVideoStream as its child and
// stops it (closeImage) before it goes; the OpenGL child is its own. Threads:
// every member is used on the GUI thread only; frames arrive through a queued
// connection, so the ring needs no lock.
#pragma once

#include "cthreadvideostream.h"
#include "openglrenderer.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <opencv2/core.hpp>

class PictureSurface;
class QPainter;

class CGLWidgetImage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int RingSize = 5;

    // 256 x 192, black, with a stopped and unconnected stream thread,
    // drawing the way preferredDrawingPath() says.
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

    // A frame as a QImage: 8-bit grey (indexed), 8-bit B, G, R (as BGR888),
    // 8-bit four channels (ARGB32) or 32-bit float three channels (through
    // 8-bit B, G, R); a null image for any other type. Always a deep copy.
    static QImage imageFromMat(const cv::Mat& mat);

    DrawingPath drawingPath() const;

    // Paints the view into an image, as a repaint would (taking the next
    // frame from the ring), and returns it.
    QImage grabFramebuffer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void onFrame(cv::Mat mat);

private:
    // The next frame to show: the oldest one not shown yet, else the one
    // shown last.
    QImage popBuffer();
    void repaintWhenVisible();
    static void drawPicture(QPainter& painter, const QImage& image, const QRect& area);

    QPointer<CThreadVideoStream> thread;
    QImage ring[RingSize];
    QImage current;
    bool ready[RingSize] = {};
    bool writable[RingSize] = {true, true, true, true, true};
    int readIndex = 0;
    int writeIndex = 0;
    PictureSurface* surface = nullptr;  // the OpenGL child; null on the raster path
};
