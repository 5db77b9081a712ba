// The recording reader on any bytes: it must answer with a frame index or an
// error, and read every indexed frame without crashing.
#include <ombrix_recording.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

// The reader opens paths; the input becomes an anonymous file.
struct MemoryFile {
    int fd = -1;
    char path[64] = {};
    MemoryFile(const uint8_t* data, size_t size)
    {
        fd = memfd_create("recording", 0);
        if (fd < 0 || write(fd, data, size) != ssize_t(size))
            return;
        snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    ~MemoryFile()
    {
        if (fd >= 0)
            close(fd);
    }
};

constexpr int kMostFramesRead = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryFile file(data, size);
    if (!file.path[0])
        return 0;
    ombrix_recording* recording = nullptr;
    if (ombrix_recording_open(file.path, &recording) < 0)
        return 0;
    ombrix_recording_info info{};
    ombrix_recording_info_get(recording, &info);
    std::vector<uint8_t> frame(size_t(info.width) * size_t(info.height) * 4);
    // Backwards, so seeking is exercised as well as reading on.
    for (int i = info.frames - 1; i >= 0 && info.frames - i <= kMostFramesRead; --i)
        ombrix_recording_read(recording, i, frame.data(), frame.size(), nullptr);
    ombrix_recording_close(recording);
    return 0;
}
