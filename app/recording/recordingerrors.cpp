#include "recordingerrors.h"

#include <ombrix_recording.h>

#include <QCoreApplication>

QString recordingErrorText(int code)
{
    const char* context = "RecordingErrors";
    switch (code) {
    case OMBRIX_REC_ERR_OPEN:
        return QCoreApplication::translate(context, "The file cannot be opened or created.");
    case OMBRIX_REC_ERR_FORMAT:
        return QCoreApplication::translate(context, "This file is not an Ombrix recording, or it is damaged.");
    case OMBRIX_REC_ERR_FRAME_SIZE:
        return QCoreApplication::translate(context, "The recording has another frame size than this camera.");
    case OMBRIX_REC_ERR_WRITE:
        return QCoreApplication::translate(
            context, "Writing failed (is the disk full?). The file keeps every frame up to the last whole one.");
    case OMBRIX_REC_ERR_DECODE:
        return QCoreApplication::translate(context, "A frame of the recording cannot be read.");
    default:
        return QCoreApplication::translate(context, "The recording failed (error %1).").arg(code);
    }
}
