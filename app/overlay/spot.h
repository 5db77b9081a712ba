// A spot: the temperature at one point, the end point of the drag.
#pragma once

#include "shape.h"

class Spot : public Shape
{
public:
    explicit Spot(QWidget* owner);

    void draw(QPainter& painter) override;
    std::optional<Measurement> measure() const override;
};
