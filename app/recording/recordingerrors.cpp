#include "recordingerrors.h"

#include <ombrix_recording.h>

#include <QCoreApplication>

namespace {

QString text(const char* english)
{
    return QCoreApplication::translate("RecordingErrors", english);
}

}  // namespace

QString recordingErrorText(int code)
{
    switch (code) {
    case OMBRIX_REC_ERR_OPEN:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "The file cannot be opened or created."));
    case OMBRIX_REC_ERR_FORMAT:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "This file is not an Ombrix recording, or it is damaged."));
    case OMBRIX_REC_ERR_FRAME_SIZE:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "The recording has another frame size than this camera."));
    case OMBRIX_REC_ERR_WRITE:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "Writing failed (is the disk full?). The file keeps every "
                                                         "frame up to the last whole one."));
    case OMBRIX_REC_ERR_DECODE:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "A frame of the recording cannot be read."));
    default:
        return text(QT_TRANSLATE_NOOP("RecordingErrors", "The recording failed (error %1).")).arg(code);
    }
}
