// What every dialog promises, then the message box, splash screen, the main
// title bar's captions and the window drag filter.
#include "cbasetitlebar.h"
#include "ceventfilter.h"
#include "cmessagebox.h"
#include "csplashscreen.h"
#include "ctitlebar.h"
#include "cwidgetabout.h"
#include "cwidgetsettings.h"
#include "testsupport.h"

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

using DialogFactory = std::function<QDialog*()>;
Q_DECLARE_METATYPE(DialogFactory)

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
    void initTestCase() { initResourcesIfLinked(); }

    void contract_data();
    void contract();
    void messageBox_data();
    void messageBox();

    void splashBarsRunAroundTheBorder_data();
    void splashBarsRunAroundTheBorder();

    void titleBarButtonsHoldTheirCaptions_data();
    void titleBarButtonsHoldTheirCaptions();
    void drag_data();
    void drag();
};

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

void TestDialogs::messageBox_data()
{
    QTest::addColumn<QStringList>("captions");  // an empty caption hides its button
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("press");  // a button's number, "close" or "Escape"
    QTest::addColumn<int>("result");
    const QStringList three{"OK", "Later", "Cancel"};
    QTest::newRow("first") << three << "" << "0" << 1;
    QTest::newRow("second") << three << "Upgrade" << "1" << 2;
    QTest::newRow("third") << three << "" << "2" << 3;
    QTest::newRow("one long") << QStringList{"Confirm and continue with the firmware upgrade", "", ""} << "" << "0" << 1;
    QTest::newRow("first and third") << QStringList{"OK", "", "Cancel the whole operation"} << "Upgrade" << "2" << 3;
    QTest::newRow("title bar close, no buttons") << QStringList{"", "", ""} << "" << "close" << 0;
    QTest::newRow("Escape") << QStringList{"OK", "", ""} << "Upgrade" << "Escape" << 0;
}

// exec() answers the button pressed. Shown buttons share one width that
// holds the longest caption, stay inside the box and apart, and shrink back
// when refilled with shorter captions. The header is white without a title,
// light grey with one, as painted.
void TestDialogs::messageBox()
{
    QFETCH(QStringList, captions);
    QFETCH(QString, title);
    QFETCH(QString, press);
    QFETCH(int, result);
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
        QCOMPARE(header, title.isEmpty() ? QColor(Qt::white) : QColor(0xF6, 0xF7, 0xFC));
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
    QCOMPARE(box->exec(), result);
    QVERIFY(box.isNull());
}

void TestDialogs::splashBarsRunAroundTheBorder_data()
{
    QTest::addColumn<int>("duration");  // -1: never set
    QTest::addColumn<int>("ticks");
    QTest::addColumn<Values>("expected");
    QTest::newRow("1 tick") << 1000 << 1 << Values{40, 0, 0, 0};
    QTest::newRow("3 ticks") << 1000 << 3 << Values{100, 20, 0, 0};
    QTest::newRow("9 ticks") << 1000 << 9 << Values{100, 100, 100, 60};
    QTest::newRow("long after the turn") << 1000 << 500 << Values{100, 100, 100, 100};
    // 50 ms counts as 100 ms: a quarter is 25 ms, so one tick completes the turn.
    QTest::newRow("short duration counts as minimum") << 50 << 1 << Values{100, 100, 100, 100};
    QTest::newRow("no duration does not divide by zero") << -1 << 3 << Values{100, 100, 100, 100};
}

// The test takes the splash's timer over and delivers the ticks itself.
void TestDialogs::splashBarsRunAroundTheBorder()
{
    QFETCH(int, duration);
    QFETCH(int, ticks);
    QFETCH(Values, expected);
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

void TestDialogs::titleBarButtonsHoldTheirCaptions_data()
{
    QTest::addColumn<QStringList>("captions");  // About, Settings, Upgrade, Save
    QTest::newRow("built-in English") << QStringList();
    QTest::newRow("one long caption") << QStringList{"A", "Settings of the thermal camera module", "U", "Save"};
    QTest::newRow("German") << QStringList{"Über", "Einstellungen", "Aktualisieren", "Speichern"};
}

// Whatever the captions, each button of the main title bar holds its
// caption, none overlaps the next, and the window buttons keep to the right
// end at every width.
void TestDialogs::titleBarButtonsHoldTheirCaptions()
{
    QFETCH(QStringList, captions);
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

void TestDialogs::drag_data()
{
    QTest::addColumn<bool>("canMove");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<int>("released");  // Qt::NoButton: no release before the move
    QTest::addColumn<int>("held");      // while moving
    QTest::addColumn<bool>("moves");
    const int left = Qt::LeftButton, right = Qt::RightButton, none = Qt::NoButton;
    QTest::newRow("left drag") << true << left << none << left << true;
    QTest::newRow("right press") << true << right << none << right << false;
    QTest::newRow("release of any button ends it") << true << left << right << left << false;
    // The release got lost (for instance outside the window): a move without
    // a held button must not drag.
    QTest::newRow("move without held button") << true << left << none << none << false;
}

// A press that starts a drag is the filter's; any other reaches the window.
void TestDialogs::drag()
{
    QFETCH(bool, canMove);
    QFETCH(int, pressed);
    QFETCH(int, released);
    QFETCH(int, held);
    QFETCH(bool, moves);
    struct Window : QWidget {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } window;
    window.setProperty("CanMove", canMove);
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(200, 200, 300, 200);
    window.show();
    CEventFilter filter;
    qApp->installEventFilter(&filter);
    const QPoint start = window.pos();
    const QPoint grab = start + QPoint(40, 10);
    sendMouse(&window, QEvent::MouseButtonPress, grab, Qt::MouseButton(pressed), Qt::MouseButton(pressed));
    QCOMPARE(window.presses, canMove && pressed == Qt::LeftButton ? 0 : 1);
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

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
