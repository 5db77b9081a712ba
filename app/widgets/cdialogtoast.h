// The toast's window: a dark, rounded, frameless box with white text, centred
// on its screen.
#pragma once

#include <QDialog>

class QLabel;

// Owns its label as a Qt child. Shown by Toast, which also hides it.
class CDialogToast : public QDialog
{
    Q_OBJECT

public:
    explicit CDialogToast(QWidget* parent = nullptr);

    // Sets the text, fits the box around it (wrapping at 690 pixels), centres
    // the box on its screen and shows it on top without activating it.
    void showMessage(const QString& text);

private:
    void setupUi();

    QLabel* label = nullptr;
};
