// The commands that read the stream: stats, grab and record.
#include "commands.h"
#include "framestats.h"

#include <ombrix/module_units.h>
#include <ombrix_recording.h>
#include <snapshot.h>
#include <thermal.h>

#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

namespace {

QCommandLineOption valueOption(const char* name, const char* valueName)
{
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

struct StatsRequest {
    qint64 intervalMs = 1000;
    int count = 0; // 0: until stopped
    QVector<GridSpot> spots;
    QVector<GridRect> rects;
    StatsFormat format = StatsFormat::Csv;
    bool fahrenheit = false;
};

// The stats options checked against the picture size; empty or the problem.
QString readStatsRequest(const QCommandLineParser& parser, int columns, int rows, StatsRequest& request)
{
    if (parser.isSet(QStringLiteral("interval")) && !parseDuration(parser.value(QStringLiteral("interval")), request.intervalMs))
        return QStringLiteral("interval \"%1\" is not a time such as 1s, 500ms or 0.5").arg(parser.value(QStringLiteral("interval")));
    if (parser.isSet(QStringLiteral("count")) && !parseWhole(parser.value(QStringLiteral("count")), 1, INT_MAX, request.count))
        return QStringLiteral("count \"%1\" is not a whole number above 0").arg(parser.value(QStringLiteral("count")));
    const QString format = parser.value(QStringLiteral("format"));
    if (format == QLatin1String("json"))
        request.format = StatsFormat::Json;
    else if (!format.isEmpty() && format != QLatin1String("csv"))
        return QStringLiteral("format \"%1\" is neither csv nor json").arg(format);
    if (parser.isSet(QStringLiteral("unit")) && !parseUnit(parser.value(QStringLiteral("unit")), request.fahrenheit))
        return QStringLiteral("unit \"%1\" is neither C nor F").arg(parser.value(QStringLiteral("unit")));
    QString problem;
    for (const QString& text : parser.values(QStringLiteral("spot"))) {
        GridSpot spot;
        if (!parseSpot(text, columns, rows, spot, problem))
            return problem;
        request.spots.append(spot);
    }
    for (const QString& text : parser.values(QStringLiteral("rect"))) {
        GridRect rect;
        if (!parseRect(text, columns, rows, rect, problem))
            return problem;
        request.rects.append(rect);
    }
    return QString();
}

void printLine(CliContext& cli, const QString& line)
{
    cli.out << line << '\n';
    cli.out.flush(); // a line at a time, for pipes
}

// The sensor grid every camera of this family delivers; options are checked
// against it before the camera is opened.
constexpr int Columns = 256;
constexpr int Rows = 192;

QString writeFrame(const QString& format, const QString& path, const CameraFrame& frame, bool fahrenheit, int palette)
{
    char error[512] = {};
    const QByteArray name = path.toUtf8();
    int result = 0;
    if (format == QLatin1String("tiff")) {
        result = snapshot_write_tiff(name.constData(), frame.words(), frame.width, frame.height, error, sizeof error);
    } else if (format == QLatin1String("png")) {
        const QByteArray rgb = colouredPicture(frame, palette);
        result = snapshot_write_png(name.constData(), reinterpret_cast<const uint8_t*>(rgb.constData()), frame.width,
                                    frame.height, frame.width * 3, error, sizeof error);
    } else {
        const QVector<float> celsius = frame.celsius();
        result = format == QLatin1String("csv")
            ? snapshot_write_csv(name.constData(), celsius.constData(), frame.width, frame.height,
                                 fahrenheit ? SNAPSHOT_FAHRENHEIT : SNAPSHOT_CELSIUS, error, sizeof error)
            : snapshot_write_raw(name.constData(), celsius.constData(), frame.width, frame.height, error, sizeof error);
    }
    return result == 0 ? QString() : QString::fromUtf8(error);
}

} // namespace

int statsCommand(CliContext& cli, const QStringList& arguments)
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("stats"), arguments,
                      {valueOption("interval", "time"), valueOption("count", "n"), valueOption("spot", "x,y"),
                       valueOption("rect", "x,y,w,h"), valueOption("format", "csv|json"), valueOption("unit", "C|F"),
                       valueOption("input", "recording")},
                      parser, exitCode))
        return exitCode;
    StatsRequest request;
    const QString problem = readStatsRequest(parser, Columns, Rows, request);
    if (!problem.isEmpty())
        return fail(cli, ExitUsage, problem);
    if (!parser.positionalArguments().isEmpty())
        return fail(cli, ExitUsage, QStringLiteral("stats takes no argument \"%1\"").arg(parser.positionalArguments().first()));

    CameraSession session;
    if (const int opened = openStreaming(cli, session, parser.value(QStringLiteral("input"))))
        return opened;
    const QString header = statsHeader(request.format, request.spots, request.rects);
    if (!header.isEmpty())
        printLine(cli, header);
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&clock] { return clock.elapsed(); };
    for (int line = 0; request.count == 0 || line < request.count; ++line) {
        if (!waitUntil(elapsed, line * request.intervalMs, cli.stop))
            break;
        CameraFrame frame;
        QString failure;
        if (session.nextFrame(frame, failure) != ExitOk)
            return fail(cli, ExitCameraError, failure);
        const StatsLine values = measure(frame.celsius(), frame.width, frame.height, request.spots, request.rects, frame.timeMs);
        printLine(cli, statsText(request.format, values, request.spots, request.rects, request.fahrenheit));
        if (session.playbackEnded())
            break;
    }
    return ExitOk;
}

