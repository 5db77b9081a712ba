#include "cmessagebox.h"

#include "cbasetitlebar.h"
#include "textmetrics.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kButtonHeight = 35;
constexpr int kButtonPadding = 50;
constexpr int kButtonMinimum = 128;
constexpr QSize kBoxSize(387, 244);
constexpr QRect kLabelGeometry(18, 60, 355, 111);
constexpr QRect kRowGeometry(39, 190, 311, 41);

// The header is light grey under a title and white without one.
const char kHeaderWithTitle[] =
    "QWidget#CBaseTitleBar{background: #F6F7FC; border-top-left-radius: 4px; border-top-right-radius: 4px;}";
const char kHeaderWithoutTitle[] =
    "QWidget#CBaseTitleBar{background: #FFFFFF; border-top-left-radius: 4px; border-top-right-radius: 4px;}";

}  // namespace

CMessageBox::CMessageBox(QWidget* parent)
    : QDialog(parent)
{
    setupUi();
    setWindowState(Qt::WindowActive);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);

    titleBar = new CBaseTitleBar(this);
    titleBar->move(0, 0);
    // A box nobody titled shows no placeholder text.
    titleBar->setTitle(QString());
    connect(titleBar->parts().close, &QPushButton::clicked, this, &CMessageBox::close);

    connect(pushButton, &QPushButton::clicked, this, &CMessageBox::onButton1);
    connect(pushButton_2, &QPushButton::clicked, this, &CMessageBox::onButton2);
    connect(pushButton_3, &QPushButton::clicked, this, &CMessageBox::onButton3);
}

void CMessageBox::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CMessageBox"));
    resize(kBoxSize);
    setStyleSheet(QStringLiteral(
        "QDialog#CMessageBox{background: #FFFFFF; border-radius: 2px; border: 1px solid #D9D9D9;}"
        "QLabel#label{font: 400 18px \"Microsoft YaHei\"; line-height: 25px; color: #333333;}"
        "QPushButton#pushButton, QPushButton#pushButton_2, QPushButton#pushButton_3{"
        "font: 400 15px \"Microsoft YaHei\"; color: #FFFFFF; background: #2B79D8; border: none;"
        " border-radius: 17px;}"
        "QPushButton#pushButton:pressed, QPushButton#pushButton_2:pressed, QPushButton#pushButton_3:pressed{"
        "background: #2669BB;}"
        "QPushButton#pushButton:disabled, QPushButton#pushButton_2:disabled, QPushButton#pushButton_3:disabled{"
        "background: #2662AB;}"));

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(kLabelGeometry);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);

    layoutWidget = new QWidget(this);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    layoutWidget->setGeometry(kRowGeometry);
    horizontalLayout = new QHBoxLayout(layoutWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    QPushButton** const fields[] = {&pushButton, &pushButton_2, &pushButton_3};
    const char* const names[] = {"pushButton", "pushButton_2", "pushButton_3"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(layoutWidget);
        button->setObjectName(QString::fromLatin1(names[i]));
        button->setMinimumSize(kButtonMinimum, kButtonHeight);
        horizontalLayout->addWidget(button);
        *fields[i] = button;
    }
    setTabOrder(pushButton, pushButton_2);
    setTabOrder(pushButton_2, pushButton_3);
}

void CMessageBox::setTitle(const QString& text)
{
    titleBar->setTitle(text);
}

void CMessageBox::setText(const QString& text)
{
    label->setText(text);
}

void CMessageBox::setButtons(const QString& text1, const QString& text2, const QString& text3)
{
    QPushButton* const buttons[] = {pushButton, pushButton_2, pushButton_3};
    const QString texts[] = {text1, text2, text3};
    for (int i = 0; i < 3; ++i) {
        buttons[i]->setVisible(!texts[i].isEmpty());
        buttons[i]->setText(texts[i]);
    }

    pushButton->ensurePolished();
    const QFont font = pushButton->font();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, captionWidth(font, text, kButtonHeight));
    const int width = std::max(widest + kButtonPadding, kButtonMinimum);
    for (QPushButton* button : buttons)
        button->setFixedWidth(width);
    fitButtonRow();
}

// Buttons of fixed width that need more than the designed row would be cut
// off, so the row (and, if need be, the box) widens around its centre.
void CMessageBox::fitButtonRow()
{
    const int rowWidth = std::max(kRowGeometry.width(), horizontalLayout->sizeHint().width());
    const int boxWidth = std::max(kBoxSize.width(), rowWidth + 2 * kRowGeometry.x());
    if (boxWidth != width())
        resize(boxWidth, height());
    const int shift = (boxWidth - kBoxSize.width()) / 2;
    layoutWidget->setGeometry(kRowGeometry.x() + shift - (rowWidth - kRowGeometry.width()) / 2, kRowGeometry.y(),
                              rowWidth, kRowGeometry.height());
    label->move(kLabelGeometry.x() + shift, kLabelGeometry.y());
}

int CMessageBox::exec()
{
    titleBar->setStyleSheet(QString::fromLatin1(titleBar->title().isEmpty() ? kHeaderWithoutTitle
                                                                            : kHeaderWithTitle));
    titleBar->style()->unpolish(titleBar);
    titleBar->style()->polish(titleBar);
    return QDialog::exec();
}

void CMessageBox::onButton1()
{
    done(1);
}

void CMessageBox::onButton2()
{
    done(2);
}

void CMessageBox::onButton3()
{
    done(3);
}

void CMessageBox::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (titleBar)
        titleBar->resize(width(), titleBar->height());
}
