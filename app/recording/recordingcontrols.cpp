#include "recordingcontrols.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

namespace {

constexpr int ButtonHeight = 26;

// The top bar's button look, with the record button turning red while it records.
const char ButtonStyle[] =
    "QPushButton{border: 1px solid #CBCBCB; border-radius: 2px; padding: 0px 8px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0F0F0, stop:1 #DBDBDB);"
    " font: 400 11px \"Microsoft YaHei\"; color: #666666;}"
    "QPushButton:hover{border: 1px solid #2B79D8;}"
    "QPushButton:checked{color: #FFFFFF; background: #D23B47; border: 1px solid #A82833;}"
    "QPushButton:disabled{background: #DCDCDC;}";

}  // namespace

RecordingControls::RecordingControls(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RecordingControls"));
    record = new QPushButton(this);
    record->setObjectName(QStringLiteral("pushButtonRecord"));
    record->setCheckable(true);
    // An icon only: the top bar has little room between its tools and the range switch.
    open = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), this);
    open->setObjectName(QStringLiteral("pushButtonOpenRecording"));
    for (QPushButton* button : {record, open}) {
        button->setStyleSheet(QLatin1String(ButtonStyle));
        button->setFixedHeight(ButtonHeight);
        button->setFocusPolicy(Qt::NoFocus);
    }
    record->setToolTip(tr("Record the picture and its temperatures (Ctrl+R)"));
    open->setToolTip(tr("Open recording") + QStringLiteral(": ") + tr("Play a recording as the picture source"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(record);
    row->addWidget(open);

    // The button's checked state follows the recording, not the click.
    connect(record, &QPushButton::clicked, this, [this] {
        record->setChecked(!record->isChecked());
        emit recordRequested();
    });
    connect(open, &QPushButton::clicked, this, &RecordingControls::openRequested);
    // Its own shortcut: the button's would go with each change of its caption.
    connect(new QShortcut(QKeySequence(tr("Ctrl+R")), this), &QShortcut::activated, this,
            &RecordingControls::recordRequested);
    showRecording(false);
}

void RecordingControls::showRecording(bool recording, qint64 elapsedMs)
{
    record->setChecked(recording);
    record->setText(recording ? tr("Stop %1").arg(elapsedText(elapsedMs)) : tr("Record"));
    adjustSize();
}

QString RecordingControls::elapsedText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QString minutesSeconds = two(seconds / 60 % 60) + QLatin1Char(':') + two(seconds % 60);
    return seconds >= 3600 ? QString::number(seconds / 3600) + QLatin1Char(':') + minutesSeconds : minutesSeconds;
}
