// Settings panel: validators, onSave and the restore worker. The module
// cases run against the simulated camera module and read what reached it
// from its wire log.
#include "cbasetitlebar.h"
#include "cwidgetsettings.h"
#include "globals.h"
#include "profile.h"
#include "testsupport.h"
#include "../wiretesting.h"

#include <dozazuva.h>
#include <dozazuva_backend.h>
#include <ombrix_simulator.h>
#include <thermal.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QSet>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// restore_default_cfg (class 0x01, code 0x0E) commands with this argument.
int restoreCommandsOnWire(int which)
{
    const std::vector<int> restores = standardCommandsOnWire(0x01, 0x0E);
    return int(std::count(restores.begin(), restores.end(), which));
}

int statusPollsOnWire()
{
    const auto log = wireLog();
    return int(std::count_if(log.begin(), log.end(), [](const ombrix_sim_transfer& t) {
        return t.request_type == 0xC1 && t.index == 0x0200;
    }));
}

QLineEdit* distanceEdit(QWidget* panel)
{
    return panel->findChild<QLineEdit*>("lineEdit");
}

QLineEdit* emissivityEdit(QWidget* panel)
{
    return panel->findChild<QLineEdit*>("lineEdit_3");
}

QPushButton* button(QWidget* panel, const char* name)
{
    return panel->findChild<QPushButton*>(name);
}

// Receives the panel's signals on the GUI thread (the restore worker emits
// them on its own thread).
struct SignalLog : QObject {
    int saves = 0;
    int restoreStarts = 0;
    QVector<bool> restoreResults;

    void watch(CWidgetSettings* panel)
    {
        connect(panel, &CWidgetSettings::save, this, [this] { ++saves; });
        connect(panel, &CWidgetSettings::restoreStarted, this, [this] { ++restoreStarts; });
        connect(panel, &CWidgetSettings::restoreFinished, this, [this](bool ok) { restoreResults << ok; });
    }
};

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void validators_data();
    void validators();
    void typingOutOfRangeIsRefused();
    void unitAndSetValuesFillTheForm();

    void saveWithoutModuleValues_data();
    void saveWithoutModuleValues();
    void changedValuesReachTheModule_data();
    void changedValuesReachTheModule();
    void paletteChooserNamesAndScrolls();
    void emptyOrOutOfRangeIsRefused_data();
    void emptyOrOutOfRangeIsRefused();
    void returnOrEnterReleaseSaves();

    void restoreRunsOnWorker_data();
    void restoreRunsOnWorker();
    void noClosingWhileRestoring();
    void restoreWorkerIsJoinedWhenPanelDies();

private:
    CWidgetSettings* openPanel(int palette, int distance, int emissivity, int unit);
    void removeProfile();
    camera_dev_t device{};
};

void TestSettings::initTestCase()
{
    initResourcesIfLinked();
    // The executable sits in a folder of its own, so the profile.ini written
    // here is this test's alone.
    removeProfile();

    QCOMPARE(dozazuva_use_backend(ombrix_simulator_backend()), 0);
    QCOMPARE(uvc_camera_init(), 0);
    camera_dev_t list[DOZAZUVA_MAX_DEVICES] = {};
    QCOMPARE(uvc_camera_list(list), 0);
    QCOMPARE(list[0].vid, uint32_t(OMBRIX_SIM_VID));
    device = list[0];
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
    removeProfile();
}

void TestSettings::cleanupTestCase()
{
    uvc_camera_close();
    uvc_camera_release();
    dozazuva_use_backend(nullptr);
    removeProfile();
}

void TestSettings::removeProfile()
{
    QFile::remove(profileIniPath());
}

CWidgetSettings* TestSettings::openPanel(int palette, int distance, int emissivity, int unit)
{
    auto* panel = new CWidgetSettings;
    panel->setValues(palette, distance, emissivity, unit);
    panel->show();
    return panel;
}

void TestSettings::validators_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    for (const char* ok : {"0", "9", "50"})
        QTest::newRow(qPrintable(QString("distance %1").arg(ok))) << "lineEdit" << ok << true;
    for (const char* bad : {"51", "-1", "05", "5.5"})
        QTest::newRow(qPrintable(QString("distance %1").arg(bad))) << "lineEdit" << bad << false;
    for (const char* ok : {"0", "1", "100"})
        QTest::newRow(qPrintable(QString("emissivity %1").arg(ok))) << "lineEdit_3" << ok << true;
    for (const char* bad : {"101", "-1", "00"})
        QTest::newRow(qPrintable(QString("emissivity %1").arg(bad))) << "lineEdit_3" << bad << false;
}