int grabCommand(CliContext& cli, const QStringList& arguments)
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("grab"), arguments,
                      {valueOption("frames", "n"), valueOption("every", "time"), valueOption("out", "dir"),
                       valueOption("format", "raw|csv|tiff|png"), valueOption("unit", "C|F"),
                       valueOption("palette", "n"), valueOption("input", "recording")},
                      parser, exitCode))
        return exitCode;
    int frames = 1;
    qint64 everyMs = 1000;
    bool fahrenheit = false;
    int palette = DefaultPalette;
    const QString format = parser.isSet(QStringLiteral("format")) ? parser.value(QStringLiteral("format")) : QStringLiteral("tiff");
    const QString out = parser.value(QStringLiteral("out"));
    if (out.isEmpty())
        return fail(cli, ExitUsage, QStringLiteral("grab needs --out DIR, the folder for the files"));
    if (!QStringList{"raw", "csv", "tiff", "png"}.contains(format))
        return fail(cli, ExitUsage, QStringLiteral("format \"%1\" is none of raw, csv, tiff, png").arg(format));
    if (parser.isSet(QStringLiteral("frames")) && !parseWhole(parser.value(QStringLiteral("frames")), 1, 999999, frames))
        return fail(cli, ExitUsage, QStringLiteral("frames \"%1\" is not a whole number from 1 to 999999").arg(parser.value(QStringLiteral("frames"))));
    if (parser.isSet(QStringLiteral("every")) && !parseDuration(parser.value(QStringLiteral("every")), everyMs))
        return fail(cli, ExitUsage, QStringLiteral("every \"%1\" is not a time such as 1s, 500ms or 0.5").arg(parser.value(QStringLiteral("every"))));
    if (parser.isSet(QStringLiteral("unit")) && !parseUnit(parser.value(QStringLiteral("unit")), fahrenheit))
        return fail(cli, ExitUsage, QStringLiteral("unit \"%1\" is neither C nor F").arg(parser.value(QStringLiteral("unit"))));
    if (parser.isSet(QStringLiteral("palette")) && !parseWhole(parser.value(QStringLiteral("palette")), 1, PaletteCount, palette))
        return fail(cli, ExitUsage, QStringLiteral("palette \"%1\" is not a number from 1 to 83").arg(parser.value(QStringLiteral("palette"))));
    if (!QDir().mkpath(out))
        return fail(cli, ExitFailure, QStringLiteral("cannot make the folder %1").arg(out));

    CameraSession session;
    if (const int opened = openStreaming(cli, session, parser.value(QStringLiteral("input"))))
        return opened;
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&clock] { return clock.elapsed(); };
    for (int index = 0; index < frames; ++index) {
        if (!waitUntil(elapsed, index * everyMs, cli.stop))
            break;
        CameraFrame frame;
        QString failure;
        if (session.nextFrame(frame, failure) != ExitOk)
            return fail(cli, ExitCameraError, failure);
        const QString path = QDir(out).filePath(QStringLiteral("frame_%1.%2").arg(index + 1, 4, 10, QLatin1Char('0')).arg(format));
        failure = writeFrame(format, path, frame, fahrenheit, palette);
        if (!failure.isEmpty())
            return fail(cli, ExitFailure, failure);
        printLine(cli, path);
    }
    return ExitOk;
}

