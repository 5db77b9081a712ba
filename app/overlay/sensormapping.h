// Mappings between points of the overlay widget and cells of the temperature
// grid. The grid's orientation follows the widget's shape, not the rotation
// setting: a widget no wider than high is portrait (192 columns x 256 rows),
// any other landscape (256 x 192).
#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

// Columns and rows of the grid as the widget shows it.
QSize sensorGridSize(const QSize& widgetSize);

// The grid cell under a widget point, clamped into the grid. A point left of
// or above the first pixel gives column or row 0; a widget with no width or
// height maps everything to column or row 0.
QPoint widgetToSensor(const QSize& widgetSize, const QPoint& point);
QPoint widgetToSensor(const QWidget* widget, const QPoint& point);

// The widget point at the top-left of a grid cell, clamped into the widget.
QPoint sensorToWidget(const QSize& widgetSize, const QPoint& cell);
QPoint sensorToWidget(const QWidget* widget, const QPoint& cell);

// Flat index of a cell in a row-major copy of the grid shown on the widget.
int sensorIndex(const QSize& widgetSize, const QPoint& cell);
