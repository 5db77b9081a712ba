// Resize borders for frameless windows.
//
// frameHitTest answers which border or corner of a window lies under a point,
// in the codes of the Windows non-client hit test. FramelessResizer makes a
// left press inside a border or corner start a resize of that edge or corner
// (the window manager's, else one it drives itself) and shows the resize
// cursor while the pointer is there.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QMouseEvent;
class QWidget;

namespace platform {

enum FrameHit {
    FrameNotHandled = 0,  // not a border: the window's own area
    FrameLeft = 10,
    FrameRight = 11,
    FrameTop = 12,
    FrameTopLeft = 13,
    FrameTopRight = 14,
    FrameBottom = 15,
    FrameBottomLeft = 16,
    FrameBottomRight = 17,
};

// x, y relative to the window's top-left corner; width and height of the
// window. The borders are three pixels wide: 0 to 2 on the left and top,
// width - 2 to width and height - 2 to height on the right and bottom.
// Corners win over edges, the left column over the right one.
FrameHit frameHitTest(int x, int y, int width, int height);

// The edges a hit code resizes; none for FrameNotHandled.
Qt::Edges frameEdges(FrameHit hit);

// The pointer shape over a border or corner; Qt::ArrowCursor for none.
Qt::CursorShape frameCursor(FrameHit hit);

// Watches the native window of a top-level widget. Install it after the
// widget has its native window (winId()). A maximised or full-screen window
// is not resized. Owned by the widget (its Qt parent).
class FramelessResizer : public QObject
{
    Q_OBJECT

public:
    explicit FramelessResizer(QWidget* window);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The last resize started: the edges, and whether the window manager took
    // it (false: this object drives it with the pointer moves).
    Qt::Edges lastEdges() const { return edges; }
    bool lastResizeBySystem() const { return bySystem; }

private:
    bool pressed(QMouseEvent* event);
    bool moved(QMouseEvent* event);
    void showCursorFor(FrameHit hit);
    QRect resizedGeometry(const QPoint& globalPosition) const;

    QPointer<QWidget> window;
    Qt::Edges edges;
    bool bySystem = false;
    bool dragging = false;  // a resize this object drives
    QPoint pressPosition;   // global
    QRect startGeometry;
    bool cursorShown = false;
};

} // namespace platform
