#include "ombrix_usb/usb_device.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace ombrix::sim::usb {

namespace {

constexpr size_t kSetupBytes = 8;
// What the device's usbdevfs offers: the bulk URBs libusb then sends whole.
constexpr uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                   USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_BULK_SCATTER_GATHER |
                                   USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

constexpr uint8_t kTypeMask = 0x60;
constexpr uint8_t kTypeStandard = 0x00;
constexpr uint8_t kTypeClass = 0x20;
constexpr uint8_t kTypeVendor = 0x40;
constexpr uint8_t kRecipientMask = 0x1F;
constexpr uint8_t kRecipientInterface = 0x01;
constexpr uint8_t kGetDescriptor = 0x06;

uint16_t le16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }

usbdevfs_urb* urb_of(UMockdevIoctlData* data) { return reinterpret_cast<usbdevfs_urb*>(data->data); }

// The memory an ioctl argument points to, as the client has it.
UMockdevIoctlData* resolve(UMockdevIoctlData* arg, size_t offset, size_t bytes) {
    return umockdev_ioctl_data_resolve(arg, offset, bytes, nullptr);
}

}  // namespace

void ControlLog::add(ControlRecord record) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.push_back(std::move(record));
}

std::vector<ControlRecord> ControlLog::records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
}

void ControlLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
}

UsbDevice::UsbDevice(Module& module, Identity identity, Clock clock, ControlLog& log)
    : module_(module), identity_(std::move(identity)), log_(log), streaming_(module, std::move(clock)) {}

UsbDevice::~UsbDevice() {
    if (handler_) {
        g_signal_handlers_disconnect_by_data(handler_, this);
        g_object_unref(handler_);
    }
    for (auto& [client, state] : clients_) {
        g_object_weak_unref(G_OBJECT(client), on_client_gone, this);
        forget(state);
    }
}

bool UsbDevice::attach(UMockdevTestbed* testbed, const std::string& devnode, std::string& error) {
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(on_ioctl), this);
    GError* failure = nullptr;
    if (umockdev_testbed_attach_ioctl(testbed, devnode.c_str(), handler_, &failure)) return true;
    error = failure ? failure->message : "attach_ioctl failed";
    g_clear_error(&failure);
    return false;
}

void UsbDevice::disconnect(size_t finished) {
    std::lock_guard<std::mutex> lock(mutex_);
    gone_ = true;
    for (auto& [client, state] : clients_) {
        for (size_t i = 0; !state.held.empty(); ++i) {
            Urb& urb = state.held.front();
            if (i < finished)
                finish(urb, 0, int(streaming_.empty_payload(urb.buffer->data, size_t(urb.buffer->data_len))));
            else
                finish(urb, -ESHUTDOWN, 0);
            state.completed.push_back(urb);
            state.held.pop_front();
        }
    }
    streaming_.stop();
}

size_t UsbDevice::open_clients() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return clients_.size();
}

uint64_t UsbDevice::frames_started() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return streaming_.frames_started();
}

std::vector<unsigned long> UsbDevice::unknown_requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unknown_requests_;
}

uint64_t UsbDevice::refused(unsigned long request) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = refused_.find(request);
    return found == refused_.end() ? 0 : found->second;
}

gboolean UsbDevice::on_ioctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* device = static_cast<UsbDevice*>(self);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    std::lock_guard<std::mutex> lock(device->mutex_);
    auto [state, first] = device->clients_.try_emplace(client);
    // umockdev drops a client object when its connection closes.
    if (first) g_object_weak_ref(G_OBJECT(client), on_client_gone, self);
    int error = 0;
    const long result = device->handle(client, state->second, request, error);
    // Completing copies the URBs back to the client: under the lock, so that
    // an unplug does not change them meanwhile.
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
}

void UsbDevice::on_client_gone(gpointer self, GObject* client) {
    auto* device = static_cast<UsbDevice*>(self);
    std::lock_guard<std::mutex> lock(device->mutex_);
    auto found = device->clients_.find(reinterpret_cast<UMockdevIoctlClient*>(client));
    if (found == device->clients_.end()) return;
    if (found->second.streaming_claimed) device->streaming_.stop();
    device->forget(found->second);
    device->clients_.erase(found);
}

