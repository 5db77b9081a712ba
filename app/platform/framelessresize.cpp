#include "framelessresize.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace platform {

FrameHit frameHitTest(int x, int y, int width, int height)
{
    const bool left = 0 <= x && x <= 2;
    const bool right = width - 2 <= x && x <= width;
    const bool top = 0 <= y && y <= 2;
    const bool bottom = height - 2 <= y && y <= height;
    if (left)
        return top ? FrameTopLeft : bottom ? FrameBottomLeft : FrameLeft;
    if (right)
        return top ? FrameTopRight : bottom ? FrameBottomRight : FrameRight;
    if (top)
        return FrameTop;
    if (bottom)
        return FrameBottom;
    return FrameNotHandled;
}

Qt::Edges frameEdges(FrameHit hit)
{
    switch (hit) {
    case FrameLeft:
        return Qt::LeftEdge;
    case FrameRight:
        return Qt::RightEdge;
    case FrameTop:
        return Qt::TopEdge;
    case FrameTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FrameTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FrameBottom:
        return Qt::BottomEdge;
    case FrameBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FrameBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case FrameNotHandled:
        break;
    }
    return {};
}

Qt::CursorShape frameCursor(FrameHit hit)
{
    switch (hit) {
    case FrameLeft:
    case FrameRight:
        return Qt::SizeHorCursor;
    case FrameTop:
    case FrameBottom:
        return Qt::SizeVerCursor;
    case FrameTopLeft:
    case FrameBottomRight:
        return Qt::SizeFDiagCursor;
    case FrameTopRight:
    case FrameBottomLeft:
        return Qt::SizeBDiagCursor;
    case FrameNotHandled:
        break;
    }
    return Qt::ArrowCursor;
}

FramelessResizer::FramelessResizer(QWidget* window)
    : QObject(window)
    , window(window)
{
    if (window && window->windowHandle())
        window->windowHandle()->installEventFilter(this);
}

bool FramelessResizer::eventFilter(QObject* watched, QEvent* event)
{
    if (!window || watched != window->windowHandle())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return pressed(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return moved(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        if (dragging && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            dragging = false;
            return true;
        }
        return false;
    case QEvent::Leave:
        showCursorFor(FrameNotHandled);
        return false;
    default:
        return false;
    }
}

bool FramelessResizer::pressed(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || window->isMaximized() || window->isFullScreen())
        return false;
    const FrameHit hit = frameHitTest(event->pos().x(), event->pos().y(), window->width(), window->height());
    if (hit == FrameNotHandled)
        return false;
    edges = frameEdges(hit);
    bySystem = window->windowHandle()->startSystemResize(edges);
    if (!bySystem) {
        dragging = true;
        pressPosition = event->globalPos();
        startGeometry = window->geometry();
    }
    return true;
}

bool FramelessResizer::moved(QMouseEvent* event)
{
    if (dragging) {
        if (!(event->buttons() & Qt::LeftButton)) {
            dragging = false;  // the release went elsewhere
            return false;
        }
        window->setGeometry(resizedGeometry(event->globalPos()));
        return true;
    }
    if (event->buttons() == Qt::NoButton && !window->isMaximized() && !window->isFullScreen())
        showCursorFor(frameHitTest(event->pos().x(), event->pos().y(), window->width(), window->height()));
    return false;
}

void FramelessResizer::showCursorFor(FrameHit hit)
{
    if (hit == FrameNotHandled) {
        if (cursorShown)
            window->unsetCursor();
        cursorShown = false;
        return;
    }
    window->setCursor(frameCursor(hit));
    cursorShown = true;
}

// The start geometry with the dragged edges moved by the pointer's travel,
// kept within the window's minimum and maximum size; the opposite edges stay.
QRect FramelessResizer::resizedGeometry(const QPoint& globalPosition) const
{
    const QPoint travel = globalPosition - pressPosition;
    const QSize minimum = window->minimumSize();
    const QSize maximum = window->maximumSize();
    QRect geometry = startGeometry;
    if (edges & Qt::LeftEdge) {
        const int width = qBound(minimum.width(), startGeometry.width() - travel.x(), maximum.width());
        geometry.setLeft(startGeometry.right() + 1 - width);
    }
    if (edges & Qt::RightEdge)
        geometry.setWidth(qBound(minimum.width(), startGeometry.width() + travel.x(), maximum.width()));
    if (edges & Qt::TopEdge) {
        const int height = qBound(minimum.height(), startGeometry.height() - travel.y(), maximum.height());
        geometry.setTop(startGeometry.bottom() + 1 - height);
    }
    if (edges & Qt::BottomEdge)
        geometry.setHeight(qBound(minimum.height(), startGeometry.height() + travel.y(), maximum.height()));
    return geometry;
}

} // namespace platform
