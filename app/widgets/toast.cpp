#include "toast.h"

#include "cdialogtoast.h"

#include <QCoreApplication>
#include <QMutex>
#include <QTimerEvent>

namespace {

constexpr int kDisplayMilliseconds = 2000;

QMutex instanceMutex;
Toast* theInstance = nullptr;

}  // namespace

Toast* Toast::instance()
{
    QMutexLocker lock(&instanceMutex);
    if (!theInstance) {
        theInstance = new Toast;
        // Widgets must die before the application object, so the toast goes
        // with the application's own clean-up rather than at static destruction.
        qAddPostRoutine(&Toast::destroyInstance);
    }
    return theInstance;
}

void Toast::destroyInstance()
{
    QMutexLocker lock(&instanceMutex);
    delete theInstance;
    theInstance = nullptr;
}

Toast::Toast()
    : dialog(std::make_unique<CDialogToast>())
{
}

Toast::~Toast() = default;

void Toast::showTip(int kind, const QString& text)
{
    Q_UNUSED(kind);
    dialog->showMessage(text);
    if (timerId != 0)
        killTimer(timerId);
    timerId = startTimer(kDisplayMilliseconds, Qt::CoarseTimer);
}

void Toast::showTipModal(int kind, const QString& text)
{
    showTip(kind, text);
    dialog->exec();
}

void Toast::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timerId || timerId == 0) {
        QObject::timerEvent(event);
        return;
    }
    killTimer(timerId);
    timerId = 0;
    dialog->accept();
}
