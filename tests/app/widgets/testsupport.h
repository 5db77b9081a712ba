// Helpers shared by the widget tests.
#pragma once

#ifdef OMBRIX_WITH_RESOURCES
#include "ombrix_resources.h"
#endif

// Registers the compiled-in pictures when the resource library is linked; the
// widgets work without them.
inline void initResourcesIfLinked()
{
#ifdef OMBRIX_WITH_RESOURCES
    ombrix_init_resources();
#endif
}
