#include "ombrix_resources.h"

#include <QtGlobal>

void ombrix_init_resources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(ombrix_resources);
        return true;
    }();
    Q_UNUSED(registered);
}
