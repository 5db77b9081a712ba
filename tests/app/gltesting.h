// Keeps the OpenGL driver that Mesa loaded (a "*_dri.so") in the process until
// it ends. Mesa unloads it with the last context or when the display closes,
// and the leak checker, which runs at exit, could then neither name what the
// driver keeps for itself nor match it with the driver's suppression.
#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <dlfcn.h>
#include <link.h>

#include <cstring>

inline void keepGlDriverLoaded()
{
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.create();
    if (context.create())
        context.makeCurrent(&surface);  // loads the driver
    dl_iterate_phdr(
        [](dl_phdr_info* module, size_t, void*) {
            if (module->dlpi_name && std::strstr(module->dlpi_name, "_dri.so"))
                dlopen(module->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
