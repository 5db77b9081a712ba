#include "temperaturesnapshot.h"

#include "globals.h"

#include <QDebug>

#include <algorithm>

namespace {

// The innermost live Reader on this thread; readers link to the one they
// nest in, so a nested reader of the same snapshot can skip the lock.
thread_local const TemperatureSnapshot::Reader* t_innermostReader = nullptr;

constexpr int Fahrenheit = 1;
constexpr int Celsius = 0;

float toFahrenheit(float celsius)
{
    return static_cast<float>(celsius * 1.8 + 32);
}

float toCelsius(float fahrenheit)
{
    return static_cast<float>((static_cast<double>(fahrenheit) - 32) / 1.8);
}

} // namespace

TemperatureSnapshot::WriterFirstLock::WriterFirstLock()
{
    pthread_rwlockattr_t attributes;
    pthread_rwlockattr_init(&attributes);
    pthread_rwlockattr_setkind_np(&attributes, PTHREAD_RWLOCK_PREFER_WRITER_NONRECURSIVE_NP);
    pthread_rwlock_init(&rwlock, &attributes);
    pthread_rwlockattr_destroy(&attributes);
}

TemperatureSnapshot::WriterFirstLock::~WriterFirstLock()
{
    pthread_rwlock_destroy(&rwlock);
}

void TemperatureSnapshot::WriterFirstLock::lock()
{
    pthread_rwlock_wrlock(&rwlock);
}

void TemperatureSnapshot::WriterFirstLock::unlock()
{
    pthread_rwlock_unlock(&rwlock);
}

void TemperatureSnapshot::WriterFirstLock::lock_shared()
{
    pthread_rwlock_rdlock(&rwlock);
}

void TemperatureSnapshot::WriterFirstLock::unlock_shared()
{
    pthread_rwlock_unlock(&rwlock);
}

TemperatureSnapshot& TemperatureSnapshot::instance()
{
    static TemperatureSnapshot snapshot;
    return snapshot;
}

TemperatureSnapshot::TemperatureSnapshot()
    : front(std::make_unique<Frame>())
    , back(std::make_unique<Frame>())
{
}

TemperatureSnapshot::~TemperatureSnapshot() = default;

bool TemperatureSnapshot::store(const float* celsius, int count)
{
    if (!celsius) {
        qWarning("TemperatureSnapshot::store: refused a null frame");
        return false;
    }
    if (count != ValueCount) {
        qWarning("TemperatureSnapshot::store: refused a frame of %d values (expected %d)",
                 count, ValueCount);
        return false;
    }

    std::lock_guard<std::mutex> storing(storeLock);
    Copy& upright = back->copies[0];
    const int unit = g_temp_unit.load() == Fahrenheit ? Fahrenheit : Celsius;
    if (unit == Fahrenheit)
        std::transform(celsius, celsius + ValueCount, upright.values, toFahrenheit);
    else
        std::copy(celsius, celsius + ValueCount, upright.values);
    upright.unit = unit;
    fillTurnedCopies(*back);

    std::unique_lock<WriterFirstLock> publishing(frameLock);
    std::swap(front, back);
    return true;
}

void TemperatureSnapshot::fillTurnedCopies(Frame& frame)
{
    const float* upright = frame.copies[0].values;
    float* quarter = frame.copies[1].values;
    float* half = frame.copies[2].values;
    float* threeQuarter = frame.copies[3].values;

    // Turned a quarter clockwise: Rows columns by Columns rows.
    for (int y = 0; y < Columns; ++y) {
        for (int x = 0; x < Rows; ++x) {
            quarter[y * Rows + x] = upright[(Rows - 1 - x) * Columns + y];
            threeQuarter[y * Rows + x] = upright[x * Columns + (Columns - 1 - y)];
        }
    }
    std::reverse_copy(upright, upright + ValueCount, half);

    for (int i = 1; i < 4; ++i)
        frame.copies[i].unit = frame.copies[0].unit;
    for (Copy& copy : frame.copies)
        copy.live = true;
}

bool TemperatureSnapshot::changeUnit(int unit)
{
    if (unit != Celsius && unit != Fahrenheit) {
        qWarning("TemperatureSnapshot::changeUnit: unknown unit %d", unit);
        return false;
    }
    if (isReadByThisThread()) {
        qWarning("TemperatureSnapshot::changeUnit: refused while this thread reads the snapshot");
        return false;
    }

    std::unique_lock<WriterFirstLock> converting(frameLock);
    Copy& upright = front->copies[0];
    if (upright.unit == unit)
        return true;
    float* values = upright.values;
    if (unit == Fahrenheit)
        std::transform(values, values + ValueCount, values, toFahrenheit);
    else
        std::transform(values, values + ValueCount, values, toCelsius);
    upright.unit = unit;
    return true;
}

bool TemperatureSnapshot::forget()
{
    if (isReadByThisThread()) {
        qWarning("TemperatureSnapshot::forget: refused while this thread reads the snapshot");
        return false;
    }
    std::unique_lock<WriterFirstLock> forgetting(frameLock);
    for (Copy& copy : front->copies)
        copy.live = false;
    return true;
}

int TemperatureSnapshot::copyIndexFor(int angle)
{
    switch (angle) {
    case 90:
        return 1;
    case 180:
        return 2;
    case 270:
        return 3;
    default:
        return 0;
    }
}

bool TemperatureSnapshot::isReadByThisThread() const
{
    for (const Reader* reader = t_innermostReader; reader; reader = reader->enclosing) {
        if (&reader->snapshot == this)
            return true;
    }
    return false;
}

TemperatureSnapshot::Reader::Reader(const TemperatureSnapshot& source)
    : snapshot(source)
    , enclosing(t_innermostReader)
    , ownsLock(!source.isReadByThisThread())
{
    if (ownsLock)
        source.frameLock.lock_shared();
    t_innermostReader = this;
}

TemperatureSnapshot::Reader::~Reader()
{
    Q_ASSERT(t_innermostReader == this);
    t_innermostReader = enclosing;
    if (ownsLock)
        snapshot.frameLock.unlock_shared();
}

const TemperatureSnapshot::Copy& TemperatureSnapshot::Reader::copyFor(int angle) const
{
    return snapshot.front->copies[copyIndexFor(angle)];
}
