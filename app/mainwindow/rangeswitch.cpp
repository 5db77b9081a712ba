#include "rangeswitch.h"

#include "cdialogwaiting.h"
#include "globals.h"
#include "savedsettings.h"

#include <dozazuva.h>

#include <QAbstractButton>
#include <QThread>

namespace {

constexpr unsigned long RangeSettleMs = 2000;
constexpr int RangeNormal = 1;
constexpr int RangeHigh = 0;

} // namespace

RangeSwitch::RangeSwitch(QAbstractButton* normal, QAbstractButton* high, QWidget* dialogParent)
    : normal(normal)
    , high(high)
    , dialogParent(dialogParent)
{
    connect(normal, &QAbstractButton::clicked, this, [this] { switchTo(RangeNormal); });
    connect(high, &QAbstractButton::clicked, this, [this] { switchTo(RangeHigh); });
    connect(this, &RangeSwitch::settling, this, &RangeSwitch::showWaiting);
    connect(this, &RangeSwitch::settled, this, &RangeSwitch::hideWaiting);
}

RangeSwitch::~RangeSwitch()
{
    // The workers talk to the module and emit on this object.
    for (QThread* worker : findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly))
        worker->wait();
}

void RangeSwitch::showRange()
{
    (g_range_mode != RangeHigh ? normal : high)->setChecked(true);
}

void RangeSwitch::switchTo(int target)
{
    const QAbstractButton* pressed = target == RangeNormal ? normal : high;
    if (switching) {
        // Ignored while a switch runs; the switch keeps showing the range
        // the module is being set to.
        showRange();
        return;
    }
    if (!pressed->isChecked() || g_range_mode == target)
        return;
    switching = true;
    g_range_mode = target;
    SavedSettings::saveRange(target);

    QThread* worker = QThread::create([this, target] {
        emit settling();
        set_prop_tpd_params(TPD_PROP_GAIN_SEL, uint16_t(target));
        QThread::msleep(RangeSettleMs);
        switching = false;
        emit settled();
    });
    worker->setObjectName(QStringLiteral("range switch"));
    worker->setParent(this);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::InheritPriority);
}

void RangeSwitch::showWaiting()
{
    if (!waitingDialog)
        waitingDialog = new CDialogWaiting(dialogParent);
    waitingDialog->exec();
}

void RangeSwitch::hideWaiting()
{
    if (waitingDialog)
        waitingDialog->close();
}
