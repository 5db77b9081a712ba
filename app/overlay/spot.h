// A spot: the temperature at one point, the end point of the drag.
#pragma once

#include "shape.h"

class Spot : public Shape
{
public:
    explicit Spot(QWidget* owner);

    using Shape::draw;
    void draw(QPainter& painter, LabelLayout& labels) override;
    std::optional<Measurement> measure() const override;
};
