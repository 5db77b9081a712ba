// ombrix-cli's commands on the simulated module, whose scene and wire the cases read.
#include "commands.h"

#include "../app/wiretesting.h"

#include <ombrix/temperature_units.h>
#include <ombrix_simulator.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdlib>
#include <vector>

namespace {

// Ends the run (like Ctrl+C) once the header and one line have been written.
struct StopAfterFirstLine : QIODevice {
    explicit StopAfterFirstLine(std::atomic<bool>& flag) : stop(flag) { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        written.append(data, int(size));
        stop = stop || written.count('\n') >= 2;
        return size;
    }
    std::atomic<bool>& stop;
    QByteArray written;
};

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    std::atomic<bool> never{false};
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    CliContext cli{out, err, never};
    run.status = runCli(arguments, cli);
    out.flush();
    err.flush();
    return run;
}

std::vector<uint16_t> moduleWords()
{
    std::vector<uint16_t> words(256 * 192);
    ombrix_sim_temperature_words(words.data(), words.size());
    return words;
}

ombrix_sim_element element(int id)
{
    ombrix_sim_element e{};
    ombrix_sim_element_get(id, &e);
    return e;
}

class Cli : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { setenv("OMBRIX_CAMERA", "simulated", 1); }
    void SetUp() override
    {
        ombrix_sim_reset();
        ombrix_sim_set_noise(0);
        ombrix_sim_freeze_time(1); // every frame shows the same scene
    }
    void TearDown() override
    {
        ombrix_sim_fault_clear();
        ombrix_sim_plug();
    }
    QTemporaryDir folder;
};

TEST_F(Cli, StatsEqualTheSceneElements)
{
    const ombrix_sim_element hot = element(OMBRIX_SIM_HOT);
    const ombrix_sim_element cold = element(OMBRIX_SIM_COLD);
    const QString spot = QStringLiteral("%1,%2").arg(int(hot.centre_x)).arg(int(hot.centre_y));
    const QString rect = QStringLiteral("%1,%2,%3,%4").arg(cold.left + 1).arg(cold.top + 1)
                             .arg(cold.right - cold.left - 2).arg(cold.bottom - cold.top - 2);
    for (const bool fahrenheit : {false, true}) {
        const auto shown = [fahrenheit](double c) { return fahrenheit ? double(celsius_to_fahrenheit(float(c))) : c; };
        const ToolRun run = runTool({"stats", "--count", "1", "--format", "json", "--spot", spot, "--rect", rect,
                                 "--unit", fahrenheit ? "F" : "C"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QJsonObject line = QJsonDocument::fromJson(run.out.toUtf8()).object();
        const std::vector<uint16_t> words = moduleWords();
        double sum = 0;
        for (uint16_t word : words)
            sum += raw_to_celsius(word);
        EXPECT_NEAR(line["max"].toDouble(), shown(ombrix_sim_reading_celsius(hot.celsius)), 0.03);
        EXPECT_NEAR(line["min"].toDouble(), shown(ombrix_sim_reading_celsius(cold.celsius)), 0.03);
        EXPECT_NEAR(line["mean"].toDouble(), shown(sum / words.size()), 0.006);
        EXPECT_NEAR(line["spots"][0]["value"].toDouble(), shown(ombrix_sim_reading_celsius(hot.celsius)), 0.03);
        const QJsonObject inCold = line["rects"][0].toObject();
        for (const char* part : {"max", "min", "mean"})
            EXPECT_NEAR(inCold[part].toDouble(), shown(ombrix_sim_reading_celsius(cold.celsius)), 0.03) << part;
    }
}

// Ctrl+C during a run: the line under way is printed whole, then a clean end.
TEST_F(Cli, StopEndsAfterTheCurrentLine)
{
    std::atomic<bool> stop{false};
    StopAfterFirstLine sink(stop);
    QTextStream out(&sink);
    QString errors;
    QTextStream err(&errors);
    CliContext cli{out, err, stop};
    EXPECT_EQ(runCli({"stats", "--interval", "10s"}, cli), 0);
    const QList<QByteArray> lines = sink.written.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("time,max,min,mean"));
    EXPECT_EQ(lines[1].split(',').size(), 4);
}

// Files grabbed from the camera and from a recording of it hold the module's
// frame, numbered from 1; the formats themselves are read back in full by
// the snapshot suite.
TEST_F(Cli, GrabbedFilesReadBackFromTheCameraAndFromARecording)
{
    const QString file = folder.filePath("take.mkv"), out = folder.filePath("grab");
    const ToolRun recorded = runTool({"record", "--seconds", "0.3", file});
    ASSERT_EQ(recorded.status, 0) << recorded.err.toStdString();
    for (const char* format : {"tiff", "csv"})
        ASSERT_EQ(runTool({"grab", "--frames", "2", "--every", "0", "--out", out, "--format", format}).status, 0) << format;
    ASSERT_EQ(runTool({"grab", "--input", file, "--out", out, "--format", "raw", "--every", "0"}).status, 0);
    const std::vector<uint16_t> words = moduleWords();
    TIFF* tiff = TIFFOpen(QFile::encodeName(out + "/frame_0002.tiff").constData(), "r");
    ASSERT_NE(tiff, nullptr);
    std::vector<uint16_t> row(256);
    EXPECT_EQ(TIFFReadScanline(tiff, row.data(), 191, 0), 1);
    EXPECT_TRUE(std::equal(row.begin(), row.end(), words.begin() + 191 * 256));
    TIFFClose(tiff);
    QFile csv(out + "/frame_0002.csv"), raw(out + "/frame_0001.raw");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly) && raw.open(QIODevice::ReadOnly));
    const QList<QByteArray> cells = csv.readLine().trimmed().split(',');
    ASSERT_EQ(cells.size(), 256);
    for (int x = 0; x < 256; ++x)
        EXPECT_NEAR(cells[x].toDouble(), raw_to_celsius(words[size_t(x)]), 0.005 + 1e-6) << x;
    const QByteArray floats = raw.readAll();
    ASSERT_EQ(floats.size(), 256 * 192 * 4);
    for (size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(reinterpret_cast<const float*>(floats.constData())[i], raw_to_celsius(words[i])) << i;
}

