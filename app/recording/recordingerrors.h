// The recording library's error codes as the user reads them.
#pragma once

#include <QString>

QString recordingErrorText(int code);
