// Title bars and window dragging.
#include "cbasetitlebar.h"
#include "ceventfilter.h"
#include "ctitlebar.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// A window that counts the presses that reach it past the filter.
class MovableWindow : public QWidget
{
public:
    explicit MovableWindow(bool canMove)
    {
        setProperty("CanMove", canMove);
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setGeometry(200, 200, 300, 200);
    }
    int pressesSeen = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++pressesSeen;
        event->accept();
    }
};

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void sendDoubleClick(QWidget* target, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(300, 15), target->mapToGlobal(QPoint(300, 15)), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

class TestTitleBars : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void buttonsHoldTheirCaptionsApart_data();
    void buttonsHoldTheirCaptionsApart();
    void titleBarHidesUpgradeAndNormalUntilMaximized();
    void doubleClickEmitsOnlyForLeftButton();

    void leftDragMovesMovableWindow();
    void dragIsRefused_data();
    void dragIsRefused();

private:
    std::unique_ptr<TableTranslator> translator;
    std::unique_ptr<CEventFilter> filter;
};

void TestTitleBars::initTestCase()
{
    initResourcesIfLinked();
}

void TestTitleBars::init()
{
    filter = std::make_unique<CEventFilter>();
    qApp->installEventFilter(filter.get());
}

void TestTitleBars::cleanup()
{
    // Leave the process-wide drag state idle for the next case.
    QWidget idle;
    idle.setProperty("CanMove", true);
    sendMouse(&idle, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
    qApp->removeEventFilter(filter.get());
    filter.reset();
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}

void TestTitleBars::buttonsHoldTheirCaptionsApart_data()
{
    QTest::addColumn<QStringList>("captions");  // About, Settings, Upgrade, Save
    QTest::newRow("built-in English") << QStringList();
    QTest::newRow("one-letter captions") << QStringList{"A", "S", "U", "s"};
    QTest::newRow("one long caption") << QStringList{"A", "Settings of the thermal camera module", "U", "Save"};
    QTest::newRow("German") << QStringList{"Über", "Einstellungen", "Aktualisieren", "Speichern"};
}

// Whatever the captions, each text button holds its caption, the buttons do
// not overlap, and the window buttons keep to the right end at every width.
void TestTitleBars::buttonsHoldTheirCaptionsApart()
{
    QFETCH(QStringList, captions);
    if (!captions.isEmpty()) {
        translator = std::make_unique<TableTranslator>();
        const char* sources[] = {"About", "Settings", "Upgrade", "Save"};
        for (int i = 0; i < 4; ++i)
            translator->add("CTitleBar", sources[i], captions[i]);
        QVERIFY(QCoreApplication::installTranslator(translator.get()));
    }
    CTitleBar bar;
    bar.show();
    const CTitleBar::Buttons b = bar.buttons();
    for (int width : {730, 1200, 1921}) {
        bar.resize(width, 35);
        QRect previous;
        for (QPushButton* button : {b.about, b.setting, b.save, b.minimize, b.maximize, b.close}) {
            if (!captions.isEmpty() && !button->text().isEmpty())
                QVERIFY(captions.contains(button->text()));
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width());
            QVERIFY2(button->x() >= previous.right(), qPrintable(button->objectName()));
            QVERIFY(button->geometry().right() < width);
            previous = button->geometry();
        }
        QVERIFY(b.close->geometry().right() > width - 40);
        QCOMPARE(b.normal->geometry(), b.maximize->geometry());
    }
}

void TestTitleBars::titleBarHidesUpgradeAndNormalUntilMaximized()
{
    CTitleBar bar;
    bar.show();
    const CTitleBar::Buttons b = bar.buttons();
    QVERIFY(!b.upgrade->isVisible());
    QVERIFY(!b.normal->isVisible());
    for (QPushButton* button : {b.about, b.setting, b.save, b.minimize, b.maximize, b.close})
        QVERIFY(button->isVisible());

    b.maximize->click();
    QVERIFY(b.normal->isVisible());
    QVERIFY(!b.maximize->isVisible());
    b.normal->click();
    QVERIFY(!b.normal->isVisible());
    QVERIFY(b.maximize->isVisible());
}

void TestTitleBars::doubleClickEmitsOnlyForLeftButton()
{
    CTitleBar bar;
    bar.show();
    QSignalSpy spy(&bar, &CTitleBar::mouseDoubleClick);
    sendDoubleClick(&bar, Qt::RightButton);
    QCOMPARE(spy.count(), 0);
    sendDoubleClick(&bar, Qt::MiddleButton);
    QCOMPARE(spy.count(), 0);
    QTest::ignoreMessage(QtDebugMsg, "mouseDoubleClickEvent");
    sendDoubleClick(&bar, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

void TestTitleBars::leftDragMovesMovableWindow()
{
    MovableWindow window(true);
    window.show();
    const QPoint start = window.pos();
    const QPoint grab = start + QPoint(40, 10);

    sendMouse(&window, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(window.pressesSeen, 0);  // consumed by the filter
    sendMouse(&window, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(30, 20));
    sendMouse(&window, QEvent::MouseMove, grab + QPoint(-15, 5), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(-15, 5));
    sendMouse(&window, QEvent::MouseButtonRelease, grab + QPoint(-15, 5), Qt::LeftButton, Qt::NoButton);
    sendMouse(&window, QEvent::MouseMove, grab + QPoint(100, 100), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(-15, 5));
}

void TestTitleBars::dragIsRefused_data()
{
    QTest::addColumn<bool>("canMove");
    QTest::addColumn<int>("pressedButton");
    QTest::addColumn<int>("releasedButton");  // Qt::NoButton: no release before the move
    QTest::addColumn<int>("heldWhileMoving");
    QTest::addColumn<int>("pressesSeen");
    QTest::newRow("right press") << true << int(Qt::RightButton) << int(Qt::NoButton) << int(Qt::RightButton) << 1;
    QTest::newRow("release of any button ends it")
        << true << int(Qt::LeftButton) << int(Qt::RightButton) << int(Qt::LeftButton) << 0;
    // The release got lost (for instance outside the window): a move without
    // a held button must not drag.
    QTest::newRow("move without held button")
        << true << int(Qt::LeftButton) << int(Qt::NoButton) << int(Qt::NoButton) << 0;
    QTest::newRow("window without CanMove")
        << false << int(Qt::LeftButton) << int(Qt::NoButton) << int(Qt::LeftButton) << 1;
}

void TestTitleBars::dragIsRefused()
{
    QFETCH(bool, canMove);
    QFETCH(int, pressedButton);
    QFETCH(int, releasedButton);
    QFETCH(int, heldWhileMoving);
    const auto pressed = Qt::MouseButton(pressedButton);
    const auto released = Qt::MouseButton(releasedButton);
    QFETCH(int, pressesSeen);
    MovableWindow window(canMove);
    window.show();
    const QPoint start = window.pos();
    const QPoint grab = start + QPoint(40, 10);

    sendMouse(&window, QEvent::MouseButtonPress, grab, pressed, pressed);
    QCOMPARE(window.pressesSeen, pressesSeen);  // consumed only when a drag starts
    if (released != Qt::NoButton)
        sendMouse(&window, QEvent::MouseButtonRelease, grab, released, pressed);
    sendMouse(&window, QEvent::MouseMove, grab + QPoint(30, 20), Qt::NoButton, Qt::MouseButtons(heldWhileMoving));
    QCOMPARE(window.pos(), start);
}

QTEST_MAIN(TestTitleBars)
#include "tst_titlebars.moc"
