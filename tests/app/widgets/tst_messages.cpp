// Message box and toasts.
#include "cbasetitlebar.h"
#include "cdialogtoast.h"
#include "cmessagebox.h"
#include "testsupport.h"
#include "textmetrics.h"
#include "toast.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

QPushButton* button(CMessageBox* box, const char* name)
{
    return box->findChild<QPushButton*>(QString::fromLatin1(name));
}

// Runs `act` once the box's modal loop is up and returns exec()'s result.
int execAndThen(CMessageBox* box, const std::function<void(CMessageBox*)>& act)
{
    QTimer::singleShot(0, box, [box, act] { act(box); });
    return box->exec();
}

CDialogToast* toastDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<CDialogToast*>(widget))
            return dialog;
    return nullptr;
}

// Counts the timer events the toast object receives.
class TimerEventCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            ++count;
        return false;
    }
};

// Coarse timers may fire up to 5 % early.
constexpr qint64 kEarliestClose = 2000 - 100;

}  // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void messageBoxForm();
    void buttonsShareWidestCaptionWidth_data();
    void buttonsShareWidestCaptionWidth();
    void threeButtonsStayInsideTheBox();
    void execReturnsPressedButton_data();
    void execReturnsPressedButton();
    void headerColourFollowsTitle();

    void toastIsOneObject();
    void longToastTextWraps();
    void secondToastRestartsTimer();
    void modalToastWaitsUntilClosed();

private:
    static int expectedButtonWidth(CMessageBox* box, const QStringList& texts);
};

void TestMessages::initTestCase()
{
    initResourcesIfLinked();
}

int TestMessages::expectedButtonWidth(CMessageBox* box, const QStringList& texts)
{
    const QFont font = button(box, "pushButton")->font();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, captionWidth(font, text, 35));
    return std::max(widest + 50, 128);
}

void TestMessages::messageBoxForm()
{
    QPointer<CMessageBox> box = new CMessageBox;
    QCOMPARE(box->objectName(), QString("CMessageBox"));
    QCOMPARE(box->size(), QSize(387, 244));
    QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    QVERIFY(box->windowFlags() & Qt::FramelessWindowHint);
    auto* label = box->findChild<QLabel*>("label");
    QVERIFY(label);
    QVERIFY(label->wordWrap());
    QCOMPARE(label->alignment(), Qt::AlignCenter);
    QVERIFY(label->text().isEmpty());
    QVERIFY(box->findChild<CBaseTitleBar*>()->title().isEmpty());
    box->setText("No device found, please connect the device!");
    QCOMPARE(label->text(), QString("No device found, please connect the device!"));
    for (const char* name : {"pushButton", "pushButton_2", "pushButton_3"})
        QVERIFY(button(box, name)->text().isEmpty());
    box->show();
    QCOMPARE(box->findChild<CBaseTitleBar*>()->width(), 387);
    box->close();
    QTRY_VERIFY(box.isNull());
}

void TestMessages::buttonsShareWidestCaptionWidth_data()
{
    QTest::addColumn<QStringList>("captions");  // an empty caption hides its button
    QTest::newRow("one short") << QStringList{"OK", "", ""};
    QTest::newRow("one long") << QStringList{"Confirm and continue with the firmware upgrade", "", ""};
    QTest::newRow("first and third") << QStringList{"OK", "", "Cancel the whole operation"};
    QTest::newRow("first and second") << QStringList{"OK", "No", ""};
}

void TestMessages::buttonsShareWidestCaptionWidth()
{
    QFETCH(QStringList, captions);
    CMessageBox box;
    box.setAttribute(Qt::WA_DeleteOnClose, false);
    // Filled with long texts first: refilling must shrink the buttons back.
    box.setButtons("Cancel the whole operation right now", "A", "B");
    box.setButtons(captions[0], captions[1], captions[2]);
    const int expected = expectedButtonWidth(&box, captions);
    QVERIFY(expected >= 128);
    const char* names[] = {"pushButton", "pushButton_2", "pushButton_3"};
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = button(&box, names[i]);
        QCOMPARE(b->isHidden(), captions[i].isEmpty());
        QCOMPARE(b->text(), captions[i]);
        QCOMPARE(b->width(), expected);
        QCOMPARE(b->maximumWidth(), expected);
    }
}

void TestMessages::threeButtonsStayInsideTheBox()
{
    CMessageBox box;
    box.setAttribute(Qt::WA_DeleteOnClose, false);
    box.setButtons("Yes", "No", "Cancel");
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QRect previous;
    for (const char* name : {"pushButton", "pushButton_2", "pushButton_3"}) {
        QPushButton* b = button(&box, name);
        const QRect inBox(b->mapTo(&box, QPoint(0, 0)), b->size());
        QVERIFY2(box.rect().contains(inBox), name);
        QVERIFY2(!inBox.intersects(previous), name);
        QCOMPARE(b->width(), 128);
        previous = inBox;
    }
    // The title bar follows the box's width.
    QCOMPARE(box.findChild<CBaseTitleBar*>()->width(), box.width());
    box.hide();
}

