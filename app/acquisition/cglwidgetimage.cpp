#include "cglwidgetimage.h"

#include "framebufferpool.h"
#include "globals.h"
#include "picturesurface.h"
#include "profile.h"
#include "thermal.h"


#include <QDebug>
#include <QPainter>
#include <QSettings>
#include <QtEndian>

#include <cstring>

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

// B, G, R bytes copied into an image of the same byte order: Qt takes
// B, G, R pixels as they are, so the copy needs no channel swap.
QImage colourImage(const cv::Mat& mat)
{
    QImage image(mat.cols, mat.rows, QImage::Format_BGR888);
    if (image.isNull())
        return image;
    const size_t rowBytes = size_t(mat.cols) * 3;
    for (int row = 0; row < mat.rows; ++row)
        std::memcpy(image.scanLine(row), mat.ptr(row), rowBytes);
    return image;
}

void releaseHeldFrame(void* held)
{
    auto* frame = static_cast<cv::Mat*>(held);
    markFrameDone(*frame);
    delete frame;
}

// A frame as the ring keeps it: B, G, R frames are shown from the matrix's
// own pixels (the image holds a reference to the matrix, so its buffer goes
// back to the pool only when the last image of it goes); others are
// converted.
QImage pictureFromMat(const cv::Mat& mat)
{
    if (mat.empty() || mat.type() != CV_8UC3) {
        QImage image = CGLWidgetImage::imageFromMat(mat);
        markFrameDone(mat);
        return image;
    }
    auto* held = new cv::Mat(mat);
    return QImage(static_cast<const uchar*>(held->data), held->cols, held->rows, int(held->step),
                  QImage::Format_BGR888, releaseHeldFrame, held);
}

// B, G, R into RGB32 (B, G, R, 255 in memory): the format that Qt's raster
// painter scales fastest, about three times faster than three-byte pixels.
// Whole words are read and shifted into place (a byte at a time costs twice
// as much on the GUI thread); no read goes past a row's end.
void bgrToRgb32(const cv::Mat& mat, QImage& image)
{
    constexpr quint32 Opaque = 0xFF000000u;
    for (int row = 0; row < mat.rows; ++row) {
        const uchar* __restrict in = mat.ptr(row);
        auto* __restrict out = reinterpret_cast<quint32*>(image.scanLine(row));
        // Four pixels from three little-endian words: 12 bytes in, 16 out.
        int x = 0;
        for (; x + 4 <= mat.cols; x += 4, in += 12) {
            quint32 word[3];
            std::memcpy(word, in, sizeof word);
            const quint32 a = qFromLittleEndian(word[0]), b = qFromLittleEndian(word[1]),
                          c = qFromLittleEndian(word[2]);
            out[x] = Opaque | a;
            out[x + 1] = Opaque | a >> 24 | b << 8;
            out[x + 2] = Opaque | b >> 16 | c << 16;
            out[x + 3] = Opaque | c >> 8;
        }
        for (; x < mat.cols; ++x, in += 3)
            out[x] = Opaque | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
    }
}

// The raster path's form of a frame, written into `slot`, whose pixels are
// reused when no other image shares them.
void storeForRaster(QImage& slot, const cv::Mat& mat)
{
    if (mat.empty() || mat.type() != CV_8UC3) {
        slot = CGLWidgetImage::imageFromMat(mat);
    } else {
        const QSize size(mat.cols, mat.rows);
        if (!slot.isDetached() || slot.size() != size || slot.format() != QImage::Format_RGB32)
            slot = QImage(size, QImage::Format_RGB32);
        if (!slot.isNull())
            bgrToRgb32(mat, slot);
    }
    markFrameDone(mat);
}

}  // namespace

CGLWidgetImage::CGLWidgetImage(QWidget* parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CGLWidgetImage"));
    // Every paint covers the whole widget.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(256, 192);
    if (preferredDrawingPath() == DrawingPath::OpenGL) {
        surface = new PictureSurface([this] { return popBuffer(); }, this);
        surface->setGeometry(rect());
        surface->lower();  // below the measurement overlay
    }
    setWindowTitle(QStringLiteral("CGLWidgetImage"));
    setStyleSheet(QStringLiteral("CGLWidgetImage#CGLWidgetImage\n{\n\tborder:none;\n\tbackground-color:#000000;\n}"));
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
    for (int look = 0; look < RingSize; ++look) {
        const int i = (writeIndex + look) % RingSize;
        if (!writable[i])
            continue;
        if (surface)
            ring[i] = pictureFromMat(mat);
        else
            storeForRaster(ring[i], mat);
        writable[i] = false;
        ready[i] = true;
        writeIndex = (i + 1) % RingSize;
        repaintWhenVisible();
        return;
    }
    // A full ring drops the frame: the view is five frames behind.
    markFrameDone(mat);
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
    if (!isVisible())
        return;
    if (surface)
        surface->update();
    else
        update();
}

DrawingPath CGLWidgetImage::drawingPath() const
{
    return surface ? DrawingPath::OpenGL : DrawingPath::Raster;
}

QImage CGLWidgetImage::grabFramebuffer()
{
    if (surface) {
        // A hidden widget gets its resize event only when shown.
        surface->setGeometry(rect());
        return surface->grabFramebuffer();
    }
    const qreal ratio = devicePixelRatioF();
    QImage shot(size() * ratio, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    QPainter painter(&shot);
    drawPicture(painter, popBuffer(), rect());
    return shot;
}

void CGLWidgetImage::drawPicture(QPainter& painter, const QImage& image, const QRect& area)
{
    if (image.isNull()) {
        painter.fillRect(area, Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, image.size() != area.size());
    painter.drawImage(area, image);
}

void CGLWidgetImage::paintEvent(QPaintEvent*)
{
    // On the OpenGL path the child covers the whole widget.
    if (surface)
        return;
    QPainter painter(this);
    drawPicture(painter, popBuffer(), rect());
}

void CGLWidgetImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (surface)
        surface->setGeometry(rect());
}
