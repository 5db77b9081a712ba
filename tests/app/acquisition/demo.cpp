// A harness window for looking at the acquisition layer by eye: the live
// simulated scene in colour in a CGLWidgetImage, with a PaintWidget on top
// holding a spot on the hot object, a line across the scene and a rectangle
// round the cold object. R (or the space bar) turns the picture a quarter
// clockwise; the title shows the scene's extremes.
//
//   ombrix_acquisition_demo [--palette N] [--turns N] [--screenshot FILE] [--quit-after MS]
#include "acquisitiontesting.h"
#include "paintwidget.h"

#include <dozazuva_backend.h>
#include <ombrix_simulator.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr int Scale = 2;  // the picture at twice the sensor's size

// The viewer's main window as far as the acquisition layer sees it: it holds
// the picture and the overlay, receives the extremes and turns the picture.
class DemoWindow : public QWidget
{
    Q_OBJECT

public:
    DemoWindow()
    {
        setWindowTitle(QStringLiteral("Ombrix acquisition demo"));
        view = new CGLWidgetImage(this);
        overlay = new PaintWidget(this);
        placeChildren(QSize(256 * Scale, 192 * Scale));
        connect(this, &DemoWindow::updateMaxMinTemperature, this, &DemoWindow::onUpdateMaxMinTemperature);
    }

    ~DemoWindow() override { disconnectCamera(view); }

    CGLWidgetImage* view = nullptr;
    PaintWidget* overlay = nullptr;

    // Draws the three shapes as a user would, with the mouse.
    void drawShapes()
    {
        auto cell = [](int element) {
            ombrix_sim_element e = {};
            ombrix_sim_element_get(element, &e);
            return e;
        };
        const ombrix_sim_element hot = cell(OMBRIX_SIM_HOT);
        const ombrix_sim_element cold = cell(OMBRIX_SIM_COLD);
        drag(Shape::SpotCode, QPoint(int(hot.centre_x), int(hot.centre_y)), QPoint(int(hot.centre_x), int(hot.centre_y)));
        drag(Shape::LineCode, QPoint(30, 100), QPoint(230, 110));
        drag(Shape::RectCode, QPoint(cold.left - 6, cold.top - 6), QPoint(cold.right + 40, cold.bottom + 6));
    }

    void turn()
    {
        g_rotate_angle = (g_rotate_angle + 90) % 360;
        const QSize size = g_rotate_angle % 180 == 90 ? QSize(192 * Scale, 256 * Scale) : QSize(256 * Scale, 192 * Scale);
        overlay->rotateShapes(size, 90);
        placeChildren(size);
    }

signals:
    void updateMaxMinTemperature(float max, float min, qlonglong time, int tempUnit);

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_R || event->key() == Qt::Key_Space)
            turn();
        else
            QWidget::keyPressEvent(event);
    }

private slots:
    void onUpdateMaxMinTemperature(float max, float min, qlonglong, int)
    {
        setWindowTitle(QString("Ombrix acquisition demo - max %1, min %2, %3 degrees")
                           .arg(temperatureText(max, 0), temperatureText(min, 0))
                           .arg(g_rotate_angle.load()));
        overlay->update();
    }

private:
    void placeChildren(const QSize& size)
    {
        setFixedSize(size);
        view->setGeometry(QRect(QPoint(0, 0), size));
        overlay->setGeometry(QRect(QPoint(0, 0), size));
    }

    // A press at `from`, a move and a release at `to`, in sensor cells.
    void drag(Shape::Code code, const QPoint& from, const QPoint& to)
    {
        overlay->setCurrentShape(code);
        const QPoint a = from * Scale, b = to * Scale;
        QMouseEvent press(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(overlay, &press);
        QCoreApplication::sendEvent(overlay, &move);
        QCoreApplication::sendEvent(overlay, &release);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption paletteOption("palette", "Palette index (0 to 82).", "N", "1");
    const QCommandLineOption turnsOption("turns", "Quarter turns before showing.", "N", "0");
    const QCommandLineOption screenshotOption("screenshot", "Save the window to FILE and quit.", "FILE");
    const QCommandLineOption quitOption("quit-after", "Quit after MS milliseconds.", "MS");
    parser.addOptions({paletteOption, turnsOption, screenshotOption, quitOption});
    parser.process(app);

    dozazuva_use_backend(ombrix_simulator_backend());
    if (!connectCamera()) {
        qCritical("the simulated camera did not connect");
        return 1;
    }

    DemoWindow window;
    g_main_window = &window;
    window.show();
    window.view->openImage();
    g_palette = parser.value(paletteOption).toInt();  // over profile.ini's choice
    window.drawShapes();
    for (int i = 0; i < parser.value(turnsOption).toInt(); ++i)
        window.turn();

    if (parser.isSet(screenshotOption)) {
        // Long enough for a few temperature steps, so the labels are live.
        QTimer::singleShot(2500, &window, [&] {
            window.grab().save(parser.value(screenshotOption));
            app.quit();
        });
    }
    if (parser.isSet(quitOption))
        QTimer::singleShot(parser.value(quitOption).toInt(), &app, &QApplication::quit);
    const int result = app.exec();
    g_main_window = nullptr;
    return result;
}

#include "demo.moc"
