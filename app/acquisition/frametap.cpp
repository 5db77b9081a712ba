#include "frametap.h"

#include <mutex>

namespace {

std::mutex& tapLock()
{
    static std::mutex lock;
    return lock;
}

FrameTap* g_tap = nullptr;  // guarded by tapLock()

}  // namespace

void setFrameTap(FrameTap* tap)
{
    std::lock_guard<std::mutex> locked(tapLock());
    g_tap = tap;
}

void removeFrameTap(FrameTap* tap)
{
    std::lock_guard<std::mutex> locked(tapLock());
    if (g_tap == tap)
        g_tap = nullptr;
}

void offerToFrameTap(const uint8_t* raw, size_t bytes, const cv::Mat& picture)
{
    std::lock_guard<std::mutex> locked(tapLock());
    if (g_tap && raw)
        g_tap->offerFrame(raw, bytes, picture);
}
