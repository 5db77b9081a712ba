// Title bars and window dragging.
#include "cbasetitlebar.h"
#include "ceventfilter.h"
#include "ctitlebar.h"
#include "testsupport.h"
#include "textmetrics.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
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

    void textButtonWidths_data();
    void textButtonWidths();
    void titleBarTextsGoThroughTranslation();
    void titleBarHidesUpgradeAndNormalUntilMaximized();
    void widenedBarKeepsWindowButtonsApart();
    void doubleClickEmitsOnlyForLeftButton();

    void baseTitleBarTitleAndCloseButton();

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

void TestTitleBars::textButtonWidths_data()
{
    QTest::addColumn<QStringList>("captions");  // About, Settings, Upgrade, Save
    QTest::addColumn<QString>("rule");
    QTest::newRow("built-in English") << QStringList() << "shared";
    QTest::newRow("all captions under 22 pixels") << QStringList{"A", "S", "U", "s"} << "minimum";
    QTest::newRow("one long caption")
        << QStringList{"A", "Settings of the thermal camera module", "U", "Save"} << "own";
}

void TestTitleBars::textButtonWidths()
{
    QFETCH(QStringList, captions);
    QFETCH(QString, rule);
    if (!captions.isEmpty()) {
        translator = std::make_unique<TableTranslator>();
        const char* sources[] = {"About", "Settings", "Upgrade", "Save"};
        for (int i = 0; i < 4; ++i)
            translator->add("CTitleBar", sources[i], captions[i]);
        QVERIFY(QCoreApplication::installTranslator(translator.get()));
    }

    CTitleBar bar;
    const CTitleBar::Buttons b = bar.buttons();
    QPushButton* const textButtons[] = {b.about, b.setting, b.upgrade, b.save};
    const QFont font = b.about->font();
    QCOMPARE(font.pixelSize(), 12);  // the style sheet's font is the one measured

    int widest = 0;
    for (QPushButton* button : textButtons)
        widest = std::max(widest, captionWidth(font, button->text(), 27));
    const int shared = widest + 22;

    for (QPushButton* button : textButtons) {
        const int own = std::max(captionWidth(font, button->text(), 27) + 22, 44);
        if (rule == "minimum") {
            QVERIFY(shared < 44);
            QCOMPARE(button->width(), 44);
        } else if (rule == "shared") {
            QVERIFY(shared >= 44 && 4 * shared + 20 <= 565);
            QCOMPARE(button->width(), shared);
        } else {
            QVERIFY(4 * shared + 20 > 565);
            QCOMPARE(button->width(), own);
        }
        QCOMPARE(button->minimumWidth(), button->maximumWidth());
    }
}

void TestTitleBars::titleBarTextsGoThroughTranslation()
{
    translator = std::make_unique<TableTranslator>();
    translator->add("CTitleBar", "Settings", "Einstellungen");
    translator->add("CTitleBar", "Alt+S", "Alt+E");
    translator->add("CTitleBar", "Close", "Schließen");
    QVERIFY(QCoreApplication::installTranslator(translator.get()));

    CTitleBar bar;
    const CTitleBar::Buttons b = bar.buttons();
    QCOMPARE(b.setting->text(), QString("Einstellungen"));
    QCOMPARE(b.setting->shortcut(), QKeySequence("Alt+E"));
    QCOMPARE(b.close->toolTip(), QString("Schließen"));
    // Untranslated texts keep the built-in English.
    QCOMPARE(b.about->text(), QString("About"));
    QCOMPARE(b.about->shortcut(), QKeySequence("Alt+A"));
    QCOMPARE(b.save->shortcut(), QKeySequence("Ctrl+S"));
    QCOMPARE(b.upgrade->shortcut(), QKeySequence("Alt+U"));
    QCOMPARE(b.minimize->toolTip(), QString("Minimize"));
    QCOMPARE(b.normal->toolTip(), QString("Normal"));
    QCOMPARE(b.maximize->toolTip(), QString("Maximize"));
}

void TestTitleBars::titleBarHidesUpgradeAndNormalUntilMaximized()
{
    CTitleBar bar;
    bar.show();
    const CTitleBar::Buttons b = bar.buttons();
    QCOMPARE(bar.objectName(), QString("CTitleBar"));
    QVERIFY(bar.testAttribute(Qt::WA_StyledBackground));
    QVERIFY(!b.upgrade->isVisible());
    QVERIFY(!b.normal->isVisible());
    for (QPushButton* button : {b.about, b.setting, b.save, b.minimize, b.maximize, b.close})
        QVERIFY(button->isVisible());
    QCOMPARE(b.close->objectName(), QString("pushButtonClose"));
    QCOMPARE(b.setting->objectName(), QString("pushButtonSetting"));

    b.maximize->click();
    QVERIFY(b.normal->isVisible());
    QVERIFY(!b.maximize->isVisible());
    b.normal->click();
    QVERIFY(!b.normal->isVisible());
    QVERIFY(b.maximize->isVisible());
}

void TestTitleBars::widenedBarKeepsWindowButtonsApart()
{
    CTitleBar bar;
    bar.show();
    for (int width : {730, 1200, 1921}) {
        bar.resize(width, 35);
        const CTitleBar::Buttons b = bar.buttons();
        QCOMPARE(b.close->geometry().right() + 1 + 18, width);
        QCOMPARE(b.maximize->geometry().right() + 1 + 18, b.close->x());
        QCOMPARE(b.normal->pos(), b.maximize->pos());
        QCOMPARE(b.minimize->geometry().right() + 1 + 18, b.maximize->x());
        QCOMPARE(b.close->y(), 4);
        QCOMPARE(b.minimize->y(), 4);
        QCOMPARE(b.about->pos(), QPoint(5, 4));
        QCOMPARE(b.setting->x(), b.about->x() + b.about->width() + 5);
        QCOMPARE(b.save->x(), b.setting->x() + b.setting->width() + 5);
    }
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

void TestTitleBars::baseTitleBarTitleAndCloseButton()
{
    CBaseTitleBar bar;
    QCOMPARE(bar.objectName(), QString("CBaseTitleBar"));
    QCOMPARE(bar.windowTitle(), QString("CBaseTitleBar"));
    QCOMPARE(bar.size(), QSize(387, 40));
    QCOMPARE(bar.title(), QString("Title"));
    bar.setTitle("Settings");
    QCOMPARE(bar.title(), QString("Settings"));
    QCOMPARE(bar.parts().title->text(), QString("Settings"));
    QVERIFY(bar.parts().close->text().isEmpty());

    bar.show();
    for (int width : {387, 574, 480}) {
        bar.resize(width, 40);
        QCOMPARE(bar.parts().close->geometry(), QRect(width - 18 - 32, 4, 32, 32));
    }
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
