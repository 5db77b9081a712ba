#include "cbasetitlebar.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

namespace {

// Room kept between the close button and the bar's right edge.
constexpr int kCloseButtonMargin = 18;

}  // namespace

CBaseTitleBar::CBaseTitleBar(QWidget* parent)
    : QWidget(parent)
{
    setupUi();
}

void CBaseTitleBar::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CBaseTitleBar"));
    resize(387, 40);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(
        "QWidget#CBaseTitleBar{background: #F6F7FC; border-top-left-radius: 4px;"
        " border-top-right-radius: 4px;}"));

    labelTitle = new QLabel(this);
    labelTitle->setObjectName(QStringLiteral("labelTitle"));
    labelTitle->setGeometry(20, 7, 256, 26);
    labelTitle->setStyleSheet(QStringLiteral(
        "QLabel{font: 400 18px \"Microsoft YaHei\"; color: #333333;}"));

    pushButtonClose = new QPushButton(this);
    pushButtonClose->setObjectName(QStringLiteral("pushButtonClose"));
    pushButtonClose->setGeometry(338, 4, 32, 32);
    pushButtonClose->setFocusPolicy(Qt::NoFocus);
    // Kept on the button itself so that a dialog restyling the bar's
    // background does not lose the button's face.
    pushButtonClose->setStyleSheet(QStringLiteral(
        "QPushButton{border-image: url(:/images/closeMessageBox.png); background: transparent; border: none;}"
        "QPushButton:hover{background: #D5D3D3;}"
        "QPushButton:pressed{background: #CCCCCC;}"));

    retranslateUi();
}

void CBaseTitleBar::retranslateUi()
{
    setWindowTitle(QStringLiteral("CBaseTitleBar"));
    labelTitle->setText(tr("Title"));
}

QString CBaseTitleBar::title() const
{
    return labelTitle->text();
}

void CBaseTitleBar::setTitle(const QString& text)
{
    labelTitle->setText(text);
}

CBaseTitleBar::Parts CBaseTitleBar::parts() const
{
    return {labelTitle, pushButtonClose};
}

void CBaseTitleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    pushButtonClose->move(width() - kCloseButtonMargin - pushButtonClose->width(), pushButtonClose->y());
}
