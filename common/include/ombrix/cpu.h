/* Which processor paths the camera-module libraries may take.
 *
 * OMBRIX_CPU=portable in the environment makes every library use its
 * portable loops instead of the vectorised paths for this processor, as a
 * build for another processor would: for measuring and testing those loops
 * here. Read once per process.
 */
#ifndef OMBRIX_CPU_H
#define OMBRIX_CPU_H

#ifdef __cplusplus
extern "C" {
#endif

/* Nonzero when OMBRIX_CPU is "portable". */
int ombrix_cpu_portable_only(void);

#ifdef __cplusplus
}
#endif

#endif
