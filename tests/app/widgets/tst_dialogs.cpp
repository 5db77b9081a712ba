// What every dialog promises, then the message box, toast, about panel,
// splash screen and waiting dialog on their own.
#include "cbasetitlebar.h"
#include "cdialogtoast.h"
#include "cdialogwaiting.h"
#include "ceventfilter.h"
#include "cmessagebox.h"
#include "csplashscreen.h"
#include "cwidgetabout.h"
#include "cwidgetsettings.h"
#include "testsupport.h"
#include "toast.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest>

#include <ctime>
#include <functional>

using DialogFactory = std::function<QDialog*()>;
Q_DECLARE_METATYPE(DialogFactory)

namespace {

using Values = QVector<int>;

// Runs `act` once the dialog's modal loop is up and returns exec()'s result.
int execAndThen(QDialog* dialog, const std::function<void(QDialog*)>& act)
{
    QTimer::singleShot(0, dialog, [dialog, act] { act(dialog); });
    return dialog->exec();
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPushButton* boxButton(QWidget* box, int i)
{
    const char* names[] = {"pushButton", "pushButton_2", "pushButton_3"};
    return box->findChild<QPushButton*>(names[i]);
}

CDialogToast* toastDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<CDialogToast*>(widget))
            return dialog;
    return nullptr;
}

// The four edge bars of the splash in turn order: left, top, right, bottom.
Values barValues(CSplashScreen& splash)
{
    Values values;
    for (const char* name : {"progressBar_4", "progressBar", "progressBar_2", "progressBar_3"})
        values << splash.findChild<QProgressBar*>(name)->value();
    return values;
}

// Starts the splash and takes its timer over: the test delivers the ticks.
int startWithManualTicks(CSplashScreen& splash)
{
    splash.show();
    if (!QTest::qWaitForWindowExposed(&splash))
        qWarning("splash not exposed");
    splash.start();
    const int id = splash.timerId();
    splash.killTimer(id);
    return id;
}

void tick(CSplashScreen& splash, int id, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        QTimerEvent event(id);
        QApplication::sendEvent(&splash, &event);
    }
}

}  // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void contract_data();
    void contract();

    void execReturnsPressedButton_data();
    void execReturnsPressedButton();
    void buttonsFitTheirCaptionsInsideTheBox_data();
    void buttonsFitTheirCaptionsInsideTheBox();

    void secondToastRestartsTheTimer();
    void aboutShowsTranslatedCaptionsAndValues();

    void splashBarsRunAroundTheBorder_data();
    void splashBarsRunAroundTheBorder();
    void splashFinishHandsOver();
    void splashHoldSleepsWhileTheBarsMove();
    void messageHeaderColourFollowsTitle();
    void waitingDialogEndsWithClose();
};

void TestDialogs::initTestCase()
{
    initResourcesIfLinked();
}

void TestDialogs::contract_data()
{
    QTest::addColumn<DialogFactory>("make");
    QTest::newRow("message box") << DialogFactory([] { return new CMessageBox; });
    QTest::newRow("about") << DialogFactory([] { return new CWidgetAbout; });
    QTest::newRow("settings") << DialogFactory([] { return new CWidgetSettings; });
}

// Frameless, application-modal, deleted when closed from its own title bar
// (as wide as the dialog, its close button inside), and dragged by the mouse
// exactly when it carries "CanMove".
void TestDialogs::contract()
{
    QFETCH(DialogFactory, make);
    CEventFilter filter;
    qApp->installEventFilter(&filter);
    QPointer<QDialog> dialog = make();
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    auto* bar = dialog->findChild<CBaseTitleBar*>();
    QVERIFY(bar);
    QCOMPARE(bar->width(), dialog->width());
    QVERIFY(dialog->rect().contains(QRect(bar->parts().close->mapTo(dialog, QPoint()), bar->parts().close->size())));

    const QPoint start = dialog->pos();
    const QPoint grab = start + QPoint(40, 10);
    sendMouse(dialog, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(dialog, QEvent::MouseMove, grab + QPoint(30, 20), Qt::LeftButton);
    sendMouse(dialog, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::NoButton);
    const bool movable = dialog->property("CanMove").toBool();
    QCOMPARE(dialog->pos(), movable ? start + QPoint(30, 20) : start);
    qApp->removeEventFilter(&filter);

    bar->parts().close->click();
    QTRY_VERIFY(dialog.isNull());
}

void TestDialogs::execReturnsPressedButton_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("press");  // a button's number, "close" or "Escape"
    QTest::addColumn<int>("result");
    const QStringList three{"OK", "Later", "Cancel"};
    QTest::newRow("first") << three << "0" << 1;
    QTest::newRow("second") << three << "1" << 2;
    QTest::newRow("third") << three << "2" << 3;
    QTest::newRow("title bar close, no buttons") << QStringList{"", "", ""} << "close" << 0;
    QTest::newRow("Escape") << QStringList{"OK", "", ""} << "Escape" << 0;
}

