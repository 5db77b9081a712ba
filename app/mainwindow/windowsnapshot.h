// What an export of the main window writes: the picture area as the user
// sees it (the live picture with its measurement shapes and labels, grabbed
// as rendered) and the latest temperature matrix in the current unit. Used by
// the Export button and by snapshots asked for from another process.
#pragma once

#include "snapshotexport.h"

#include <QPointer>

class ThermalImager;

class WindowSnapshot
{
public:
    explicit WindowSnapshot(ThermalImager* window);

    ExportSource source(ExportFormat format) const;
    // Writes the file (format by its suffix; PNG, with ".png" added, when it
    // has none of ours); `written` (may be null) gets the file's path. Empty
    // on success, else a message naming the problem.
    QString writeTo(const QString& path, QString* written = nullptr) const;
    // A new file name in the temperature matrix folder for the format.
    static QString defaultPath(ExportFormat format);

private:
    QPointer<ThermalImager> window;
};

// Adds the Export button beside Save in the window's title bar; success and
// failure are shown as the window's notices. The button lives with the bar.
void installExportButton(ThermalImager* window);
