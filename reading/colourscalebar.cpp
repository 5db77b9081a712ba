#include "colourscalebar.h"

#include "scalesettings.h"
#include "thermal.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace reading {
namespace {

constexpr int ButtonHeight = 22;
constexpr int Margin = 8;
constexpr int StripeWidth = 16;
constexpr int PixelsPerTick = 60;
constexpr int LabelGap = 6;  // between the stripe and the labels

}  // namespace

QStringList scaleTickLabels(double lowCelsius, double highCelsius, int unit, int count)
{
    QStringList labels;
    count = std::max(count, 2);
    if (!std::isfinite(lowCelsius) || !std::isfinite(highCelsius)) {
        while (labels.size() < count)
            labels << QStringLiteral("--");
        return labels;
    }
    for (int i = 0; i < count; ++i) {
        const double celsius = lowCelsius + (highCelsius - lowCelsius) * i / (count - 1);
        labels << QString::number(toUnit(celsius, unit), 'f', 1);
    }
    return labels;
}

ColourScaleBar::ColourScaleBar(QWidget* parent)
    : QWidget(parent)
    , button(new QPushButton(this))
{
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    fitWidth();
}

void ColourScaleBar::fitWidth()
{
    const QFontMetrics metrics(font());
    int widest = metrics.horizontalAdvance(button->text()) + 12 - (Margin + StripeWidth + LabelGap);
    for (const QString& label : scaleTickLabels(low, high, unit, 6))
        widest = std::max(widest, metrics.horizontalAdvance(label + unitSign(unit)));
    setFixedWidth(Margin + StripeWidth + LabelGap + widest + 4);
}

void ColourScaleBar::setScale(int newTable, double lowCelsius, double highCelsius, int newUnit, bool manual)
{
    // Called with every frame: measuring the labels again only when they change.
    const QString mode = manual ? QCoreApplication::translate("PictureReading", "Manual")
                                : QCoreApplication::translate("PictureReading", "Auto");
    if (isVisible() && newTable == table && lowCelsius == low && highCelsius == high && newUnit == unit &&
        button->text() == mode)
        return;
    table = newTable;
    low = lowCelsius;
    high = highCelsius;
    unit = newUnit;
    button->setText(mode);
    button->setToolTip(QCoreApplication::translate("PictureReading", "Temperature scale"));
    fitWidth();
    QWidget::show();
    update();
}

QStringList ColourScaleBar::tickLabels() const
{
    return scaleTickLabels(low, high, unit, tickCount());
}

QRect ColourScaleBar::barRect() const
{
    const int top = ButtonHeight + 2 * Margin;
    return QRect(Margin, top, StripeWidth, std::max(1, height() - top - Margin));
}

int ColourScaleBar::tickCount() const
{
    return std::clamp(barRect().height() / PixelsPerTick + 1, 4, 6);
}

void ColourScaleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    button->setGeometry(2, Margin / 2, width() - 4, ButtonHeight);
}

void ColourScaleBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect bar = barRect();
    const unsigned char* entries = itRgbColorTable(table);
    if (entries) {
        // One line per row, the hot end at the top.
        for (int y = 0; y < bar.height(); ++y) {
            const int level = bar.height() > 1 ? (bar.height() - 1 - y) * 255 / (bar.height() - 1) : 255;
            const unsigned char* bgr = entries + 3 * level;
            painter.setPen(QColor(bgr[2], bgr[1], bgr[0]));
            painter.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
        }
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));

    const QStringList labels = tickLabels();
    const int count = labels.size();
    const QFontMetrics metrics(font());
    for (int i = 0; i < count; ++i) {
        const int y = bar.bottom() - (bar.height() - 1) * i / (count - 1);
        painter.drawLine(bar.right() + 1, y, bar.right() + 4, y);
        const QString text = std::isfinite(low) ? labels[i] + unitSign(unit) : labels[i];
        const int baseline = std::clamp(y + metrics.ascent() / 2, metrics.ascent(), height() - metrics.descent());
        painter.drawText(bar.right() + LabelGap, baseline, text);
    }
}

}  // namespace reading