long UsbDevice::handle(UMockdevIoctlClient* client, Client& state, unsigned long request, int& error) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (request == USBDEVFS_REAPURBNDELAY) return reap(state, arg, error);
    if (gone_) {
        ++refused_[request];
        error = ENODEV;
        return -1;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = resolve(arg, 0, sizeof kCapabilities);
        if (!caps) break;
        std::memcpy(caps->data, &kCapabilities, sizeof kCapabilities);
        g_object_unref(caps);
        return 0;
    }
    case USBDEVFS_SUBMITURB:
        return submit(state, arg, error);
    case USBDEVFS_DISCARDURB:
        return discard(state, arg, error);
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETINTERFACE:
        return interface_request(state, request, arg, error);
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        // No kernel driver is bound to either interface.
        error = ENODATA;
        return -1;
    default:
        unknown_requests_.push_back(request);
        error = ENOTTY;
        return -1;
    }
    error = EFAULT;
    return -1;
}

long UsbDevice::interface_request(Client& state, unsigned long request, UMockdevIoctlData* arg, int& error) {
    const size_t bytes = request == USBDEVFS_SETINTERFACE ? sizeof(usbdevfs_setinterface) : sizeof(unsigned int);
    UMockdevIoctlData* data = resolve(arg, 0, bytes);
    if (!data) {
        error = EFAULT;
        return -1;
    }
    unsigned int interface = 0, alternate = 0;
    std::memcpy(&interface, data->data, sizeof interface);
    if (request == USBDEVFS_SETINTERFACE) std::memcpy(&alternate, data->data + sizeof interface, sizeof alternate);
    g_object_unref(data);
    if (interface > kStreamingInterface) {
        error = ENOENT;
        return -1;
    }
    if (alternate != 0) {  // each interface has only its alternate setting 0
        error = EINVAL;
        return -1;
    }
    if (interface == kStreamingInterface) {
        if (request == USBDEVFS_CLAIMINTERFACE) {
            state.streaming_claimed = true;
        } else {
            // Alternate setting 0 or giving the interface up ends the stream.
            streaming_.stop();
            if (request == USBDEVFS_RELEASEINTERFACE) state.streaming_claimed = false;
        }
    }
    return 0;
}

long UsbDevice::submit(Client& state, UMockdevIoctlData* arg, int& error) {
    Urb urb;
    urb.urb = resolve(arg, 0, sizeof(usbdevfs_urb));
    if (!urb.urb) {
        error = EFAULT;
        return -1;
    }
    urb.address = urb.urb->client_addr;
    const usbdevfs_urb request = *urb_of(urb.urb);
    const bool is_control = request.type == USBDEVFS_URB_TYPE_CONTROL && request.endpoint == 0;
    const bool bulk_in = request.type == USBDEVFS_URB_TYPE_BULK && request.endpoint == kBulkInEndpoint;
    if ((!is_control && !bulk_in) || request.buffer_length < (is_control ? int(kSetupBytes) : 1)) {
        release(urb);
        error = is_control || bulk_in ? EINVAL : ENOENT;
        return -1;
    }
    urb.buffer = resolve(urb.urb, offsetof(usbdevfs_urb, buffer), size_t(request.buffer_length));
    if (!urb.buffer) {
        release(urb);
        error = EFAULT;
        return -1;
    }
    if (bulk_in) {
        state.held.push_back(urb);
        return 0;
    }
    uint8_t* setup = urb.buffer->data;
    const uint16_t length = le16(setup + 6);
    if (size_t(request.buffer_length) < kSetupBytes + length) {
        release(urb);
        error = EINVAL;
        return -1;
    }
    const int status = control(setup, setup + kSetupBytes);
    finish(urb, status < 0 ? status : 0, std::max(status, 0));
    state.completed.push_back(urb);
    return 0;
}

