#include "simulator.h"

#include <cstdlib>
#include <cstring>

namespace ombrix::sim {
namespace {

using Lock = std::lock_guard<std::mutex>;
using Order = std::lock_guard<std::recursive_mutex>;

constexpr size_t kMaxProductBytes = 126;  // a USB string descriptor's limit
constexpr size_t kMaxSerialBytes = 63;
constexpr uint32_t kIntervalUs100ns = 400000;  // 25 frames a second in 100 ns units
constexpr uint8_t kYuy2Guid[16] = {'Y', 'U', 'Y', '2', 0x00, 0x00, 0x10, 0x00,
                                   0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The frame descriptors of the streaming interface, in descriptor order.
dozazuva_frame_desc frame_desc(int height) {
    dozazuva_frame_desc d{};
    std::memcpy(d.format_guid, kYuy2Guid, sizeof kYuy2Guid);
    d.width = kSensorWidth;
    d.height = uint32_t(height);
    d.max_frame_size = uint32_t(Module::frame_bytes(height));
    d.intervals[0] = kIntervalUs100ns;
    return d;
}

const int kFrameHeights[] = {kSensorHeight, kSensorHeight * 2};

}  // namespace

Simulator& Simulator::instance() {
    // Never destroyed: a stream thread may still run while the process exits.
    static Simulator* simulator = new Simulator;
    return *simulator;
}

// ---- Bus -------------------------------------------------------------------

int Simulator::change_bus(const UsbIdentity& identity, bool plugged, bool reset_module, uint32_t seed) {
    Order order(notify_);
    std::vector<Event> events;
    {
        Lock lock(mutex_);
        const bool same = identity == identity_;
        if (plugged_ && (!plugged || !same)) events.push_back({identity_, false});
        if (plugged && (!plugged_ || !same)) events.push_back({identity, true});
        if (!events.empty()) ++generation_;  // handles of the old device die
        identity_ = identity;
        plugged_ = plugged;
        if (reset_module) module_.reset(seed);
        module_.set_serial(identity.serial.c_str());
        module_.set_powered(plugged);
    }
    notify(events);
    return 0;
}

void Simulator::notify(const std::vector<Event>& events) {
    if (events.empty()) return;
    std::vector<Listener> listeners;
    {
        Lock lock(mutex_);
        for (const auto& entry : listeners_) listeners.push_back(entry.second);
    }
    for (const Event& e : events)
        for (const Listener& l : listeners)
            l.callback(e.identity.vid, e.identity.pid, e.identity.serial.c_str(), e.arrived ? 1 : 0, l.user);
}

void Simulator::reset(uint32_t seed) {
    Order order(notify_);
    pacer_.reset();
    change_bus(UsbIdentity{}, true, true, seed);
}

int Simulator::select_pid(uint16_t pid) {
    if (pid != OMBRIX_SIM_PID_5830 && pid != OMBRIX_SIM_PID_5840) return -1;
    Order order(notify_);
    UsbIdentity identity;
    bool plugged;
    {
        Lock lock(mutex_);
        identity = identity_;
        plugged = plugged_;
    }
    identity.pid = pid;
    return change_bus(identity, plugged, false, 0);
}

uint16_t Simulator::pid() const {
    Lock lock(mutex_);
    return identity_.pid;
}

int Simulator::set_product(const char* product) {
    if (product && std::strlen(product) > kMaxProductBytes) return -1;
    Order order(notify_);
    UsbIdentity identity;
    bool plugged;
    {
        Lock lock(mutex_);
        identity = identity_;
        plugged = plugged_;
    }
    identity.product = product ? std::optional<std::string>(product) : std::nullopt;
    return change_bus(identity, plugged, false, 0);
}

int Simulator::set_serial(const char* serial) {
    if (!serial || std::strlen(serial) > kMaxSerialBytes) return -1;
    Order order(notify_);
    UsbIdentity identity;
    bool plugged;
    {
        Lock lock(mutex_);
        identity = identity_;
        plugged = plugged_;
    }
    identity.serial = serial;
    return change_bus(identity, plugged, false, 0);
}

int Simulator::unplug() {
    Order order(notify_);
    UsbIdentity identity;
    {
        Lock lock(mutex_);
        if (!plugged_) return -1;
        identity = identity_;
    }
    return change_bus(identity, false, false, 0);
}

int Simulator::plug() {
    Order order(notify_);
    UsbIdentity identity;
    {
        Lock lock(mutex_);
        if (plugged_) return -1;
        identity = identity_;
    }
    return change_bus(identity, true, false, 0);
}

UsbIdentity Simulator::identity() const {
    Lock lock(mutex_);
    return identity_;
}

bool Simulator::plugged() const {
    Lock lock(mutex_);
    return plugged_;
}

int Simulator::add_listener(ombrix_sim_hotplug_fn callback, void* user) {
    if (!callback) return -1;
    Lock lock(mutex_);
    const int id = next_listener_++;
    listeners_[id] = Listener{callback, user};
    return id;
}

int Simulator::remove_listener(int id) {
    Order order(notify_);  // waits out a notification under way on another thread
    Lock lock(mutex_);
    return listeners_.erase(id) ? 0 : -1;
}

// ---- Device table ------------------------------------------------------------

int Simulator::init(void** context) {
    if (!context) return kUvcInvalidParam;
    Lock lock(mutex_);
    Context* c = new Context;
    contexts_.insert(c);
    *context = c;
    return 0;
}

void Simulator::exit(void* context) {
    Context* c = static_cast<Context*>(context);
    std::vector<Handle*> open;
    {
        Lock lock(mutex_);
        if (!contexts_.count(c)) return;
        open.assign(c->handles.begin(), c->handles.end());
    }
    for (Handle* h : open) close(h);
    {
        Lock lock(mutex_);
        for (Device* d : c->devices) d->context = nullptr;
        contexts_.erase(c);
        delete c;
    }
    reap();
}

int Simulator::get_device_list(void* context, void*** list) {
    Context* c = static_cast<Context*>(context);
    if (!list) return kUvcInvalidParam;
    Lock lock(mutex_);
    if (!contexts_.count(c)) return kUvcInvalidParam;
    void** devices = static_cast<void**>(std::calloc(2, sizeof(void*)));
    if (!devices) return -11;  // UVC_ERROR_NO_MEM
    if (plugged_) {
        // The same device object for the same enumeration, as libusb does.
        Device* found = nullptr;
        for (Device* d : c->devices)
            if (d->generation == generation_) found = d;
        if (!found) {
            found = new Device{c, generation_, identity_, 0};
            c->devices.insert(found);
            devices_.insert(found);
        }
        ++found->refs;
        devices[0] = found;
    }
    *list = devices;
    return 0;
}

void Simulator::free_device_list(void** list, int unref_devices) {
    if (!list) return;
    if (unref_devices)
        for (void** d = list; *d; ++d) unref_device(*d);
    std::free(list);
}

void Simulator::ref_device(void* device) {
    Lock lock(mutex_);
    Device* d = static_cast<Device*>(device);
    if (devices_.count(d)) ++d->refs;
}

void Simulator::unref_device(void* device) {
    Lock lock(mutex_);
    unref_locked(static_cast<Device*>(device));
}

void Simulator::unref_locked(Device* d) {
    if (!devices_.count(d) || --d->refs > 0) return;
    if (d->context) d->context->devices.erase(d);
    devices_.erase(d);
    delete d;
}

int Simulator::get_device_descriptor(void* device, dozazuva_device_desc* desc) {
    Device* d = static_cast<Device*>(device);
    if (!desc) return kUvcInvalidParam;
    Lock lock(mutex_);
    if (!devices_.count(d)) return kUvcInvalidParam;
    desc->vid = d->identity.vid;
    desc->pid = d->identity.pid;
    // The product string needs the device; a vanished one has only its cached ids.
    desc->product = alive(d->generation) && d->identity.product ? strdup(d->identity.product->c_str()) : nullptr;
    return 0;
}

int Simulator::get_frame_descs(void* device, dozazuva_frame_desc* descs, int max) {
    Device* d = static_cast<Device*>(device);
    if (max < 0 || (max > 0 && !descs)) return kUvcInvalidParam;
    Lock lock(mutex_);
    if (!devices_.count(d)) return kUvcInvalidParam;
    if (!alive(d->generation)) return kUvcNoDevice;
    int n = 0;
    for (int height : kFrameHeights)
        if (n < max) descs[n++] = frame_desc(height);
    return n;
}

int Simulator::open(void* device, void** handle) {
    Device* d = static_cast<Device*>(device);
    if (!handle) return kUvcInvalidParam;
    Lock lock(mutex_);
    if (!devices_.count(d) || !d->context) return kUvcInvalidParam;
    if (!alive(d->generation)) return kUvcNoDevice;
    for (Handle* h : handles_)
        if (h->generation == d->generation) return kUvcBusy;  // its interfaces are claimed
    Handle* h = new Handle{d->context, d, d->generation, 0, nullptr};
    ++d->refs;
    d->context->handles.insert(h);
    handles_.insert(h);
    *handle = h;
    return 0;
}

void Simulator::print_diag(void* handle, FILE* stream) {
    Handle* h = static_cast<Handle*>(handle);
    if (!stream) return;
    UsbIdentity identity;
    bool streaming;
    {
        Lock lock(mutex_);
        if (!handles_.count(h)) return;
        identity = h->device->identity;
        streaming = h->stream != nullptr;
    }
    std::fprintf(stream, "DEVICE CONFIGURATION (%04x:%04x/%s) ---\n", identity.vid, identity.pid,
                 identity.serial.c_str());
    std::fprintf(stream, "Status: %s\nVideoControl:\n\tbcdUVC: 0x0100\nVideoStreaming(1):\n", streaming ? "streaming" : "idle");
    std::fprintf(stream, "\tbEndpointAddress: 129\n\tFormats:\n\tUncompressedFormat(1)\n\t  bits per pixel: 16\n");
    std::fprintf(stream, "\t  GUID: ");
    for (uint8_t b : kYuy2Guid) std::fprintf(stream, "%02x", b);
    std::fprintf(stream, " (YUY2)\n\t  default frame: 1\n");
    int index = 1;
    for (int height : kFrameHeights) {
        const dozazuva_frame_desc d = frame_desc(height);
        std::fprintf(stream, "\t\tFrameDescriptor(%d)\n\t\t  size: %ux%u\n\t\t  max frame size: %u\n", index++,
                     d.width, d.height, d.max_frame_size);
        std::fprintf(stream, "\t\t  default interval: 1/%u\n\t\t  interval[0]: 1/%u\n", 10000000 / d.intervals[0],
                     10000000 / d.intervals[0]);
    }
    std::fprintf(stream, "END DEVICE CONFIGURATION\n");
}

int Simulator::get_stream_ctrl(void* handle, int format, int width, int height, int fps) {
    Handle* h = static_cast<Handle*>(handle);
    Lock lock(mutex_);
    if (!handles_.count(h)) return kUvcInvalidParam;
    if (!alive(h->generation)) return kUvcNoDevice;
    if (h->stream) return kUvcBusy;
    if (format != DOZAZUVA_FORMAT_ANY && format != DOZAZUVA_FORMAT_YUYV) return kUvcInvalidMode;
    if (width != kSensorWidth || Module::frame_bytes(height) == 0) return kUvcInvalidMode;
    if (fps != 0 && fps != 10000000 / int(kIntervalUs100ns)) return kUvcInvalidMode;  // 0: the first rate
    h->height = height;
    return 0;
}

int Simulator::start_streaming(void* handle, dozazuva_frame_fn on_frame, void* user) {
    reap();
    Handle* h = static_cast<Handle*>(handle);
    if (!on_frame) return kUvcInvalidParam;
    Lock lock(mutex_);
    if (!handles_.count(h) || h->height == 0) return kUvcInvalidParam;
    if (!alive(h->generation)) return kUvcNoDevice;
    if (h->stream) return kUvcBusy;
    h->stream = std::make_unique<Stream>(*this, h->generation, h->height, on_frame, user);
    h->stream->start();
    return 0;
}

std::unique_ptr<Stream> Simulator::take_stream(Handle* h) {
    if (!handles_.count(h)) return nullptr;
    return std::move(h->stream);
}

void Simulator::stop_stream(std::unique_ptr<Stream> stream) {
    if (!stream) return;
    stream->request_stop();
    if (stream->on_own_thread()) {
        // Stopped from its own frame callback: it ends when the callback returns.
        Lock lock(mutex_);
        stopped_.push_back(std::move(stream));
        return;
    }
    stream->join();
    reap();
}

void Simulator::reap() {
    std::vector<std::unique_ptr<Stream>> done;
    {
        Lock lock(mutex_);
        for (auto it = stopped_.begin(); it != stopped_.end();) {
            if ((*it)->on_own_thread()) {
                ++it;
            } else {
                done.push_back(std::move(*it));
                it = stopped_.erase(it);
            }
        }
    }
    for (auto& s : done) s->join();
}

void Simulator::stop_streaming(void* handle, int /*keep_interface: nothing to release here*/) {
    std::unique_ptr<Stream> stream;
    {
        Lock lock(mutex_);
        stream = take_stream(static_cast<Handle*>(handle));
    }
    stop_stream(std::move(stream));
}

void Simulator::close(void* handle) {
    Handle* h = static_cast<Handle*>(handle);
    std::unique_ptr<Stream> stream;
    {
        Lock lock(mutex_);
        if (!handles_.count(h)) return;
        stream = take_stream(h);
        h->context->handles.erase(h);
        handles_.erase(h);
        unref_locked(h->device);
        delete h;
    }
    stop_stream(std::move(stream));
}

int Simulator::control_transfer(void* handle, uint8_t request_type, uint8_t request, uint16_t value,
                                uint16_t index, uint8_t* data, uint16_t length) {
    Handle* h = static_cast<Handle*>(handle);
    Lock lock(mutex_);
    if (!handles_.count(h)) return kUsbInvalidParam;
    if (!alive(h->generation)) {
        module_.log_refused(request_type, request, value, index, data, length, kUsbNoDevice);
        return kUsbNoDevice;
    }
    return module_.control_transfer(request_type, request, value, index, data, length);
}

bool Simulator::next_frame(uint64_t generation, int height, std::vector<uint8_t>& frame) {
    const int64_t interval = pacer_.interval_us();
    Lock lock(mutex_);
    if (!alive(generation)) {
        frame.clear();
        return false;
    }
    return module_.produce_frame(height, interval, frame);
}

// ---- Stream ------------------------------------------------------------------

Stream::Stream(Simulator& simulator, uint64_t generation, int height, dozazuva_frame_fn on_frame, void* user)
    : simulator_(simulator), generation_(generation), height_(height), on_frame_(on_frame), user_(user) {}

Stream::~Stream() {
    if (!thread_.joinable()) return;
    request_stop();
    if (on_own_thread())
        thread_.detach();
    else
        thread_.join();
}

void Stream::start() {
    simulator_.pacer().attach();
    // The thread waits until thread_ is assigned, so it may read its own id.
    std::lock_guard<std::mutex> lock(start_);
    thread_ = std::thread([this] {
        { std::lock_guard<std::mutex> started(start_); }
        run();
    });
}

void Stream::request_stop() { simulator_.pacer().stop(stop_); }

void Stream::join() {
    if (thread_.joinable()) thread_.join();
}

void Stream::run() {
    FramePacer& pacer = simulator_.pacer();
    FramePacer::Clock::time_point due = pacer.first_due();
    std::vector<uint8_t> frame;
    while (pacer.wait_next(stop_, due)) {
        const bool got = simulator_.next_frame(generation_, height_, frame);
        if (got) on_frame_(frame.data(), frame.size(), user_);
        pacer.tick_done(got);
    }
    pacer.detach();
}

}  // namespace ombrix::sim
