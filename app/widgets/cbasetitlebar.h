// The small title bar of the dialogs (settings, message box, about): a title
// on the left and a close button on the right.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The bar owns its label and button as Qt children. It does not act on the
// close button itself: the owning dialog connects the button's clicked() to
// its own close().
class CBaseTitleBar : public QWidget
{
    Q_OBJECT

public:
    struct Parts {
        QLabel* title;
        QPushButton* close;
    };

    explicit CBaseTitleBar(QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& text);
    Parts parts() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setupUi();
    void retranslateUi();

    QLabel* labelTitle = nullptr;
    QPushButton* pushButtonClose = nullptr;
};
