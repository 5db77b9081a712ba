#include "artwork.h"

#include "thermal.h"

#include <QFont>
#include <QLinearGradient>
#include <QtMath>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>
#include <map>

namespace artwork {
namespace {

// The viewer's look.
const QColor kAccent(0x2B, 0x79, 0xD8);
const QColor kText(0x33, 0x33, 0x33);
const QColor kTextLight(0x99, 0x99, 0x99);
const QColor kButtonText(0x66, 0x66, 0x66);
const QColor kMaximumRed(0xFF, 0x00, 0x00);
const QColor kWhite(Qt::white);

constexpr int kIronTable = 2;

QImage transparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPen strokePen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont uiFont(int pixelSize, int weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The colour of table n for a value in [0, 1].
QColor tableColour(int table, double value)
{
    const int level = qBound(0, int(std::lround(value * 255.0)), 255);
    const unsigned char* bgr = itRgbColorTable(table) + 3 * level;
    return QColor(bgr[2], bgr[1], bgr[0]);
}

// ---- Tool bar icons (16 x 16) -------------------------------------------

constexpr QSize kToolIcon(16, 16);

void drawSpot(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
    p.drawLine(QPointF(8, 0.8), QPointF(8, 3.2));
    p.drawLine(QPointF(8, 12.8), QPointF(8, 15.2));
    p.drawLine(QPointF(0.8, 8), QPointF(3.2, 8));
    p.drawLine(QPointF(12.8, 8), QPointF(15.2, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
}

void drawLine(QPainter& p)
{
    p.setPen(strokePen(kAccent, 1.5));
    p.drawLine(QPointF(3.5, 12.5), QPointF(12.5, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(3, 13), 2.2, 2.2);
    p.drawEllipse(QPointF(13, 3), 2.2, 2.2);
}

void drawRect(QPainter& p)
{
    p.setPen(strokePen(kAccent, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 4, 10, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    for (const QPointF corner : {QPointF(3, 4), QPointF(13, 4), QPointF(3, 12), QPointF(13, 12)})
        p.drawRect(QRectF(corner - QPointF(1.75, 1.75), QSizeF(3.5, 3.5)));
}

void drawDelete(QPainter& p)
{
    p.setPen(strokePen(kAccent, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(2.5, 4), QPointF(13.5, 4));
    p.drawPolyline(QPolygonF({QPointF(6, 4), QPointF(6, 1.8), QPointF(10, 1.8), QPointF(10, 4)}));
    p.drawPolyline(QPolygonF({QPointF(4, 5.5), QPointF(4.8, 14.2), QPointF(11.2, 14.2), QPointF(12, 5.5)}));
    p.setPen(strokePen(kAccent, 1.2));
    p.drawLine(QPointF(6.8, 7), QPointF(6.8, 12));
    p.drawLine(QPointF(9.2, 7), QPointF(9.2, 12));
}

// A thermometer whose column reaches `top` (0 at the top of the tube).
void drawThermometer(QPainter& p, const QColor& fill, qreal top)
{
    const QPointF bulb(8, 11.6);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(5.6, 0.8, 4.8, 10), 2.4, 2.4);
    outline.addEllipse(bulb, 3.8, 3.8);
    outline = outline.simplified();
    p.setPen(strokePen(kButtonText, 1.0));
    p.setBrush(kWhite);
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(bulb, 2.5, 2.5);
    p.drawRoundedRect(QRectF(7, top, 2, bulb.y() - top), 1, 1);
}

void drawNormalTemp(QPainter& p)
{
    drawThermometer(p, kAccent, 7.5);
}

void drawHighTemp(QPainter& p)
{
    drawThermometer(p, kMaximumRed, 2.6);
}

void drawArrowHead(QPainter& p, QPointF tip, qreal angleDegrees, const QColor& c)
{
    // A filled triangle pointing along angleDegrees (0 = right, 90 = down).
    const qreal a = qDegreesToRadians(angleDegrees);
    const QPointF along(std::cos(a), std::sin(a));
    const QPointF across(-along.y(), along.x());
    const QPolygonF head({tip, tip - 3.6 * along + 2.6 * across, tip - 3.6 * along - 2.6 * across});
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
}

void drawRefresh(QPainter& p)
{
    // A circle open at the top right, its arrow turning clockwise.
    const QRectF circle(2.5, 2.5, 11, 11);
    p.setPen(strokePen(kButtonText, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(circle, 70 * 16, 290 * 16);
    const qreal end = qDegreesToRadians(70.0);
    const QPointF tip(8 + 5.5 * std::cos(end), 8 - 5.5 * std::sin(end));
    drawArrowHead(p, tip + QPointF(1.6, 0.6), 0, kButtonText);
}

void drawRotate(QPainter& p)
{
    // A picture and a quarter-turn arrow going clockwise over it.
    p.setPen(strokePen(kButtonText, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 8.5, 6.5, 6.5), 1, 1);
    p.setPen(strokePen(kButtonText, 1.5));
    const QPointF centre(5.5, 11);
    const qreal radius = 8;
    p.drawArc(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)), 90 * 16, -80 * 16);
    drawArrowHead(p, centre + QPointF(radius, 2.2), 90, kButtonText);
}

// ---- Title bar buttons (36 x 27, stretched as border images) ---------------

constexpr QSize kTitleButton(36, 27);

void drawMinimize(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kText, 1));
    p.drawLine(13, 13, 22, 13);
}

void drawMaximize(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kText, 1));
    p.drawRect(13, 9, 9, 9);
}

void drawNormal(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kText, 1));
    p.drawRect(13, 11, 7, 7);
    p.drawPolyline(QPolygon({QPoint(15, 11), QPoint(15, 9), QPoint(22, 9), QPoint(22, 16), QPoint(20, 16)}));
}

void drawCross(QPainter& p, QPointF centre, qreal half, const QColor& c, qreal width)
{
    p.setPen(strokePen(c, width));
    p.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    p.drawLine(centre + QPointF(half, -half), centre + QPointF(-half, half));
}

void drawDownArrow(QPainter& p)
{
    p.setPen(strokePen(kTextLight, 1.6));
    p.drawPolyline(QPolygonF({QPointF(1.5, 2), QPointF(6, 6.3), QPointF(10.5, 2)}));
}

struct IconRecipe {
    QSize size;
    std::function<void(QPainter&)> draw;
};

const std::map<QString, IconRecipe>& recipes()
{
    static const std::map<QString, IconRecipe> all = {
        {"spot", {kToolIcon, [](QPainter& p) { drawSpot(p, kAccent); }}},
        {"spotGrey", {kToolIcon, [](QPainter& p) { drawSpot(p, kTextLight); }}},
        {"line", {kToolIcon, drawLine}},
        {"rect", {kToolIcon, drawRect}},
        {"delete", {kToolIcon, drawDelete}},
        {"normalTemp", {kToolIcon, drawNormalTemp}},
        {"highTemp", {kToolIcon, drawHighTemp}},
        {"refresh", {kToolIcon, drawRefresh}},
        {"rotate", {kToolIcon, drawRotate}},
        {"min", {kTitleButton, drawMinimize}},
        {"max", {kTitleButton, drawMaximize}},
        {"normal", {kTitleButton, drawNormal}},
        {"close", {kTitleButton, [](QPainter& p) { drawCross(p, QPointF(18, 13.5), 4.6, kText, 1.2); }}},
        {"closeHover", {kTitleButton, [](QPainter& p) { drawCross(p, QPointF(18, 13.5), 4.6, kWhite, 1.2); }}},
        {"closeMessageBox", {QSize(32, 32), [](QPainter& p) { drawCross(p, QPointF(16, 16), 5.5, kTextLight, 1.5); }}},
        {"down_arrow", {QSize(12, 8), drawDownArrow}},
    };
    return all;
}

// ---- A made-up thermal scene for the splash picture -------------------------

// A person in front of a cool wall, with a warm cup: a value in [0, 1] for a
// point of the unit square (x to the right, y down).
double sceneValue(double x, double y)
{
    struct Blob {
        double x, y, spreadX, spreadY, heat;
    };
    static const Blob blobs[] = {
        {0.50, 0.30, 0.085, 0.105, 0.78},  // head
        {0.50, 0.50, 0.040, 0.060, 0.35},  // neck
        {0.50, 0.92, 0.210, 0.230, 0.55},  // shoulders and chest
        {0.84, 0.80, 0.050, 0.060, 0.45},  // cup
        {0.12, 0.20, 0.160, 0.120, 0.10},  // lamp-warmed corner
    };
    double v = 0.10 + 0.08 * y;
    for (const Blob& b : blobs) {
        const double dx = (x - b.x) / b.spreadX, dy = (y - b.y) / b.spreadY;
        v += b.heat * std::exp(-(dx * dx + dy * dy) / 2);
    }
    return qBound(0.0, v, 1.0);
}

QImage thermalScene(QSize size, QPointF* hottest)
{
    QImage scene(size, QImage::Format_RGB32);
    double best = -1;
    for (int y = 0; y < size.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(scene.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double v = sceneValue((x + 0.5) / size.width(), (y + 0.5) / size.height());
            row[x] = tableColour(kIronTable, v).rgb();
            if (v > best) {
                best = v;
                *hottest = QPointF(x + 0.5, y + 0.5);
            }
        }
    }
    return scene;
}

// ---- Window icon --------------------------------------------------------------

void drawWindowIcon(QPainter& p, qreal s)
{
    const QRectF tile(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient heat(tile.bottomLeft(), tile.topRight());
    for (int i = 0; i <= 8; ++i)
        heat.setColorAt(i / 8.0, tableColour(kIronTable, 0.18 + 0.78 * i / 8.0));
    p.setPen(Qt::NoPen);
    p.setBrush(heat);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);
    // A spot meter: ring, centre dot and four ticks in white.
    const QPointF c(s / 2, s / 2);
    const qreal w = qMax(1.2, s * 0.085);
    p.setPen(strokePen(kWhite, w));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, s * 0.22, s * 0.22);
    if (s >= 24) {
        const qreal in = s * 0.30, out = s * 0.40;
        p.drawLine(c + QPointF(0, -in), c + QPointF(0, -out));
        p.drawLine(c + QPointF(0, in), c + QPointF(0, out));
        p.drawLine(c + QPointF(-in, 0), c + QPointF(-out, 0));
        p.drawLine(c + QPointF(in, 0), c + QPointF(out, 0));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(c, s * 0.07, s * 0.07);
}

}  // namespace

int previewLevel(int column)
{
    return int(std::lround(column * 255.0 / (kPreviewSize.width() - 1)));
}

QImage palettePreview(int table)
{
    const unsigned char* bgr = itRgbColorTable(table);
    if (!bgr)
        return {};
    QImage preview(kPreviewSize, QImage::Format_RGB32);
    for (int y = 0; y < preview.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(preview.scanLine(y));
        for (int x = 0; x < preview.width(); ++x) {
            const unsigned char* c = bgr + 3 * previewLevel(x);
            row[x] = qRgb(c[2], c[1], c[0]);
        }
    }
    return preview;
}

QStringList iconNames()
{
    QStringList names;
    for (const auto& entry : recipes())
        names << entry.first;
    return names;
}

QImage icon(const QString& name)
{
    const auto found = recipes().find(name);
    if (found == recipes().end())
        return {};
    QImage image = transparentImage(found->second.size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    found->second.draw(p);
    return image;
}

QVector<int> windowIconSizes()
{
    return {16, 24, 32, 48, 64, 128, 256};
}

QImage windowIcon(int size)
{
    QImage image = transparentImage(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawWindowIcon(p, size);
    return image;
}

QImage splash()
{
    QImage image(kSplashSize, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Dark blue-grey background, lighter towards the top.
    QLinearGradient background(0, 0, 0, kSplashSize.height());
    background.setColorAt(0, QColor(0x26, 0x33, 0x44));
    background.setColorAt(1, QColor(0x12, 0x18, 0x22));
    p.fillRect(image.rect(), background);
    QRadialGradient glow(QPointF(296, 150), 260);
    glow.setColorAt(0, QColor(0x2B, 0x79, 0xD8, 70));
    glow.setColorAt(1, QColor(0x2B, 0x79, 0xD8, 0));
    p.fillRect(image.rect(), glow);

    // A live picture in the iron palette, 4:3 like the sensor, with a spot on its hottest point.
    const QRect screen(296 - 120, 44, 240, 180);
    QPointF hottest;
    const QImage scene = thermalScene(screen.size(), &hottest);
    QPainterPath frame;
    frame.addRoundedRect(screen, 8, 8);
    p.save();
    p.setClipPath(frame);
    p.drawImage(screen.topLeft(), scene);
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);
    const QPointF spot = screen.topLeft() + hottest;
    p.setPen(strokePen(kWhite, 1.6));
    p.drawEllipse(spot, 7, 7);
    for (const QPointF d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        p.drawLine(spot + 9 * d, spot + 14 * d);

    // Product name and the accent rule under it; the message line stays clear below.
    p.setPen(kWhite);
    p.setFont(uiFont(40, QFont::DemiBold));
    p.drawText(QRect(0, 240, kSplashSize.width(), 56), Qt::AlignCenter, QStringLiteral("Ombrix"));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(296 - 28, 302, 56, 3), 1.5, 1.5);

    p.setPen(QColor(0x99, 0x99, 0x99));
    p.setFont(uiFont(12, QFont::Normal));
    p.drawText(QRect(0, 440, kSplashSize.width(), 24), Qt::AlignCenter, QStringLiteral("VARNEK"));
    return image;
}

GifAnimation loadingAnimation()
{
    constexpr int kFrames = 12;
    constexpr int kDots = 12;
    GifAnimation animation;
    animation.delayCentiseconds = 8;
    animation.transparentIndex = 0;
    // Transparent, then the shades between the accent card and white dots.
    animation.palette << qRgba(0, 0, 0, 0);
    for (int i = 0; i < 255; ++i) {
        const double t = i / 254.0;
        animation.palette << qRgb(int(std::lround(kAccent.red() + t * (255 - kAccent.red()))),
                                  int(std::lround(kAccent.green() + t * (255 - kAccent.green()))),
                                  int(std::lround(kAccent.blue() + t * (255 - kAccent.blue()))));
    }
    const QPointF centre(kLoadingSize.width() / 2.0, kLoadingSize.height() / 2.0);
    for (int f = 0; f < kFrames; ++f) {
        QImage frame = transparentImage(kLoadingSize);
        QPainter p(&frame);
        // The card's edge is either inside or outside: GIF transparency has no shades.
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRoundedRect(QRectF(QPointF(0, 0), kLoadingSize), 14, 14);
        p.setRenderHint(QPainter::Antialiasing);
        for (int d = 0; d < kDots; ++d) {
            // The leading dot is white; the ones behind it fade into the card.
            const int behind = (f - d + kDots) % kDots;
            QColor dot = kWhite;
            dot.setAlphaF(qMax(0.15, 1.0 - behind / double(kDots - 1)));
            const qreal angle = qDegreesToRadians(d * 360.0 / kDots - 90);
            const QPointF at = centre + 30 * QPointF(std::cos(angle), std::sin(angle));
            p.setBrush(dot);
            p.drawEllipse(at, 5.5, 5.5);
        }
        p.end();
        animation.frames << toIndexed(frame, animation.palette, animation.transparentIndex);
    }
    return animation;
}

}  // namespace artwork
