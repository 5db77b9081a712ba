// The reading aids as the user meets them, on the simulated scene.
#include "colourscalebar.h"
#include "globals.h"
#include "picturereading.h"
#include "readingoverlay.h"
#include "scaledialog.h"
#include "temperaturesnapshot.h"

#include <ombrix_simulator.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(reading::ScaleSettings)

namespace {

constexpr int Width = OMBRIX_SIM_WIDTH;
constexpr int Height = OMBRIX_SIM_HEIGHT;

// The upright cell shown at cell c of the grid turned clockwise by angle.
QPoint upright(const QPoint& c, int angle)
{
    switch (angle) {
    case 90:
        return QPoint(c.y(), Height - 1 - c.x());
    case 180:
        return QPoint(Width - 1 - c.x(), Height - 1 - c.y());
    case 270:
        return QPoint(Width - 1 - c.y(), c.x());
    default:
        return c;
    }
}

}  // namespace

class TestReading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ticksMatchTheSpanInBothUnits();
    void markersAndCursorReadTheMappedCell();
    void dialogRefusesBadSpans();
    void alarmGoesOnOncePerCrossing();
    void aidsStartFromTheRememberedSettings();

private:
    QTemporaryDir config;
    std::vector<float> scene = std::vector<float>(size_t(Width) * Height);
};

void TestReading::initTestCase()
{
    QVERIFY(config.isValid());
    qRegisterMetaType<reading::ScaleSettings>();
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    ombrix_sim_reset();
    ombrix_sim_freeze_time(1);
    std::vector<uint16_t> words(scene.size());
    ombrix_sim_temperature_words(words.data(), words.size());
    for (size_t i = 0; i < words.size(); ++i)
        scene[i] = float(words[i] / 64.0 - 273.15);
    g_temp_unit = 0;
    QVERIFY(TemperatureSnapshot::instance().store(scene.data(), int(scene.size())));
}

void TestReading::ticksMatchTheSpanInBothUnits()
{
    reading::ColourScaleBar bar;
    const struct {
        int unit, height;
        QStringList labels;
    } cases[] = {
        {0, 200, {"0.0", "33.3", "66.7", "100.0"}},
        {1, 200, {"32.0", "92.0", "152.0", "212.0"}},
        {0, 400, {"0.0", "20.0", "40.0", "60.0", "80.0", "100.0"}},
        {1, 2000, {"32.0", "68.0", "104.0", "140.0", "176.0", "212.0"}},
    };
    for (const auto& c : cases) {
        bar.resize(bar.width(), c.height);
        bar.setScale(2, 0, 100, c.unit, true);
        QCOMPARE(bar.tickLabels(), c.labels);
    }
}

// At every rotation the hot and cold markers land on the scene's known
// extremes, and the cursor reads the matrix at the upright cell under it.
void TestReading::markersAndCursorReadTheMappedCell()
{
    ombrix_sim_element hot = {}, cold = {};
    ombrix_sim_element_get(OMBRIX_SIM_HOT, &hot);
    ombrix_sim_element_get(OMBRIX_SIM_COLD, &cold);
    for (int angle : {0, 90, 180, 270}) {
        g_rotate_angle = angle;
        QWidget picture;
        picture.resize(angle % 180 ? QSize(384, 512) : QSize(512, 384));
        reading::ReadingOverlay overlay(&picture);
        const QSize grid = angle % 180 ? QSize(Height, Width) : QSize(Width, Height);
        auto cellAt = [&](const QPoint& p) {
            return upright(QPoint(p.x() * grid.width() / picture.width(), p.y() * grid.height() / picture.height()), angle);
        };
        const reading::ReadingOverlay::Extremes found = overlay.extremes();
        QVERIFY(found.valid);
        for (const auto& [point, element] : {std::make_pair(found.hot, hot), std::make_pair(found.cold, cold)}) {
            const QPoint cell = cellAt(point);
            QVERIFY2(cell.x() >= element.left && cell.x() < element.right && cell.y() >= element.top &&
                         cell.y() < element.bottom,
                     qPrintable(QStringLiteral("%1 degrees: cell %2,%3").arg(angle).arg(cell.x()).arg(cell.y())));
        }
        QCOMPARE(found.hotValue, *std::max_element(scene.begin(), scene.end()));
        QCOMPARE(found.coldValue, *std::min_element(scene.begin(), scene.end()));
        for (const QPoint& point : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1),
                                    QPoint(picture.width() / 3, picture.height() * 2 / 3), QPoint(137, 61)}) {
            const QPoint cell = cellAt(point);
            float value = 0;
            QVERIFY(overlay.readingAt(point, &value));
            QCOMPARE(value, scene[size_t(cell.y()) * Width + cell.x()]);
        }
        float value = 0;
        QVERIFY(!overlay.readingAt(QPoint(picture.width(), 5), &value));
    }
    g_rotate_angle = 0;
}

