#include "commandsupport.h"

#include "helptexts.h"

#include <thermal.h>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <opencv2/core.hpp>

int fail(CliContext& cli, int status, const QString& problem)
{
    cli.err << "ombrix-cli: " << problem << '\n';
    cli.err.flush();
    return status;
}

bool parseCommand(CliContext& cli, const QString& command, const QStringList& arguments,
                  const QList<QCommandLineOption>& options, QCommandLineParser& parser, int& exitCode)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOptions(options);
    if (!parser.parse(QStringList{QStringLiteral("ombrix-cli")} + arguments)) {
        exitCode = fail(cli, ExitUsage, QStringLiteral("%1: %2 (see ombrix-cli %1 --help)").arg(command, parser.errorText()));
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        cli.out << helpText(command);
        cli.out.flush();
        exitCode = ExitOk;
        return false;
    }
    return true;
}

bool parseDuration(const QString& text, qint64& milliseconds)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+(?:\\.\\d+)?)(ms|s|m)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const double number = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    const double scale = unit == QLatin1String("ms") ? 1.0 : unit == QLatin1String("m") ? 60000.0 : 1000.0;
    if (number * scale > 86400000.0 * 365)
        return false;
    milliseconds = qint64(number * scale + 0.5);
    return true;
}

bool parseUnit(const QString& text, bool& fahrenheit)
{
    const QString unit = text.trimmed().toUpper();
    if (unit != QLatin1String("C") && unit != QLatin1String("F"))
        return false;
    fahrenheit = unit == QLatin1String("F");
    return true;
}

bool parseWhole(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    value = number;
    return true;
}

bool waitUntil(const std::function<qint64()>& elapsed, qint64 milliseconds, const std::atomic<bool>& stop)
{
    // Short naps, so that Ctrl+C ends a long interval at once.
    while (!stop.load()) {
        const qint64 left = milliseconds - elapsed();
        if (left <= 0)
            return true;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(left, 20)));
    }
    return false;
}

QByteArray colouredPicture(const CameraFrame& frame, int palette)
{
    // The picture half is grey YUYV: the luma of each pixel is its level.
    cv::Mat grey(frame.height, frame.width, CV_8UC3);
    const uint8_t* yuyv = frame.picture();
    for (int i = 0; i < frame.width * frame.height; ++i) {
        const uint8_t level = yuyv[2 * i];
        grey.data[3 * i] = grey.data[3 * i + 1] = grey.data[3 * i + 2] = level;
    }
    itSetRgbColor(palette);
    cv::Mat bgr;
    itGray2RgbAD(grey, bgr);
    QByteArray rgb(frame.width * frame.height * 3, Qt::Uninitialized);
    uint8_t* out = reinterpret_cast<uint8_t*>(rgb.data());
    for (int i = 0; i < frame.width * frame.height; ++i) {
        out[3 * i] = bgr.data[3 * i + 2];
        out[3 * i + 1] = bgr.data[3 * i + 1];
        out[3 * i + 2] = bgr.data[3 * i];
    }
    return rgb;
}

int openStreaming(CliContext& cli, CameraSession& session, const QString& recording)
{
    QString problem;
    ExitStatus status = session.open(recording, problem);
    if (status == ExitOk)
        status = session.startStream(problem);
    return status == ExitOk ? int(ExitOk) : fail(cli, status, problem);
}
