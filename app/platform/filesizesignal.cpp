#include "filesizesignal.h"

#include <csignal>

namespace platform {

bool ignoreFileSizeSignal()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    return sigaction(SIGXFSZ, &ignore, nullptr) == 0;
}

} // namespace platform