// Spans typed in either unit and range: saved when they make sense.
void TestReading::dialogRefusesBadSpans()
{
    const struct {
        int unit, rangeMode;
        QString low, high, threshold;
        float savedHigh;  // 0: refused
    } cases[] = {
        {0, 1, "20", "40.5", "30", 40.5f}, {1, 1, "32", "212", "100", 100.0f}, {0, 0, "100", "500", "300", 500.0f},
        {0, 1, "warm", "40", "30", 0}, {0, 1, "50", "40", "30", 0}, {0, 1, "40", "40", "30", 0},
        {0, 1, "-25", "40", "30", 0}, {0, 1, "20", "500", "30", 0},  // below, above the normal range
        {0, 1, "20", "40", "900", 0}, {0, 1, "20", "40", "", 0},     // threshold outside, not a number
    };
    for (const auto& c : cases) {
        reading::ScaleDialog dialog(reading::ScaleSettings{}, c.unit, reading::moduleRange(c.rangeMode));
        QSignalSpy saved(&dialog, &reading::ScaleDialog::saved);
        dialog.spanField()->setCurrentIndex(1);
        dialog.isothermField()->setCurrentIndex(1);
        dialog.lowField()->setText(c.low);
        dialog.highField()->setText(c.high);
        dialog.thresholdField()->setText(c.threshold);
        dialog.save();
        const bool accepted = c.savedHigh != 0;
        QVERIFY2(saved.count() == int(accepted) && dialog.problem().isEmpty() == accepted, qPrintable(c.low + " " + c.high));
        if (accepted) {
            const auto settings = saved.first().first().value<reading::ScaleSettings>();
            QVERIFY(settings.manualSpan);
            QVERIFY(qAbs(settings.highCelsius - c.savedHigh) < 1e-4f);
        }
    }
}

void TestReading::alarmGoesOnOncePerCrossing()
{
    const struct {
        reading::Isotherm mode;
        float highest, lowest;
        bool crossed, on;
    } steps[] = {
        {reading::Isotherm::Above, 40, 10, false, false}, {reading::Isotherm::Above, 60, 10, true, true},
        {reading::Isotherm::Above, 70, 10, false, true},  {reading::Isotherm::Above, 45, 10, false, false},
        {reading::Isotherm::Above, 51, 10, true, true},   {reading::Isotherm::Below, 51, 55, false, false},
        {reading::Isotherm::Below, 51, 49, true, true},   {reading::Isotherm::Off, 99, 0, false, false},
    };
    reading::IsothermAlarm alarm;
    for (const auto& step : steps) {
        QCOMPARE(alarm.update(step.mode, 50, step.highest, step.lowest), step.crossed);
        QCOMPARE(alarm.isOn(), step.on);
    }
}

// The settings are remembered across starts, and the aids start from them.
// Without a camera the automatic span and the alarm show nothing measured; a
// fixed span still shows the user's values.
void TestReading::aidsStartFromTheRememberedSettings()
{
    reading::ScaleSettings chosen;
    chosen.lowCelsius = -5.5f;
    chosen.highCelsius = 120;
    chosen.markers = true;
    chosen.isotherm = reading::Isotherm::Below;
    chosen.thresholdCelsius = 12.25f;
    for (bool manual : {false, true}) {
        chosen.manualSpan = manual;
        chosen.save();
        QVERIFY(reading::ScaleSettings::load() == chosen);
        QWidget window, container;
        reading::PictureReading aids(new QWidget(&container), &container, &window);
        QVERIFY(reading::ScaleSettings::current() == chosen);
        QStringList unknown;
        while (unknown.size() < aids.scaleBar()->tickLabels().size())
            unknown << QStringLiteral("--");
        QCOMPARE(aids.scaleBar()->tickLabels().first(), manual ? QStringLiteral("-5.5") : QStringLiteral("--"));
        aids.onExtremes(60, 10, 0, 0);
        QVERIFY(aids.isothermAlarm().isOn());
        QVERIFY(aids.scaleBar()->tickLabels() != unknown);
        aids.forgetExtremes();
        QVERIFY(!aids.isothermAlarm().isOn());
        QCOMPARE(aids.scaleBar()->tickLabels() == unknown, !manual);
    }
    reading::ScaleSettings().save();
    reading::ScaleSettings::setCurrent(reading::ScaleSettings());
}

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
