#include "windowsnapshot.h"

#include "ctitlebar.h"
#include "cthreadvideostream.h"
#include "exportbutton.h"
#include "globals.h"
#include "profile.h"
#include "temperaturesnapshot.h"
#include "thermalimager.h"
#include "toast.h"
#include "ui_thermalimager.h"

#include <QDateTime>
#include <QDir>
#include <QGraphicsView>
#include <QPushButton>

WindowSnapshot::WindowSnapshot(ThermalImager* shown)
    : window(shown)
{
}

ExportSource WindowSnapshot::source(ExportFormat format) const
{
    ExportSource source;
    if (format == ExportFormat::Png) {
        // The whole picture area, so that everything drawn over or beside the
        // picture is in the file as seen.
        if (window && window->form().graphicsView)
            source.picture = window->form().graphicsView->grab().toImage();
        return source;
    }
    source.celsius = CThreadVideoStream::temperatureMatrix().celsius;
    source.columns = TemperatureSnapshot::Columns;
    source.rows = TemperatureSnapshot::Rows;
    source.unit = g_temp_unit;
    return source;
}

QString WindowSnapshot::writeTo(const QString& path, QString* written) const
{
    ExportFormat format = ExportFormat::Png;
    const QString file = exportFormatForFile(path, &format) ? path : path + QStringLiteral(".png");
    if (written)
        *written = file;
    return exportSnapshot(format, file, source(format));
}

QString WindowSnapshot::defaultPath(ExportFormat format)
{
    const QString folder = temperatureMatrixFolder();
    QDir().mkpath(folder);
    return QDir(folder).filePath(exportFileName(format, QDateTime::currentMSecsSinceEpoch()));
}

void installExportButton(ThermalImager* window)
{
    const WindowSnapshot snapshot(window);
    auto* exporter = new ExportButton(window->titleBarWidget()->buttons().save,
                                      [snapshot](ExportFormat format) { return snapshot.source(format); }, window);
    QObject::connect(exporter, &ExportButton::exported, window, [](const QString& path) {
        Toast::instance()->showTip(0, QObject::tr("Exported to %1").arg(QDir::toNativeSeparators(path)));
    });
    QObject::connect(exporter, &ExportButton::failed, window, [](const QString& problem) {
        Toast::instance()->showTip(0, QObject::tr("Export failed: %1").arg(problem));
    });
}
