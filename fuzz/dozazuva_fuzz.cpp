// dozazuva's listing, stream descriptions and command set over the
// simulated module's device table, with fuzzer-chosen answers put in front
// of it: control transfers that move fewer or more bytes than asked, fail,
// or carry a wrong status byte or garbage; device descriptors with garbage
// identities; frame descriptors with any content. Every buffer handed to
// dozazuva is exactly as large as its header says.
#include "dozazuva.h"
#include "dozazuva_backend.h"
#include "fuzz_buffers.h"
#include "ombrix_simulator.h"

#include <cstdlib>
#include <cstring>

namespace {

const dozazuva_backend* g_module;
dozazuva_backend g_table;
FuzzedDataProvider* g_input;  // the answers of the current input

bool fuzzAnswers()
{
    return g_input && g_input->remaining_bytes() > 0 && g_input->ConsumeBool();
}

int controlTransfer(void* handle, uint8_t type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                    uint16_t length, unsigned timeout)
{
    if (!fuzzAnswers())
        return g_module->control_transfer(handle, type, request, value, index, data, length, timeout);
    const bool in = type & 0x80;
    switch (g_input->ConsumeIntegralInRange(0, 3)) {
    case 0:  // short
        if (in) {
            std::vector<uint8_t> bytes = g_input->ConsumeBytes<uint8_t>(length ? length - 1 : 0);
            if (!bytes.empty())
                std::memcpy(data, bytes.data(), bytes.size());
            return (int)bytes.size();
        }
        return g_input->ConsumeIntegralInRange<int>(0, length ? length - 1 : 0);
    case 1:  // more than asked
        return length + g_input->ConsumeIntegralInRange(1, 4096);
    case 2:  // a libusb error
        return g_input->ConsumeIntegralInRange(-12, -1);
    default: {  // the module's own answer with fuzzed bytes over it (status included)
        int moved = g_module->control_transfer(handle, type, request, value, index, data, length, timeout);
        if (in && moved > 0) {
            std::vector<uint8_t> bytes = g_input->ConsumeBytes<uint8_t>((size_t)moved);
            if (!bytes.empty())
                std::memcpy(data, bytes.data(), bytes.size());
        }
        return moved;
    }
    }
}

void freeDeviceDescriptor(dozazuva_device_desc* desc)
{
    std::free(desc->product);
    desc->product = nullptr;
}

int deviceDescriptor(void* device, dozazuva_device_desc* desc)
{
    int result = g_module->get_device_descriptor(device, desc);
    if (result < 0 || !fuzzAnswers())
        return result;
    g_module->free_device_descriptor(desc);
    desc->vid = g_input->ConsumeIntegral<uint16_t>();
    desc->pid = g_input->ConsumeIntegral<uint16_t>();
    desc->product = nullptr;
    if (g_input->ConsumeBool()) {
        std::string text = g_input->ConsumeRandomLengthString(300);
        desc->product = strdup(text.c_str());
    }
    if (g_input->ConsumeBool())
        return 0;
    freeDeviceDescriptor(desc);  // a failing table leaves nothing to free
    return g_input->ConsumeIntegralInRange(-12, -1);
}

int frameDescriptors(void* device, dozazuva_frame_desc* descs, int max)
{
    if (!fuzzAnswers())
        return g_module->get_frame_descs(device, descs, max);
    const int count = g_input->ConsumeIntegralInRange(-3, max);
    for (int i = 0; i < count; i++) {
        std::vector<uint8_t> bytes = g_input->ConsumeBytes<uint8_t>(sizeof descs[i]);
        bytes.resize(sizeof descs[i]);
        std::memcpy(&descs[i], bytes.data(), sizeof descs[i]);
    }
    return count;
}

void installTable()
{
    g_module = ombrix_simulator_backend();
    g_table = *g_module;
    g_table.name = "fuzzed module";
    g_table.control_transfer = controlTransfer;
    g_table.get_device_descriptor = deviceDescriptor;
    g_table.free_device_descriptor = freeDeviceDescriptor;
    g_table.get_frame_descs = frameDescriptors;
    if (dozazuva_use_backend(&g_table) != 0)
        std::abort();
}

void describe()
{
    ExactBuffer<camera_dev_t> list(64);
    std::memset(list.get(), 0, 64 * sizeof(camera_dev_t));
    if (uvc_camera_list(list.get()) == 0) {
        ExactBuffer<camera_stream_info_t> infos(32);
        std::memset(infos.get(), 0, 32 * sizeof(camera_stream_info_t));
        camera_dev_t module{OMBRIX_SIM_PID_5830, OMBRIX_SIM_VID, nullptr};
        if (uvc_camera_info_get(&module, infos.get()) == 0)
            uvc_camera_info_release(infos.get());
        uvc_camera_list_release(list.get());
    }
}

void command(FuzzedDataProvider& input)
{
    uint8_t header[16];
    std::vector<uint8_t> head = input.ConsumeBytes<uint8_t>(sizeof header);
    head.resize(sizeof header);
    std::memcpy(header, head.data(), sizeof header);
    switch (input.ConsumeIntegralInRange(0, 11)) {
    case 0: {
        ExactBuffer<uint8_t> info(8);
        get_device_info(input.ConsumeIntegralInRange<uint8_t>(4, 8), info.get());
        break;
    }
    case 1: {
        ExactBuffer<uint8_t> text(64);
        input.ConsumeBool() ? get_sn(text.get()) : get_pn(text.get());
        break;
    }
    case 2: {
        ExactBuffer<uint16_t> values(7);
        const uint64_t shape = input.ConsumeIntegral<uint64_t>();
        input.ConsumeBool() ? tpd_get_line_temp_info(shape, values.get()) : tpd_get_rect_temp_info(shape, values.get());
        break;
    }
    case 3: {
        ExactBuffer<uint16_t> values(6), one(1);
        tpd_get_max_min_temp_info(values.get());
        tpd_get_point_temp_info(input.ConsumeIntegral<uint32_t>(), one.get());
        break;
    }
    case 4: {
        ExactBuffer<uint16_t> value(1);
        get_prop_tpd_params(input.ConsumeIntegralInRange(-1, 17), value.get());
        set_prop_tpd_params(input.ConsumeIntegralInRange(-1, 17), input.ConsumeIntegral<uint16_t>());
        break;
    }
    case 5: {
        ExactBuffer<uint8_t> first(1), second(1);
        shutter_sta_get(first.get(), second.get());
        shutter_manual_switch(input.ConsumeIntegral<uint8_t>());
        break;
    }
    case 6: {
        const uint8_t length = input.ConsumeIntegral<uint8_t>();
        ExactBuffer<uint8_t> data(length, input);
        input.ConsumeBool() ? short_cmd_read(header, length, data.get()) : short_cmd_write(header, length, data.get());
        break;
    }
    case 7: {
        const uint16_t length = input.ConsumeIntegralInRange<uint16_t>(0, 700);
        ExactBuffer<uint8_t> data(length, input);
        input.ConsumeBool() ? standard_cmd_read(header, length, data.get())
                            : standard_cmd_write(header, length, data.get());
        break;
    }
    case 8: {
        const int length = input.ConsumeIntegralInRange(-1, 260);
        ExactBuffer<uint8_t> data(length > 0 ? (size_t)length : 0);
        long_cmd_read(header, input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint32_t>(),
                      input.ConsumeIntegral<uint32_t>(), length, data.get());
        break;
    }
    case 9: {
        const uint16_t length = input.ConsumeIntegralInRange<uint16_t>(0, 600);
        ExactBuffer<uint8_t> data(length, input);
        const uint32_t address = input.ConsumeIntegral<uint32_t>();
        input.ConsumeBool() ? spi_read(address, length, data.get()) : spi_write(address, length, data.get());
        break;
    }
    case 10: {
        const uint8_t length = input.ConsumeIntegral<uint8_t>();
        ExactBuffer<uint8_t> data(length, input);
        const uint16_t address = input.ConsumeIntegral<uint16_t>();
        input.ConsumeBool() ? xdata_read(address, length, data.get()) : xdata_write(address, length, data.get());
        break;
    }
    default: {
        ExactBuffer<uint8_t> id(6), ems(1), distance(2);
        spi_read_id(id.get());
        tpd_ems_get(ems.get());
        tpd_distance_get(distance.get());
        i2c_usb_check_access_done();
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    iruvc_log_register(2);
    installTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    ombrix_sim_reset();
    g_input = &input;
    if (uvc_camera_init() == 0) {
        describe();
        camera_dev_t module{OMBRIX_SIM_PID_5830, OMBRIX_SIM_VID, nullptr};
        if (uvc_camera_open(&module) == 0) {
            vdcmd_init();
            vdcmd_set_polling_wait_time(input.ConsumeIntegralInRange<uint32_t>(1, 4));
            for (int i = 0; i < 8 && input.remaining_bytes() > 0; i++)
                command(input);
            uvc_camera_close();
        }
        uvc_camera_release();
    }
    g_input = nullptr;
    return 0;
}