void TestMessages::execReturnsPressedButton_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("press");  // a button's name, "close" or "Escape"
    QTest::addColumn<int>("result");
    const QStringList three{"OK", "Later", "Cancel"};
    QTest::newRow("first") << three << "pushButton" << 1;
    QTest::newRow("second") << three << "pushButton_2" << 2;
    QTest::newRow("third") << three << "pushButton_3" << 3;
    QTest::newRow("title bar close, no buttons") << QStringList{"", "", ""} << "close" << 0;
    QTest::newRow("Escape") << QStringList{"OK", "", ""} << "Escape" << 0;
}

void TestMessages::execReturnsPressedButton()
{
    QFETCH(QStringList, captions);
    QFETCH(QString, press);
    QFETCH(int, result);
    QPointer<CMessageBox> box = new CMessageBox;
    box->setTitle("");
    box->setText("Save current temperature matrix?");
    box->setButtons(captions[0], captions[1], captions[2]);
    const int got = execAndThen(box, [press](CMessageBox* b) {
        if (press == "close")
            b->findChild<CBaseTitleBar*>()->parts().close->click();
        else if (press == "Escape")
            QTest::keyClick(b, Qt::Key_Escape);
        else
            b->findChild<QPushButton*>(press)->click();
    });
    QCOMPARE(got, result);
    QVERIFY(box.isNull());  // deleted on close
}

void TestMessages::headerColourFollowsTitle()
{
    for (const auto& [title, background] : {std::pair<QString, QString>{"", "#FFFFFF"}, {"Upgrade", "#F6F7FC"}}) {
        QString style;
        QPointer<CMessageBox> box = new CMessageBox;
        box->setTitle(title);
        box->setButtons("OK", "", "");
        execAndThen(box, [&style](CMessageBox* b) {
            style = b->findChild<CBaseTitleBar*>()->styleSheet();
            b->done(0);
        });
        QCOMPARE(style, QString("QWidget{\t\t\tbackground: %1;\t\t\topacity: 1;\t\t\t"
                                "border-radius: 4px 4px 0px 0px;\t}").arg(background));
    }
}

void TestMessages::toastIsOneObject()
{
    Toast* toast = Toast::instance();
    QVERIFY(toast);
    QCOMPARE(Toast::instance(), toast);
    CDialogToast* dialog = toastDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QString("CDialogToast"));
    QCOMPARE(dialog->windowTitle(), QString("CDialogToast"));
    QVERIFY(dialog->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(dialog->styleSheet(),
             QString("QDialog{background-color: #484848;        opacity : 1;        border-radius: 10px;}"));
    QVERIFY(!dialog->isVisible());
}

void TestMessages::longToastTextWraps()
{
    CDialogToast toast;
    const QString text = QString("Start firmware upgrade... ").repeated(8).trimmed();
    toast.showMessage(text);
    auto* label = toast.findChild<QLabel*>("label");
    const QFontMetrics metrics(label->font());
    const QRect bounds = metrics.boundingRect(QRect(0, 0, 690, 0), Qt::TextWordWrap, text);
    QVERIFY(bounds.width() <= 690);
    QVERIFY(bounds.height() >= 2 * metrics.height());  // wrapped onto several lines
    QCOMPARE(toast.size(), QSize(bounds.width() + 76, bounds.height() + 56));
    QCOMPARE(label->geometry(), QRect(QPoint(38, 28), bounds.size()));
    QCOMPARE(label->text(), text);
    QVERIFY(toast.isVisible());
    QVERIFY(toast.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(toast.windowFlags() & Qt::FramelessWindowHint);
    const QRect available = toast.screen()->availableGeometry();
    QCOMPARE(toast.pos(), available.center() - toast.rect().center());

    toast.showMessage("Save failed!");
    const QRect single = metrics.boundingRect(QRect(0, 0, 690, 0), Qt::TextWordWrap, "Save failed!");
    QCOMPARE(toast.size(), QSize(single.width() + 76, single.height() + 56));
}

void TestMessages::secondToastRestartsTimer()
{
    Toast* toast = Toast::instance();
    TimerEventCounter counter;
    toast->installEventFilter(&counter);

    toast->showTip(0, "Save failed!");
    CDialogToast* dialog = toastDialog();
    QVERIFY(dialog->isVisible());
    QTest::qWait(1000);
    QVERIFY(dialog->isVisible());
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    toast->showTip(1, "Start firmware upgrade...");
    QCOMPARE(dialog->findChild<QLabel*>("label")->text(), QString("Start firmware upgrade..."));

    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 10000);
    QVERIFY2(sinceSecond.elapsed() >= kEarliestClose, qPrintable(QString::number(sinceSecond.elapsed())));
    // The first call's timer never fired: only the restarted one did.
    QCOMPARE(counter.count, 1);
    toast->removeEventFilter(&counter);
}

void TestMessages::modalToastWaitsUntilClosed()
{
    QElapsedTimer clock;
    clock.start();
    Toast::instance()->showTipModal(0, "Thermal imager program is running!");
    QVERIFY2(clock.elapsed() >= kEarliestClose, qPrintable(QString::number(clock.elapsed())));
    CDialogToast* dialog = toastDialog();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->findChild<QLabel*>("label")->text(), QString("Thermal imager program is running!"));
}

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
