#include "internal.h"

ombrix_log_sinks zovarerev_sinks = { ombrix_log_silent, ombrix_log_silent };

void irtemp_log_register(int level)
{
    ombrix_log_set_level(&zovarerev_sinks, level);
}

const char* irtemp_version(void)
{
    return "zovarerev 0.5.0";
}
