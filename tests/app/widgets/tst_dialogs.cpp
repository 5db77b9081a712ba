// What every dialog promises, then the message box, splash screen, the main
// title bar's captions and the window drag filter.
#include "cbasetitlebar.h"
#include "ceventfilter.h"
#include "cmessagebox.h"
#include "csplashscreen.h"
#include "ctitlebar.h"
#include "cwidgetabout.h"
#include "cwidgetsettings.h"
#include "ombrix_resources.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

using Values = QVector<int>;

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPushButton* boxButton(QWidget* box, int i)
{
    const char* names[] = {"pushButton", "pushButton_2", "pushButton_3"};
    return box->findChild<QPushButton*>(names[i]);
}

// Gives the main title bar's text buttons chosen captions.
struct CaptionTranslator : QTranslator {
    QHash<QString, QString> captions;
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QLatin1String(context) == QLatin1String("CTitleBar") ? captions.value(source) : QString();
    }
    bool isEmpty() const override { return false; }
};

// The four edge bars of the splash in turn order: left, top, right, bottom.
Values barValues(CSplashScreen& splash)
{
    Values values;
    for (const char* name : {"progressBar_4", "progressBar", "progressBar_2", "progressBar_3"})
        values << splash.findChild<QProgressBar*>(name)->value();
    return values;
}

}  // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ombrix_init_resources(); }

    void contract();
    void messageBox();

    void splashBarsRunAroundTheBorder();
    void splashHoldWaitsInAnEventLoop();

    void titleBarButtonsHoldTheirCaptions();
    void drag();
};

