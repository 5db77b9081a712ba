#include "ui_thermalimager.h"

#include "textmetrics.h"

#include <QCoreApplication>
#include <QGraphicsView>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace {

constexpr int ToolButtonWidth = 38;
constexpr int ButtonHeight = 26;

// The look shared by the buttons of the top bar.
const char ToolButtonStyle[] =
    "QPushButton{border: 1px solid #CBCBCB; border-radius: 2px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0F0F0, stop:1 #DBDBDB);"
    " font: 400 11px \"Microsoft YaHei\"; color: #666666; padding: 0px;}"
    "QPushButton:hover, QPushButton:checked{border: 1px solid #2B79D8;}"
    "QPushButton:pressed, QPushButton:checked{"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #BABABA, stop:1 #DFDEDE);}"
    "QPushButton:disabled{background: #DCDCDC;}";

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry, const QString& extraStyle = {})
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setStyleSheet(QLatin1String(ToolButtonStyle) + extraStyle);
    return button;
}

QPushButton* makeToolButton(QWidget* parent, const char* name, int x, bool checkable, const QIcon& icon)
{
    QPushButton* button = makeButton(parent, name, QRect(x, 2, ToolButtonWidth, ButtonHeight));
    button->setCheckable(checkable);
    button->setMaximumSize(ToolButtonWidth, ButtonHeight);
    button->setIcon(icon);
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& style)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setStyleSheet(style);
    return label;
}

} // namespace

void Ui_ThermalImagerClass::setupUi(QMainWindow* ThermalImagerClass)
{
    if (ThermalImagerClass->objectName().isEmpty())
        ThermalImagerClass->setObjectName(QStringLiteral("ThermalImagerClass"));
    ThermalImagerClass->resize(730, 639);

    centralWidget = new QWidget(ThermalImagerClass);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));

    widgetTemperature = new QWidget(centralWidget);
    widgetTemperature->setObjectName(QStringLiteral("widgetTemperature"));
    widgetTemperature->setGeometry(QRect(0, 402, 730, 188));
    widgetTemperature->setStyleSheet(QStringLiteral("QWidget#widgetTemperature{border: 1px solid #D9D9D9;}"));

    graphicsView = new QGraphicsView(centralWidget);
    graphicsView->setObjectName(QStringLiteral("graphicsView"));
    graphicsView->setGeometry(QRect(0, 66, 730, 302));
    graphicsView->setStyleSheet(QStringLiteral("QGraphicsView#graphicsView{background: #EBEBEB; border: 1px solid #CCCCCC;}"));

    setupTopBar();
    setupBottomBar();

    ThermalImagerClass->setCentralWidget(centralWidget);

    menuBar = new QMenuBar(ThermalImagerClass);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setGeometry(QRect(0, 0, 730, 23));
    ThermalImagerClass->setMenuBar(menuBar);
    mainToolBar = new QToolBar(ThermalImagerClass);
    mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    ThermalImagerClass->addToolBar(Qt::TopToolBarArea, mainToolBar);
    statusBar = new QStatusBar(ThermalImagerClass);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    ThermalImagerClass->setStatusBar(statusBar);

    QWidget::setTabOrder(pushButtonSpot, pushButtonLine);
    QWidget::setTabOrder(pushButtonLine, pushButtonSquare);
    QWidget::setTabOrder(pushButtonSquare, pushButtonDelete);
    QWidget::setTabOrder(pushButtonDelete, pushButtonNormal);
    QWidget::setTabOrder(pushButtonNormal, pushButtonHigh);
    QWidget::setTabOrder(pushButtonHigh, pushButtonRefresh);
    QWidget::setTabOrder(pushButtonRefresh, pushButtonRotate);
    QWidget::setTabOrder(pushButtonRotate, graphicsView);

    retranslateUi(ThermalImagerClass);

    QMetaObject::connectSlotsByName(ThermalImagerClass);
}

