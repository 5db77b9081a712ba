// The temperature labels of one repaint of the overlay: collected while the
// shapes draw, then placed so that none covers another or leaves the picture,
// and drawn with a thin dark outline that keeps them readable on any palette
// (white labels on hot areas, blue ones on cold areas).
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class QPainter;

class LabelLayout
{
public:
    // area: the overlay's size; labels stay inside it.
    explicit LabelLayout(const QSize& area);

    // Queues a label for a marker; it prefers labelAnchor()'s place. Labels
    // queued later win their preferred place over earlier ones (the hot
    // marker's label is queued after the cold one's).
    void add(const QPoint& marker, const QString& text, const QColor& colour);

    // Where each queued label's text box goes, in queuing order: clamped into
    // the area, and moved up or down by whole label heights to the nearest
    // free place when it would overlap a label placed before it.
    QVector<QRect> placedBoxes() const;

    // Draws every queued label at its placed box in labelFont(), outlined.
    void paint(QPainter& painter) const;

private:
    struct Label {
        QPoint marker;
        QString text;
        QColor colour;
    };

    QRect preferredBox(const Label& label) const;
    QRect freePlace(const QRect& preferred, const QVector<QRect>& taken) const;

    QSize area;
    QVector<Label> labels;
};
