/* Shared by dozazuva's sources; nothing here is exported. */
#ifndef DOZAZUVA_INTERNAL_H
#define DOZAZUVA_INTERNAL_H

#include "dozazuva.h"
#include "ombrix/log.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The library's error and debug sinks (iruvc_log_register). */
extern ombrix_log_sinks dozazuva_log;

#define DZ_ERROR(path, ...) OMBRIX_LOG(dozazuva_log.error, "dozazuva error", path, __VA_ARGS__)
#define DZ_DEBUG(path, ...) OMBRIX_LOG(dozazuva_log.debug, "dozazuva debug", path, __VA_ARGS__)
/* For helpers that report on behalf of the exported function `function`. */
#define DZ_ERROR_IN(path, function, fmt, ...) \
    (dozazuva_log.error)("dozazuva error [%s:%d/%s] " fmt, path, __LINE__, function, ##__VA_ARGS__)
#define DZ_DEBUG_IN(path, function, fmt, ...) \
    (dozazuva_log.debug)("dozazuva debug [%s:%d/%s] " fmt, path, __LINE__, function, ##__VA_ARGS__)

/* libuvc's result codes, which both device tables report. */
enum {
    DZ_UVC_SUCCESS = 0,
    DZ_UVC_ERROR_INVALID_PARAM = -2,
    DZ_UVC_ERROR_NO_DEVICE = -4,
    DZ_UVC_ERROR_NOT_FOUND = -5,
    DZ_UVC_ERROR_BUSY = -6,
    DZ_UVC_ERROR_INVALID_DEVICE = -50,
    DZ_UVC_ERROR_OTHER = -99
};

/* The table for the next context: the installed one, the simulated module
 * (OMBRIX_CAMERA=simulated) or libuvc. NULL (with the error logged) when the
 * simulated module cannot be loaded. */
const dozazuva_backend* dozazuva_select_backend(void);
/* Remembers the table the new context was made with. */
void dozazuva_set_current_backend(const dozazuva_backend* backend);

/* The vendor command transport record (installed by vdcmd_init_by_type;
 * both functions NULL before). Read and changed under dozazuva_transport_mutex. */
typedef int (*dozazuva_register_fn)(uint8_t request, uint16_t value, uint16_t address, uint16_t length,
                                    uint8_t* data);
typedef struct dozazuva_transport {
    dozazuva_register_fn read;
    uint8_t read_request;
    uint16_t read_value;
    dozazuva_register_fn write;
    uint8_t write_request;
    uint16_t write_value;
} dozazuva_transport;

/* Takes the transport mutex and copies the installed record; returns -13
 * (mutex released again) when none is installed. */
int dozazuva_transport_lock(dozazuva_transport* transport);
void dozazuva_transport_unlock(void);

/* The default table over libuvc and libusb-1.0. */
extern const dozazuva_backend dozazuva_libuvc_backend;

static inline uint16_t dz_get_be16(const uint8_t* bytes)
{
    return (uint16_t)(bytes[0] << 8 | bytes[1]);
}

static inline uint32_t dz_get_be32(const uint8_t* bytes)
{
    return (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
}

static inline void dz_put_be16(uint8_t* bytes, uint16_t value)
{
    bytes[0] = (uint8_t)(value >> 8);
    bytes[1] = (uint8_t)value;
}

static inline void dz_put_be32(uint8_t* bytes, uint32_t value)
{
    bytes[0] = (uint8_t)(value >> 24);
    bytes[1] = (uint8_t)(value >> 16);
    bytes[2] = (uint8_t)(value >> 8);
    bytes[3] = (uint8_t)value;
}

#ifdef __cplusplus
}
#endif

#endif
