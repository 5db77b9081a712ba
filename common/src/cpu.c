#include "ombrix/cpu.h"

#include <stdlib.h>
#include <string.h>

int ombrix_cpu_portable_only(void)
{
    /* Callers may ask from several threads at once: every thread that finds
     * the answer unset computes the same value. */
    static int portable = -1;
    int known = __atomic_load_n(&portable, __ATOMIC_RELAXED);
    if (known < 0) {
        const char* choice = getenv("OMBRIX_CPU");
        known = choice && strcmp(choice, "portable") == 0;
        __atomic_store_n(&portable, known, __ATOMIC_RELAXED);
    }
    return known;
}
