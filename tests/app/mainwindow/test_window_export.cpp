// Export from the live window on the simulated module: the picture as seen,
// the temperature words and the CSV in the current unit, chosen from the
// Export button's menu and its file dialog.
#include "exportbutton.h"
#include "paintwidget.h"
#include "profile.h"
#include "remotecommand.h"
#include "remotecontrol.h"
#include "windowsnapshot.h"
#include "windowtesting.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>

#include <tiffio.h>

namespace {

QVector<uint16_t> moduleWords()
{
    QVector<uint16_t> words(49152);
    ombrix_sim_temperature_words(words.data(), size_t(words.size()));
    return words;
}

QVector<uint16_t> tiffWords(const QString& path)
{
    QVector<uint16_t> words;
    TIFF* tiff = TIFFOpen(path.toUtf8().constData(), "r");
    if (!tiff)
        return words;
    uint32_t width = 0, height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    words.resize(int(width * height));
    for (uint32_t row = 0; row < height; ++row)
        TIFFReadScanline(tiff, words.data() + row * width, row, 0);
    TIFFClose(tiff);
    return words;
}

// Picks a menu entry of the Export button and types `name` into the dialog.
void exportThroughDialog(ExportButton& exporter, int entry, const QString& name)
{
    ModalHandler<QFileDialog> answer([name](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    exporter.menu()->actions().at(entry)->trigger();
    QVERIFY(answer.handled());
}

} // namespace

class TestWindowExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pictureShowsWhatIsDrawn();
    void temperatureFilesHoldTheModuleGrid();
    void menuExportsAndReportsFailures();
    void remotePaletteAndSnapshot();

private:
    std::unique_ptr<ThermalImager> window;
    QTemporaryDir folder;
};

void TestWindowExport::init()
{
    ombrix_sim_reset();
    ombrix_sim_set_noise(0);
    ombrix_sim_freeze_time(1);
    g_temp_unit = 0;
    hideToast();
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(chartPoints(*window) >= 1, 5000);
    ombrix_sim_fault_no_frames(1); // the matrix stays that of the module now
    QTest::qWait(300);
}

void TestWindowExport::cleanup()
{
    window.reset();
    ombrix_sim_fault_clear();
    g_temp_unit = 0;
}

void TestWindowExport::pictureShowsWhatIsDrawn()
{
    const WindowSnapshot snapshot(window.get());
    const QString plain = folder.filePath(QStringLiteral("plain"));
    QCOMPARE(snapshot.writeTo(plain), QString()); // no suffix: a PNG
    QImage before(plain + QStringLiteral(".png"));
    QCOMPARE(before.size(), window->form().graphicsView->size());
    QVERIFY(before.pixel(before.width() / 2, 10) != before.pixel(10, before.height() - 10)); // a picture, not a blank

    window->form().pushButtonSpot->click();
    const QPoint centre = window->overlayWidget()->rect().center();
    QTest::mouseClick(window->overlayWidget(), Qt::LeftButton, {}, centre);
    const QString marked = folder.filePath(QStringLiteral("marked.png"));
    QCOMPARE(snapshot.writeTo(marked), QString());
    QVERIFY(QImage(marked) != before); // the spot and its label are in the file
}

void TestWindowExport::temperatureFilesHoldTheModuleGrid()
{
    const WindowSnapshot snapshot(window.get());
    const QString tiff = folder.filePath(QStringLiteral("t.tif"));
    QCOMPARE(snapshot.writeTo(tiff), QString());
    QCOMPARE(tiffWords(tiff), moduleWords());

    g_temp_unit = 1;
    const QString csv = folder.filePath(QStringLiteral("t.csv"));
    QCOMPARE(snapshot.writeTo(csv), QString());
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> firstRow = file.readLine().trimmed().split(',');
    QCOMPARE(firstRow.size(), 256);
    const QVector<uint16_t> words = moduleWords();
    for (int x = 0; x < 256; ++x)
        QVERIFY(qAbs(firstRow[x].toDouble() - celsius_to_fahrenheit(raw_to_celsius(words[x]))) <= 0.0051);
}

void TestWindowExport::menuExportsAndReportsFailures()
{
    auto* exporter = window->findChild<ExportButton*>();
    QVERIFY(exporter);
    QVERIFY(exporter->button()->isVisible());
    exportThroughDialog(*exporter, 2, folder.filePath(QStringLiteral("table")));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("table.csv"))));
    QVERIFY(shownToast().contains(QStringLiteral("table.csv")));

    exportThroughDialog(*exporter, 1, folder.filePath(QStringLiteral("gone/t.tiff")));
    QVERIFY(shownToast().startsWith(QStringLiteral("Export failed")));
    QVERIFY(shownToast().contains(QStringLiteral("t.tiff")));
    QVERIFY(!QDir(folder.filePath(QStringLiteral("gone"))).exists());
}

// What the running viewer does for another process's commands.
void TestWindowExport::remotePaletteAndSnapshot()
{
    const auto answer = [this](const QByteArray& request) {
        bool ok = false;
        QString text;
        decodeRemoteReply(answerRemoteRequest(window.get(), request), ok, text);
        return qMakePair(ok, text);
    };
    RemoteCommand palette;
    palette.verb = RemoteCommand::Palette;
    palette.palette = 5;
    QVERIFY(answer(encodeRemoteRequest(palette)).first);
    QCOMPARE(int(g_palette), 4);
    QCOMPARE(QSettings(profileIniPath(), QSettings::IniFormat).value(QStringLiteral("Settings/Palette")).toInt(), 4);

    const auto refused = answer(QByteArray(RemoteRequestMagic) + "palette\n84");
    QVERIFY(!refused.first);
    QVERIFY(refused.second.contains(QStringLiteral("\"84\"")));

    RemoteCommand snapshot;
    snapshot.verb = RemoteCommand::Snapshot;
    snapshot.path = folder.filePath(QStringLiteral("remote.csv"));
    QVERIFY(answer(encodeRemoteRequest(snapshot)).first);
    QVERIFY(QFileInfo(snapshot.path).size() > 0);

    RemoteCommand record;
    record.verb = RemoteCommand::RecordStart;
    record.path = folder.filePath(QStringLiteral("take.mkv"));
    const auto started = answer(encodeRemoteRequest(record));
    QVERIFY2(started.first, qPrintable(started.second));
    QVERIFY(!answer(encodeRemoteRequest(record)).first); // one recording at a time
    record.verb = RemoteCommand::RecordStop;
    QVERIFY(answer(encodeRemoteRequest(record)).first);
    QTRY_VERIFY(QFile::exists(folder.filePath(QStringLiteral("take.mkv"))));
    QCOMPARE(answer(encodeRemoteRequest(record)).second, QStringLiteral("no recording is running"));
}

int main(int argc, char** argv)
{
    return runIsolated<TestWindowExport>(argc, argv);
}

#include "test_window_export.moc"
