// Splash screen and waiting dialog.
#include "cdialogwaiting.h"
#include "csplashscreen.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest>

namespace {

using Values = QVector<int>;

// The four edge bars in turn order: left, top, right, bottom.
Values barValues(CSplashScreen& splash)
{
    Values values;
    for (const char* name : {"progressBar_4", "progressBar", "progressBar_2", "progressBar_3"})
        values << splash.findChild<QProgressBar*>(name)->value();
    return values;
}

// Starts the splash, then takes its timer over so that the test delivers the
// ticks itself. The splash is shown first: a first show may run the event
// loop long enough for a real tick.
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

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void splashForm();
    void barsRunAroundTheBorder_data();
    void barsRunAroundTheBorder();
    void foreignTimerChangesNothing();
    void realTimerAdvancesUntilFinish();
    void finishWithoutTimerOnlyHandsOver();

    void waitingDialogForm();
    void waitingDialogEndsWithClose();
};

void TestSplash::initTestCase()
{
    initResourcesIfLinked();
}

void TestSplash::splashForm()
{
    CSplashScreen splash;
    QCOMPARE(splash.objectName(), QString("CSplashScreen"));
    QCOMPARE(splash.size(), QSize(592, 492));
    QCOMPARE(splash.timerId(), 0);
    auto* message = splash.findChild<QLabel*>("labelMessage");
    QVERIFY(message->text().isEmpty());
    splash.setMessage("Loading...");
    QCOMPARE(message->text(), QString("Loading..."));

    // Clockwise from the bottom-left corner: up the left edge, right along
    // the top, down the right edge, left along the bottom.
    struct Expected {
        const char* name;
        Qt::Orientation orientation;
        bool inverted;
    };
    const Expected bars[] = {{"progressBar_4", Qt::Vertical, false},
                             {"progressBar", Qt::Horizontal, false},
                             {"progressBar_2", Qt::Vertical, true},
                             {"progressBar_3", Qt::Horizontal, true}};
    for (const Expected& e : bars) {
        auto* bar = splash.findChild<QProgressBar*>(e.name);
        QVERIFY2(bar, e.name);
        QCOMPARE(bar->orientation(), e.orientation);
        QCOMPARE(bar->invertedAppearance(), e.inverted);
        QCOMPARE(bar->value(), 0);
    }
}

void TestSplash::barsRunAroundTheBorder_data()
{
    QTest::addColumn<int>("duration");  // -1: never set
    QTest::addColumn<int>("ticks");
    QTest::addColumn<Values>("expected");
    QTest::newRow("1 tick") << 1000 << 1 << Values{40, 0, 0, 0};
    QTest::newRow("3 ticks") << 1000 << 3 << Values{100, 20, 0, 0};
    QTest::newRow("5 ticks") << 1000 << 5 << Values{100, 100, 0, 0};
    QTest::newRow("9 ticks") << 1000 << 9 << Values{100, 100, 100, 60};
    QTest::newRow("10 ticks") << 1000 << 10 << Values{100, 100, 100, 100};
    QTest::newRow("long after the turn") << 1000 << 500 << Values{100, 100, 100, 100};
    // 50 ms counts as 100 ms: a quarter is 25 ms, so one tick completes the turn.
    QTest::newRow("short duration counts as minimum") << 50 << 1 << Values{100, 100, 100, 100};
    QTest::newRow("quarters of one tick") << 400 << 2 << Values{100, 100, 0, 0};
    QTest::newRow("no duration does not divide by zero") << -1 << 3 << Values{100, 100, 100, 100};
}

void TestSplash::barsRunAroundTheBorder()
{
    QFETCH(int, duration);
    QFETCH(int, ticks);
    QFETCH(Values, expected);
    CSplashScreen splash;
    if (duration >= 0)
        splash.setDuration(duration);
    const int id = startWithManualTicks(splash);
    QVERIFY(id != 0);
    QVERIFY(splash.isVisible());
    tick(splash, id, ticks);
    QCOMPARE(barValues(splash), expected);
}

void TestSplash::foreignTimerChangesNothing()
{
    CSplashScreen splash;
    splash.setDuration(1000);
    const int id = startWithManualTicks(splash);
    tick(splash, id, 2);
    tick(splash, id + 1000, 5);
    QCOMPARE(barValues(splash), (Values{80, 0, 0, 0}));
    tick(splash, id);
    QCOMPARE(barValues(splash), (Values{100, 20, 0, 0}));
}

void TestSplash::realTimerAdvancesUntilFinish()
{
    CSplashScreen splash;
    splash.setDuration(400);
    splash.start();
    QVERIFY(splash.timerId() != 0);
    QTRY_COMPARE_WITH_TIMEOUT(barValues(splash), (Values{100, 100, 100, 100}), 10000);

    QWidget window;
    splash.finish(&window);
    QCOMPARE(splash.timerId(), 0);
    window.show();
    QTRY_VERIFY(!splash.isVisible());
}

void TestSplash::finishWithoutTimerOnlyHandsOver()
{
    CSplashScreen splash;
    splash.show();
    QWidget window;
    splash.finish(&window);
    QCOMPARE(splash.timerId(), 0);
    window.show();
    QTRY_VERIFY(!splash.isVisible());
    QCOMPARE(barValues(splash), (Values{0, 0, 0, 0}));
}

void TestSplash::waitingDialogForm()
{
    QWidget owner;
    CDialogWaiting dialog(&owner);
    QCOMPARE(dialog.size(), QSize(120, 120));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(dialog.windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
    auto* label = dialog.findChild<QLabel*>();
    QVERIFY(label);
    QMovie* movie = label->movie();
    QVERIFY(movie);
    QCOMPARE(movie->fileName(), QString(":/images/loading.gif"));
#ifdef OMBRIX_WITH_RESOURCES
    QVERIFY(movie->isValid());
    QCOMPARE(movie->state(), QMovie::Running);
#endif
}

void TestSplash::waitingDialogEndsWithClose()
{
    QWidget owner;
    QPointer<CDialogWaiting> dialog = new CDialogWaiting(&owner);
    QTimer::singleShot(50, dialog, [&] { dialog->close(); });
    dialog->exec();
    QVERIFY(!dialog->isVisible());
    delete dialog;
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