void TestSettings::validators()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    CWidgetSettings panel;
    panel.setAttribute(Qt::WA_DeleteOnClose, false);
    const QValidator* validator = panel.findChild<QLineEdit*>(field)->validator();
    int position = 0;
    const QValidator::State state = validator->validate(text, position);
    if (accepted)
        QCOMPARE(state, QValidator::Acceptable);
    else
        QCOMPARE(state, QValidator::Invalid);
}

void TestSettings::typingOutOfRangeIsRefused()
{
    CWidgetSettings panel;
    panel.setAttribute(Qt::WA_DeleteOnClose, false);
    QTest::keyClicks(distanceEdit(&panel), "51");
    QCOMPARE(distanceEdit(&panel)->text(), QString("5"));
    distanceEdit(&panel)->clear();
    QTest::keyClicks(distanceEdit(&panel), "-1");
    QCOMPARE(distanceEdit(&panel)->text(), QString("1"));
    QTest::keyClicks(emissivityEdit(&panel), "101");
    QCOMPARE(emissivityEdit(&panel)->text(), QString("10"));
}

void TestSettings::unitAndSetValuesFillTheForm()
{
    for (int unit : {0, 1}) {  // on opening the unit follows the setting
        g_temp_unit = unit;
        CWidgetSettings opened;
        opened.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(button(&opened, "pushButtonC")->isChecked(), unit == 0);
        QCOMPARE(button(&opened, "pushButtonF")->isChecked(), unit == 1);
    }
    CWidgetSettings panel;
    panel.setAttribute(Qt::WA_DeleteOnClose, false);
    panel.setValues(12, 7, 95, 1);
    QCOMPARE(panel.findChild<QComboBox*>("comboBox")->currentIndex(), 12);
    QCOMPARE(distanceEdit(&panel)->text(), QString("7"));
    QCOMPARE(emissivityEdit(&panel)->text(), QString("95"));
    QVERIFY(button(&panel, "pushButtonF")->isChecked());
    QVERIFY(!button(&panel, "pushButtonC")->isChecked());
    panel.setValues(0, 0, 100, 0);
    QVERIFY(button(&panel, "pushButtonC")->isChecked());
    QCOMPARE(distanceEdit(&panel)->text(), QString("0"));
}

void TestSettings::saveWithoutModuleValues_data()
{
    QTest::addColumn<int>("openedPalette");
    QTest::addColumn<int>("chosenPalette");  // -2: left as opened
    QTest::addColumn<bool>("chooseFahrenheit");
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("profilePalette");  // -2: no profile written
    QTest::addColumn<int>("palette");
    QTest::addColumn<int>("unit");
    QTest::newRow("nothing changed sends nothing") << 4 << -2 << false << 0 << -2 << 1 << 0;
    QTest::newRow("palette only writes the profile") << 1 << 82 << false << 0 << 82 << 82 << 0;
    // A palette number the combo does not have leaves it without selection;
    // saving must not turn that into palette -1.
    QTest::newRow("unselected palette is not written") << 90 << -2 << false << 0 << -2 << 1 << 0;
    QTest::newRow("unit change emits save") << 1 << -2 << true << 1 << -2 << 1 << 1;
}

void TestSettings::saveWithoutModuleValues()
{
    QFETCH(int, openedPalette);
    QFETCH(int, chosenPalette);
    QFETCH(bool, chooseFahrenheit);
    QFETCH(int, saves);
    QFETCH(int, profilePalette);
    QFETCH(int, palette);
    QFETCH(int, unit);
    SignalLog log;
    QPointer<CWidgetSettings> panel = openPanel(openedPalette, 20, 95, 0);
    log.watch(panel);
    if (openedPalette > 82)
        QCOMPARE(panel->findChild<QComboBox*>("comboBox")->currentIndex(), -1);
    if (chosenPalette != -2)
        panel->findChild<QComboBox*>("comboBox")->setCurrentIndex(chosenPalette);
    if (chooseFahrenheit) {
        button(panel, "pushButtonF")->click();
        QVERIFY(!button(panel, "pushButtonC")->isChecked());  // exclusive pair
    }
    button(panel, "pushButtonSave")->click();
    QTRY_VERIFY(panel.isNull());  // closed and deleted
    QCOMPARE(log.saves, saves);
    QVERIFY(tpdWritesOnWire().empty());
    if (saves == 0 && profilePalette == -2)
        QCOMPARE(ombrix_sim_wire_count(), size_t(0));
    QCOMPARE(QFile::exists(profileIniPath()), profilePalette != -2);
    if (profilePalette != -2)
        QCOMPARE(QSettings(profileIniPath(), QSettings::IniFormat).value("Settings/Palette").toInt(), profilePalette);
    QCOMPARE(g_palette.load(), palette);
    QCOMPARE(g_temp_unit.load(), unit);
}

