// Takes the README's pictures of the main window on the simulated module:
// Celsius with measurements, Fahrenheit, turned a quarter, a tall window and
// the camera unplugged. Writes PNG files into the folder given as the only
// argument. Run it through scripts/screenshots (Xvfb, a home of its own).
#include "globals.h"
#include "ombrix_resources.h"
#include "paintwidget.h"
#include "sensormapping.h"
#include "thermalimager.h"
#include "ui_thermalimager.h"

#include <ombrix_simulator.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextStream>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// Runs the event loop until `done` holds or `ms` pass.
bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return done();
}

void settle(int ms)
{
    waitFor([] { return false; }, ms);
}

void click(QWidget* widget, const QPoint& at)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

void drag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, widget->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, widget->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QPoint elementCentre(PaintWidget* overlay, int element)
{
    ombrix_sim_element e{};
    ombrix_sim_element_get(element, &e);
    return sensorToWidget(overlay, QPoint(int(std::lround(e.centre_x)), int(std::lround(e.centre_y))));
}

bool save(ThermalImager& window, const QString& folder, const char* name)
{
    settle(1500);
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The spot on the hot element, a line from the cold one to it, and a
// rectangle around the warm one.
void measure(ThermalImager& window)
{
    Ui_ThermalImagerClass& ui = window.form();
    ui.pushButtonSpot->click();
    PaintWidget* overlay = window.overlayWidget();
    click(overlay, elementCentre(overlay, OMBRIX_SIM_HOT));
    ui.pushButtonLine->click();
    drag(overlay, elementCentre(overlay, OMBRIX_SIM_COLD), elementCentre(overlay, OMBRIX_SIM_HOT) + QPoint(0, 30));
    ui.pushButtonSquare->click();
    const QPoint warm = elementCentre(overlay, OMBRIX_SIM_BODY);
    drag(overlay, warm - QPoint(30, 20), warm + QPoint(30, 20));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VARNEK"));
    QApplication::setApplicationName(QStringLiteral("Ombrix"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: ombrix_screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    ombrix_init_resources();
    QFile style(QStringLiteral(":/css/style.css"));
    if (style.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(style.readAll()));

    ThermalImager window;
    window.show();
    if (!waitFor([] { return g_connected.load(); }, 5000)) {
        std::fprintf(stderr, "the simulated module did not connect\n");
        return 1;
    }
    settle(6000);  // a few seconds of chart
    measure(window);
    bool ok = save(window, folder, "mainwindow-celsius.png");

    window.form().pushButtonRotate->click();
    ok = save(window, folder, "mainwindow-rotated.png") && ok;
    for (int turn = 0; turn < 3; ++turn)
        window.form().pushButtonRotate->click();

    g_temp_unit = 1;
    window.onChangeStatus();
    settle(3000);
    ok = save(window, folder, "mainwindow-fahrenheit.png") && ok;
    g_temp_unit = 0;
    window.onChangeStatus();

    window.resize(730, 1000);
    ok = save(window, folder, "mainwindow-tall.png") && ok;
    window.resize(730, 590);

    ombrix_sim_unplug();
    waitFor([] { return !g_connected.load(); }, 5000);
    ok = save(window, folder, "mainwindow-disconnected.png") && ok;
    return ok ? 0 : 1;
}
