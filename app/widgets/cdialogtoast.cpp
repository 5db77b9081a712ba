#include "cdialogtoast.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>

namespace {

constexpr int kWrapWidth = 690;
constexpr int kHorizontalPadding = 76;
constexpr int kVerticalPadding = 56;
constexpr QPoint kTextOrigin(38, 28);

}  // namespace

CDialogToast::CDialogToast(QWidget* parent)
    : QDialog(parent)
{
    setupUi();
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral(
        "QDialog{background-color: #484848;        opacity : 1;        border-radius: 10px;}"));
}

void CDialogToast::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CDialogToast"));
    setWindowTitle(QStringLiteral("CDialogToast"));
    resize(695, 79);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(21, 11, 651, 51);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral(
        "QLabel{font: 400 18px \"Microsoft YaHei\"; line-height: 25px; color: #FFFFFF;}"));
    label->setText(tr("Text"));
}

void CDialogToast::showMessage(const QString& text)
{
    label->setText(text);

    label->ensurePolished();
    const QRect bounds = QFontMetrics(label->font())
                             .boundingRect(QRect(0, 0, kWrapWidth, 0), Qt::TextWordWrap, text);
    resize(bounds.width() + kHorizontalPadding, bounds.height() + kVerticalPadding);
    label->move(kTextOrigin);
    label->resize(bounds.size());

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    if (!(windowFlags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);
    show();
}