void TestSettings::changedValuesReachTheModule_data()
{
    QTest::addColumn<int>("initialDistance");
    QTest::addColumn<int>("initialEmissivity");
    QTest::addColumn<QString>("distanceText");
    QTest::addColumn<QString>("emissivityText");
    QTest::addColumn<QVector<int>>("expected");  // index, value, index, value, ...
    QTest::newRow("50 dm and 95 %") << 20 << 100 << "50" << "95" << QVector<int>{0, 820, 3, 121};
    QTest::newRow("distance only") << 20 << 95 << "50" << "95" << QVector<int>{0, 820};
    QTest::newRow("emissivity 100 %") << 20 << 95 << "20" << "100" << QVector<int>{3, 127};
    QTest::newRow("distance 0") << 3 << 95 << "0" << "95" << QVector<int>{0, 0};
    QTest::newRow("emissivity 1 %") << 20 << 95 << "20" << "1" << QVector<int>{3, 2};
}

void TestSettings::changedValuesReachTheModule()
{
    QFETCH(int, initialDistance);
    QFETCH(int, initialEmissivity);
    QFETCH(QString, distanceText);
    QFETCH(QString, emissivityText);
    QFETCH(QVector<int>, expected);

    SignalLog log;
    QPointer<CWidgetSettings> panel = openPanel(1, initialDistance, initialEmissivity, 0);
    log.watch(panel);
    distanceEdit(panel)->setText(distanceText);
    emissivityEdit(panel)->setText(emissivityText);
    button(panel, "pushButtonSave")->click();
    QTRY_VERIFY(panel.isNull());

    TpdWrites want;
    for (int i = 0; i + 1 < expected.size(); i += 2)
        want.emplace_back(expected[i], expected[i + 1]);
    QCOMPARE(tpdWritesOnWire(), want);
    QCOMPARE(log.saves, want.empty() ? 0 : 1);
    for (const auto& [index, value] : want)
        QCOMPARE(ombrix_sim_tpd_property(index), value);
}

// Chosen by its name, a palette is saved under the index that colours with
// the table of that name; the popup shows a few rows and scrolls.
void TestSettings::paletteChooserNamesAndScrolls()
{
    QPointer<CWidgetSettings> panel = openPanel(40, 20, 95, 0);
    auto* combo = panel->findChild<QComboBox*>("comboBox");
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

    const int iron = combo->findText("Iron");
    QVERIFY(iron >= 0);
    combo->setCurrentIndex(iron);
    button(panel, "pushButtonSave")->click();
    QTRY_VERIFY(panel.isNull());
    const int saved = QSettings(profileIniPath(), QSettings::IniFormat).value("Settings/Palette").toInt();
    QCOMPARE(QString::fromUtf8(itRgbColorName(saved + 1)), QStringLiteral("Iron"));
}

void TestSettings::emptyOrOutOfRangeIsRefused_data()
{
    QTest::addColumn<QString>("distanceText");
    QTest::addColumn<QString>("emissivityText");
    QTest::addColumn<QString>("refusedField");
    QTest::newRow("empty distance") << "" << "95" << "lineEdit";
    QTest::newRow("empty emissivity") << "20" << "" << "lineEdit_3";
    QTest::newRow("blank emissivity") << "20" << "  " << "lineEdit_3";
    QTest::newRow("emissivity 0 %") << "20" << "0" << "lineEdit_3";
    QTest::newRow("distance past 50 dm") << "51" << "95" << "lineEdit";
    QTest::newRow("emissivity past 100 %") << "20" << "101" << "lineEdit_3";
}

// Nothing at all is kept from a refused save: no module command, no profile,
// no unit, no stored value; the panel stays open and says what is wrong.
void TestSettings::emptyOrOutOfRangeIsRefused()
{
    QFETCH(QString, distanceText);
    QFETCH(QString, emissivityText);
    QFETCH(QString, refusedField);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").clear();
    SignalLog log;
    QPointer<CWidgetSettings> panel = openPanel(1, 10, 90, 0);
    log.watch(panel);
    panel->findChild<QComboBox*>("comboBox")->setCurrentIndex(5);
    button(panel, "pushButtonF")->click();
    distanceEdit(panel)->setText(distanceText);
    emissivityEdit(panel)->setText(emissivityText);
    button(panel, "pushButtonSave")->click();
    QTest::qWait(50);
    QVERIFY(!panel.isNull() && panel->isVisible());
    QVERIFY(!panel->findChild<QLabel*>("labelError")->text().isEmpty());
    // The panel's own focus child: the application's focus needs an active
    // window, which a loaded display may not have given it yet.
    QVERIFY(panel->focusWidget());
    QCOMPARE(panel->focusWidget()->objectName(), refusedField);
    QCOMPARE(ombrix_sim_wire_count(), size_t(0));
    QCOMPARE(log.saves, 0);
    QVERIFY(!QFile::exists(profileIniPath()));
    QCOMPARE(g_temp_unit.load(), 0);
    QVERIFY(QSettings(QSettings::NativeFormat, QSettings::UserScope, "VARNEK", "Ombrix").allKeys().isEmpty());

    // Mended, the same panel saves.
    distanceEdit(panel)->setText("20");
    emissivityEdit(panel)->setText("95");
    button(panel, "pushButtonSave")->click();
    QTRY_VERIFY(panel.isNull());
    QCOMPARE(tpdWritesOnWire(), (TpdWrites{{0, 328}, {3, 121}}));
}

