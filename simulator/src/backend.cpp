// dozazuva's device table over the simulated camera.
#include <atomic>
#include <cstdlib>

#include "simulator.h"

namespace {

using ombrix::sim::Simulator;

Simulator& sim() { return Simulator::instance(); }

// Injected failures of the table's own calls (ombrix_sim_fault_call): 0 or the error.
std::atomic<int> g_call_errors[OMBRIX_SIM_CALL_COUNT];

int injected(ombrix_sim_call call) { return g_call_errors[call].load(); }

int init(void** context) {
    if (int error = injected(OMBRIX_SIM_CALL_INIT)) return error;
    return sim().init(context);
}
void exit_context(void* context) { sim().exit(context); }
int get_device_list(void* context, void*** list) {
    if (int error = injected(OMBRIX_SIM_CALL_LIST)) return error;
    return sim().get_device_list(context, list);
}
void free_device_list(void** list, int unref) { sim().free_device_list(list, unref); }
void ref_device(void* device) { sim().ref_device(device); }
void unref_device(void* device) { sim().unref_device(device); }
int get_device_descriptor(void* device, dozazuva_device_desc* desc) {
    return sim().get_device_descriptor(device, desc);
}
void free_device_descriptor(dozazuva_device_desc* desc) {
    if (!desc) return;
    std::free(desc->product);
    desc->product = nullptr;
}
int get_frame_descs(void* device, dozazuva_frame_desc* descs, int max) {
    return sim().get_frame_descs(device, descs, max);
}
int open(void* device, void** handle) {
    if (int error = injected(OMBRIX_SIM_CALL_OPEN)) return error;
    return sim().open(device, handle);
}
void print_diag(void* handle, FILE* stream) { sim().print_diag(handle, stream); }
int get_stream_ctrl(void* handle, int format, int width, int height, int fps) {
    if (int error = injected(OMBRIX_SIM_CALL_STREAM_CTRL)) return error;
    return sim().get_stream_ctrl(handle, format, width, height, fps);
}
int start_streaming(void* handle, dozazuva_frame_fn on_frame, void* user) {
    if (int error = injected(OMBRIX_SIM_CALL_START)) return error;
    return sim().start_streaming(handle, on_frame, user);
}
void stop_streaming(void* handle, int keep_interface) { sim().stop_streaming(handle, keep_interface); }
void close(void* handle) { sim().close(handle); }
int control_transfer(void* handle, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                     uint8_t* data, uint16_t length, unsigned int /*timeout_ms: the module answers at once*/) {
    return sim().control_transfer(handle, request_type, request, value, index, data, length);
}

const dozazuva_backend kTable = {
    DOZAZUVA_BACKEND_ABI,
    "ombrix simulator",
    init,
    exit_context,
    get_device_list,
    free_device_list,
    ref_device,
    unref_device,
    get_device_descriptor,
    free_device_descriptor,
    get_frame_descs,
    open,
    print_diag,
    get_stream_ctrl,
    start_streaming,
    stop_streaming,
    close,
    control_transfer,
};

}  // namespace

extern "C" const struct dozazuva_backend* ombrix_simulator_backend(void) { return &kTable; }

namespace ombrix::sim {
void clear_call_faults() {
    for (auto& error : g_call_errors) error = 0;
}
}  // namespace ombrix::sim

extern "C" int ombrix_sim_fault_call(int call, int error) {
    if (call < 0 || call >= OMBRIX_SIM_CALL_COUNT || error > 0) return -1;
    g_call_errors[call] = error;
    return 0;
}
