#include "cwidgetabout.h"

#include "cbasetitlebar.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

}  // namespace

CWidgetAbout::CWidgetAbout(QWidget* parent)
    : QDialog(parent)
{
    setupUi();

    titleBar = new CBaseTitleBar(this);
    titleBar->move(0, 0);
    titleBar->resize(width(), titleBar->height());
    titleBar->setTitle(tr("About"));
    connect(titleBar->parts().close, &QPushButton::clicked, this, &CWidgetAbout::close);

    setWindowState(Qt::WindowActive);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
}

void CWidgetAbout::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CWidgetAbout"));
    resize(480, 266);
    setStyleSheet(QStringLiteral(
        "QDialog#CWidgetAbout{background: #FFFFFF; border-radius: 4px; border: 1px solid #D9D9D9;}"
        "QLabel#label, QLabel#label_2, QLabel#label_3{font: 400 18px \"Microsoft YaHei\"; color: #999999;}"
        "QLabel#labelSN, QLabel#labelID, QLabel#labelVersion{font: 400 18px \"Microsoft YaHei\"; color: #333333;}"));

    label = makeLabel(this, "label", QRect(62, 96, 180, 24));
    label_2 = makeLabel(this, "label_2", QRect(62, 146, 180, 24));
    label_3 = makeLabel(this, "label_3", QRect(62, 195, 180, 24));
    labelSN = makeLabel(this, "labelSN", QRect(250, 96, 200, 24));
    labelID = makeLabel(this, "labelID", QRect(250, 146, 200, 24));
    labelVersion = makeLabel(this, "labelVersion", QRect(250, 195, 200, 24));

    retranslateUi();
}

void CWidgetAbout::retranslateUi()
{
    setWindowTitle(tr("About"));
    label->setText(tr("SN"));
    label_2->setText(tr("Module ID"));
    label_3->setText(tr("Firmware version"));
}

void CWidgetAbout::setInfo(const QString& serialNumber, const QString& moduleId, const QString& firmwareVersion)
{
    labelSN->setText(serialNumber);
    labelID->setText(moduleId);
    labelVersion->setText(firmwareVersion);
}