void TestSettings::returnOrEnterReleaseSaves()
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        ombrix_sim_wire_clear();
        QPointer<CWidgetSettings> panel = openPanel(1, 20, 95, 0);
        distanceEdit(panel)->setText("50");
        QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::sendEvent(panel, &other);
        QVERIFY(!panel.isNull());
        QVERIFY(tpdWritesOnWire().empty());
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(panel, &release);
        QTRY_VERIFY(panel.isNull());
        QCOMPARE(tpdWritesOnWire(), (TpdWrites{{0, 820}}));
    }

    // Return in a line edit saves too, and keeps the unit.
    g_temp_unit = 1;
    QPointer<CWidgetSettings> panel = openPanel(1, 20, 95, 1);
    distanceEdit(panel)->setFocus();
    QTest::keyClick(distanceEdit(panel), Qt::Key_Return);
    QTRY_VERIFY(panel.isNull());
    QCOMPARE(g_temp_unit.load(), 1);
}

void TestSettings::restoreRunsOnWorker_data()
{
    QTest::addColumn<bool>("moduleFails");
    QTest::newRow("succeeds") << false;
    QTest::newRow("fails, still closes") << true;
}

void TestSettings::restoreRunsOnWorker()
{
    QFETCH(bool, moduleFails);
    SignalLog log;
    QPointer<CWidgetSettings> panel = openPanel(1, 20, 95, 0);
    log.watch(panel);
    if (moduleFails)
        ombrix_sim_fault_status_error(0x06, 1);
    button(panel, "pushButtonRestore")->click();  // hidden, but its action works
    for (const char* name : {"pushButtonSave", "pushButtonRestore", "pushButtonC", "pushButtonF", "lineEdit",
                             "lineEdit_3", "comboBox"})
        QVERIFY2(!panel->findChild<QWidget*>(name)->isEnabled(), name);
    QVERIFY(!panel->findChild<CBaseTitleBar*>()->parts().close->isEnabled());

    QTRY_VERIFY(panel.isNull());
    QCOMPARE(log.restoreStarts, 1);
    QCOMPARE(log.restoreResults, QVector<bool>{!moduleFails});
    QCOMPARE(restoreCommandsOnWire(0), 1);
}

void TestSettings::noClosingWhileRestoring()
{
    SignalLog log;
    ombrix_sim_fault_stay_busy(1);
    QPointer<CWidgetSettings> panel = openPanel(1, 20, 95, 0);
    log.watch(panel);
    panel->onRestore();
    QTRY_COMPARE(log.restoreStarts, 1);

    QTest::keyClick(panel, Qt::Key_Escape);
    panel->close();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &release);
    QCoreApplication::processEvents();
    QVERIFY(!panel.isNull());
    QVERIFY(panel->isVisible());
    QVERIFY(tpdWritesOnWire().empty());

    ombrix_sim_fault_stay_busy(0);
    QTRY_VERIFY(panel.isNull());
    QCOMPARE(log.restoreResults, QVector<bool>{true});
}

void TestSettings::restoreWorkerIsJoinedWhenPanelDies()
{
    // The module stays busy: the worker polls until the poll count runs out.
    constexpr int kPolls = 150;
    vdcmd_set_polling_wait_time(kPolls);
    ombrix_sim_fault_stay_busy(1);
    SignalLog log;
    auto* owner = new QWidget;
    QPointer<CWidgetSettings> panel = new CWidgetSettings(owner);
    log.watch(panel);
    panel->onRestore();
    QTRY_COMPARE(log.restoreStarts, 1);

    // The window going away (as at exit) takes the panel with it; that must
    // wait for the worker rather than leave it running on a dead panel.
    delete owner;
    QVERIFY(panel.isNull());
    QCOMPARE(statusPollsOnWire(), kPolls);
    QCOMPARE(restoreCommandsOnWire(0), 1);
    ombrix_sim_fault_stay_busy(0);
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
