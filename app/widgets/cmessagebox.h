// The program's question and notice box: a title bar, a word-wrapped message
// and up to three buttons.
#pragma once

#include <QDialog>
#include <QPointer>

class CBaseTitleBar;
class QHBoxLayout;
class QLabel;
class QPushButton;

// Frameless, application-modal, deleted when closed. exec() returns 1, 2 or 3
// for the button pressed and 0 when closed by the title bar's close button or
// Escape. Owns its title bar and form widgets as Qt children.
class CMessageBox : public QDialog
{
    Q_OBJECT

public:
    explicit CMessageBox(QWidget* parent = nullptr);

    void setTitle(const QString& text);
    void setText(const QString& text);
    // Shows the buttons whose text is not empty and gives all three one
    // common width fitted to the widest caption.
    void setButtons(const QString& text1, const QString& text2, const QString& text3);

public slots:
    int exec() override;
    void onButton1();
    void onButton2();
    void onButton3();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setupUi();
    void fitButtonRow();

    QPointer<CBaseTitleBar> titleBar;
    QLabel* label = nullptr;
    QWidget* layoutWidget = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QPushButton* pushButton = nullptr;
    QPushButton* pushButton_2 = nullptr;
    QPushButton* pushButton_3 = nullptr;
};
