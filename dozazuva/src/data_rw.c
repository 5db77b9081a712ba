/* Register level of the vendor command transport: one control transfer per
 * call on the open device, the status poll after committing writes, and
 * the transport record that the command level uses. */
#include "dozazuva_internal.h"

#include <pthread.h>
#include <stdatomic.h>
#include <time.h>

#define PATH "dozazuva/src/data_rw"

enum {
    REQUEST_TYPE_IN = 0xC1,  /* device to host, vendor, interface */
    REQUEST_TYPE_OUT = 0x41, /* host to device, vendor, interface */
    READ_REQUEST = 0x44,
    WRITE_REQUEST = 0x45,
    REGISTER_VALUE = 0x78,
    STATUS_ADDRESS = 0x0200,
    STAGED_BIT = 0x8000,
    TRANSFER_TIMEOUT_MS = 1000,
    MAX_IN_BYTES = 256,
    MAX_OUT_BYTES = 64,
    DEFAULT_POLL_COUNT = 2000
};

/* Status byte: bit 0 busy; with it clear, bit 1 clear is done, bit 1 with
 * any of bits 2 to 7 is a failure, bit 1 alone is not done yet. */
enum { STATUS_BUSY = 0x01, STATUS_FAILURE_BITS = 0xFC, STATUS_PENDING = 0x02 };

static pthread_mutex_t g_transport_mutex = PTHREAD_MUTEX_INITIALIZER;
static dozazuva_transport g_transport; /* guarded by g_transport_mutex */
static atomic_uint g_poll_count = DEFAULT_POLL_COUNT;

int i2c_usb_data_read(uint8_t request, uint16_t value, uint16_t address, uint16_t length, uint8_t* data)
{
    if (!data || length == 0) {
        DZ_ERROR(PATH, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    if (length > MAX_IN_BYTES) {
        DZ_ERROR(PATH, "usb in transfer length out of limitation:%d\n", MAX_IN_BYTES);
        return DOZAZUVA_ERR_PARAM;
    }
    int result = uvc_control_cmd(REQUEST_TYPE_IN, request, value, address, data, length, TRANSFER_TIMEOUT_MS);
    if (result < 0)
        DZ_ERROR(PATH, "uvc_control_cmd filed (uvc_error_code:%d)\n", result);
    return result;
}

int i2c_usb_data_write(uint8_t request, uint16_t value, uint16_t address, uint16_t length, uint8_t* data)
{
    if (length > MAX_OUT_BYTES || (!data && length > 0)) {
        DZ_ERROR(PATH, "parameter error\n");
        return DOZAZUVA_ERR_PARAM;
    }
    int result = uvc_control_cmd(REQUEST_TYPE_OUT, request, value, address, data, length, TRANSFER_TIMEOUT_MS);
    if (result < 0) {
        DZ_ERROR(PATH, "uvc_control_cmd filed (uvc_error_code:%d)\n", result);
        return result;
    }
    if (address & STAGED_BIT)
        return 0;
    return i2c_usb_check_access_done();
}

static void sleep_one_ms(void)
{
    const struct timespec one_ms = {0, 1000000};
    nanosleep(&one_ms, NULL);
}

int i2c_usb_check_access_done(void)
{
    uint8_t status = 0xFF;
    uint16_t polls = (uint16_t)atomic_load(&g_poll_count);
    for (;;) {
        int result = uvc_control_cmd(REQUEST_TYPE_IN, READ_REQUEST, REGISTER_VALUE, STATUS_ADDRESS, &status, 1,
                                     TRANSFER_TIMEOUT_MS);
        if (result < 0)
            DZ_ERROR(PATH, "uvc_control_cmd filed (uvc_error_code:%d)\n", result);
        if (!(status & STATUS_BUSY)) {
            if (!(status & STATUS_PENDING))
                return 0;
            if (status & STATUS_FAILURE_BITS) {
                DZ_ERROR(PATH, "vdcmd status error:%d\n", status);
                return DOZAZUVA_ERR_MODULE_STATUS;
            }
        }
        sleep_one_ms();
        if (--polls == 0) {
            DZ_ERROR(PATH, "check done fail!\n");
            return DOZAZUVA_ERR_MODULE_STATUS;
        }
    }
}

int vdcmd_init(void)
{
    return vdcmd_init_by_type(VDCMD_USB);
}

int vdcmd_init_by_type(int type)
{
    if (type == VDCMD_I2C) {
        DZ_ERROR(PATH, "LINUX_I2C_SUPPORT needed!\n");
        return DOZAZUVA_ERR_TRANSPORT_TYPE;
    }
    if (type != VDCMD_USB)
        return DOZAZUVA_ERR_TRANSPORT_TYPE;
    /* The mutex is made once at load: initialising it again while another
     * thread holds it (init runs after every open) would break it. */
    pthread_mutex_lock(&g_transport_mutex);
    g_transport = (dozazuva_transport){
        .read = i2c_usb_data_read,
        .read_request = READ_REQUEST,
        .read_value = REGISTER_VALUE,
        .write = i2c_usb_data_write,
        .write_request = WRITE_REQUEST,
        .write_value = REGISTER_VALUE,
    };
    pthread_mutex_unlock(&g_transport_mutex);
    return 0;
}

int vdcmd_set_polling_wait_time(uint32_t count)
{
    atomic_store(&g_poll_count, count & 0xFFFFu);
    return 0;
}

int dozazuva_transport_lock(dozazuva_transport* transport)
{
    pthread_mutex_lock(&g_transport_mutex);
    if (!g_transport.read || !g_transport.write) {
        pthread_mutex_unlock(&g_transport_mutex);
        return DOZAZUVA_ERR_NO_TRANSPORT;
    }
    *transport = g_transport;
    return 0;
}

void dozazuva_transport_unlock(void)
{
    pthread_mutex_unlock(&g_transport_mutex);
}
