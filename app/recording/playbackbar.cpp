#include "playbackbar.h"

#include "recordingcontrols.h"

#include <ombrix_recording.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTimer>

namespace {

constexpr int BarHeight = 34;
constexpr int PollMs = 100;

const char BarStyle[] =
    "QWidget#PlaybackBar{background: rgba(40, 40, 40, 200);}"
    "QPushButton{color: #FFFFFF; background: transparent; border: 1px solid #777777; border-radius: 2px;"
    " padding: 2px 8px; font: 400 11px \"Microsoft YaHei\";}"
    "QPushButton:hover{border: 1px solid #2B79D8;}"
    "QLabel{color: #FFFFFF; font: 400 11px \"Microsoft YaHei\";}";

}  // namespace

PlaybackBar::PlaybackBar(QWidget* pictureArea)
    : QWidget(pictureArea ? pictureArea->parentWidget() : nullptr)
    , area(pictureArea)
{
    setObjectName(QStringLiteral("PlaybackBar"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QLatin1String(BarStyle));
    back = new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipBackward), QString(), this);
    play = new QPushButton(this);
    forward = new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipForward), QString(), this);
    seek = new QSlider(Qt::Horizontal, this);
    position = new QLabel(this);
    close = new QPushButton(tr("Back to the camera"), this);
    back->setToolTip(tr("One frame back (Left)"));
    forward->setToolTip(tr("One frame on (Right)"));
    seek->setToolTip(tr("Position in the recording"));
    for (QPushButton* button : {back, play, forward, close})
        button->setFocusPolicy(Qt::NoFocus);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    for (QWidget* part : {static_cast<QWidget*>(back), static_cast<QWidget*>(play), static_cast<QWidget*>(forward)})
        row->addWidget(part);
    row->addWidget(seek, 1);
    row->addWidget(position);
    row->addWidget(close);

    connect(play, &QPushButton::clicked, this, &PlaybackBar::togglePlaying);
    connect(back, &QPushButton::clicked, this, [this] { step(-1); });
    connect(forward, &QPushButton::clicked, this, [this] { step(1); });
    connect(close, &QPushButton::clicked, this, &PlaybackBar::closeRequested);
    connect(seek, &QSlider::valueChanged, this, [this](int index) {
        if (seek->isSliderDown())
            ombrix_playback_seek(index);
    });
    connect(new QShortcut(QKeySequence(Qt::Key_Space), this), &QShortcut::activated, this,
            &PlaybackBar::togglePlaying);
    connect(new QShortcut(QKeySequence(Qt::Key_Left), this), &QShortcut::activated, this, [this] { step(-1); });
    connect(new QShortcut(QKeySequence(Qt::Key_Right), this), &QShortcut::activated, this, [this] { step(1); });

    poll = new QTimer(this);
    poll->setInterval(PollMs);
    connect(poll, &QTimer::timeout, this, &PlaybackBar::refresh);
    if (area)
        area->installEventFilter(this);
    hide();
}

void PlaybackBar::refresh()
{
    ombrix_playback_state state{};
    if (ombrix_playback_state_get(&state) < 0)
        return;
    playing = state.playing != 0;
    play->setText(playing ? tr("Pause") : tr("Play"));
    play->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    if (!seek->isSliderDown()) {
        seek->setRange(0, std::max(state.frames - 1, 0));
        seek->setValue(state.index);
    }
    position->setText(QStringLiteral("%1 / %2").arg(RecordingControls::elapsedText(state.position_ms),
                                                    RecordingControls::elapsedText(state.duration_ms)));
}

void PlaybackBar::togglePlaying()
{
    ombrix_playback_set_playing(playing ? 0 : 1);
    refresh();
}

void PlaybackBar::step(int frames)
{
    ombrix_playback_step(frames);
    refresh();
}

// Lies along the bottom edge of the picture area.
void PlaybackBar::follow()
{
    if (!area)
        return;
    const QRect picture = area->geometry();
    setGeometry(picture.left(), picture.bottom() + 1 - BarHeight, picture.width(), BarHeight);
    raise();
}

bool PlaybackBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        follow();
    return QWidget::eventFilter(watched, event);
}

void PlaybackBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    follow();
    refresh();
    poll->start();
}

void PlaybackBar::hideEvent(QHideEvent* event)
{
    poll->stop();
    QWidget::hideEvent(event);
}