TEST_F(Cli, SettingsAreSentAndReadBack)
{
    const struct {
        QStringList arguments;
        int property;
        int word;
        const char* printed;
    } cases[] = {
        {{"set", "emissivity", "0.95"}, 3, 121, "emissivity 0.95"},
        {{"set", "distance", "1.5"}, 0, 246, "distance 1.5 m"},
        {{"set", "range", "high"}, 5, 0, "range high"},
    };
    for (const auto& c : cases) {
        ombrix_sim_wire_clear();
        const ToolRun run = runTool(c.arguments);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), QLatin1String(c.printed));
        const TpdWrites writes = tpdWritesOnWire();
        ASSERT_EQ(writes.size(), 1u) << c.printed;
        EXPECT_EQ(writes[0], std::make_pair(c.property, c.word));
        EXPECT_EQ(ombrix_sim_tpd_property(c.property), c.word);
    }
}

TEST_F(Cli, BadInputIsNamed)
{
    const struct {
        QStringList arguments;
        int status;
        const char* named;
        void (*fault)();
    } cases[] = {
        {{}, 2, "no command", nullptr},
        {{"frob"}, 2, "unknown command \"frob\"", nullptr},
        {{"stats", "--bogus"}, 2, "bogus", nullptr},
        {{"stats", "--spot", "12;4"}, 2, "spot \"12;4\"", nullptr},
        {{"stats", "--spot", "256,0"}, 2, "outside", nullptr},
        {{"stats", "--rect", "250,10,10,10"}, 2, "rect 250,10,10,10 reaches outside", nullptr},
        {{"stats", "--rect", "1,1,0,5"}, 2, "empty", nullptr},
        {{"stats", "--interval", "soon"}, 2, "interval \"soon\"", nullptr},
        {{"stats", "--format", "xml"}, 2, "xml", nullptr},
        {{"grab", "--format", "tiff"}, 2, "--out", nullptr},
        {{"grab", "--out", "/proc/version/x"}, 1, "/proc/version/x", nullptr},
        {{"set", "emissivity", "1.5"}, 2, "1.5", nullptr},
        {{"set", "range", "medium"}, 2, "medium", nullptr},
        {{"stats", "--input", "/nonexistent.mkv"}, 1, "/nonexistent.mkv", nullptr},
        {{"info"}, 3, "no thermal camera", [] { ombrix_sim_unplug(); }},
        {{"stats", "--count", "1"}, 4, "stopped sending", [] { ombrix_sim_fault_no_frames(1); }},
    };
    for (const auto& c : cases) {
        if (c.fault)
            c.fault();
        // One line at most, so that bad input taken by mistake ends the run instead of streaming on.
        const bool counted = c.arguments.value(0) != QLatin1String("stats") || c.arguments.contains(QLatin1String("--count"));
        const ToolRun run = runTool(counted ? c.arguments : c.arguments + QStringList{"--count", "1"});
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << run.err.toStdString();
        ombrix_sim_fault_clear();
        ombrix_sim_plug();
    }
}

TEST_F(Cli, EveryCommandHasItsManualPage)
{
    const QString overview = runTool({"--help"}).out;
    for (const char* command : {"list", "info", "stats", "grab", "record", "set"}) {
        const ToolRun run = runTool({command, "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_TRUE(run.out.contains(QStringLiteral("ombrix-cli %1").arg(command))) << command;
        EXPECT_TRUE(overview.contains(QLatin1String(command))) << command;
    }
}

} // namespace
