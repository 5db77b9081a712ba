#include "fake_camera.h"

#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <ostream>

namespace dztest {

bool Wire::operator==(const Wire& other) const
{
    return request_type == other.request_type && request == other.request && value == other.value &&
           index == other.index && length == other.length && data == other.data;
}

std::ostream& operator<<(std::ostream& out, const Wire& wire)
{
    out << std::hex << std::setfill('0') << (wire.request_type == 0x41 ? "OUT " : wire.request_type == 0xC1 ? "IN " : "?? ")
        << std::setw(2) << int(wire.request) << " v" << std::setw(4) << wire.value << " @" << std::setw(4)
        << wire.index << std::dec << " n" << wire.length;
    if (!wire.data.empty()) {
        out << " :" << std::hex;
        for (uint8_t byte : wire.data)
            out << ' ' << std::setw(2) << int(byte);
        out << std::dec;
    }
    return out;
}

Wire out(uint16_t address, std::vector<uint8_t> bytes)
{
    Wire wire;
    wire.request_type = 0x41;
    wire.request = 0x45;
    wire.value = 0x78;
    wire.index = address;
    wire.length = static_cast<uint16_t>(bytes.size());
    wire.data = std::move(bytes);
    return wire;
}

Wire in(uint16_t address, uint16_t length)
{
    Wire wire;
    wire.request_type = 0xC1;
    wire.request = 0x44;
    wire.value = 0x78;
    wire.index = address;
    wire.length = length;
    return wire;
}

Wire status()
{
    return in(kStatusAddress, 1);
}

dozazuva_frame_desc yuy2_frame(uint32_t width, uint32_t height)
{
    dozazuva_frame_desc desc{};
    std::memcpy(desc.format_guid, "YUY2", 4);
    desc.width = width;
    desc.height = height;
    desc.max_frame_size = width * height * 2;
    desc.intervals[0] = 400000;  // 25 fps
    return desc;
}

namespace {
// Device handles and contexts are tokens; devices are FakeDevice pointers.
int g_context_token;
int g_handle_token;
}  // namespace

struct FakeTable {
    static FakeCamera& fake() { return FakeCamera::instance(); }

