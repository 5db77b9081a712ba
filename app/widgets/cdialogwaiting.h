// A small borderless, transparent dialog playing the "loading" animation while
// the main window waits for a slow module operation.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QMovie;

// Owns the animation and the label that shows it. The caller runs exec() and
// ends it with close().
class CDialogWaiting : public QDialog
{
    Q_OBJECT

public:
    explicit CDialogWaiting(QWidget* parent = nullptr);
    ~CDialogWaiting() override;

private:
    std::unique_ptr<QMovie> movie;
    QLabel* label = nullptr;
};