void Ui_ThermalImagerClass::setupTopBar()
{
    widgetTopBar = new QWidget(centralWidget);
    widgetTopBar->setObjectName(QStringLiteral("widgetTopBar"));
    widgetTopBar->setGeometry(QRect(0, 36, 730, 30));
    widgetTopBar->setAttribute(Qt::WA_StyledBackground);
    widgetTopBar->setStyleSheet(QStringLiteral(
        "QWidget#widgetTopBar{background: #F5F5F5; border: none;"
        " border-left: 1px solid #D9D9D9; border-right: 1px solid #D9D9D9;}"));

    QIcon spot;
    spot.addFile(QStringLiteral(":/images/spot.png"), QSize(), QIcon::Normal, QIcon::Off);
    spot.addFile(QStringLiteral(":/images/spotGrey.png"), QSize(), QIcon::Disabled, QIcon::Off);
    pushButtonSpot = makeToolButton(widgetTopBar, "pushButtonSpot", 7, true, spot);
    pushButtonLine = makeToolButton(widgetTopBar, "pushButtonLine", 50, true, QIcon(QStringLiteral(":/images/line.png")));
    pushButtonSquare =
        makeToolButton(widgetTopBar, "pushButtonSquare", 93, true, QIcon(QStringLiteral(":/images/rect.png")));
    pushButtonDelete =
        makeToolButton(widgetTopBar, "pushButtonDelete", 136, false, QIcon(QStringLiteral(":/images/delete.png")));

    // Normal and High are the two halves of one switch.
    pushButtonNormal = makeButton(widgetTopBar, "pushButtonNormal", QRect(471, 2, 60, ButtonHeight),
                                  QStringLiteral("QPushButton{border-top-right-radius: 0px;"
                                                 " border-bottom-right-radius: 0px;}"));
    pushButtonNormal->setCheckable(true);
    pushButtonNormal->setChecked(true);
    pushButtonNormal->setMinimumSize(60, 0);
    pushButtonNormal->setMaximumSize(59, ButtonHeight);
    pushButtonHigh = makeButton(widgetTopBar, "pushButtonHigh", QRect(531, 2, 60, ButtonHeight),
                                QStringLiteral("QPushButton{border-top-left-radius: 0px;"
                                               " border-bottom-left-radius: 0px;}"));
    pushButtonHigh->setCheckable(true);
    pushButtonHigh->setMinimumSize(60, 0);
    pushButtonHigh->setMaximumSize(59, ButtonHeight);

    pushButtonRefresh = makeButton(widgetTopBar, "pushButtonRefresh", QRect(596, 2, 61, ButtonHeight));
    pushButtonRefresh->setMaximumSize(61, ButtonHeight);
    pushButtonRotate = makeButton(widgetTopBar, "pushButtonRotate", QRect(662, 2, 61, ButtonHeight));
    pushButtonRotate->setMaximumSize(61, ButtonHeight);
}

void Ui_ThermalImagerClass::setupBottomBar()
{
    widgetButtomBar = new QWidget(centralWidget);
    widgetButtomBar->setObjectName(QStringLiteral("widgetButtomBar"));
    widgetButtomBar->setGeometry(QRect(0, 368, 730, 34));
    widgetButtomBar->setAttribute(Qt::WA_StyledBackground);
    widgetButtomBar->setStyleSheet(QStringLiteral(
        "QWidget#widgetButtomBar{background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0F0F0, stop:1 #DBDBDB);"
        " border: 1px solid #CBCBCB; border-top: none;}"));

    labelMark = makeLabel(widgetButtomBar, "labelMark", QRect(9, 13, 8, 8),
                          QStringLiteral("QLabel#labelMark{min-width: 8px; max-width: 8px; min-height: 8px;"
                                         " max-height: 8px; border-radius: 4px; background: #2B79D8;}"));
    labelTempTitle = makeLabel(widgetButtomBar, "labelTempTitle", QRect(23, 0, 300, 34),
                               QStringLiteral("QLabel#labelTempTitle{font: 12px \"Microsoft YaHei\"; color: #333333;}"));
    labelMax = makeLabel(widgetButtomBar, "labelMax", QRect(516, 0, 100, 34),
                         QStringLiteral("QLabel#labelMax{color: #FF0000;}"));
    labelMax->setAlignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
    labelMin = makeLabel(widgetButtomBar, "labelMin", QRect(620, 0, 100, 34),
                         QStringLiteral("QLabel#labelMin{color: #2B79D8;}"));
    labelMin->setAlignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
}