    static int init(void** context)
    {
        if (fake().init_fails)
            return -99;
        ++fake().contexts_;
        *context = &g_context_token;
        return 0;
    }
    static void exit(void*)
    {
        if (fake().handles_ > 0)
            close(&g_handle_token);
        --fake().contexts_;
    }
    static int get_device_list(void*, void*** list)
    {
        if (fake().list_fails)
            return -1;
        auto& devices = fake().devices;
        void** array = static_cast<void**>(std::calloc(devices.size() + 1, sizeof(void*)));
        for (size_t i = 0; i < devices.size(); ++i) {
            array[i] = &devices[i];
            ++devices[i].refs;
        }
        *list = array;
        return 0;
    }
    static void free_device_list(void** list, int unref)
    {
        for (size_t i = 0; unref && list[i]; ++i)
            --static_cast<FakeDevice*>(list[i])->refs;
        std::free(list);
    }
    static void ref_device(void* device) { ++static_cast<FakeDevice*>(device)->refs; }
    static void unref_device(void* device) { --static_cast<FakeDevice*>(device)->refs; }
    static int get_device_descriptor(void* device, dozazuva_device_desc* desc)
    {
        auto* fake_device = static_cast<FakeDevice*>(device);
        if (fake_device->descriptor_fails || (fake().descriptor_fails_when_open && fake().handles_ > 0))
            return -1;
        desc->vid = fake_device->vid;
        desc->pid = fake_device->pid;
        desc->product = fake_device->product ? strdup(fake_device->product->c_str()) : nullptr;
        return 0;
    }
    static void free_device_descriptor(dozazuva_device_desc* desc)
    {
        std::free(desc->product);
        desc->product = nullptr;
    }
    static int get_frame_descs(void* device, dozazuva_frame_desc* descs, int max)
    {
        auto& frames = static_cast<FakeDevice*>(device)->frames;
        int count = 0;
        for (; count < max && count < static_cast<int>(frames.size()); ++count)
            descs[count] = frames[count];
        return count;
    }
    static int open(void*, void** handle)
    {
        if (fake().open_fails)
            return -3;
        ++fake().handles_;
        *handle = &g_handle_token;
        return 0;
    }
    static void print_diag(void*, FILE*) {}
    static int get_stream_ctrl(void*, int format, int width, int height, int)
    {
        std::lock_guard<std::mutex> lock(fake().stream_mutex_);
        if (fake().stream_ctrl_fails || width == 0 || height == 0)
            return -51;
        fake().have_ctrl_ = true;
        fake().width_ = width;
        fake().height_ = height;
        fake().format_ = format;
        return 0;
    }
    static int start_streaming(void*, dozazuva_frame_fn on_frame, void* user)
    {
        std::lock_guard<std::mutex> lock(fake().stream_mutex_);
        if (fake().start_fails || !fake().have_ctrl_)
            return -1;
        fake().on_frame_ = on_frame;
        fake().user_ = user;
        fake().running_ = true;
        return 0;
    }
    static void stop_streaming(void*, int keep_interface)
    {
        std::lock_guard<std::mutex> lock(fake().stream_mutex_);
        fake().running_ = false;
        if (keep_interface)
            ++fake().keep_stops_;
    }
    static void close(void* handle)
    {
        stop_streaming(handle, 0);
        --fake().handles_;
    }
    static int control_transfer(void*, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                                uint8_t* data, uint16_t length, unsigned int)
    {
        FakeCamera& f = fake();
        std::lock_guard<std::mutex> lock(f.wire_mutex_);
        Wire wire;
        wire.request_type = request_type;
        wire.request = request;
        wire.value = value;
        wire.index = index;
        wire.length = length;
        bool device_to_host = request_type & 0x80;
        if (!device_to_host)
            wire.data.assign(data, data + length);
        f.wire_.push_back(wire);
        if (f.unplugged_)
            return -4;  // LIBUSB_ERROR_NO_DEVICE
        int moved = length;
        if (f.short_transfer_countdown_ >= 0 && f.short_transfer_countdown_-- == 0)
            moved = length - 1;
        if (device_to_host) {
            for (int i = 0; i < moved; ++i) {
                std::deque<uint8_t>& script = index == kStatusAddress ? f.status_script_ : f.reply_script_;
                uint8_t fallback = index == kStatusAddress ? f.status_default : static_cast<uint8_t>(i + 1);
                if (!script.empty()) {
                    data[i] = script.front();
                    script.pop_front();
                } else {
                    data[i] = fallback;
                }
            }
        }
        return moved;
    }
};

namespace {
const dozazuva_backend kFakeTable = {
    DOZAZUVA_BACKEND_ABI,
    "fake",
    FakeTable::init,
    FakeTable::exit,
    FakeTable::get_device_list,
    FakeTable::free_device_list,
    FakeTable::ref_device,
    FakeTable::unref_device,
    FakeTable::get_device_descriptor,
    FakeTable::free_device_descriptor,
    FakeTable::get_frame_descs,
    FakeTable::open,
    FakeTable::print_diag,
    FakeTable::get_stream_ctrl,
    FakeTable::start_streaming,
    FakeTable::stop_streaming,
    FakeTable::close,
    FakeTable::control_transfer,
};
}  // namespace

FakeCamera::FakeCamera()
{
    reset();
}

FakeCamera& FakeCamera::instance()
{
    static FakeCamera camera;
    return camera;
}

const dozazuva_backend* FakeCamera::table() const
{
    return &kFakeTable;
}

void FakeCamera::reset()
{
    devices.assign(1, FakeDevice{});
    devices[0].frames = {yuy2_frame(256, 192), yuy2_frame(256, 384)};
    init_fails = list_fails = open_fails = descriptor_fails_when_open = false;
    stream_ctrl_fails = start_fails = false;
    status_default = 0x00;
    {
        std::lock_guard<std::mutex> lock(wire_mutex_);
        wire_.clear();
        status_script_.clear();
        reply_script_.clear();
        short_transfer_countdown_ = -1;
        unplugged_ = false;
    }
    std::lock_guard<std::mutex> lock(stream_mutex_);
    on_frame_ = nullptr;
    user_ = nullptr;
    running_ = have_ctrl_ = false;
    width_ = height_ = 0;
    format_ = -1;
    keep_stops_ = 0;
}

std::vector<Wire> FakeCamera::wire() const
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    return wire_;
}

std::vector<Wire> FakeCamera::commands() const
{
    std::vector<Wire> result;
    for (const Wire& wire : this->wire())
        if (wire.index != kStatusAddress)
            result.push_back(wire);
    return result;
}

void FakeCamera::clear_wire()
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    wire_.clear();
}

void FakeCamera::script_status(std::vector<uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    status_script_.assign(bytes.begin(), bytes.end());
}

void FakeCamera::script_reply(std::vector<uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    reply_script_.assign(bytes.begin(), bytes.end());
}

void FakeCamera::short_transfer_at(int nth)
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    short_transfer_countdown_ = nth;
}

void FakeCamera::set_unplugged(bool unplugged)
{
    std::lock_guard<std::mutex> lock(wire_mutex_);
    unplugged_ = unplugged;
}

bool FakeCamera::deliver(const std::vector<uint8_t>& frame)
{
    // Held across the callback, as libuvc's stop waits for its thread.
    std::lock_guard<std::mutex> lock(stream_mutex_);
    if (!running_)
        return false;
    on_frame_(frame.data(), frame.size(), user_);
    return true;
}

bool FakeCamera::streaming() const
{
    std::lock_guard<std::mutex> lock(stream_mutex_);
    return running_;
}

int FakeCamera::last_stream_width() const
{
    std::lock_guard<std::mutex> lock(stream_mutex_);
    return width_;
}

int FakeCamera::last_stream_height() const
{
    std::lock_guard<std::mutex> lock(stream_mutex_);
    return height_;
}

int FakeCamera::last_stream_format() const
{
    std::lock_guard<std::mutex> lock(stream_mutex_);
    return format_;
}

int FakeCamera::stop_count_keeping_interface() const
{
    std::lock_guard<std::mutex> lock(stream_mutex_);
    return keep_stops_;
}

int FakeCamera::open_handles() const
{
    return handles_;
}

int FakeCamera::live_contexts() const
{
    return contexts_;
}

int FakeCamera::outstanding_device_refs() const
{
    int refs = 0;
    for (const FakeDevice& device : devices)
        refs += device.refs;
    return refs;
}

}  // namespace dztest
