// The viewer's pictures, drawn with QPainter: palette previews, button icons,
// the window icon, the splash picture and the loading animation.
// Text needs a QGuiApplication (the splash picture).
#pragma once

#include "gifwriter.h"

#include <QImage>
#include <QSize>
#include <QStringList>
#include <QVector>

namespace artwork {

// A left-to-right ramp of colour table n (1 to 83): column x shows grey
// level round(x * 255 / (width - 1)). A null image for other n.
QImage palettePreview(int table);
constexpr QSize kPreviewSize(210, 26);
int previewLevel(int column);

// Names of the button icons ("spot", "close", ...), written as <name>.png.
QStringList iconNames();
// The icon at the size it is shown at; a null image for an unknown name.
QImage icon(const QString& name);

// The window icon at one size, and the sizes the icon file holds.
QImage windowIcon(int size);
QVector<int> windowIconSizes();

// 592 x 492, dark behind the message line (y 328 to 354) and the border bars.
QImage splash();
constexpr QSize kSplashSize(592, 492);

// The waiting animation: 120 x 120 frames of a turning ring of dots.
GifAnimation loadingAnimation();
constexpr QSize kLoadingSize(120, 120);

}  // namespace artwork
