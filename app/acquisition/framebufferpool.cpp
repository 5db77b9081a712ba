#include "framebufferpool.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

// Enough for the frame being made, a full ring's worth queued to the view and
// the one it shows; more released buffers than this go back to the system.
constexpr size_t KeptBuffers = 8;

// The last readers of a kept buffer marked it done (see the header).
#if defined(__SANITIZE_THREAD__)
void reusing(uchar* buffer)
{
    __tsan_acquire(buffer);
}
#else
void reusing(uchar*) {}
#endif

class FrameBufferPool : public cv::MatAllocator
{
public:
    cv::UMatData* allocate(int dims, const int* sizes, int type, void* data, size_t* step, cv::AccessFlag,
                           cv::UMatUsageFlags) const override
    {
        // Dense rows, as OpenCV's own allocator lays them out.
        size_t total = CV_ELEM_SIZE(type);
        for (int i = dims - 1; i >= 0; --i) {
            if (step) {
                if (data && step[i] != cv::Mat::AUTO_STEP)
                    total = step[i];
                else
                    step[i] = total;
            }
            total *= size_t(sizes[i]);
        }
        auto* u = new cv::UMatData(this);
        u->data = u->origdata = data ? static_cast<uchar*>(data) : take(total);
        u->size = total;
        if (data)
            u->flags |= cv::UMatData::USER_ALLOCATED;
        return u;
    }

    bool allocate(cv::UMatData* u, cv::AccessFlag, cv::UMatUsageFlags) const override { return u != nullptr; }

    void deallocate(cv::UMatData* u) const override
    {
        if (!u)
            return;
        if (!(u->flags & cv::UMatData::USER_ALLOCATED))
            give(u->origdata, u->size);
        delete u;
    }

private:
    uchar* take(size_t bytes) const
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            for (auto it = kept.begin(); it != kept.end(); ++it) {
                if (it->first == bytes) {
                    uchar* buffer = it->second;
                    kept.erase(it);
                    reusing(buffer);
                    return buffer;
                }
            }
        }
        return static_cast<uchar*>(cv::fastMalloc(bytes));
    }

    void give(uchar* buffer, size_t bytes) const
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (kept.size() < KeptBuffers) {
                kept.emplace_back(bytes, buffer);
                return;
            }
        }
        cv::fastFree(buffer);
    }

    mutable std::mutex lock;
    mutable std::vector<std::pair<size_t, uchar*>> kept;
};

}  // namespace

cv::MatAllocator* frameBufferPool()
{
    // Never destroyed: frames may still be released while the process ends.
    static FrameBufferPool* const pool = new FrameBufferPool;
    return pool;
}
