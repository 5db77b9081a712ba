#include "labellayout.h"

#include "shape.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>

namespace {

// The outline: dark, mostly opaque, 1.5 px on each side of the glyphs.
const QColor OutlineColour(0, 0, 0, 190);
constexpr qreal OutlineWidth = 3.0;

bool overlapsAny(const QRect& box, const QVector<QRect>& taken)
{
    return std::any_of(taken.begin(), taken.end(), [&box](const QRect& other) { return box.intersects(other); });
}

} // namespace

LabelLayout::LabelLayout(const QSize& areaSize)
    : area(areaSize)
{
}

void LabelLayout::add(const QPoint& marker, const QString& text, const QColor& colour)
{
    labels.append({marker, text, colour});
}

// The text box around labelAnchor()'s base line, pushed back inside the area.
QRect LabelLayout::preferredBox(const Label& label) const
{
    const QFontMetrics metrics(labelFont());
    const QPoint anchor = labelAnchor(area, label.marker);
    QRect box(anchor.x(), anchor.y() - metrics.ascent(), metrics.horizontalAdvance(label.text) + 1,
              metrics.height());
    box.moveRight(std::min(box.right(), area.width() - 1));
    box.moveBottom(std::min(box.bottom(), area.height() - 1));
    box.moveLeft(std::max(box.left(), 0));
    box.moveTop(std::max(box.top(), 0));
    return box;
}

// The nearest place up or down, in steps of the label's height, that stays
// inside the area and overlaps nothing taken; the preferred place when there
// is none.
QRect LabelLayout::freePlace(const QRect& preferred, const QVector<QRect>& taken) const
{
    if (!overlapsAny(preferred, taken))
        return preferred;
    const int step = preferred.height();
    const int steps = area.height() / std::max(step, 1) + 1;
    for (int n = 1; n <= steps; ++n) {
        for (int direction : {-1, 1}) {
            const QRect moved = preferred.translated(0, direction * n * step);
            if (moved.top() >= 0 && moved.bottom() < area.height() && !overlapsAny(moved, taken))
                return moved;
        }
    }
    return preferred;
}

QVector<QRect> LabelLayout::placedBoxes() const
{
    QVector<QRect> boxes(labels.size());
    QVector<QRect> taken;
    for (int i = labels.size() - 1; i >= 0; --i) {
        boxes[i] = freePlace(preferredBox(labels[i]), taken);
        taken.append(boxes[i]);
    }
    return boxes;
}

void LabelLayout::paint(QPainter& painter) const
{
    const QFont font = labelFont();
    const QFontMetrics metrics(font);
    const QVector<QRect> boxes = placedBoxes();
    painter.save();
    for (int i = 0; i < labels.size(); ++i) {
        QPainterPath path;
        path.addText(QPointF(boxes[i].left(), boxes[i].top() + metrics.ascent()), font, labels[i].text);
        painter.strokePath(path, QPen(OutlineColour, OutlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, labels[i].colour);
    }
    painter.restore();
}
