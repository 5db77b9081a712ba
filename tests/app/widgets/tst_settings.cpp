// Settings panel against the simulated camera module: what a save sends to
// the module and keeps, what it refuses, and the restore worker. What reached
// the module is read from its wire log.
#include "cbasetitlebar.h"
#include "cwidgetsettings.h"
#include "globals.h"
#include "profile.h"
#include "ombrix_resources.h"
#include "../wiretesting.h"

#include <dozazuva.h>
#include <dozazuva_backend.h>
#include <ombrix_simulator.h>
#include <thermal.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QLineEdit* distanceEdit(QWidget* panel) { return panel->findChild<QLineEdit*>("lineEdit"); }
QLineEdit* emissivityEdit(QWidget* panel) { return panel->findChild<QLineEdit*>("lineEdit_3"); }
QComboBox* palettes(QWidget* panel) { return panel->findChild<QComboBox*>("comboBox"); }
QPushButton* button(QWidget* panel, const char* name) { return panel->findChild<QPushButton*>(name); }

int savedPalette()
{
    return QSettings(profileIniPath(), QSettings::IniFormat).value("Settings/Palette", -2).toInt();
}

// restore_default_cfg (class 0x01, code 0x0E) commands with argument 0.
int restoresOnWire()
{
    const std::vector<int> restores = standardCommandsOnWire(0x01, 0x0E);
    return int(std::count(restores.begin(), restores.end(), 0));
}

// Receives the panel's signals on the GUI thread (the restore worker emits
// them on its own thread).
struct SignalLog : QObject {
    int saves = 0;
    int restoreStarts = 0;
    QVector<bool> restoreResults;

    explicit SignalLog(CWidgetSettings* panel)
    {
        connect(panel, &CWidgetSettings::save, this, [this] { ++saves; });
        connect(panel, &CWidgetSettings::restoreStarted, this, [this] { ++restoreStarts; });
        connect(panel, &CWidgetSettings::restoreFinished, this, [this](bool ok) { restoreResults << ok; });
    }
};

CWidgetSettings* openPanel(int palette, int distance, int emissivity, int unit)
{
    auto* panel = new CWidgetSettings;
    panel->setValues(palette, distance, emissivity, unit);
    panel->show();
    return panel;
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void save();
    void paletteChooserNamesAndScrolls();

    void restoreRunsOnWorker();
    void restoreWorkerIsJoinedWhenPanelDies();
};

void TestSettings::initTestCase()
{
    ombrix_init_resources();
    QCOMPARE(dozazuva_use_backend(ombrix_simulator_backend()), 0);
    QCOMPARE(uvc_camera_init(), 0);
    camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
    QCOMPARE(uvc_camera_list(list), 0);
    camera_dev_t device = list[0];
    QCOMPARE(uvc_camera_open(&device), 0);
    uvc_camera_list_release(list);
    QCOMPARE(vdcmd_init(), 0);
}

void TestSettings::init()
{
    ombrix_sim_fault_clear();
    ombrix_sim_wire_clear();
    vdcmd_set_polling_wait_time(2000);
    g_temp_unit = 0;
    g_palette = 1;
    // The executable sits in a folder of its own: this profile.ini is ours.
    QFile::remove(profileIniPath());
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").clear();
}

