#include "ctitlebar.h"

#include "textmetrics.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int kButtonHeight = 27;
// Gap between the window buttons, and between the last one and the right edge.
constexpr int kWindowButtonGap = 18;
// Gap between neighbouring text buttons.
constexpr int kTextButtonGap = 5;
// Text buttons: caption plus this much room, never narrower than the minimum.
constexpr int kTextButtonPadding = 22;
constexpr int kTextButtonMinimum = 44;
// Room on the left for the four text buttons when they share one width.
constexpr int kTextButtonRoom = 565;

QString imageButtonStyle(const QString& image)
{
    return QStringLiteral("QPushButton{border-image: url(%1); background-color: #E3E3E3; border: none;}"
                          "QPushButton:hover{background-color: #D5D3D3;}"
                          "QPushButton:pressed{background-color: #CCCCCC;}")
        .arg(image);
}

const QString& textButtonStyle()
{
    static const QString style = QStringLiteral(
        "QPushButton{font: 400 12px \"Microsoft YaHei\"; color: #333333; background-color: #E3E3E3;"
        " border: none; border-radius: 2px; padding: 4px;}"
        "QPushButton:hover{color: #FFFFFF; background-color: #2B79D8;}"
        "QPushButton:pressed{color: #FFFFFF; background-color: #2669BB;}"
        "QPushButton:disabled{background-color: #2662AB;}");
    return style;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry, const QString& style)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setStyleSheet(style);
    return button;
}

}  // namespace

CTitleBar::CTitleBar(QWidget* parent)
    : QWidget(parent)
{
    setupUi();
    pushButtonNormal->hide();
    pushButtonUpgrade->hide();
    connect(pushButtonNormal, &QPushButton::clicked, this, &CTitleBar::onNormal);
    connect(pushButtonMaximize, &QPushButton::clicked, this, &CTitleBar::onMaximized);
    fitTextButtons();
}

void CTitleBar::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CTitleBar"));
    resize(730, 35);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("QWidget#CTitleBar{background-color: #E3E3E3; border: 1px solid #CBCBCB;}"));

    pushButtonMinimize = makeButton(this, "pushButtonMinimize", QRect(610, 4, 36, kButtonHeight),
                                    imageButtonStyle(QStringLiteral(":/images/min.png")));
    pushButtonMaximize = makeButton(this, "pushButtonMaximize", QRect(650, 4, 36, kButtonHeight),
                                    imageButtonStyle(QStringLiteral(":/images/max.png")));
    pushButtonClose = makeButton(
        this, "pushButtonClose", QRect(690, 4, 36, kButtonHeight),
        QStringLiteral("QPushButton{border-image: url(:/images/close.png); background-color: #E3E3E3; border: none;}"
                       "QPushButton:hover{border-image: url(:/images/closeHover.png); background-color: #E81123;}"
                       "QPushButton:pressed{border-image: url(:/images/closeHover.png); background-color: #D23B47;}"));
    pushButtonNormal = makeButton(this, "pushButtonNormal", QRect(570, 4, 36, kButtonHeight),
                                  imageButtonStyle(QStringLiteral(":/images/normal.png")));
    pushButtonSetting = makeButton(this, "pushButtonSetting", QRect(54, 4, 44, kButtonHeight), textButtonStyle());
    pushButtonUpgrade = makeButton(this, "pushButtonUpgrade", QRect(103, 4, 44, kButtonHeight), textButtonStyle());
    pushButtonAbout = makeButton(this, "pushButtonAbout", QRect(5, 4, 44, kButtonHeight), textButtonStyle());
    pushButtonSave = makeButton(this, "pushButtonSave", QRect(152, 4, 44, kButtonHeight), textButtonStyle());

    retranslateUi();
}

void CTitleBar::retranslateUi()
{
    pushButtonMinimize->setToolTip(tr("Minimize"));
    pushButtonMaximize->setToolTip(tr("Maximize"));
    pushButtonClose->setToolTip(tr("Close"));
    pushButtonNormal->setToolTip(tr("Normal"));
    // Shortcuts after the captions: a caption with '&' would replace them.
    pushButtonSetting->setText(tr("Settings"));
    pushButtonSetting->setShortcut(QKeySequence(tr("Alt+S")));
    pushButtonUpgrade->setText(tr("Upgrade"));
    pushButtonUpgrade->setShortcut(QKeySequence(tr("Alt+U")));
    pushButtonAbout->setText(tr("About"));
    pushButtonAbout->setShortcut(QKeySequence(tr("Alt+A")));
    pushButtonSave->setText(tr("Save"));
    pushButtonSave->setShortcut(QKeySequence(tr("Ctrl+S")));
}

void CTitleBar::fitTextButtons()
{
    QPushButton* const textButtons[] = {pushButtonAbout, pushButtonSetting, pushButtonUpgrade, pushButtonSave};
    // Measure with the font the style sheet gives the buttons.
    pushButtonAbout->ensurePolished();
    const QFont font = pushButtonAbout->font();

    int widest = 0;
    for (QPushButton* button : textButtons)
        widest = std::max(widest, captionWidth(font, button->text(), kButtonHeight));
    const int shared = widest + kTextButtonPadding;
    const int count = int(std::size(textButtons));

    for (QPushButton* button : textButtons) {
        int width = shared;
        if (shared < kTextButtonMinimum)
            width = kTextButtonMinimum;
        else if (count * shared + 20 > kTextButtonRoom)
            width = std::max(captionWidth(font, button->text(), kButtonHeight) + kTextButtonPadding,
                             kTextButtonMinimum);
        button->setFixedWidth(width);
    }
}

CTitleBar::Buttons CTitleBar::buttons() const
{
    return {pushButtonMinimize, pushButtonMaximize, pushButtonClose,   pushButtonNormal,
            pushButtonSetting,  pushButtonUpgrade,  pushButtonAbout, pushButtonSave};
}

void CTitleBar::onNormal()
{
    pushButtonNormal->hide();
    pushButtonMaximize->show();
}

void CTitleBar::onMaximized()
{
    pushButtonNormal->show();
    pushButtonMaximize->hide();
}

void CTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    emit mouseDoubleClick();
    qDebug() << "mouseDoubleClickEvent";
}

void CTitleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    auto placeLeftOf = [](QPushButton* button, int rightNeighbourX) {
        button->move(rightNeighbourX - kWindowButtonGap - button->width(), button->y());
    };
    placeLeftOf(pushButtonClose, width());
    placeLeftOf(pushButtonMaximize, pushButtonClose->x());
    pushButtonNormal->move(pushButtonMaximize->pos());
    placeLeftOf(pushButtonMinimize, pushButtonMaximize->x());

    pushButtonSetting->move(pushButtonAbout->x() + pushButtonAbout->width() + kTextButtonGap, pushButtonSetting->y());
    pushButtonSave->move(pushButtonSetting->x() + pushButtonSetting->width() + kTextButtonGap, pushButtonSave->y());
}
