// The title bar's Export button: placed right of Save (and kept there when
// the bar lays Save out again), it opens a menu of the three export formats,
// asks for the file name and writes the file.
//
// Ownership: the button and its menu are Qt children of the title bar; this
// object is a Qt child of the window. The picture and matrix are fetched
// through the callback at the moment of export.
#pragma once

#include "snapshotexport.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;
class QPushButton;

class ExportButton : public QObject
{
    Q_OBJECT

public:
    using SourceFetcher = std::function<ExportSource(ExportFormat)>;

    // save: the title bar's Save button, which the new button follows.
    ExportButton(QPushButton* save, SourceFetcher fetch, QWidget* window);

    QPushButton* button() const;
    QMenu* menu() const;

    // Asks for a file name (starting in folder) and writes the format there.
    void exportAs(ExportFormat format, const QString& folder);

signals:
    void exported(const QString& path);
    void failed(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followSave();
    void retranslate();

    // A QWidget pointer: the filter still sees the button while ~QWidget runs.
    QPointer<QWidget> save;
    QPointer<QPushButton> exportButton;
    QPointer<QMenu> formats;
    SourceFetcher fetch;
    QWidget* window;
};
