// The C control API of the simulated camera (ombrix_simulator.h).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "simulator.h"

using ombrix::sim::ElementId;
using ombrix::sim::ElementState;
using ombrix::sim::FramePacer;
using ombrix::sim::kSensorHeight;
using ombrix::sim::kSensorPixels;
using ombrix::sim::kSensorWidth;
using ombrix::sim::Module;
using ombrix::sim::PropertyTable;
using ombrix::sim::Simulator;
using ombrix::sim::WireRecord;

namespace {

Simulator& sim() { return Simulator::instance(); }
Module& module() { return Simulator::instance().module(); }

bool valid_element(int element) { return element >= OMBRIX_SIM_BODY && element <= OMBRIX_SIM_COLD; }

}  // namespace

extern "C" {

void ombrix_sim_reset(void) {
    ombrix::sim::clear_call_faults();
    sim().reset(1);
}
void ombrix_sim_reset_seeded(uint32_t seed) {
    ombrix::sim::clear_call_faults();
    sim().reset(seed);
}
int ombrix_sim_select_pid(uint16_t pid) { return sim().select_pid(pid); }
uint16_t ombrix_sim_pid(void) { return sim().pid(); }
int ombrix_sim_set_product(const char* product) { return sim().set_product(product); }
int ombrix_sim_set_serial(const char* serial) { return sim().set_serial(serial); }

int ombrix_sim_get_identity(ombrix_sim_identity* out) {
    if (!out) return -1;
    const ombrix::sim::UsbIdentity identity = sim().identity();
    std::memset(out, 0, sizeof *out);
    out->vid = identity.vid;
    out->pid = identity.pid;
    out->has_product = identity.product ? 1 : 0;
    if (identity.product) std::strncpy(out->product, identity.product->c_str(), sizeof out->product - 1);
    std::strncpy(out->serial, identity.serial.c_str(), sizeof out->serial - 1);
    return 0;
}

int ombrix_sim_unplug(void) { return sim().unplug(); }
int ombrix_sim_plug(void) { return sim().plug(); }
int ombrix_sim_is_plugged(void) { return sim().plugged() ? 1 : 0; }
int ombrix_sim_hotplug_register(ombrix_sim_hotplug_fn callback, void* user) {
    return sim().add_listener(callback, user);
}
int ombrix_sim_hotplug_unregister(int id) { return sim().remove_listener(id); }

void ombrix_sim_fault_status_error(uint8_t status, int commands) { module().set_status_error(status, commands); }
void ombrix_sim_fault_stay_busy(int on) { module().set_stay_busy(on != 0); }
void ombrix_sim_set_busy_polls(unsigned polls) { module().set_busy_polls(polls); }
void ombrix_sim_set_busy_status(uint8_t status) { module().set_busy_status(status); }
void ombrix_sim_fault_short_transfer(int transfers) { module().set_short_transfers(transfers); }
int ombrix_sim_fault_transfer_error(int error, int transfers) {
    if (error > 0) return -1;
    module().set_transfer_error(error, transfers);
    return 0;
}
void ombrix_sim_fault_frame_size(size_t bytes) { module().set_frame_size(bytes); }
void ombrix_sim_fault_no_frames(int on) { module().set_no_frames(on != 0); }
void ombrix_sim_fault_clear(void) {
    ombrix::sim::clear_call_faults();
    module().clear_faults();
}

size_t ombrix_sim_wire_count(void) { return module().wire_count(); }

int ombrix_sim_wire_get(size_t index, ombrix_sim_transfer* out) {
    WireRecord record;
    if (!out || !module().wire_record(index, record)) return -1;
    out->request_type = record.request_type;
    out->request = record.request;
    out->value = record.value;
    out->index = record.index;
    out->length = record.length;
    out->result = record.result;
    out->data_bytes = uint16_t(std::min<size_t>(record.data.size(), OMBRIX_SIM_WIRE_DATA_MAX));
    std::memset(out->data, 0, sizeof out->data);
    std::copy_n(record.data.begin(), out->data_bytes, out->data);
    return 0;
}

void ombrix_sim_wire_clear(void) { module().wire_clear(); }

int ombrix_sim_element_get(int element, ombrix_sim_element* out) {
    if (!out || !valid_element(element)) return -1;
    const ElementState e = module().element(ElementId(element));
    out->celsius = e.celsius;
    out->left = e.left;
    out->top = e.top;
    out->right = e.right;
    out->bottom = e.bottom;
    out->centre_x = e.centre_x;
    out->centre_y = e.centre_y;
    out->shape = int(e.shape);
    return 0;
}

int ombrix_sim_element_set_celsius(int element, double celsius) {
    if (!valid_element(element) || !std::isfinite(celsius) || celsius < -273.15) return -1;
    module().set_element_celsius(ElementId(element), celsius);
    return 0;
}

double ombrix_sim_background_celsius(int x, int y) {
    if (x < 0 || x >= kSensorWidth || y < 0 || y >= kSensorHeight) return NAN;
    return module().background_celsius(x, y);
}

void ombrix_sim_set_noise(double celsius) { module().set_noise(std::isfinite(celsius) ? celsius : 0.0); }

int ombrix_sim_scene_celsius(float* grid, size_t count) {
    if (!grid || count < size_t(kSensorPixels)) return -1;
    module().scene_celsius(grid);
    return 0;
}

int ombrix_sim_temperature_words(uint16_t* words, size_t count) {
    if (!words || count < size_t(kSensorPixels)) return -1;
    module().temperature_words(words);
    return 0;
}

double ombrix_sim_reading_celsius(double true_celsius) { return module().reading_celsius(true_celsius); }

long ombrix_sim_current_frame(uint8_t* frame, size_t bytes) {
    if (!frame) return -1;
    const int height = bytes == OMBRIX_SIM_FRAME_BYTES ? kSensorHeight * 2
                       : bytes == OMBRIX_SIM_PICTURE_BYTES ? kSensorHeight : 0;
    std::vector<uint8_t> out;
    if (!height || !module().current_frame(height, out)) return -1;
    std::copy(out.begin(), out.end(), frame);
    return long(out.size());
}

int ombrix_sim_tpd_property(int index) { return module().property(PropertyTable::Tpd, index); }

int ombrix_sim_flash_read(uint32_t address, uint8_t* out, uint32_t length) {
    if (!out && length) return -1;
    return module().flash_read(address, out, length) ? 0 : -1;
}

int ombrix_sim_shutter_active(void) { return module().shutter_active() ? 1 : 0; }

int ombrix_sim_set_pace(int pace) {
    if (pace == OMBRIX_SIM_PACE_REALTIME)
        sim().pacer().set_mode(FramePacer::Mode::Realtime);
    else if (pace == OMBRIX_SIM_PACE_MANUAL)
        sim().pacer().set_mode(FramePacer::Mode::Manual);
    else
        return -1;
    return 0;
}

int ombrix_sim_set_frame_interval_us(uint32_t interval_us) {
    return sim().pacer().set_interval_us(interval_us) ? 0 : -1;
}

int ombrix_sim_step_frames(unsigned frames, unsigned timeout_ms) { return sim().pacer().step(frames, timeout_ms); }
uint64_t ombrix_sim_frames_delivered(void) { return sim().pacer().delivered(); }
int ombrix_sim_is_streaming(void) { return sim().pacer().streaming() ? 1 : 0; }

int64_t ombrix_sim_time_us(void) { return module().time_us(); }
void ombrix_sim_set_time_us(int64_t time_us) { module().set_time_us(time_us); }
void ombrix_sim_freeze_time(int on) { module().set_time_frozen(on != 0); }

int ombrix_sim_control_transfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                                uint8_t* data, uint16_t length) {
    return module().control_transfer(request_type, request, value, index, data, length);
}

long ombrix_sim_produce_frame(int height, uint8_t* frame, size_t capacity) {
    if (!frame || Module::frame_bytes(height) == 0) return -1;
    std::vector<uint8_t> out;
    if (!module().produce_frame(height, sim().pacer().interval_us(), out)) return 0;
    if (out.size() > capacity) return -1;
    std::copy(out.begin(), out.end(), frame);
    return long(out.size());
}

}  // extern "C"
