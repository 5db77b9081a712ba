#include "ombrix/log.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

enum { LOG_BUFFER_BYTES = 200 };

int ombrix_log_print(const char* format, ...)
{
    char buffer[LOG_BUFFER_BYTES];
    memset(buffer, 0, sizeof buffer);
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    size_t length = strlen(buffer);
    size_t written = fwrite(buffer, 1, length, stdout);
    fflush(stdout);
    return (int)written;
}

int ombrix_log_silent(const char* format, ...)
{
    (void)format;
    return 0;
}

void ombrix_log_set_level(ombrix_log_sinks* sinks, int level)
{
    sinks->error = (level == 0 || level == 1) ? ombrix_log_print : ombrix_log_silent;
    sinks->debug = (level == 0) ? ombrix_log_print : ombrix_log_silent;
}