void TestDialogs::execReturnsPressedButton()
{
    QFETCH(QStringList, captions);
    QFETCH(QString, press);
    QFETCH(int, result);
    QPointer<CMessageBox> box = new CMessageBox;
    box->setText("Save current temperature matrix?");
    box->setButtons(captions[0], captions[1], captions[2]);
    const int got = execAndThen(box, [press](QDialog* b) {
        if (press == "close")
            b->findChild<CBaseTitleBar*>()->parts().close->click();
        else if (press == "Escape")
            QTest::keyClick(b, Qt::Key_Escape);
        else
            boxButton(b, press.toInt())->click();
    });
    QCOMPARE(got, result);
    QVERIFY(box.isNull());
}

void TestDialogs::buttonsFitTheirCaptionsInsideTheBox_data()
{
    QTest::addColumn<QStringList>("captions");  // an empty caption hides its button
    QTest::newRow("one short") << QStringList{"OK", "", ""};
    QTest::newRow("one long") << QStringList{"Confirm and continue with the firmware upgrade", "", ""};
    QTest::newRow("first and third") << QStringList{"OK", "", "Cancel the whole operation"};
    QTest::newRow("three") << QStringList{"Yes", "No", "Cancel"};
}

// Shown buttons share one width that holds the longest caption, stay inside
// the box and apart; refilling with shorter captions shrinks them back.
void TestDialogs::buttonsFitTheirCaptionsInsideTheBox()
{
    QFETCH(QStringList, captions);
    CMessageBox fresh;
    fresh.setAttribute(Qt::WA_DeleteOnClose, false);
    fresh.setButtons(captions[0], captions[1], captions[2]);
    CMessageBox box;
    box.setAttribute(Qt::WA_DeleteOnClose, false);
    box.setButtons("Cancel the whole operation right now, please", "A", "B");
    box.setButtons(captions[0], captions[1], captions[2]);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QRect previous;
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = boxButton(&box, i);
        QCOMPARE(b->isHidden(), captions[i].isEmpty());
        QCOMPARE(b->width(), boxButton(&fresh, i)->width());
        if (captions[i].isEmpty())
            continue;
        QCOMPARE(b->text(), captions[i]);
        QVERIFY(b->fontMetrics().horizontalAdvance(captions[i]) < b->width());
        const QRect inBox(b->mapTo(&box, QPoint()), b->size());
        QVERIFY2(box.rect().contains(inBox), qPrintable(captions[i]));
        QVERIFY(!inBox.intersects(previous));
        previous = inBox;
    }
    for (int i = 1; i < 3; ++i)
        QCOMPARE(boxButton(&box, i)->width(), boxButton(&box, 0)->width());
}

void TestDialogs::secondToastRestartsTheTimer()
{
    // Counts the timer events the toast receives: only the restarted timer
    // may fire, once.
    struct TimerCounter : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::Timer;
            return false;
        }
    } counter;
    Toast* toast = Toast::instance();
    QCOMPARE(Toast::instance(), toast);
    toast->installEventFilter(&counter);
    toast->showTip(0, "Save failed!");
    CDialogToast* dialog = toastDialog();
    QVERIFY(dialog && dialog->isVisible());
    QTest::qWait(1000);
    toast->showTip(1, "Start firmware upgrade...");
    QCOMPARE(dialog->findChild<QLabel*>("label")->text(), QString("Start firmware upgrade..."));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 10000);
    QCOMPARE(counter.count, 1);
    toast->removeEventFilter(&counter);

    // The modal form returns once the toast has closed.
    toast->showTipModal(0, "Thermal imager program is running!");
    QVERIFY(!dialog->isVisible());
}

void TestDialogs::aboutShowsTranslatedCaptionsAndValues()
{
    TableTranslator translator;
    translator.add("CWidgetAbout", "About", "Über");
    translator.add("CWidgetAbout", "Module ID", "Modul-ID");
    QVERIFY(QCoreApplication::installTranslator(&translator));
    for (const QString& version : {QString("V1.2.7"), QString()}) {  // empty: the firmware read failed
        CWidgetAbout about;
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(about.findChild<CBaseTitleBar*>()->title(), QString("Über"));
        QCOMPARE(about.findChild<QLabel*>("label_2")->text(), QString("Modul-ID"));
        QCOMPARE(about.findChild<QLabel*>("label")->text(), QString("SN"));  // untranslated
        about.setInfo("SN2304A0012", "TC2C-256", version);
        QCOMPARE(about.findChild<QLabel*>("labelSN")->text(), QString("SN2304A0012"));
        QCOMPARE(about.findChild<QLabel*>("labelID")->text(), QString("TC2C-256"));
        QCOMPARE(about.findChild<QLabel*>("labelVersion")->text(), version);
    }
    QCoreApplication::removeTranslator(&translator);
}