// A save sends the changed module values, keeps palette and unit, and tells
// the window when a value or the unit changed. A refused save keeps nothing
// at all; the panel stays open and says what is wrong. The panel opens at
// 20 dm, 90 %, Celsius.
void TestSettings::save()
{
    const char *distanceField = "lineEdit", *emissivityField = "lineEdit_3";
    const struct {
        int opened, chosen;  // palettes; -2: left as opened
        bool fahrenheit;
        QString distance, emissivity;
        QString refused = {};   // the field named in the refusal
        TpdWrites writes = {};  // in module units, as sent
        QString how = "click";  // the Save button, a Return or Enter release, Return in a field
    } cases[] = {
        {4, -2, false, "20", "90"}, {1, 82, false, "20", "90"},  // nothing changed; the palette only
        // A palette number the combo does not have leaves it without selection;
        // saving must not turn that into palette -1.
        {90, -2, false, "20", "90"},
        {1, -2, true, "20", "90", "", {}, "field"},  // the unit only
        {1, -2, false, "50", "95", "", {{0, 820}, {3, 121}}, "Return"},
        {1, -2, false, "20", "100", "", {{3, 127}}, "Enter"},
        {1, -2, false, "0", "90", "", {{0, 0}}},
        {1, -2, false, "20", "1", "", {{3, 2}}},
        {1, 5, true, "", "95", distanceField},      {1, 5, true, "20", "", emissivityField},
        {1, 5, true, "20", "  ", emissivityField}, {1, 5, true, "20", "0", emissivityField},
        {1, 5, true, "51", "95", distanceField},    {1, 5, true, "20", "101", emissivityField},
    };
    for (const auto& c : cases) {
        init();
        const bool fahrenheit = c.fahrenheit;
        const QString &refused = c.refused, &how = c.how;
        const TpdWrites& writes = c.writes;
        const int profilePalette = refused.isEmpty() && c.chosen != -2 ? c.chosen : -2;
        QPointer<CWidgetSettings> panel = openPanel(c.opened, 20, 90, 0);
        SignalLog log(panel);
        if (c.chosen != -2)
            palettes(panel)->setCurrentIndex(c.chosen);
        if (fahrenheit)
            button(panel, "pushButtonF")->click();
        distanceEdit(panel)->setText(c.distance);
        emissivityEdit(panel)->setText(c.emissivity);
        if (how == "click") {
            button(panel, "pushButtonSave")->click();
        } else if (how == "field") {  // the unit switch is no default button to click
            distanceEdit(panel)->setFocus();
            QTest::keyClick(distanceEdit(panel), Qt::Key_Return);
        } else {
            QKeyEvent release(QEvent::KeyRelease, how == "Enter" ? Qt::Key_Enter : Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(panel, &release);
        }
        if (refused.isEmpty()) {
            QTRY_VERIFY(panel.isNull());  // closed and deleted
        } else {
            QTest::qWait(50);
            QVERIFY(!panel.isNull() && panel->isVisible());
            QVERIFY(!panel->findChild<QLabel*>("labelError")->text().isEmpty());
            // The panel's own focus child: the application's focus needs an
            // active window, which a loaded display may not have given it yet.
            QCOMPARE(panel->focusWidget()->objectName(), refused);
            QCOMPARE(ombrix_sim_wire_count(), size_t(0));
            QVERIFY(QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").allKeys().isEmpty());
            delete panel;
        }
        QCOMPARE(tpdWritesOnWire(), writes);
        for (const auto& [index, value] : writes)
            QCOMPARE(ombrix_sim_tpd_property(index), value);
        QCOMPARE(log.saves, int(refused.isEmpty() && (fahrenheit || !writes.empty())));
        QCOMPARE(savedPalette(), profilePalette);
        QCOMPARE(g_palette.load(), profilePalette == -2 ? 1 : profilePalette);
        QCOMPARE(g_temp_unit.load(), int(fahrenheit && refused.isEmpty()));
    }
}

// Chosen by its name, a palette is saved under the index that colours with
// the table of that name; the popup shows a few rows and scrolls.
void TestSettings::paletteChooserNamesAndScrolls()
{
    QPointer<CWidgetSettings> panel = openPanel(40, 20, 95, 0);
    QComboBox* combo = palettes(panel);
    QSet<QString> names;
    for (int i = 0; i < combo->count(); ++i)
        names.insert(combo->itemText(i));
    QCOMPARE(names.size(), combo->count());
    QVERIFY(!names.contains(QString()));

    combo->showPopup();
    QWidget* popup = combo->view()->window();
    QTRY_VERIFY(popup->isVisible());
    QVERIFY2(popup->height() < 400, qPrintable(QString::number(popup->height())));
    QVERIFY(combo->view()->verticalScrollBar()->maximum() > 0);
    combo->hidePopup();

    combo->setCurrentIndex(combo->findText("Iron"));
    button(panel, "pushButtonSave")->click();
    QTRY_VERIFY(panel.isNull());
    QCOMPARE(QString::fromUtf8(itRgbColorName(savedPalette() + 1)), QStringLiteral("Iron"));
}

// While the module works on the restore, every input is off and nothing
// closes or saves the panel; it closes once the worker reports, whether the
// module succeeds or fails.
void TestSettings::restoreRunsOnWorker()
{
    for (bool moduleFails : {false, true}) {
        init();
        ombrix_sim_fault_stay_busy(1);
        if (moduleFails)
            ombrix_sim_fault_status_error(0x06, 1);
        QPointer<CWidgetSettings> panel = openPanel(1, 20, 95, 0);
        SignalLog log(panel);
        button(panel, "pushButtonRestore")->click();  // hidden, but its action works
        QTRY_COMPARE(log.restoreStarts, 1);
        for (QWidget* input : panel->findChildren<QWidget*>(QRegularExpression("^(pushButton|lineEdit|comboBox)")))
            QVERIFY2(!input->isEnabled() || input == button(panel, "pushButtonScale"), qPrintable(input->objectName()));
        QVERIFY(!panel->findChild<CBaseTitleBar*>()->parts().close->isEnabled());

        QTest::keyClick(panel, Qt::Key_Escape);
        panel->close();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(panel, &release);
        QCoreApplication::processEvents();
        QVERIFY(!panel.isNull() && panel->isVisible());
        QVERIFY(tpdWritesOnWire().empty());

        ombrix_sim_fault_stay_busy(0);
        QTRY_VERIFY(panel.isNull());
        QCOMPARE(log.restoreResults, QVector<bool>{!moduleFails});
        QCOMPARE(restoresOnWire(), 1);
    }
}

// The window going away (as at exit) takes the panel with it; that must wait
// for the worker rather than leave it running on a dead panel.
void TestSettings::restoreWorkerIsJoinedWhenPanelDies()
{
    constexpr int kPolls = 150;  // the module stays busy until they run out
    vdcmd_set_polling_wait_time(kPolls);
    ombrix_sim_fault_stay_busy(1);
    auto* owner = new QWidget;
    QPointer<CWidgetSettings> panel = new CWidgetSettings(owner);
    SignalLog log(panel);
    panel->onRestore();
    QTRY_COMPARE(log.restoreStarts, 1);
    delete owner;
    const auto wire = wireLog();
    QCOMPARE(int(std::count_if(wire.begin(), wire.end(),
                               [](const ombrix_sim_transfer& t) { return t.request_type == 0xC1 && t.index == 0x0200; })),
             kPolls);
    QCOMPARE(restoresOnWire(), 1);
}

// The panel keeps values in the user's settings: this process gets a home
// of its own.
int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    QApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settings.moc"
