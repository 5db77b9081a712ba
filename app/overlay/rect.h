// A rectangle: the highest and lowest temperature of the grid cells it spans.
// Rescanned at every draw, so the labels follow the live picture.
#pragma once

#include "shape.h"

class Rect : public Shape
{
public:
    explicit Rect(QWidget* owner);

    using Shape::draw;
    void draw(QPainter& painter, LabelLayout& labels) override;
    std::optional<Measurement> measure() const override;
};
