// The latest temperature grid, kept in one copy per picture rotation so that
// the measurement shapes can read it in the orientation the user sees.
//
// Threads: the video stream thread calls store(); the GUI thread reads through
// Reader objects and calls changeUnit(). A store builds the next frame in a
// back buffer and only swaps it in under the exclusive lock, so a reader never
// sees a half-written frame and holds the writer up for one repaint at most.
#pragma once

#include <QtGlobal>

#include <pthread.h>

#include <memory>
#include <mutex>

class TemperatureSnapshot
{
public:
    static constexpr int Columns = 256;  // upright grid
    static constexpr int Rows = 192;
    static constexpr int ValueCount = Columns * Rows;  // 49152

    // One oriented copy: row-major values, Columns x Rows when upright or
    // turned half way, Rows x Columns when turned a quarter or three quarters.
    struct Copy
    {
        qint32 unit = 0;  // 1: degrees Fahrenheit, 0: degrees Celsius
        bool live = false;  // holds a frame of the camera that is connected now
        float values[ValueCount] = {};
    };

    // The process-wide store that the stream thread fills and the shapes read.
    static TemperatureSnapshot& instance();

    TemperatureSnapshot();
    ~TemperatureSnapshot();
    TemperatureSnapshot(const TemperatureSnapshot&) = delete;
    TemperatureSnapshot& operator=(const TemperatureSnapshot&) = delete;

    // Copies a frame of exactly ValueCount temperatures in degrees Celsius
    // (row-major, Columns per row), converted to Fahrenheit when g_temp_unit
    // is 1, and rebuilds the turned copies. A null pointer or any other count
    // is refused with a warning and leaves the snapshot as it was.
    bool store(const float* celsius, int count);

    // Converts the upright copy in place when its unit differs from unit
    // (0 Celsius, 1 Fahrenheit); the turned copies follow with the next store.
    // Refused (false) for other units, and on a thread that holds a Reader of
    // this snapshot, which would otherwise deadlock.
    bool changeUnit(int unit);
    // Marks the values as no longer live (the camera has gone) until the next
    // store; they stay readable. Refused (false) on a thread that holds a
    // Reader of this snapshot.
    bool forget();

    // The copy index for a rotation in degrees: 90, 180 and 270 select the
    // turned copies, anything else the upright one.
    static int copyIndexFor(int angle);

    // Shared read access for its lifetime. Readers nest on one thread (the
    // overlay holds one across a whole repaint and each shape takes its own),
    // and only the outermost one takes the lock, so every shape of a repaint
    // reads the same frame. Use as a scoped local only.
    class Reader
    {
    public:
        explicit Reader(const TemperatureSnapshot& snapshot = TemperatureSnapshot::instance());
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

        // The copy for a rotation in degrees (see copyIndexFor).
        const Copy& copyFor(int angle) const;

    private:
        friend class TemperatureSnapshot;
        const TemperatureSnapshot& snapshot;
        const Reader* enclosing;  // the reader this one nests in, on this thread
        bool ownsLock;
    };

private:
    struct Frame
    {
        Copy copies[4];  // upright, quarter, half and three-quarter turns
    };

    // A reader-writer lock that lets a waiting writer in before new readers,
    // so that steady repaints cannot hold the stream thread off. Readers must
    // not take it twice on one thread (Reader nesting sees to that).
    class WriterFirstLock
    {
    public:
        WriterFirstLock();
        ~WriterFirstLock();
        WriterFirstLock(const WriterFirstLock&) = delete;
        WriterFirstLock& operator=(const WriterFirstLock&) = delete;
        void lock();
        void unlock();
        void lock_shared();
        void unlock_shared();

    private:
        pthread_rwlock_t rwlock;
    };

    static void fillTurnedCopies(Frame& frame);
    bool isReadByThisThread() const;

    mutable WriterFirstLock frameLock;  // guards the front pointer and its frame
    std::mutex storeLock;                 // one store at a time owns the back frame
    std::unique_ptr<Frame> front;         // what readers see
    std::unique_ptr<Frame> back;          // where the next store is built
};
