// The soak run: the real main window on the simulated module for a long
// time (OMBRIX_SOAK_MINUTES, default 30), the cable pulled and plugged back
// every 20 s, the palette and the rotation changed every cycle and the
// temperature matrix saved every minute. The process's resident memory,
// threads and open descriptors are sampled at the same point of every cycle
// (picture running again); the run fails when the last sample exceeds the
// first one taken after the warm-up by more than 2 MB, or by any thread or
// descriptor. The warm-up is 2 minutes and at least one full round of the
// actions (every rotation, every kind of save): the first time each of them
// runs, the allocator takes pages it keeps for good (a step of a few MB at a
// random cycle, with the heap in use flat), which is not a leak.
#include "cwidgetsettings.h"
#include "profile.h"
#include "windowtesting.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>

#include <cstdio>
#include <malloc.h>

namespace {

constexpr int CycleMs = 20000;
constexpr int UnpluggedMs = 2000;
constexpr int WarmUpMs = 2 * 60 * 1000;
constexpr int Rotations = 4;
constexpr int SaveEveryCycles = 3;
constexpr int FullRoundCycles = Rotations * SaveEveryCycles;
constexpr long AllowedRssGrowthKb = 2048;

struct Sample {
    qint64 atMs = 0;
    long rssKb = 0;
    long heapKb = 0;  // bytes handed out by malloc: growth here is a leak, not fragmentation
    int threads = 0;
    int descriptors = 0;
};

long statusField(const QByteArray& status, const char* name)
{
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith(name))
            return line.mid(int(strlen(name))).trimmed().split(' ').first().toLong();
    return -1;
}

Sample sampleNow(qint64 atMs)
{
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    const QByteArray status = file.readAll();
    Sample sample;
    sample.atMs = atMs;
    sample.rssKb = statusField(status, "VmRSS:");
    sample.heapKb = long(mallinfo2().uordblks / 1024);
    sample.threads = int(statusField(status, "Threads:"));
    sample.descriptors = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
    return sample;
}

void print(const char* what, const Sample& s)
{
    std::printf("%s t=%4llds rss=%ld kB heap=%ld kB threads=%d fds=%d\n", what, (long long)(s.atMs / 1000), s.rssKb,
                s.heapKb, s.threads, s.descriptors);
    std::fflush(stdout);
}

} // namespace

class SoakRun : public QObject
{
    Q_OBJECT

private slots:
    void soak();

private:
    void changePalette(int cycle);
    void save();

    std::unique_ptr<ThermalImager> window;
};

void SoakRun::changePalette(int cycle)
{
    ModalHandler<CWidgetSettings> choose([cycle](CWidgetSettings* panel) {
        auto* palettes = panel->findChild<QComboBox*>(QStringLiteral("comboBox"));
        palettes->setCurrentIndex((cycle * 7) % palettes->count());
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("pushButtonSave")), Qt::LeftButton);
    });
    clickTitleBar(*window, &CTitleBar::Buttons::setting);
    QVERIFY(choose.handled());
}

// Saves one matrix and removes it again, so the disk is not what grows.
void SoakRun::save()
{
    {
        MessageAnswer confirm;
        clickTitleBar(*window, &CTitleBar::Buttons::save);
        QVERIFY(confirm.handled());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!shownToast().isEmpty(), 5000);
    QVERIFY2(!shownToast().contains(QStringLiteral("failed")), qPrintable(shownToast()));
    hideToast();
    QDir(temperatureMatrixFolder()).removeRecursively();
}

void SoakRun::soak()
{
    const qint64 durationMs = qEnvironmentVariableIntValue("OMBRIX_SOAK_MINUTES") > 0
                                  ? qEnvironmentVariableIntValue("OMBRIX_SOAK_MINUTES") * 60000LL
                                  : 30 * 60000LL;
    window = std::make_unique<ThermalImager>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(pictureRunning(*window) && chartPoints(*window) >= 1, 10000);

    QElapsedTimer clock;
    clock.start();
    Sample baseline, last;
    bool haveBaseline = false;
    for (int cycle = 0; clock.elapsed() + CycleMs <= durationMs; ++cycle) {
        const qint64 cycleStart = clock.elapsed();
        QCOMPARE(ombrix_sim_unplug(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(controlsDisabled(*window), 5000);
        QTest::qWait(UnpluggedMs);
        QCOMPARE(ombrix_sim_plug(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(controlsEnabled(*window) && pictureRunning(*window), 10000);
        ombrix_sim_wire_clear();  // the module's log of transfers is not the viewer's memory

        changePalette(cycle);
        QTest::mouseClick(window->form().pushButtonRotate, Qt::LeftButton);
        if (cycle % SaveEveryCycles == SaveEveryCycles - 1)
            save();

        QTest::qWait(int(qMax<qint64>(0, cycleStart + CycleMs - 1000 - clock.elapsed())));
        last = sampleNow(clock.elapsed());
        print("sample", last);
        if (!haveBaseline && last.atMs >= WarmUpMs && cycle >= FullRoundCycles) {
            baseline = last;
            haveBaseline = true;
        }
        QTest::qWait(int(qMax<qint64>(0, cycleStart + CycleMs - clock.elapsed())));
    }
    window.reset();
    if (!haveBaseline)
        QSKIP("shorter than the warm-up: nothing to compare");
    print("baseline", baseline);
    print("last", last);
    std::printf("growth rss=%ld kB threads=%d fds=%d\n", last.rssKb - baseline.rssKb,
                last.threads - baseline.threads, last.descriptors - baseline.descriptors);
    QVERIFY2(last.rssKb - baseline.rssKb <= AllowedRssGrowthKb, "resident memory grew");
    QVERIFY2(last.threads <= baseline.threads, "threads grew");
    QVERIFY2(last.descriptors <= baseline.descriptors, "open descriptors grew");
}

int main(int argc, char** argv)
{
    return runIsolated<SoakRun>(argc, argv);
}

#include "soak_window.moc"
