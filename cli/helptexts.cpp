#include "helptexts.h"

namespace {

const char ExitStatusText[] = R"(
EXIT STATUS
    0   success
    1   a file could not be written or read (the message names it; nothing
        half-written is left behind)
    2   usage: unknown command, unknown option, malformed or out-of-range value
    3   no camera: no supported module on the USB bus (0bda:5830, 0bda:5840)
    4   camera error: the module refused a command, stopped answering or was
        pulled out
)";

const char CameraText[] = R"(
CAMERA
    The camera is chosen as the viewer chooses it: the first module 0bda:5830,
    else the first 0bda:5840. With OMBRIX_CAMERA=simulated in the environment
    the simulated module is used instead (no hardware needed).
)";

const char ToolPage[] = R"(NAME
    ombrix-cli - measure with the thermal camera module from scripts

SYNOPSIS
    ombrix-cli COMMAND [OPTIONS]
    ombrix-cli COMMAND --help
    ombrix-cli help [COMMAND]

DESCRIPTION
    Works without a display. Every command opens the camera, does its work,
    and closes it again; the viewer must not hold the camera at that time.

COMMANDS
    list      the supported cameras on the USB bus
    info      serial number, module id and firmware of the camera
    stats     the highest, lowest and mean temperature, spots and
              rectangles, one line per interval
    grab      temperature matrices (and pictures) as files
    record    a radiometric recording (.mkv) of some seconds
    set       emissivity, distance, range or a shutter calibration

    Each command has a page of its own: ombrix-cli COMMAND --help.
)";

const char ListPage[] = R"(NAME
    ombrix-cli list - the supported cameras on the USB bus

SYNOPSIS
    ombrix-cli list

DESCRIPTION
    Prints one line per supported camera: its USB vendor and product id and
    its product name, e.g. "0bda:5830 USB Camera". Nothing is opened.
    Exits with 3 when there is none.
)";

const char InfoPage[] = R"(NAME
    ombrix-cli info - the identity of the camera module

SYNOPSIS
    ombrix-cli info [--json]

DESCRIPTION
    Opens the camera and prints its USB id, product name, serial number,
    module id and firmware, one "key: value" per line.

OPTIONS
    --json
        One JSON object instead: {"usb": ..., "product": ..., "serial": ...,
        "module": ..., "firmware": ...}.
)";

const char StatsPage[] = R"(NAME
    ombrix-cli stats - temperatures over time, one line per interval

SYNOPSIS
    ombrix-cli stats [--interval TIME] [--count N] [--spot X,Y]...
                     [--rect X,Y,W,H]... [--format csv|json] [--unit C|F]
                     [--input RECORDING.mkv]

DESCRIPTION
    Every interval, takes the latest frame and prints the time (UTC, ISO
    8601), the highest, lowest and mean temperature of the whole picture,
    then each spot and each rectangle (highest, lowest, mean), with two
    decimals. Each line is written out at once, so pipes and "| tee" see it
    as it comes. Ctrl+C (or SIGTERM) ends the run after the current line;
    the exit status is then 0.

    Coordinates are sensor cells: X from 0 (left) to 255, Y from 0 (top) to
    191, as in the saved matrices.

OPTIONS
    --interval TIME
        Time between lines: a number of seconds ("1", "0.5") or with a unit
        ("500ms", "2s", "1m"). Default 1s. 0 prints every frame.
    --count N
        Stop after N lines. Default: run until Ctrl+C (or, with --input, to
        the end of the recording).
    --spot X,Y
        The temperature of one cell. May be given several times.
    --rect X,Y,W,H
        Highest, lowest and mean of a rectangle of W x H cells whose top
        left cell is X,Y; it must lie inside the picture. May be given
        several times.
    --format csv|json
        csv (default): a header line naming the columns, then one line of
        comma-separated values per interval ("." as decimal point).
        json: one JSON object per line (JSON Lines).
    --unit C|F
        Degrees Celsius (default) or Fahrenheit.
    --input RECORDING.mkv
        Measure a recording instead of the camera, at its recorded pace.
)";

