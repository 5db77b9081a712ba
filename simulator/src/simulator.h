// The process-wide simulated camera: one module on a simulated USB bus, the
// device-table objects dozazuva holds (contexts, devices, handles), the streams
// and the hot-plug listeners.
//
// Locks, always taken in this order: notify_ (recursive; held while the bus
// changes and its listeners are told, so events arrive in order), mutex_
// (bus and table objects), then the module's own lock. The pacer's lock is
// never held with another. Frame callbacks and hot-plug callbacks run with
// no lock held.
#ifndef OMBRIX_SIM_SIMULATOR_H
#define OMBRIX_SIM_SIMULATOR_H

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "dozazuva_backend.h"
#include "frame_pacer.h"
#include "ombrix_sim/module.h"
#include "ombrix_simulator.h"

namespace ombrix::sim {

// libuvc's result codes, which the device table speaks.
constexpr int kUvcInvalidParam = -2;
constexpr int kUvcNoDevice = -4;
constexpr int kUvcBusy = -6;
constexpr int kUvcInvalidMode = -51;

struct UsbIdentity {
    uint16_t vid = OMBRIX_SIM_VID;
    uint16_t pid = OMBRIX_SIM_PID_5830;
    std::optional<std::string> product = std::string(OMBRIX_SIM_DEFAULT_PRODUCT);
    std::string serial = OMBRIX_SIM_DEFAULT_SERIAL;

    bool operator==(const UsbIdentity& o) const {
        return vid == o.vid && pid == o.pid && product == o.product && serial == o.serial;
    }
};

class Simulator;
struct Context;

// The device as one enumeration saw it; dead once the bus moves to another
// generation (unplug, re-enumeration).
struct Device {
    Context* context = nullptr;  // null once the context is gone
    uint64_t generation = 0;
    UsbIdentity identity;
    int refs = 0;
};

// One stream's thread: asks the pacer when to send, the simulator for the
// frame, and hands it to the callback.
class Stream {
public:
    Stream(Simulator& simulator, uint64_t generation, int height, dozazuva_frame_fn on_frame, void* user);
    ~Stream();
    void start();
    void request_stop();
    void join();
    bool on_own_thread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void run();

    Simulator& simulator_;
    const uint64_t generation_;
    const int height_;
    const dozazuva_frame_fn on_frame_;
    void* const user_;
    bool stop_ = false;  // guarded by the pacer
    std::mutex start_;
    std::thread thread_;
};

struct Handle {
    Context* context = nullptr;
    Device* device = nullptr;  // referenced
    uint64_t generation = 0;
    int height = 0;            // negotiated frame height, 0 before
    std::unique_ptr<Stream> stream;
};

struct Context {
    std::set<Handle*> handles;
    std::set<Device*> devices;  // alive devices made for this context
};

class Simulator {
public:
    static Simulator& instance();

    Module& module() { return module_; }
    FramePacer& pacer() { return pacer_; }

    // Bus.
    void reset(uint32_t seed);
    int select_pid(uint16_t pid);
    uint16_t pid() const;
    UsbIdentity identity() const;
    int set_product(const char* product);
    int set_serial(const char* serial);
    int unplug();
    int plug();
    bool plugged() const;
    int add_listener(ombrix_sim_hotplug_fn callback, void* user);
    int remove_listener(int id);

    // Device table.
    int init(void** context);
    void exit(void* context);
    int get_device_list(void* context, void*** list);
    void free_device_list(void** list, int unref_devices);
    void ref_device(void* device);
    void unref_device(void* device);
    int get_device_descriptor(void* device, dozazuva_device_desc* desc);
    int get_frame_descs(void* device, dozazuva_frame_desc* descs, int max);
    int open(void* device, void** handle);
    void print_diag(void* handle, FILE* stream);
    int get_stream_ctrl(void* handle, int format, int width, int height, int fps);
    int start_streaming(void* handle, dozazuva_frame_fn on_frame, void* user);
    void stop_streaming(void* handle, int keep_interface);
    void close(void* handle);
    int control_transfer(void* handle, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                         uint8_t* data, uint16_t length);

    // For a stream: the next frame if its device generation still lives.
    bool next_frame(uint64_t generation, int height, std::vector<uint8_t>& frame);

private:
    struct Listener {
        ombrix_sim_hotplug_fn callback;
        void* user;
    };
    struct Event {
        UsbIdentity identity;
        bool arrived;
    };

    Simulator() = default;
    // Changes identity and/or plug state, with the events that follow.
    int change_bus(const UsbIdentity& identity, bool plugged, bool reset_module, uint32_t seed);
    void notify(const std::vector<Event>& events);
    bool alive(uint64_t generation) const { return plugged_ && generation == generation_; }
    void unref_locked(Device* device);
    std::unique_ptr<Stream> take_stream(Handle* handle);
    void stop_stream(std::unique_ptr<Stream> stream);
    void reap();

    std::recursive_mutex notify_;
    mutable std::mutex mutex_;
    Module module_;
    FramePacer pacer_;
    UsbIdentity identity_;
    bool plugged_ = true;
    uint64_t generation_ = 1;
    std::map<int, Listener> listeners_;
    int next_listener_ = 1;
    std::set<Context*> contexts_;
    std::set<Device*> devices_;
    std::set<Handle*> handles_;
    // Streams stopped from their own frame callback, joined later elsewhere.
    std::vector<std::unique_ptr<Stream>> stopped_;
};

// Ends every failure set with ombrix_sim_fault_call (backend.cpp).
void clear_call_faults();

}  // namespace ombrix::sim

#endif
