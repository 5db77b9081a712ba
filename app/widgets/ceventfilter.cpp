#include "ceventfilter.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

// The drag in progress, shared by every filter instance: only one window can
// be dragged at a time.
struct DragState {
    bool dragging = false;
    QPoint offset;  // pointer's global position minus the window's position at the press
};

DragState& dragState()
{
    static DragState state;
    return state;
}

}  // namespace

CEventFilter::CEventFilter(QObject* parent)
    : QObject(parent)
{
}

bool CEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    // Installed on the whole application: every other event (dozens a frame)
    // passes before any property is looked up.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
        return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->property("CanMove").toBool())
        return QObject::eventFilter(watched, event);

    DragState& drag = dragState();
    switch (type) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        drag.dragging = true;
        drag.offset = mouse->globalPos() - widget->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        drag.dragging = false;
        return true;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!drag.dragging || mouse->buttons() == Qt::NoButton)
            break;
        widget->move(mouse->globalPos() - drag.offset);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
