// The simulated camera module as the viewer sees it when OMBRIX_CAMERA is
// "simulated": its plugging and its hot-plug notices. The simulator library
// (libombrix_simulator.so) is opened at run time, from the folder of the
// camera library first, exactly as the camera library opens it, so the
// program does not link it and both reach the same module.
#pragma once

#include <QObject>
#include <QString>

namespace platform {

// Plug and unplug of the simulated module; thread-safe.
class SimulatedModule
{
public:
    // OMBRIX_CAMERA=simulated is set.
    static bool isSelected();
    // The simulator's functions, or null when the library or one of the
    // functions cannot be found. Opens the library on first use and keeps it
    // for the rest of the process.
    static const SimulatedModule* load();

    // 0, or -1 when the module already was in that state.
    int plug() const;
    int unplug() const;

    using HotplugFunction = void (*)(quint16 vid, quint16 pid, const char* serial, int arrived, void* user);
    int registerHotplug(HotplugFunction function, void* user) const;
    void unregisterHotplug(int id) const;

private:
    SimulatedModule() = default;

    int (*plugFunction)() = nullptr;
    int (*unplugFunction)() = nullptr;
    int (*registerFunction)(HotplugFunction, void*) = nullptr;
    int (*unregisterFunction)(int) = nullptr;
};

// The simulated module's plug and unplug as device paths (usbdevicepath.h),
// delivered queued to the thread of this object, whichever thread plugged.
// Registered with the simulator while the object lives.
class SimulatedHotplugSource : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedHotplugSource(QObject* parent = nullptr);
    ~SimulatedHotplugSource() override;

    // Registers with the simulator; false when it cannot be loaded.
    bool start();
    bool isListening() const { return registration > 0; }

signals:
    void deviceArrived(const QString& path);
    void deviceRemoved(const QString& path);

private:
    static void onHotplug(quint16 vid, quint16 pid, const char* serial, int arrived, void* user);

    const SimulatedModule* module = nullptr;
    int registration = 0;
};

} // namespace platform
