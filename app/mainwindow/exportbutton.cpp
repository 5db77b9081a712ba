#include "exportbutton.h"

#include "profile.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr int ButtonGap = 5; // the gap between the title bar's text buttons

} // namespace

ExportButton::ExportButton(QPushButton* saveButton, SourceFetcher fetcher, QWidget* parentWindow)
    : QObject(parentWindow)
    , save(saveButton)
    , fetch(std::move(fetcher))
    , window(parentWindow)
{
    QWidget* bar = save->parentWidget();
    exportButton = new QPushButton(bar);
    exportButton->setObjectName(QStringLiteral("pushButtonExport"));
    // The same look as the bar's other text buttons.
    exportButton->setStyleSheet(save->styleSheet());
    formats = new QMenu(exportButton);
    exportButton->setMenu(formats);
    retranslate();
    exportButton->show();
    save->installEventFilter(this);
    followSave();
}

QPushButton* ExportButton::button() const
{
    return exportButton;
}

QMenu* ExportButton::menu() const
{
    return formats;
}

void ExportButton::retranslate()
{
    exportButton->setText(tr("Export"));
    exportButton->setShortcut(QKeySequence(tr("Ctrl+E")));
    formats->clear();
    const struct {
        QString text;
        ExportFormat format;
    } entries[] = {
        {tr("Picture as seen (PNG)..."), ExportFormat::Png},
        {tr("Temperatures, 16-bit (TIFF)..."), ExportFormat::Tiff},
        {tr("Temperatures as text (CSV)..."), ExportFormat::Csv},
    };
    for (const auto& entry : entries) {
        const ExportFormat format = entry.format;
        connect(formats->addAction(entry.text), &QAction::triggered, this,
                [this, format] { exportAs(format, temperatureMatrixFolder()); });
    }
    const int width = exportButton->fontMetrics().horizontalAdvance(exportButton->text()) + 30;
    exportButton->setFixedWidth(qMax(save->width(), width));
}

void ExportButton::followSave()
{
    if (!save || !exportButton)
        return;
    exportButton->setFixedHeight(save->height());
    exportButton->move(save->x() + save->width() + ButtonGap, save->y());
    exportButton->setEnabled(save->isEnabled());
}

bool ExportButton::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: reading the guarded pointer while the button is being
    // destroyed (its last events) is a bad downcast.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::EnabledChange) && watched == save)
        followSave();
    return QObject::eventFilter(watched, event);
}

void ExportButton::exportAs(ExportFormat format, const QString& folder)
{
    QDir().mkpath(folder);
    const QString suggested = QDir(folder).filePath(exportFileName(format, QDateTime::currentMSecsSinceEpoch()));
    const QString filter = QStringLiteral("*.%1").arg(exportSuffix(format));
    QString path = QFileDialog::getSaveFileName(window, tr("Export"), suggested, filter);
    if (path.isEmpty())
        return;
    ExportFormat asked = format;
    if (!exportFormatForFile(path, &asked) || asked != format)
        path += QLatin1Char('.') + exportSuffix(format);
    const QString problem = exportSnapshot(format, path, fetch(format));
    if (problem.isEmpty())
        emit exported(path);
    else
        emit failed(problem);
}