void Ui_ThermalImagerClass::retranslateUi(QMainWindow* ThermalImagerClass)
{
    ThermalImagerClass->setWindowTitle(QCoreApplication::translate("ThermalImagerClass", "Thermal Imager"));
    pushButtonSpot->setToolTip(QCoreApplication::translate("ThermalImagerClass", "Spot"));
    pushButtonLine->setToolTip(QCoreApplication::translate("ThermalImagerClass", "Line"));
    pushButtonSquare->setToolTip(QCoreApplication::translate("ThermalImagerClass", "Square"));
    pushButtonDelete->setToolTip(QCoreApplication::translate("ThermalImagerClass", "Delete"));
    pushButtonNormal->setText(QCoreApplication::translate("ThermalImagerClass", "Normal Temperature"));
    pushButtonHigh->setText(QCoreApplication::translate("ThermalImagerClass", "High Temperature"));
    pushButtonRefresh->setText(QCoreApplication::translate("ThermalImagerClass", "Refresh"));
    pushButtonRotate->setText(QCoreApplication::translate("ThermalImagerClass", "Rotate"));
    labelTempTitle->setText(QCoreApplication::translate("ThermalImagerClass", "Temperature profile"));
    labelMax->setText(QCoreApplication::translate("ThermalImagerClass", "Max 100℃"));
    labelMin->setText(QCoreApplication::translate("ThermalImagerClass", "Min 50℃"));
}

void Ui_ThermalImagerClass::fitRangeButtons()
{
    const struct {
        QPushButton* button;
        const char* icon;
    } rangeButtons[] = {{pushButtonNormal, ":/images/normalTemp.png"},
                        {pushButtonHigh, ":/images/highTemp.png"},
                        {pushButtonRefresh, ":/images/refresh.png"},
                        {pushButtonRotate, ":/images/rotate.png"}};
    for (const auto& entry : rangeButtons) {
        entry.button->setIcon(QIcon(QString::fromLatin1(entry.icon)));
        entry.button->setLayoutDirection(Qt::LeftToRight);
    }

    pushButtonNormal->ensurePolished();
    const QFont font = pushButtonNormal->font();
    const int normal = captionWidth(font, pushButtonNormal->text(), ButtonHeight);
    const int high = captionWidth(font, pushButtonHigh->text(), ButtonHeight);
    const int refresh = captionWidth(font, pushButtonRefresh->text(), ButtonHeight);
    const int rotate = captionWidth(font, pushButtonRotate->text(), ButtonHeight);
    const int range = std::max(normal, high) + 35;
    const int action = std::max(refresh, rotate) + 37;
    if (2 * (range + action) + 15 <= 551) {
        pushButtonNormal->setFixedWidth(range);
        pushButtonHigh->setFixedWidth(range);
        pushButtonRefresh->setFixedWidth(action);
        pushButtonRotate->setFixedWidth(action);
    } else {
        pushButtonNormal->setFixedWidth(normal + 35);
        pushButtonHigh->setFixedWidth(high + 35);
        pushButtonRefresh->setFixedWidth(refresh + 37);
        pushButtonRotate->setFixedWidth(rotate + 37);
    }
}

void Ui_ThermalImagerClass::arrangeBars(int width)
{
    widgetTopBar->resize(width, widgetTopBar->height());
    pushButtonRotate->move(width - 7 - pushButtonRotate->width(), pushButtonRotate->y());
    pushButtonRefresh->move(pushButtonRotate->x() - 5 - pushButtonRefresh->width(), pushButtonRefresh->y());
    pushButtonHigh->move(pushButtonRefresh->x() - 5 - pushButtonHigh->width(), pushButtonHigh->y());
    pushButtonNormal->move(pushButtonHigh->x() - pushButtonNormal->width(), pushButtonNormal->y());

    widgetButtomBar->resize(width, widgetButtomBar->height());
    labelMin->move(widgetButtomBar->width() - 15 - labelMin->width(), labelMin->y());
    labelMax->move(labelMin->x() - 30 - labelMax->width(), labelMax->y());
}
