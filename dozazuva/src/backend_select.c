/* Which device table serves the next context: one a caller installed, the
 * simulated camera module (OMBRIX_CAMERA=simulated), or libuvc. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* dladdr */
#endif
#include "dozazuva_internal.h"

#include <dlfcn.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define PATH "dozazuva/src/dozazuva"

static const char SIMULATOR_LIBRARY[] = "libombrix_simulator.so";
static const char SIMULATOR_ENTRY[] = "ombrix_simulator_backend";

static _Atomic(const dozazuva_backend*) g_installed;
static _Atomic(const dozazuva_backend*) g_current;
/* The simulator stays loaded for the life of the process: its threads and
 * tables may still be referenced after a release. Loaded once, whichever
 * thread asks first. */
static void* g_simulator_library;
static pthread_once_t g_simulator_once = PTHREAD_ONCE_INIT;

int dozazuva_use_backend(const dozazuva_backend* backend)
{
    if (backend && backend->abi != DOZAZUVA_BACKEND_ABI)
        return -1;
    atomic_store(&g_installed, backend);
    return 0;
}

const dozazuva_backend* dozazuva_current_backend(void)
{
    return atomic_load(&g_current);
}

void dozazuva_set_current_backend(const dozazuva_backend* backend)
{
    atomic_store(&g_current, backend);
}

/* Beside libdozazuva.so first, so a build tree and an installed tree each
 * find their own simulator; then the loader's search path. */
static void* open_simulator_library(void)
{
    Dl_info self;
    if (dladdr((const void*)&dozazuva_use_backend, &self) && self.dli_fname) {
        const char* slash = strrchr(self.dli_fname, '/');
        if (slash) {
            size_t folder = (size_t)(slash - self.dli_fname) + 1;
            char* path = malloc(folder + sizeof SIMULATOR_LIBRARY);
            if (path) {
                memcpy(path, self.dli_fname, folder);
                memcpy(path + folder, SIMULATOR_LIBRARY, sizeof SIMULATOR_LIBRARY);
                void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
                free(path);
                if (library)
                    return library;
            }
        }
    }
    return dlopen(SIMULATOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
}

static void load_simulator_library(void)
{
    g_simulator_library = open_simulator_library();
}

static const dozazuva_backend* simulator_backend(void)
{
    pthread_once(&g_simulator_once, load_simulator_library);
    if (!g_simulator_library) {
        DZ_ERROR(PATH, "simulated camera unavailable: %s\n", dlerror());
        return NULL;
    }
    typedef const dozazuva_backend* (*entry_fn)(void);
    entry_fn entry;
    *(void**)&entry = dlsym(g_simulator_library, SIMULATOR_ENTRY);
    const dozazuva_backend* backend = entry ? entry() : NULL;
    if (!backend || backend->abi != DOZAZUVA_BACKEND_ABI) {
        DZ_ERROR(PATH, "simulated camera unavailable: %s\n", entry ? "wrong table" : SIMULATOR_ENTRY);
        return NULL;
    }
    return backend;
}

const dozazuva_backend* dozazuva_select_backend(void)
{
    const dozazuva_backend* installed = atomic_load(&g_installed);
    if (installed)
        return installed;
    const char* camera = getenv("OMBRIX_CAMERA");
    if (camera && strcmp(camera, "simulated") == 0)
        return simulator_backend();
    return &dozazuva_libuvc_backend;
}
