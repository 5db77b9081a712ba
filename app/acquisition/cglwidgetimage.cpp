#include "cglwidgetimage.h"

#include "globals.h"
#include "profile.h"
#include "thermal.h"

#include <zizuruziza.h>

#include <QDebug>
#include <QGLWidget>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_0>
#include <QSettings>
#include <QSurfaceFormat>

namespace {

constexpr int DefaultPalette = 1;

// The palette index stored in profile.ini; the default for a missing or
// unreadable file and for an index that names no colour table.
int storedPalette()
{
    const QSettings profile(profileIniPath(), QSettings::IniFormat);
    bool ok = false;
    const int palette = profile.value(QStringLiteral("Settings/Palette"), DefaultPalette).toInt(&ok);
    if (!ok || palette < 0 || palette >= THERMAL_TABLE_COUNT)
        return DefaultPalette;
    return palette;
}

QImage greyImage(const cv::Mat& mat)
{
    QImage image(mat.cols, mat.rows, QImage::Format_Indexed8);
    image.setColorCount(256);
    for (int i = 0; i < 256; ++i)
        image.setColor(i, qRgb(i, i, i));
    for (int row = 0; row < mat.rows; ++row)
        memcpy(image.scanLine(row), mat.ptr(row), size_t(mat.cols));
    return image;
}

// B, G, R bytes into a new image in R, G, B order (what QImage's
// rgbSwapped() of the bytes gives, with the library's vectorised swap).
QImage colourImage(const cv::Mat& mat)
{
    QImage image(mat.cols, mat.rows, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    const int rowBytes = mat.cols * 3;
    if (mat.isContinuous() && image.bytesPerLine() == rowBytes) {
        rgb_to_bgr(mat.data, mat.cols * mat.rows, image.bits());
        return image;
    }
    for (int row = 0; row < mat.rows; ++row)
        rgb_to_bgr(mat.ptr(row), mat.cols, image.scanLine(row));
    return image;
}

}  // namespace

CGLWidgetImage::CGLWidgetImage(QWidget* parent)
    : QOpenGLWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CGLWidgetImage"));
    QSurfaceFormat surface = format();
    surface.setProfile(QSurfaceFormat::CompatibilityProfile);
    setFormat(surface);
    resize(256, 192);
    setWindowTitle(QStringLiteral("CGLWidgetImage"));
    setStyleSheet(QStringLiteral("QOpenGLWidget#CGLWidgetImage\n{\n\tborder:none;\n\tbackground-color:#000000;\n}"));
    QMetaObject::connectSlotsByName(this);
    thread = new CThreadVideoStream(this);
}

CGLWidgetImage::~CGLWidgetImage()
{
    closeImage();
}

void CGLWidgetImage::openImage()
{
    if (!thread || thread->isRunning())
        return;
    g_palette = storedPalette();
    // Unique: a thread that ended by itself is still connected from its
    // last start.
    connect(thread, &CThreadVideoStream::sendFrame, this, &CGLWidgetImage::onFrame, Qt::UniqueConnection);
    thread->start(QThread::InheritPriority);
}

void CGLWidgetImage::closeImage()
{
    qDebug() << "CGLWidgetImage::closeImage";
    if (thread && thread->isRunning()) {
        thread->stop();
        disconnect(thread, &CThreadVideoStream::sendFrame, this, &CGLWidgetImage::onFrame);
        // The controller frees the buffers the loop reads once this returns.
        thread->wait();
    }
    repaintWhenVisible();
}

QImage CGLWidgetImage::imageFromMat(const cv::Mat& mat)
{
    if (mat.empty()) {
        qDebug() << "ERROR: Mat could not be converted to QImage.";
        return QImage();
    }
    switch (mat.type()) {
    case CV_8UC1:
        return greyImage(mat);
    case CV_8UC3:
        return colourImage(mat);
    case CV_8UC4: {
        qDebug() << "CV_8UC4";
        const QImage view(static_cast<const uchar*>(mat.data), mat.cols, mat.rows, int(mat.step),
                          QImage::Format_ARGB32);
        return view.copy();
    }
    case CV_32FC3: {
        cv::Mat bytes;
        mat.convertTo(bytes, CV_8UC3, 1.0, 0.0);
        return colourImage(bytes);
    }
    default:
        qDebug() << "ERROR: Mat could not be converted to QImage.";
        return QImage();
    }
}

void CGLWidgetImage::onFrame(cv::Mat mat)
{
    markFrameReceived(mat);
    const QImage image = imageFromMat(mat);
    markFrameDone(mat);
    for (int look = 0; look < RingSize; ++look) {
        const int i = (writeIndex + look) % RingSize;
        if (!writable[i])
            continue;
        ring[i] = image.isNull() ? QImage() : QGLWidget::convertToGLFormat(image);
        writable[i] = false;
        ready[i] = true;
        writeIndex = (i + 1) % RingSize;
        break;
    }
    // A full ring drops the frame: the view is five frames behind.
    repaintWhenVisible();
}

QImage CGLWidgetImage::popBuffer()
{
    for (int look = 0; look < RingSize; ++look) {
        const int i = (readIndex + look) % RingSize;
        if (!ready[i])
            continue;
        current = ring[i];
        ready[i] = false;
        writable[i] = true;
        readIndex = (i + 1) % RingSize;
        return current;
    }
    return current;
}

void CGLWidgetImage::repaintWhenVisible()
{
    if (isVisible())
        update();
}

void CGLWidgetImage::initializeGL()
{
    makeCurrent();
    QOpenGLContext* context = QOpenGLContext::currentContext();
    gl = context ? context->versionFunctions<QOpenGLFunctions_1_0>() : nullptr;
    if (!gl || !gl->initializeOpenGLFunctions()) {
        qWarning("CGLWidgetImage: no fixed-function OpenGL in this context; the picture stays empty");
        gl = nullptr;
        return;
    }
    gl->glClearColor(0, 0, 0, 0);
}

void CGLWidgetImage::resizeGL(int w, int h)
{
    if (!gl)
        return;
    makeCurrent();
    if (w >= 1 && h >= 1) {
        const qreal ratio = devicePixelRatioF();
        gl->glViewport(0, 0, qRound(w * ratio), qRound(h * ratio));
    }
    gl->glMatrixMode(GL_PROJECTION);
    gl->glLoadIdentity();
    gl->glOrtho(0, w, 0, h, 0, 1);
    gl->glMatrixMode(GL_MODELVIEW);
    repaintWhenVisible();
}

void CGLWidgetImage::paintGL()
{
    const QImage image = popBuffer();
    if (image.isNull() || !gl)
        return;
    makeCurrent();
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl->glLoadIdentity();
    gl->glPushMatrix();
    // glDrawPixels draws one image pixel per framebuffer pixel, so the image
    // is stretched to the framebuffer (the widget's size in device pixels).
    const qreal ratio = devicePixelRatioF();
    const QSize target(qRound(width() * ratio), qRound(height() * ratio));
    const QImage drawn =
        image.size() == target ? image : image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    gl->glDrawPixels(drawn.width(), drawn.height(), GL_RGBA, GL_UNSIGNED_BYTE, drawn.constBits());
    gl->glPopMatrix();
    gl->glFlush();
}
