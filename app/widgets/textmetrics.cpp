#include "textmetrics.h"

#include <QFontMetrics>
#include <QRect>

int captionWidth(const QFont& font, const QString& text, int height)
{
    return QFontMetrics(font).boundingRect(QRect(0, 0, 0, height), Qt::TextSingleLine, text).width();
}