const char GrabPage[] = R"(NAME
    ombrix-cli grab - temperature matrices and pictures as files

SYNOPSIS
    ombrix-cli grab --out DIR [--frames N] [--every TIME]
                    [--format raw|csv|tiff|png] [--unit C|F] [--palette N]
                    [--input RECORDING.mkv]

DESCRIPTION
    Writes N frames into DIR (made when missing) as frame_0001.EXT,
    frame_0002.EXT, ... and prints each file's path when it is complete.
    Every file is written whole or not at all.

OPTIONS
    --out DIR
        The folder for the files. Required.
    --frames N
        How many frames. Default 1.
    --every TIME
        Time between frames, as for stats --interval. Default 1s.
    --format raw|csv|tiff|png
        tiff (default): the module's 16-bit temperature words (1/64 kelvin;
            celsius = word * 0.015625 - 273.15), 256 x 192 grey, with the
            unit and scale in the image description (ImageJ shows degrees).
        csv: 192 lines of 256 comma-separated temperatures in --unit,
            two decimals, "." as decimal point.
        raw: 256 x 192 little-endian 32-bit floats in degrees Celsius, as
            the viewer's Save writes them.
        png: the picture coloured with --palette, 256 x 192.
    --unit C|F
        The unit of csv files. Default C.
    --palette N
        Colour table 1 to 83 for png (default 2, the viewer's first choice).
    --input RECORDING.mkv
        Grab from a recording instead of the camera.
)";

const char RecordPage[] = R"(NAME
    ombrix-cli record - a radiometric recording

SYNOPSIS
    ombrix-cli record --seconds S [--palette N] [--unit C|F] FILE.mkv

DESCRIPTION
    Records S seconds of the camera into FILE.mkv: the coloured picture
    (plays in any video player), the camera's picture half and its
    temperature words, lossless, with the module's identity and settings in
    the file's tags. The viewer and "ombrix-cli --input" play it back.
    Ctrl+C ends the recording early; the file is finished cleanly. When the
    disk fills, the file ends at the last whole frame and the exit status
    is 1.

OPTIONS
    --seconds S
        Length of the recording in seconds (more than 0). Required.
    --palette N
        Colour table 1 to 83 of the picture stream (default 2).
    --unit C|F
        The unit noted in the tags. Default C.
)";

const char SetPage[] = R"(NAME
    ombrix-cli set - change a setting of the module and read it back

SYNOPSIS
    ombrix-cli set emissivity E
    ombrix-cli set distance METRES
    ombrix-cli set range normal|high
    ombrix-cli set shutter

DESCRIPTION
    Sends the module command, reads the value back and prints what the
    module now holds, e.g. "emissivity 0.95". A value the module does not
    keep is a camera error (exit status 4). The module forgets these values
    when it loses power; the viewer sends its own saved values when it
    opens the camera.

SETTINGS
    emissivity E
        0.01 to 1.00 (the module keeps whole percent).
    distance METRES
        0 to 5 metres from the camera to the object (kept in 0.1 m steps).
    range normal|high
        The normal range (about -20 to 150 degrees C) or the high range
        (up to about 550 degrees C). The module takes about two seconds to
        settle.
    shutter
        Closes the shutter once to recalibrate the picture.
)";

struct Page {
    const char* command;
    const char* text;
    bool camera;
};

constexpr Page Pages[] = {
    {"", ToolPage, true},      {"list", ListPage, false},     {"info", InfoPage, true},
    {"stats", StatsPage, true}, {"grab", GrabPage, true},     {"record", RecordPage, true},
    {"set", SetPage, true},
};

} // namespace

QString helpText(const QString& command)
{
    for (const Page& page : Pages) {
        if (command == QLatin1String(page.command)) {
            QString text = QString::fromUtf8(page.text);
            if (page.camera)
                text += QString::fromUtf8(CameraText);
            return text + QString::fromUtf8(ExitStatusText);
        }
    }
    return QString();
}
