#include "simulatedmodule.h"

#include "usbdevicepath.h"

#include <QByteArray>
#include <QDebug>
#include <QMetaObject>

#include <dlfcn.h>

namespace platform {
namespace {

constexpr char SimulatorLibrary[] = "libombrix_simulator.so";
// A function of the camera library, to find the folder it was loaded from.
constexpr char CameraLibraryFunction[] = "uvc_camera_init";

void* openSimulatorLibrary()
{
    Dl_info cameraLibrary{};
    void* function = dlsym(RTLD_DEFAULT, CameraLibraryFunction);
    if (function && dladdr(function, &cameraLibrary) && cameraLibrary.dli_fname) {
        QByteArray path(cameraLibrary.dli_fname);
        const int slash = path.lastIndexOf('/');
        if (slash >= 0) {
            path.truncate(slash + 1);
            path += SimulatorLibrary;
            if (void* library = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL))
                return library;
        }
    }
    return dlopen(SimulatorLibrary, RTLD_NOW | RTLD_LOCAL);
}

template <typename Function> bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        qWarning() << "simulated module: no" << name;
    return function != nullptr;
}

} // namespace

bool SimulatedModule::isSelected()
{
    return qgetenv("OMBRIX_CAMERA") == "simulated";
}

const SimulatedModule* SimulatedModule::load()
{
    // Initialised once, thread-safely; the library is never closed since the
    // camera library holds it too.
    static const SimulatedModule* const module = []() -> const SimulatedModule* {
        void* library = openSimulatorLibrary();
        if (!library) {
            qWarning() << "simulated module unavailable:" << dlerror();
            return nullptr;
        }
        static SimulatedModule functions;
        if (!resolve(library, "ombrix_sim_plug", functions.plugFunction) ||
            !resolve(library, "ombrix_sim_unplug", functions.unplugFunction) ||
            !resolve(library, "ombrix_sim_hotplug_register", functions.registerFunction) ||
            !resolve(library, "ombrix_sim_hotplug_unregister", functions.unregisterFunction))
            return nullptr;
        return &functions;
    }();
    return module;
}

int SimulatedModule::plug() const
{
    return plugFunction();
}

int SimulatedModule::unplug() const
{
    return unplugFunction();
}

int SimulatedModule::registerHotplug(HotplugFunction function, void* user) const
{
    return registerFunction(function, user);
}

void SimulatedModule::unregisterHotplug(int id) const
{
    unregisterFunction(id);
}

SimulatedHotplugSource::SimulatedHotplugSource(QObject* parent)
    : QObject(parent)
{
}

SimulatedHotplugSource::~SimulatedHotplugSource()
{
    // Once this returns the simulator calls onHotplug no more, so no
    // notice can reach a destroyed object.
    if (registration > 0)
        module->unregisterHotplug(registration);
}

bool SimulatedHotplugSource::start()
{
    if (registration > 0)
        return true;
    module = SimulatedModule::load();
    if (!module)
        return false;
    registration = module->registerHotplug(&SimulatedHotplugSource::onHotplug, this);
    return registration > 0;
}

void SimulatedHotplugSource::onHotplug(quint16 vid, quint16 pid, const char* serial, int arrived, void* user)
{
    auto* source = static_cast<SimulatedHotplugSource*>(user);
    const QString path = usbDeviceInterfacePath(UsbIds{vid, pid}, QString::fromUtf8(serial));
    // Queued even on the owner's own thread: the simulator is in the middle
    // of plugging, and the receivers open or close the camera. A notice still
    // queued when the source goes is dropped with it.
    QMetaObject::invokeMethod(
        source,
        [source, path, arrived] {
            if (arrived)
                emit source->deviceArrived(path);
            else
                emit source->deviceRemoved(path);
        },
        Qt::QueuedConnection);
}

} // namespace platform
