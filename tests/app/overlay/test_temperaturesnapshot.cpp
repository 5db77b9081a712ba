#include "overlaytesting.h"

#include "globals.h"
#include "temperaturesnapshot.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace overlaytesting;

namespace {

// Every cell holds its own upright flat index, so any misplaced value shows.
std::vector<float> indexGrid()
{
    std::vector<float> grid(TemperatureSnapshot::ValueCount);
    for (int i = 0; i < TemperatureSnapshot::ValueCount; ++i)
        grid[i] = float(i);
    return grid;
}

// True when every value of every copy equals the first upright value.
bool holdsOneFrame(const TemperatureSnapshot& snapshot)
{
    TemperatureSnapshot::Reader reader(snapshot);
    const float expected = reader.copyFor(0).values[0];
    for (int angle : {0, 90, 180, 270}) {
        const float* values = reader.copyFor(angle).values;
        for (int i = 0; i < TemperatureSnapshot::ValueCount; ++i) {
            if (values[i] != expected)
                return false;
        }
    }
    return true;
}

} // namespace

class TestTemperatureSnapshot : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_temp_unit = 0; }

    void fourOrientations();
    void changeUnitConvertsUprightInPlace();
    void refusesFramesOfOtherSizes();
    void nestedReadersShareTheFrame();
    void readersNeverSeeHalfAFrame();
};

// A clockwise quarter turn makes upright column r, read from the bottom up,
// row r; a half turn reads the picture backwards, and a turn left reads the
// quarter turn backwards.
void TestTemperatureSnapshot::fourOrientations()
{
    TemperatureSnapshot snapshot;
    const std::vector<float> grid = indexGrid();
    QVERIFY(snapshot.store(grid.data(), int(grid.size())));

    TemperatureSnapshot::Reader reader(snapshot);
    for (int other : {360, 45, -90})  // any other angle reads the upright copy
        QCOMPARE(&reader.copyFor(other), &reader.copyFor(0));
    const int count = TemperatureSnapshot::ValueCount;
    const float* right = reader.copyFor(90).values;
    QVERIFY(std::equal(grid.begin(), grid.end(), reader.copyFor(0).values));
    QVERIFY(std::equal(grid.rbegin(), grid.rend(), reader.copyFor(180).values));
    QVERIFY(std::equal(right, right + count, std::reverse_iterator<const float*>(reader.copyFor(270).values + count)));
    for (int i = 0; i < count; ++i) {
        const int row = i / Rows;
        if (int(right[i]) % Columns != row || (i % Rows != 0 && right[i] >= right[i - 1]))
            QFAIL(qPrintable(QStringLiteral("value %1 of the quarter turn misplaced").arg(i)));
    }
}

// Refused for an unknown unit or inside this thread's own read; otherwise
// the upright copy is converted in place.
void TestTemperatureSnapshot::changeUnitConvertsUprightInPlace()
{
    TemperatureSnapshot snapshot;
    QVERIFY(storeGrid(uniformGrid(100.0f), snapshot));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown unit 2"));
    QVERIFY(!snapshot.changeUnit(2));
    {
        TemperatureSnapshot::Reader reader(snapshot);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused while this thread reads"));
        QVERIFY(!snapshot.changeUnit(1));
        QCOMPARE(reader.copyFor(0).unit, 0);
    }
    // A refused change leaves the next one working.
    QVERIFY(snapshot.changeUnit(1));
    QVERIFY(snapshot.changeUnit(1));  // already Fahrenheit: not converted twice
    {
        TemperatureSnapshot::Reader reader(snapshot);
        QCOMPARE(reader.copyFor(0).unit, 1);
        QCOMPARE(reader.copyFor(0).values[0], 212.0f);
        QCOMPARE(reader.copyFor(0).values[TemperatureSnapshot::ValueCount - 1], 212.0f);
        // The turned copies keep their unit until the next store.
        QCOMPARE(reader.copyFor(90).unit, 0);
        QCOMPARE(reader.copyFor(90).values[0], 100.0f);
    }

    QVERIFY(snapshot.changeUnit(0));
    QCOMPARE(TemperatureSnapshot::Reader(snapshot).copyFor(0).values[77], 100.0f);

    // The next store follows the setting in every copy.
    g_temp_unit = 1;
    QVERIFY(storeGrid(uniformGrid(100.0f), snapshot));
    TemperatureSnapshot::Reader reader(snapshot);
    QCOMPARE(reader.copyFor(270).unit, 1);
    QCOMPARE(reader.copyFor(270).values[5], 212.0f);
}

// One short, one over, negative, or no frame at all: the last frame stays.
void TestTemperatureSnapshot::refusesFramesOfOtherSizes()
{
    TemperatureSnapshot snapshot;
    QVERIFY(storeGrid(uniformGrid(21.5f), snapshot));
    const std::vector<float> offered(TemperatureSnapshot::ValueCount + 1, 99.0f);
    for (int count : {TemperatureSnapshot::ValueCount - 1, TemperatureSnapshot::ValueCount + 1, -1}) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused a frame of " + QString::number(count)));
        QVERIFY(!snapshot.store(offered.data(), count));
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refused a null frame"));
    QVERIFY(!snapshot.store(nullptr, TemperatureSnapshot::ValueCount));

    TemperatureSnapshot::Reader reader(snapshot);
    for (int angle : {0, 90, 180, 270})
        QCOMPARE(reader.copyFor(angle).values[TemperatureSnapshot::ValueCount - 1], 21.5f);
}

void TestTemperatureSnapshot::nestedReadersShareTheFrame()
{
    TemperatureSnapshot first, second;
    QVERIFY(storeGrid(uniformGrid(1.0f), first) && storeGrid(uniformGrid(2.0f), second));

    TemperatureSnapshot::Reader outer(first);
    {
        TemperatureSnapshot::Reader inner(first);
        TemperatureSnapshot::Reader other(second);
        QCOMPARE(inner.copyFor(0).values, outer.copyFor(0).values);
        QCOMPARE(other.copyFor(0).values[0], 2.0f);
    }
    QCOMPARE(outer.copyFor(180).values[0], 1.0f);
}

// The stream thread stores whole frames while readers on two threads check
// that every copy they see holds one frame only.
void TestTemperatureSnapshot::readersNeverSeeHalfAFrame()
{
    TemperatureSnapshot snapshot;
    constexpr int frames = 150;
    std::atomic<bool> writing{true};
    std::atomic<int> tornReads{0};
    std::atomic<int> refusedStores{0};

    std::thread writer([&] {
        for (int k = 1; k <= frames; ++k)
            refusedStores += !storeGrid(uniformGrid(float(k)), snapshot);
        writing = false;
    });
    const auto readUntilDone = [&] {
        int reads = 0;
        while (writing || reads == 0) {
            if (!holdsOneFrame(snapshot))
                ++tornReads;
            ++reads;
        }
    };
    std::thread otherReader(readUntilDone);
    readUntilDone();
    writer.join();
    otherReader.join();

    QCOMPARE(refusedStores.load(), 0);
    QCOMPARE(tornReads.load(), 0);
    TemperatureSnapshot::Reader reader(snapshot);
    QCOMPARE(reader.copyFor(90).values[0], float(frames));
}

QTEST_GUILESS_MAIN(TestTemperatureSnapshot)
#include "test_temperaturesnapshot.moc"