void TestDialogs::splashBarsRunAroundTheBorder_data()
{
    QTest::addColumn<int>("duration");  // -1: never set
    QTest::addColumn<int>("ticks");
    QTest::addColumn<Values>("expected");
    QTest::newRow("1 tick") << 1000 << 1 << Values{40, 0, 0, 0};
    QTest::newRow("3 ticks") << 1000 << 3 << Values{100, 20, 0, 0};
    QTest::newRow("5 ticks") << 1000 << 5 << Values{100, 100, 0, 0};
    QTest::newRow("9 ticks") << 1000 << 9 << Values{100, 100, 100, 60};
    QTest::newRow("long after the turn") << 1000 << 500 << Values{100, 100, 100, 100};
    // 50 ms counts as 100 ms: a quarter is 25 ms, so one tick completes the turn.
    QTest::newRow("short duration counts as minimum") << 50 << 1 << Values{100, 100, 100, 100};
    QTest::newRow("quarters of one tick") << 400 << 2 << Values{100, 100, 0, 0};
    QTest::newRow("no duration does not divide by zero") << -1 << 3 << Values{100, 100, 100, 100};
}

void TestDialogs::splashBarsRunAroundTheBorder()
{
    QFETCH(int, duration);
    QFETCH(int, ticks);
    QFETCH(Values, expected);
    CSplashScreen splash;
    if (duration >= 0)
        splash.setDuration(duration);
    const int id = startWithManualTicks(splash);
    QVERIFY(id != 0);
    tick(splash, id, ticks);
    tick(splash, id + 1000, 5);  // another timer's ticks change nothing
    QCOMPARE(barValues(splash), expected);
}

void TestDialogs::splashFinishHandsOver()
{
    CSplashScreen splash;
    splash.setDuration(1000);
    const int id = startWithManualTicks(splash);
    tick(splash, id, 2);
    QWidget window;
    splash.finish(&window);
    QCOMPARE(splash.timerId(), 0);
    window.show();
    QTRY_VERIFY(!splash.isVisible());
    QCOMPARE(barValues(splash), (Values{80, 0, 0, 0}));
}

// The hold keeps the splash alive (its progress moves) but leaves the CPU
// idle: a busy loop would burn about as much CPU time as it waits.
void TestDialogs::splashHoldSleepsWhileTheBarsMove()
{
    CSplashScreen splash;
    splash.setDuration(400);
    QElapsedTimer wall;
    wall.start();
    splash.start();
    const std::clock_t cpuBefore = std::clock();
    splash.holdAtLeast(500);
    const double cpuMs = double(std::clock() - cpuBefore) * 1000.0 / CLOCKS_PER_SEC;
    QVERIFY(wall.elapsed() >= 500);
    QCOMPARE(barValues(splash), (Values{100, 100, 100, 100}));
    QVERIFY2(cpuMs < wall.elapsed() / 3.0, qPrintable(QString("%1 ms CPU").arg(cpuMs)));
    wall.restart();
    splash.holdAtLeast(500);  // already up long enough
    QVERIFY(wall.elapsed() < 100);
}

// What the user sees: the header's colour beside the title, as painted.
void TestDialogs::messageHeaderColourFollowsTitle()
{
    for (const auto& [title, background] : {std::pair<QString, QColor>{"", QColor(0xFF, 0xFF, 0xFF)},
                                            {"Upgrade", QColor(0xF6, 0xF7, 0xFC)}}) {
        QColor painted;
        QPointer<CMessageBox> box = new CMessageBox;
        box->setTitle(title);
        box->setButtons("OK", "", "");
        execAndThen(box, [&painted](QDialog* dialog) {
            CBaseTitleBar* bar = dialog->findChild<CBaseTitleBar*>();
            painted = bar->grab().toImage().pixelColor(bar->width() / 2 + 40, bar->height() - 3);
            dialog->done(0);
        });
        QCOMPARE(painted, background);
    }
}

void TestDialogs::waitingDialogEndsWithClose()
{
    QWidget owner;
    CDialogWaiting dialog(&owner);
    execAndThen(&dialog, [](QDialog* d) { d->close(); });
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
