#include "csplashscreen.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr quint32 kTickMilliseconds = 100;
// Shortest turn: four quarters of at least 25 ms keep the arithmetic defined.
constexpr quint32 kMinimumDuration = 100;

QProgressBar* makeEdgeBar(QWidget* parent, const char* name, const QRect& geometry, Qt::Orientation orientation,
                          bool inverted)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    bar->setOrientation(orientation);
    bar->setInvertedAppearance(inverted);
    bar->setValue(0);
    bar->setFormat(QString());
    bar->setTextVisible(false);
    bar->setStyleSheet(QStringLiteral("QProgressBar{background: #FFFFFF; border: none; border-radius: 0px;}"
                                      "QProgressBar::chunk{background: #2B79D8; border: none; border-radius: 0px;}"));
    return bar;
}

}  // namespace

CSplashScreen::CSplashScreen(QWidget* parent)
    : QSplashScreen(QPixmap())
{
    if (parent)
        setParent(parent, windowFlags());
    setupUi();
}

void CSplashScreen::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("CSplashScreen"));
    setWindowTitle(QStringLiteral("CSplashScreen"));
    resize(592, 492);

    labelMessage = new QLabel(this);
    labelMessage->setObjectName(QStringLiteral("labelMessage"));
    labelMessage->setGeometry(10, 328, 576, 26);
    labelMessage->setAlignment(Qt::AlignCenter);
    labelMessage->setStyleSheet(QStringLiteral("QLabel{font: 400 18px \"Microsoft YaHei\"; color: #FFFFFF;}"));

    // Turn order: left edge upwards, top edge rightwards, right edge
    // downwards, bottom edge leftwards.
    progressBar_4 = makeEdgeBar(this, "progressBar_4", QRect(0, 4, 4, 488), Qt::Vertical, false);
    progressBar = makeEdgeBar(this, "progressBar", QRect(0, 0, 588, 4), Qt::Horizontal, false);
    progressBar_2 = makeEdgeBar(this, "progressBar_2", QRect(588, 0, 4, 488), Qt::Vertical, true);
    progressBar_3 = makeEdgeBar(this, "progressBar_3", QRect(4, 488, 588, 4), Qt::Horizontal, true);
}

void CSplashScreen::setDuration(quint32 milliseconds)
{
    duration = std::max(milliseconds, kMinimumDuration);
}

void CSplashScreen::start()
{
    if (progressTimerId == 0)
        progressTimerId = startTimer(int(kTickMilliseconds), Qt::PreciseTimer);
    shownFor.start();
    show();
}

void CSplashScreen::holdAtLeast(int milliseconds)
{
    if (!shownFor.isValid())
        shownFor.start();
    const qint64 left = milliseconds - shownFor.elapsed();
    if (left <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void CSplashScreen::setMessage(const QString& text)
{
    labelMessage->setText(text);
}

void CSplashScreen::finish(QWidget* window)
{
    if (progressTimerId != 0) {
        killTimer(progressTimerId);
        progressTimerId = 0;
    }
    QSplashScreen::finish(window);
}

void CSplashScreen::timerEvent(QTimerEvent* event)
{
    if (progressTimerId == 0 || event->timerId() != progressTimerId) {
        QSplashScreen::timerEvent(event);
        return;
    }
    advance();
}

void CSplashScreen::advance()
{
    // Without setDuration the turn takes the minimum time.
    const quint32 turn = std::max(duration, kMinimumDuration);
    // Past the full turn every bar stays full; holding elapsed there keeps it
    // from wrapping however long the splash stays up.
    if (elapsed < turn)
        elapsed += kTickMilliseconds;
    const quint32 quarter = turn / 4;
    const quint32 done = elapsed / quarter;

    QProgressBar* const inTurnOrder[] = {progressBar_4, progressBar, progressBar_2, progressBar_3};
    for (quint32 n = 0; n < 4; ++n) {
        int value = 0;
        if (done > n)
            value = 100;
        else if (done == n)
            value = int((elapsed % quarter) * 100 / quarter);
        inTurnOrder[n]->setValue(value);
    }
}