long UsbDevice::reap(Client& state, UMockdevIoctlData* arg, int& error) {
    if (!gone_) feed_payloads(state);
    if (state.completed.empty()) {
        error = gone_ ? ENODEV : EAGAIN;
        return -1;
    }
    UMockdevIoctlData* slot = resolve(arg, 0, sizeof(void*));
    if (!slot) {
        error = EFAULT;
        return -1;
    }
    Urb urb = state.completed.front();
    state.completed.pop_front();
    umockdev_ioctl_data_set_ptr(slot, 0, urb.urb);
    g_object_unref(slot);
    release(urb);
    return 0;
}

long UsbDevice::discard(Client& state, UMockdevIoctlData* arg, int& error) {
    unsigned long address = 0;
    std::memcpy(&address, arg->data, std::min(sizeof address, size_t(arg->data_len)));
    auto held = std::find_if(state.held.begin(), state.held.end(),
                             [address](const Urb& urb) { return urb.address == address; });
    if (held == state.held.end()) {
        error = EINVAL;  // already ended: the client will reap it
        return -1;
    }
    finish(*held, -ENOENT, 0);
    state.completed.push_back(*held);
    state.held.erase(held);
    return 0;
}

void UsbDevice::feed_payloads(Client& state) {
    while (!state.held.empty()) {
        Urb& urb = state.held.front();
        const size_t bytes = streaming_.next_payload(urb.buffer->data, size_t(urb.buffer->data_len));
        if (bytes == 0) return;
        finish(urb, 0, int(bytes));
        state.completed.push_back(urb);
        state.held.pop_front();
    }
}

int UsbDevice::control(uint8_t* setup, uint8_t* data) {
    ControlRecord record{setup[0], setup[1], le16(setup + 2), le16(setup + 4), le16(setup + 6), 0, {}};
    const bool in = record.request_type & 0x80;
    int status = -EPIPE;
    switch (record.request_type & kTypeMask) {
    case kTypeStandard:
        status = standard_request(record.request_type, record.request, record.value, data, record.length);
        break;
    case kTypeClass:
        if ((record.request_type & kRecipientMask) == kRecipientInterface &&
            (record.index & 0xFF) == kStreamingInterface) {
            const int taken =
                streaming_.class_request(record.request_type, record.request, record.value, data, record.length);
            status = taken < 0 ? -EPIPE : taken;
        }
        break;
    case kTypeVendor: {
        const int moved = module_.control_transfer(record.request_type, record.request, record.value,
                                                   record.index, data, record.length);
        status = moved < 0 ? -EPIPE : moved;
        break;
    }
    default:
        break;
    }
    if (in)
        record.data.assign(data, data + std::max(status, 0));
    else
        record.data.assign(data, data + record.length);
    record.status = status;
    log_.add(std::move(record));
    return status;
}

int UsbDevice::standard_request(uint8_t request_type, uint8_t request, uint16_t value, uint8_t* data,
                                uint16_t length) {
    if (request_type != 0x80 || request != kGetDescriptor) return -EPIPE;
    std::vector<uint8_t> descriptor;
    switch (value >> 8) {
    case 0x01:
        descriptor = device_descriptor(identity_);
        break;
    case 0x02:
        if ((value & 0xFF) == 0) descriptor = configuration_descriptor();
        break;
    case 0x03:
        descriptor = string_descriptor(identity_, uint8_t(value));
        break;
    default:
        break;
    }
    if (descriptor.empty()) return -EPIPE;
    const size_t bytes = std::min<size_t>(descriptor.size(), length);
    std::memcpy(data, descriptor.data(), bytes);
    return int(bytes);
}

void UsbDevice::finish(Urb& urb, int status, int actual_length) {
    usbdevfs_urb* request = urb_of(urb.urb);
    request->status = status;
    request->actual_length = actual_length;
}

void UsbDevice::release(Urb& urb) {
    if (urb.buffer) g_object_unref(urb.buffer);
    if (urb.urb) g_object_unref(urb.urb);
    urb = Urb{};
}

void UsbDevice::forget(Client& state) {
    for (Urb& urb : state.held) release(urb);
    for (Urb& urb : state.completed) release(urb);
    state.held.clear();
    state.completed.clear();
}

}  // namespace ombrix::sim::usb
