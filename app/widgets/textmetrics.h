// Caption measuring shared by the widgets that fit button widths to their texts.
#pragma once

#include <QFont>
#include <QString>

// Width in pixels of `text` drawn on one line with `font`, measured the way the
// forms fit their buttons: the bounding rectangle of the text laid into a
// rectangle of zero width and `height` pixels.
int captionWidth(const QFont& font, const QString& text, int height);
