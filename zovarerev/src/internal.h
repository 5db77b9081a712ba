/* Shared by the library's source files; not installed. */
#ifndef ZOVAREREV_INTERNAL_H
#define ZOVAREREV_INTERNAL_H

#include "ombrix/log.h"
#include "zovarerev.h"

#include <stddef.h>

/* Error and debug sinks, silent until irtemp_log_register. */
extern ombrix_log_sinks zovarerev_sinks;

/* Each source file defines SOURCE_PATH ("zovarerev/src/<file>") before use. */
#define LOG_ERROR(fmt, ...) \
    OMBRIX_LOG(zovarerev_sinks.error, "zovarerev error", SOURCE_PATH, fmt, ##__VA_ARGS__)
#define LOG_DEBUG(fmt, ...) \
    OMBRIX_LOG(zovarerev_sinks.debug, "zovarerev debug", SOURCE_PATH, fmt, ##__VA_ARGS__)

#endif
