/* A camera unplugged while it streams: what Debian 12's libusb 1.0.26 and
 * libuvc 0.0.6 get wrong when the stream and the camera are closed
 * afterwards, each of which ends the process or hangs it.
 *
 * 1. libusb_set_interface_alt_setting, asked about a device libusb already
 *    knows to be gone, unlocks the handle's mutex without having locked it;
 *    closing the handle then aborts (usbi_mutex_destroy). libuvc calls it
 *    whenever it releases an interface (uvc_stream_close, uvc_close).
 * 2. libusb_cancel_transfer answers LIBUSB_ERROR_NO_DEVICE for a transfer
 *    of a gone device that libusb still holds: the kernel has ended its URB,
 *    and libusb's event thread is yet to reap it and call the transfer's
 *    callback. uvc_stream_stop frees every transfer whose cancellation fails
 *    with anything but LIBUSB_ERROR_NOT_FOUND, so the event thread then
 *    reaps into freed memory.
 * 3. libuvc's stream callback resubmits a completed transfer and ignores a
 *    failure. A transfer that completed just before the unplug is refused
 *    (LIBUSB_ERROR_NO_DEVICE) and stays in libuvc's table, never to be
 *    called back; uvc_stream_stop then waits for it forever (its
 *    cancellation answers LIBUSB_ERROR_NOT_FOUND).
 *
 * The definitions below come before libusb's in the lookup order of every
 * program that links dozazuva, so libuvc's calls land here; they behave as
 * libusb's own except on a gone device:
 * 1. A gone device is answered LIBUSB_ERROR_NO_DEVICE at once, without
 *    libusb's call. Asking whether a kernel driver holds the interface costs
 *    one ioctl and fails with LIBUSB_ERROR_NO_DEVICE as soon as libusb or the
 *    kernel knows the device is gone; the kernel knows before it announces
 *    the removal, so only the moment between this check and libusb's own
 *    is left open.
 * 2. A transfer libusb still holds is reported as already ending
 *    (LIBUSB_ERROR_NOT_FOUND): libuvc leaves it to its callback, which frees
 *    it, and its stop waits for that.
 * 3. A transfer refused for a gone device is remembered; its cancellation
 *    (libusb does not hold it and answers LIBUSB_ERROR_NOT_FOUND) is
 *    answered LIBUSB_ERROR_NO_DEVICE, so libuvc frees it at once. libuvc's
 *    stop may cancel while the callback's resubmission is still under way;
 *    libusb then answers once the submission is over, and the answer here
 *    waits until the submission's outcome is noted. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* RTLD_NEXT */
#endif
#include <dlfcn.h>
#include <libusb.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stddef.h>

#define LIBUSB_API_GUARD __attribute__((visibility("default")))

/* libusb's own definition of `name`, looked up once into `cache`. */
static void* libusb_own(const char* name, _Atomic(void*)* cache)
{
    void* own = atomic_load(cache);
    if (!own) {
        own = dlsym(RTLD_NEXT, name);
        atomic_store(cache, own);
    }
    return own;
}

/* Transfers being submitted, and transfers refused for a gone device (not
 * in flight). One stream holds at most a hundred transfers; beyond the room
 * here libusb's own answers stand. */
enum { TRANSFER_ROOM = 256 };
enum transfer_state { TRANSFER_SUBMITTING = 1, TRANSFER_REFUSED = 2 };
static pthread_mutex_t g_transfers_lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t g_transfers_changed = PTHREAD_COND_INITIALIZER;
static struct {
    struct libusb_transfer* transfer;
    enum transfer_state state;
} g_transfers[TRANSFER_ROOM];

/* The slot of `transfer`, or -1; with g_transfers_lock held. */
static int slot_of(const struct libusb_transfer* transfer)
{
    for (int i = 0; transfer && i < TRANSFER_ROOM; ++i)
        if (g_transfers[i].transfer == transfer)
            return i;
    return -1;
}

/* Notes `transfer` in `state`, or forgets it (state 0). */
static void set_state(struct libusb_transfer* transfer, int state)
{
    pthread_mutex_lock(&g_transfers_lock);
    int slot = slot_of(transfer);
    if (slot < 0 && state) {
        for (int i = 0; i < TRANSFER_ROOM && slot < 0; ++i)
            if (!g_transfers[i].transfer)
                slot = i;
    }
    if (slot >= 0) {
        g_transfers[slot].transfer = state ? transfer : NULL;
        g_transfers[slot].state = (enum transfer_state)state;
    }
    pthread_cond_broadcast(&g_transfers_changed);
    pthread_mutex_unlock(&g_transfers_lock);
}

/* Whether `transfer` was refused for a gone device (then forgotten). A
 * submission still under way is waited for: libusb's cancellation answers
 * only after it, but the answer may come before the submission is noted. */
static int take_refused(struct libusb_transfer* transfer)
{
    pthread_mutex_lock(&g_transfers_lock);
    int slot;
    while ((slot = slot_of(transfer)) >= 0 && g_transfers[slot].state == TRANSFER_SUBMITTING)
        pthread_cond_wait(&g_transfers_changed, &g_transfers_lock);
    const int refused = slot >= 0 && g_transfers[slot].state == TRANSFER_REFUSED;
    if (refused)
        g_transfers[slot].transfer = NULL;
    pthread_mutex_unlock(&g_transfers_lock);
    return refused;
}

LIBUSB_API_GUARD int libusb_set_interface_alt_setting(libusb_device_handle* handle, int interface_number,
                                                      int alternate_setting)
{
    static _Atomic(void*) cache;
    int (*own)(libusb_device_handle*, int, int);
    *(void**)&own = libusb_own("libusb_set_interface_alt_setting", &cache);
    if (!own)
        return LIBUSB_ERROR_NOT_SUPPORTED;
    if (handle && libusb_kernel_driver_active(handle, interface_number) == LIBUSB_ERROR_NO_DEVICE)
        return LIBUSB_ERROR_NO_DEVICE;
    return own(handle, interface_number, alternate_setting);
}

LIBUSB_API_GUARD int libusb_submit_transfer(struct libusb_transfer* transfer)
{
    static _Atomic(void*) cache;
    int (*own)(struct libusb_transfer*);
    *(void**)&own = libusb_own("libusb_submit_transfer", &cache);
    if (!own)
        return LIBUSB_ERROR_NOT_SUPPORTED;
    set_state(transfer, TRANSFER_SUBMITTING);
    int result = own(transfer);
    set_state(transfer, result == LIBUSB_ERROR_NO_DEVICE ? TRANSFER_REFUSED : 0);
    return result;
}

LIBUSB_API_GUARD int libusb_cancel_transfer(struct libusb_transfer* transfer)
{
    static _Atomic(void*) cache;
    int (*own)(struct libusb_transfer*);
    *(void**)&own = libusb_own("libusb_cancel_transfer", &cache);
    if (!own)
        return LIBUSB_ERROR_NOT_SUPPORTED;
    int result = own(transfer);
    if (result == LIBUSB_ERROR_NO_DEVICE)
        return LIBUSB_ERROR_NOT_FOUND; /* in flight: its callback will come */
    if (result == LIBUSB_ERROR_NOT_FOUND && take_refused(transfer))
        return LIBUSB_ERROR_NO_DEVICE; /* never will */
    return result;
}

LIBUSB_API_GUARD void libusb_free_transfer(struct libusb_transfer* transfer)
{
    static _Atomic(void*) cache;
    void (*own)(struct libusb_transfer*);
    *(void**)&own = libusb_own("libusb_free_transfer", &cache);
    set_state(transfer, 0);
    if (own)
        own(transfer);
}
