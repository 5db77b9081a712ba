// About panel.
#include "cbasetitlebar.h"
#include "cwidgetabout.h"
#include "testsupport.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void form();
    void captionsGoThroughTranslation();
    void setInfoFillsValuesEvenWithoutFirmwareVersion();
    void closeButtonClosesAndDeletes();
};

namespace {

QString text(QWidget* parent, const char* name)
{
    return parent->findChild<QLabel*>(name)->text();
}

}  // namespace

void TestAbout::initTestCase()
{
    initResourcesIfLinked();
}

void TestAbout::form()
{
    QPointer<CWidgetAbout> about = new CWidgetAbout;
    QCOMPARE(about->objectName(), QString("CWidgetAbout"));
    QCOMPARE(about->size(), QSize(480, 266));
    QCOMPARE(about->windowTitle(), QString("About"));
    QVERIFY(about->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(text(about, "label"), QString("SN"));
    QCOMPARE(text(about, "label_2"), QString("Module ID"));
    QCOMPARE(text(about, "label_3"), QString("Firmware version"));
    for (const char* name : {"labelSN", "labelID", "labelVersion"})
        QVERIFY(text(about, name).isEmpty());
    auto* bar = about->findChild<CBaseTitleBar*>();
    QCOMPARE(bar->title(), QString("About"));
    QCOMPARE(bar->pos(), QPoint(0, 0));
    delete about;
}

void TestAbout::captionsGoThroughTranslation()
{
    TableTranslator translator;
    translator.add("CWidgetAbout", "About", "Über");
    translator.add("CWidgetAbout", "Module ID", "Modul-ID");
    QVERIFY(QCoreApplication::installTranslator(&translator));
    CWidgetAbout about;
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(about.findChild<CBaseTitleBar*>()->title(), QString("Über"));
    QCOMPARE(about.windowTitle(), QString("Über"));
    QCOMPARE(text(&about, "label_2"), QString("Modul-ID"));
    QCOMPARE(text(&about, "label"), QString("SN"));
    QCoreApplication::removeTranslator(&translator);
}

void TestAbout::setInfoFillsValuesEvenWithoutFirmwareVersion()
{
    for (const QString& version : {QString("V1.2.7"), QString()}) {  // empty: the firmware read failed
        CWidgetAbout about;
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.setInfo("SN2304A0012", "TC2C-256", version);
        QCOMPARE(text(&about, "labelSN"), QString("SN2304A0012"));
        QCOMPARE(text(&about, "labelID"), QString("TC2C-256"));
        QCOMPARE(text(&about, "labelVersion"), version);
    }
}

void TestAbout::closeButtonClosesAndDeletes()
{
    QPointer<CWidgetAbout> about = new CWidgetAbout;
    QTimer::singleShot(0, about, [&] { about->findChild<CBaseTitleBar*>()->parts().close->click(); });
    QCOMPARE(about->exec(), 0);
    QVERIFY(about.isNull());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
