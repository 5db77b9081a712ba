// Dispatch, and the commands that talk to the module without its stream:
// list, info and set.
#include "commands.h"

#include "helptexts.h"

#include <ombrix/module_units.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace {

constexpr unsigned long RangeSettleMs = 2000;
constexpr double MaximumDistanceMetres = 5.0;

struct Command {
    const char* name;
    int (*run)(CliContext&, const QStringList&);
};

constexpr Command Commands[] = {
    {"list", listCommand},   {"info", infoCommand}, {"stats", statsCommand},
    {"grab", grabCommand},   {"record", recordCommand}, {"set", setCommand},
};

int openForCommands(CliContext& cli, CameraSession& session)
{
    QString problem;
    const ExitStatus status = session.open(QString(), problem);
    return status == ExitOk ? int(ExitOk) : fail(cli, status, problem);
}

int moduleRefused(CliContext& cli, const char* what, int code)
{
    return fail(cli, ExitCameraError, QStringLiteral("the module did not take the %1: %2")
                                          .arg(QLatin1String(what), cameraErrorText(code)));
}

// Sends `word` to the property and reads it back; ExitOk when the module keeps it.
int sendProperty(CliContext& cli, const char* what, int property, uint16_t word, uint16_t& kept)
{
    int result = set_prop_tpd_params(uint16_t(property), word);
    if (result == 0)
        result = get_prop_tpd_params(property, &kept);
    if (result != 0)
        return moduleRefused(cli, what, result);
    if (kept != word)
        return fail(cli, ExitCameraError, QStringLiteral("the module keeps %1 %2 instead of %3")
                                              .arg(QLatin1String(what)).arg(kept).arg(word));
    return ExitOk;
}

int setEmissivity(CliContext& cli, const QString& value)
{
    bool ok = false;
    const double emissivity = value.toDouble(&ok);
    const int percent = int(std::lround(emissivity * 100.0));
    if (!ok || percent < 1 || percent > 100)
        return fail(cli, ExitUsage, QStringLiteral("emissivity \"%1\" is not between 0.01 and 1.00").arg(value));
    CameraSession session;
    if (const int opened = openForCommands(cli, session))
        return opened;
    uint16_t kept = 0;
    if (const int sent = sendProperty(cli, "emissivity", TPD_PROP_EMS, emissivity_word(percent), kept))
        return sent;
    cli.out << "emissivity " << QString::number(emissivity_percent(kept) / 100.0, 'f', 2) << '\n';
    return ExitOk;
}

int setDistance(CliContext& cli, const QString& value)
{
    bool ok = false;
    const double metres = value.toDouble(&ok);
    if (!ok || metres < 0 || metres > MaximumDistanceMetres)
        return fail(cli, ExitUsage, QStringLiteral("distance \"%1\" is not between 0 and 5 metres").arg(value));
    CameraSession session;
    if (const int opened = openForCommands(cli, session))
        return opened;
    uint16_t kept = 0;
    const double decimetres = std::round(metres * 10.0);
    if (const int sent = sendProperty(cli, "distance", TPD_PROP_DISTANCE, distance_word(decimetres), kept))
        return sent;
    cli.out << "distance " << QString::number(distance_decimetres(kept) / 10.0, 'f', 1) << " m\n";
    return ExitOk;
}

int setRange(CliContext& cli, const QString& value)
{
    const QString range = value.toLower();
    if (range != QLatin1String("normal") && range != QLatin1String("high"))
        return fail(cli, ExitUsage, QStringLiteral("range \"%1\" is neither normal nor high").arg(value));
    CameraSession session;
    if (const int opened = openForCommands(cli, session))
        return opened;
    uint16_t kept = 0;
    // The module's gain: 1 the normal range, 0 the high one.
    if (const int sent = sendProperty(cli, "range", TPD_PROP_GAIN_SEL, range == QLatin1String("normal") ? 1 : 0, kept))
        return sent;
    QThread::msleep(RangeSettleMs); // the module settles before the next command
    cli.out << "range " << (kept == 1 ? "normal" : "high") << '\n';
    return ExitOk;
}

int setShutter(CliContext& cli)
{
    CameraSession session;
    if (const int opened = openForCommands(cli, session))
        return opened;
    const int result = ooc_b_update(0);
    if (result != 0)
        return moduleRefused(cli, "shutter command", result);
    cli.out << "shutter closed once\n";
    return ExitOk;
}

} // namespace

