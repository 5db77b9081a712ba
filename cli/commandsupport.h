// What the commands share: their output streams and stop flag, option
// values parsed with a message naming the problem, waiting, and the picture
// coloured as the viewer colours it.
#pragma once

#include "camerasession.h"
#include "exitstatus.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <atomic>
#include <functional>

struct CliContext {
    QTextStream& out;
    QTextStream& err;
    const std::atomic<bool>& stop; // set by Ctrl+C or SIGTERM
};

// Prints "ombrix-cli: <problem>" and returns status.
int fail(CliContext& cli, int status, const QString& problem);

// Sets up the parser with --help and the options and parses "ombrix-cli
// COMMAND args". True to go on; false when the command is done, with
// `exitCode` set: 0 after printing the page for --help, ExitUsage after
// naming a parse error.
bool parseCommand(CliContext& cli, const QString& command, const QStringList& arguments,
                  const QList<QCommandLineOption>& options, QCommandLineParser& parser, int& exitCode);

// "1", "0.5", "500ms", "2s", "1m" -> milliseconds; false when malformed or negative.
bool parseDuration(const QString& text, qint64& milliseconds);
// "C" or "F" (either case) -> Fahrenheit or not.
bool parseUnit(const QString& text, bool& fahrenheit);
// A whole number in [low, high].
bool parseWhole(const QString& text, int low, int high, int& value);

// Waits until `milliseconds` after the clock's start; false when stopped.
bool waitUntil(const std::function<qint64()>& elapsed, qint64 milliseconds, const std::atomic<bool>& stop);

// The picture half of the frame coloured with colour table `palette` (1 to
// 83), as RGB rows of width x 3 bytes.
QByteArray colouredPicture(const CameraFrame& frame, int palette);

// The default colour table: the viewer's first choice.
constexpr int DefaultPalette = 2;
constexpr int PaletteCount = 83;

// Opens the camera (or the recording) and starts its stream.
int openStreaming(CliContext& cli, CameraSession& session, const QString& recording);