// Frameless, application-modal, deleted when closed from its own title bar
// (as wide as the dialog, its close button inside), and dragged by the mouse
// exactly when it carries "CanMove".
void TestDialogs::contract()
{
    const std::function<QDialog*()> makers[] = {[] { return new CMessageBox; }, [] { return new CWidgetAbout; },
                                                [] { return new CWidgetSettings; }};
    for (const auto& make : makers) {
        CEventFilter filter;
        qApp->installEventFilter(&filter);
        QPointer<QDialog> dialog = make();
        QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* bar = dialog->findChild<CBaseTitleBar*>();
        QCOMPARE(bar->width(), dialog->width());
        QVERIFY(dialog->rect().contains(QRect(bar->parts().close->mapTo(dialog, QPoint()), bar->parts().close->size())));

        const QPoint start = dialog->pos();
        const QPoint grab = start + QPoint(40, 10);
        sendMouse(dialog, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(dialog, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        sendMouse(dialog, QEvent::MouseButtonRelease, grab + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(dialog->pos(), dialog->property("CanMove").toBool() ? start + QPoint(30, 20) : start);
        qApp->removeEventFilter(&filter);

        bar->parts().close->click();
        QTRY_VERIFY(dialog.isNull());
    }
}

// exec() answers the button pressed. Shown buttons share one width that
// holds the longest caption, stay inside the box and apart, and shrink back
// when refilled with shorter captions. The header is white without a title,
// tinted with one, as painted. An empty caption hides its button; the
// title bar's close and Escape answer 0.
void TestDialogs::messageBox()
{
    const QStringList three{"OK", "Later", "Cancel"};
    const struct {
        QStringList captions;
        QString title;
        QString press;  // a button's number, "close" or "Escape"
        int result;
    } cases[] = {{three, "", "0", 1}, {three, "Upgrade", "1", 2}, {three, "", "2", 3},
                 {{"Confirm and continue with the firmware upgrade", "", ""}, "", "0", 1},
                 {{"OK", "", "Cancel the whole operation"}, "Upgrade", "2", 3},
                 {{"", "", ""}, "", "close", 0}, {{"OK", "", ""}, "Upgrade", "Escape", 0}};
    for (const auto& c : cases) {
        const QStringList& captions = c.captions;
        const QString &title = c.title, &press = c.press;
        CMessageBox fresh;
        fresh.setButtons(captions[0], captions[1], captions[2]);
        QPointer<CMessageBox> box = new CMessageBox;
        box->setTitle(title);
        box->setButtons("Cancel the whole operation right now, please", "A", "B");
        box->setButtons(captions[0], captions[1], captions[2]);
        QTimer::singleShot(0, box, [&, dialog = box.data()] {  // inside exec()
            CBaseTitleBar* bar = dialog->findChild<CBaseTitleBar*>();
            const auto answer = qScopeGuard([&] {  // also after a failed check
                if (press == "close")
                    bar->parts().close->click();
                else if (press == "Escape")
                    QTest::keyClick(dialog, Qt::Key_Escape);
                else
                    boxButton(dialog, press.toInt())->click();
            });
            const QColor header = bar->grab().toImage().pixelColor(bar->width() / 2 + 40, bar->height() - 3);
            QCOMPARE(header == QColor(Qt::white), title.isEmpty());
            QRect previous;
            for (int i = 0; i < 3; ++i) {
                QPushButton* b = boxButton(dialog, i);
                QCOMPARE(b->isHidden(), captions[i].isEmpty());
                QCOMPARE(b->width(), boxButton(&fresh, i)->width());
                if (captions[i].isEmpty())
                    continue;
                QCOMPARE(b->width(), boxButton(dialog, captions.indexOf(QRegularExpression(".+")))->width());
                QVERIFY(b->fontMetrics().horizontalAdvance(captions[i]) < b->width());
                const QRect inBox(b->mapTo(dialog, QPoint()), b->size());
                QVERIFY2(dialog->rect().contains(inBox) && !inBox.intersects(previous), qPrintable(captions[i]));
                previous = inBox;
            }
        });
        QCOMPARE(box->exec(), c.result);
        QVERIFY(box.isNull());
    }
}

// The hold sleeps in an event loop until its time is up (the dispatcher
// blocks; a busy wait never does) while the bars go on turning, and a splash
// up long enough is not held again.
void TestDialogs::splashHoldWaitsInAnEventLoop()
{
    CSplashScreen splash;
    splash.setDuration(100);
    splash.start();
    int blocked = 0;
    const auto counter = connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                                 [&blocked] { ++blocked; });
    splash.holdAtLeast(300);
    QVERIFY(blocked > 0);
    QCOMPARE(barValues(splash), (Values{100, 100, 100, 100}));
    const int afterHold = blocked;
    splash.holdAtLeast(300);
    QCOMPARE(blocked, afterHold);
    disconnect(counter);
}

// The test takes the splash's timer over and delivers the ticks itself. A
// duration of 50 ms counts as 100 ms (a quarter is 25 ms, so one tick
// completes the turn); none set does not divide by zero.
void TestDialogs::splashBarsRunAroundTheBorder()
{
    const struct {
        int duration;  // -1: never set
        int ticks;
        Values expected;
    } cases[] = {{1000, 1, {40, 0, 0, 0}},    {1000, 3, {100, 20, 0, 0}},       {1000, 9, {100, 100, 100, 60}},
                 {1000, 500, {100, 100, 100, 100}}, {50, 1, {100, 100, 100, 100}}, {-1, 3, {100, 100, 100, 100}}};
    for (const auto& [duration, ticks, expected] : cases) {
        CSplashScreen splash;
        if (duration >= 0)
            splash.setDuration(duration);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        splash.start();
        const int id = splash.timerId();
        QVERIFY(id != 0);
        splash.killTimer(id);
        for (int i = 0; i < ticks + 5; ++i) {
            QTimerEvent event(i < ticks ? id : id + 1000);  // another timer's ticks change nothing
            QApplication::sendEvent(&splash, &event);
        }
        QCOMPARE(barValues(splash), expected);

        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        splash.finish(&window);  // hands over: no more ticks
        QCOMPARE(splash.timerId(), 0);
        QTRY_VERIFY(!splash.isVisible());
    }
}

// Whatever the captions, each button of the main title bar holds its
// caption, none overlaps the next, and the window buttons keep to the right
// end at every width: built in, with one long caption, in German.
void TestDialogs::titleBarButtonsHoldTheirCaptions()
{
    for (const QStringList& captions : {QStringList(), QStringList{"A", "Settings of the thermal camera module", "U", "Save"},
                                        QStringList{"Über", "Einstellungen", "Aktualisieren", "Speichern"}}) {
        CaptionTranslator translator;
        const char* sources[] = {"About", "Settings", "Upgrade", "Save"};
        for (int i = 0; i < captions.size(); ++i)
            translator.captions.insert(sources[i], captions[i]);
        QVERIFY(QCoreApplication::installTranslator(&translator));
        CTitleBar bar;
        bar.show();
        const CTitleBar::Buttons b = bar.buttons();
        for (int width : {730, 1921}) {
            bar.resize(width, 35);
            QRect previous;
            for (QPushButton* button : {b.about, b.setting, b.save, b.minimize, b.maximize, b.close}) {
                QVERIFY(captions.isEmpty() || button->text().isEmpty() || captions.contains(button->text()));
                QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width());
                QVERIFY2(button->x() >= previous.right(), qPrintable(button->objectName()));
                previous = button->geometry();
            }
            QVERIFY(b.close->geometry().right() < width && b.close->geometry().right() > width - 40);
        }
        QCoreApplication::removeTranslator(&translator);
    }
}

// A press that starts a drag is the filter's; any other reaches the window.
// A right press starts none, the release of any button ends one, and after a
// lost release (outside the window, say) a move without a held button must
// not drag.
void TestDialogs::drag()
{
    const int left = Qt::LeftButton, right = Qt::RightButton, none = Qt::NoButton;
    const struct {
        int pressed;
        int released;  // Qt::NoButton: no release before the move
        int held;      // while moving
        bool moves;
    } cases[] = {{left, none, left, true}, {right, none, right, false}, {left, right, left, false}, {left, none, none, false}};
    for (const auto& [pressed, released, held, moves] : cases) {
        struct Window : QWidget {
            int presses = 0;
            void mousePressEvent(QMouseEvent*) override { ++presses; }
        } window;
        window.setProperty("CanMove", true);
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(200, 200, 300, 200);
        window.show();
        CEventFilter filter;
        qApp->installEventFilter(&filter);
        const QPoint start = window.pos();
        const QPoint grab = start + QPoint(40, 10);
        sendMouse(&window, QEvent::MouseButtonPress, grab, Qt::MouseButton(pressed), Qt::MouseButton(pressed));
        QCOMPARE(window.presses, pressed == Qt::LeftButton ? 0 : 1);
        if (released != Qt::NoButton)
            sendMouse(&window, QEvent::MouseButtonRelease, grab, Qt::MouseButton(released), Qt::MouseButton(pressed));
        sendMouse(&window, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::MouseButtons(held));
        QCOMPARE(window.pos(), moves ? start + QPoint(30, 20) : start);
        // Whatever happened, a release leaves the shared drag state idle.
        sendMouse(&window, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton);
        sendMouse(&window, QEvent::MouseMove, grab + QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos(), moves ? start + QPoint(30, 20) : start);
        qApp->removeEventFilter(&filter);
    }
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
