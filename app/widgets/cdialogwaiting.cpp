#include "cdialogwaiting.h"

#include <QLabel>
#include <QMovie>
#include <QVBoxLayout>

CDialogWaiting::CDialogWaiting(QWidget* parent)
    : QDialog(parent)
{
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(0, 0, 0, 0);

    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QStringLiteral("background:transparent"));
    setFixedSize(120, 120);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setContentsMargins(0, 0, 0, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);

    // An empty format lets QMovie detect it from the data. Without the
    // picture the dialog still blocks and closes as asked, just empty.
    movie = std::make_unique<QMovie>(QStringLiteral(":/images/loading.gif"), QByteArray());
    label->setMovie(movie.get());
    movie->start();
}

CDialogWaiting::~CDialogWaiting()
{
    // The label refers to the movie: let it go first.
    delete label;
    label = nullptr;
}