int recordCommand(CliContext& cli, const QStringList& arguments)
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("record"), arguments,
                      {valueOption("seconds", "s"), valueOption("palette", "n"), valueOption("unit", "C|F")}, parser,
                      exitCode))
        return exitCode;
    qint64 lengthMs = 0;
    bool fahrenheit = false;
    int palette = DefaultPalette;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return fail(cli, ExitUsage, QStringLiteral("record takes one file name, FILE.mkv"));
    if (!parseDuration(parser.value(QStringLiteral("seconds")), lengthMs) || lengthMs <= 0)
        return fail(cli, ExitUsage, QStringLiteral("record needs --seconds S with S above 0"));
    if (parser.isSet(QStringLiteral("unit")) && !parseUnit(parser.value(QStringLiteral("unit")), fahrenheit))
        return fail(cli, ExitUsage, QStringLiteral("unit \"%1\" is neither C nor F").arg(parser.value(QStringLiteral("unit"))));
    if (parser.isSet(QStringLiteral("palette")) && !parseWhole(parser.value(QStringLiteral("palette")), 1, PaletteCount, palette))
        return fail(cli, ExitUsage, QStringLiteral("palette \"%1\" is not a number from 1 to 83").arg(parser.value(QStringLiteral("palette"))));

    CameraSession session;
    if (const int opened = openStreaming(cli, session, QString()))
        return opened;
    ombrix_recorder_params params = {};
    params.width = params.view_width = Columns;
    params.height = params.view_height = Rows;
    const ModuleIdentity identity = session.identity();
    ombrix_recording_tags& tags = params.tags;
    std::snprintf(tags.serial, sizeof tags.serial, "%s", identity.serial.toUtf8().constData());
    std::snprintf(tags.firmware, sizeof tags.firmware, "%s", identity.firmware.toUtf8().constData());
    std::snprintf(tags.palette, sizeof tags.palette, "%s", itRgbColorName(palette) ? itRgbColorName(palette) : "");
    std::snprintf(tags.unit, sizeof tags.unit, "%s", fahrenheit ? "F" : "C");
    uint16_t gain = 1, emissivity = 0, distance = 0;
    get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain);
    get_prop_tpd_params(TPD_PROP_EMS, &emissivity);
    get_prop_tpd_params(TPD_PROP_DISTANCE, &distance);
    std::snprintf(tags.range_mode, sizeof tags.range_mode, "%s", gain == 1 ? "normal" : "high");
    tags.emissivity = emissivity_percent(emissivity) / 100.0;
    tags.distance_m = distance_decimetres(distance) / 10.0;

    const QString file = files.first();
    ombrix_recorder* recorder = nullptr;
    int result = ombrix_recorder_open(file.toUtf8().constData(), &params, &recorder);
    if (result < 0)
        return fail(cli, ExitFailure, QStringLiteral("cannot record to %1: %2").arg(file, QString::fromUtf8(ombrix_recording_error_text(result))));
    qint64 firstMs = -1;
    int status = ExitOk;
    QString problem;
    while (!cli.stop.load()) {
        CameraFrame frame;
        if (session.nextFrame(frame, problem) != ExitOk) {
            status = ExitCameraError;
            break;
        }
        if (firstMs < 0)
            firstMs = frame.timeMs;
        if (frame.timeMs - firstMs >= lengthMs)
            break;
        const QByteArray view = colouredPicture(frame, palette);
        result = ombrix_recorder_write(recorder, frame.timeMs, frame.picture(), size_t(frame.bytes.size()),
                                       reinterpret_cast<const uint8_t*>(view.constData()), Columns, Rows);
        if (result < 0)
            break;
    }
    const int frames = ombrix_recorder_frames(recorder);
    const int closed = ombrix_recorder_close(recorder);
    if (status != ExitOk)
        return fail(cli, status, problem + QStringLiteral("; %1 ends after %2 frames").arg(file).arg(frames));
    if (result < 0 || closed < 0)
        return fail(cli, ExitFailure, QStringLiteral("%1 ends after %2 frames: %3").arg(file).arg(frames)
                                          .arg(QString::fromUtf8(ombrix_recording_error_text(result < 0 ? result : closed))));
    printLine(cli, QStringLiteral("%1: %2 frames").arg(file).arg(frames));
    return ExitOk;
}