int runCli(const QStringList& arguments, CliContext& cli)
{
    if (arguments.isEmpty())
        return fail(cli, ExitUsage, QStringLiteral("no command given (see ombrix-cli --help)"));
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        const QString page = helpText(arguments.value(1));
        if (page.isEmpty())
            return fail(cli, ExitUsage, QStringLiteral("no command \"%1\" (see ombrix-cli --help)").arg(arguments.value(1)));
        cli.out << page;
        return ExitOk;
    }
    for (const Command& entry : Commands) {
        if (command == QLatin1String(entry.name)) {
            const int status = entry.run(cli, arguments.mid(1));
            cli.out.flush();
            return status;
        }
    }
    return fail(cli, ExitUsage, QStringLiteral("unknown command \"%1\" (see ombrix-cli --help)").arg(command));
}

int listCommand(CliContext& cli, const QStringList& arguments)
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("list"), arguments, {}, parser, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return fail(cli, ExitUsage, QStringLiteral("list takes no arguments"));
    int result = uvc_camera_init();
    if (result < 0)
        return fail(cli, ExitCameraError, QStringLiteral("cannot reach the cameras: %1").arg(cameraErrorText(result)));
    camera_dev_t devices[DOZAZUVA_MAX_DEVICES] = {};
    result = uvc_camera_list(devices);
    int found = 0;
    for (int i = 0; result >= 0 && i < DOZAZUVA_MAX_DEVICES; ++i) {
        const bool supported = devices[i].vid == 0x0BDA && (devices[i].pid == 0x5830 || devices[i].pid == 0x5840);
        if (!supported)
            continue;
        cli.out << QStringLiteral("%1:%2 %3\n")
                       .arg(devices[i].vid, 4, 16, QLatin1Char('0'))
                       .arg(devices[i].pid, 4, 16, QLatin1Char('0'))
                       .arg(QString::fromUtf8(devices[i].name ? devices[i].name : ""));
        ++found;
    }
    uvc_camera_list_release(devices);
    uvc_camera_release();
    return found > 0 ? int(ExitOk) : fail(cli, ExitNoCamera, QStringLiteral("no thermal camera found"));
}

int infoCommand(CliContext& cli, const QStringList& arguments)
{
    const QCommandLineOption json(QStringLiteral("json"));
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("info"), arguments, {json}, parser, exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return fail(cli, ExitUsage, QStringLiteral("info takes no arguments besides --json"));
    CameraSession session;
    if (const int opened = openForCommands(cli, session))
        return opened;
    const ModuleIdentity identity = session.identity();
    if (identity.serial.isEmpty())
        return fail(cli, ExitCameraError, QStringLiteral("the module did not tell its serial number"));
    const QList<QPair<QString, QString>> fields{
        {QStringLiteral("usb"), identity.vendorProduct}, {QStringLiteral("product"), identity.product},
        {QStringLiteral("serial"), identity.serial},     {QStringLiteral("module"), identity.moduleId},
        {QStringLiteral("firmware"), identity.firmware}};
    if (parser.isSet(json)) {
        QJsonObject object;
        for (const auto& field : fields)
            object.insert(field.first, field.second);
        cli.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        for (const auto& field : fields)
            cli.out << field.first << ": " << field.second << '\n';
    }
    return ExitOk;
}

int setCommand(CliContext& cli, const QStringList& arguments)
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommand(cli, QStringLiteral("set"), arguments, {}, parser, exitCode))
        return exitCode;
    const QStringList words = parser.positionalArguments();
    const QString setting = words.value(0);
    if (setting == QLatin1String("shutter") && words.size() == 1)
        return setShutter(cli);
    if (words.size() != 2)
        return fail(cli, ExitUsage, QStringLiteral("set takes a setting and one value (see ombrix-cli set --help)"));
    if (setting == QLatin1String("emissivity"))
        return setEmissivity(cli, words[1]);
    if (setting == QLatin1String("distance"))
        return setDistance(cli, words[1]);
    if (setting == QLatin1String("range"))
        return setRange(cli, words[1]);
    return fail(cli, ExitUsage, QStringLiteral("no setting \"%1\": emissivity, distance, range or shutter").arg(setting));
}
