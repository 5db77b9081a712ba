// Playback as a camera: the recording selected for playback, its play/pause
// and position (the player), and the device table dozazuva streams it
// through, one device whose frames are the recording's.
//
// Locks: the player's mutex guards the recording, the position and every
// stream's stop flag; a device's command port has its own lock, taken before
// the player's when a readout asks for the shown temperature half. Frame
// callbacks run with no lock held.
#include "dozazuva_backend.h"
#include "playback_device.h"
#include "recording_internal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace ombrix::recording;
using Clock = std::chrono::steady_clock;

namespace {

// libuvc's result codes, which the device table speaks.
constexpr int kUvcInvalidParam = -2;
constexpr int kUvcNoDevice = -4;
constexpr int kUvcBusy = -6;
constexpr int kUvcInvalidMode = -51;
constexpr int kUsbNoDevice = -4;

constexpr uint16_t kVid = 0x0BDA;
constexpr uint16_t kPid = 0x5830;
constexpr char kProduct[] = "USB Thermal Camera";
constexpr uint32_t kInterval100ns = 400000;  // what the device announces: 25 frames a second
constexpr int64_t kPausedIntervalMs = 40;    // the shown frame repeats at that pace while paused
constexpr int64_t kLongestWaitMs = 1000;     // a gap in a recording never stalls the stream longer
constexpr uint8_t kYuy2Guid[16] = {'Y', 'U', 'Y', '2', 0x00, 0x00, 0x10, 0x00,
                                   0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Context;

struct Handle {
    Context* context = nullptr;
    uint64_t generation = 0;  // the recording it was opened on
    std::unique_ptr<PlaybackCommands> commands;
    int height = 0;           // negotiated, 0 before
    bool stop = false;        // guarded by the player's mutex
    std::thread stream;
};

struct Context {
    std::set<Handle*> handles;
};

// The device itself has no state: the one selected recording is the device.
char g_device;

class Player {
public:
    static Player& instance()
    {
        static Player player;
        return player;
    }

    int select(const char* path)
    {
        ombrix_recording* opened = nullptr;
        const int result = ombrix_recording_open(path, &opened);
        if (result < 0)
            return result;
        ombrix_recording_info info{};
        ombrix_recording_info_get(opened, &info);
        std::vector<uint8_t> first(frame_bytes(info.width, info.height));
        const int read = ombrix_recording_read(opened, 0, first.data(), first.size(), nullptr);
        if (read < 0) {
            ombrix_recording_close(opened);
            return read;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ombrix_recording_close(recording_);
        recording_ = opened;
        info_ = info;
        frame_ = std::move(first);
        index_ = 0;
        playing_ = false;
        ++generation_;
        ++moves_;
        changed_.notify_all();
        return 0;
    }

    void deselect()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ombrix_recording_close(recording_);
        recording_ = nullptr;
        info_ = ombrix_recording_info{};
        frame_.clear();
        playing_ = false;
        ++generation_;
        changed_.notify_all();
    }

    int set_playing(bool playing)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recording_)
            return OMBRIX_REC_ERR_STATE;
        // Play at the end starts again from the beginning.
        if (playing && !playing_ && index_ + 1 >= info_.frames)
            load(0);
        playing_ = playing;
        ++moves_;
        changed_.notify_all();
        return 0;
    }

    int seek(int index, bool relative)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recording_)
            return OMBRIX_REC_ERR_STATE;
        if (relative) {
            playing_ = false;
            index += index_;
        }
        const int result = load(std::clamp(index, 0, info_.frames - 1));
        ++moves_;
        changed_.notify_all();
        return result;
    }

    int state(ombrix_playback_state* out)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recording_)
            return OMBRIX_REC_ERR_STATE;
        *out = {index_, info_.frames, frame_time_ms(recording_, index_), info_.duration_ms, playing_ ? 1 : 0};
        return 0;
    }

    bool info(ombrix_recording_info* out, uint64_t* generation = nullptr)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        *out = info_;
        if (generation)
            *generation = generation_;
        return recording_ != nullptr;
    }

    bool alive(uint64_t generation)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return recording_ && generation == generation_;
    }

    // The temperature half shown now, for the module's readouts.
    void words(uint16_t* out)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t bytes = size_t(ombrix::sim::kSensorPixels) * 2;
        if (frame_.size() == 2 * bytes)
            std::memcpy(out, frame_.data() + bytes, bytes);
        else
            std::memset(out, 0, bytes);
    }

    void stream(Handle& handle, dozazuva_frame_fn on_frame, void* user);
    void request_stop(Handle& handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handle.stop = true;
        changed_.notify_all();
    }

private:
    Player() = default;

    // With the lock held. A frame that cannot be read stops playing there.
    int load(int index)
    {
        const int result = ombrix_recording_read(recording_, index, frame_.data(), frame_.size(), nullptr);
        if (result < 0) {
            playing_ = false;
            return result;
        }
        index_ = index;
        return 0;
    }

    // With the lock held: how long the shown frame stays.
    int64_t shown_for_ms() const
    {
        if (!playing_ || index_ + 1 >= info_.frames)
            return kPausedIntervalMs;
        const int64_t gap = frame_time_ms(recording_, index_ + 1) - frame_time_ms(recording_, index_);
        return std::clamp<int64_t>(gap, 1, kLongestWaitMs);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    ombrix_recording* recording_ = nullptr;
    ombrix_recording_info info_{};
    std::vector<uint8_t> frame_;
    int index_ = 0;
    bool playing_ = false;
    uint64_t generation_ = 0;  // a new recording (or none) ends the streams of the old one
    uint64_t moves_ = 0;       // every seek, step and play/pause: the stream shows it at once
};

// The stream thread: hands the shown frame on, waits as long as the recording
// did (or the paused pace), moves on while playing.
void Player::stream(Handle& handle, dozazuva_frame_fn on_frame, void* user)
{
    std::vector<uint8_t> out;
    Clock::time_point deadline = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!handle.stop && recording_ && handle.generation == generation_) {
        const size_t bytes = handle.height == info_.height ? picture_bytes(info_.width, info_.height) : frame_.size();
        out.assign(frame_.begin(), frame_.begin() + bytes);
        const int64_t wait_ms = shown_for_ms();
        const uint64_t moves = moves_;
        lock.unlock();
        on_frame(out.data(), out.size(), user);
        lock.lock();
        deadline = std::max(deadline + std::chrono::milliseconds(wait_ms), Clock::now() - std::chrono::seconds(1));
        const bool moved = changed_.wait_until(lock, deadline, [&] { return handle.stop || moves_ != moves; });
        if (moved) {
            deadline = Clock::now();
            continue;
        }
        if (playing_ && handle.generation == generation_) {
            if (index_ + 1 < info_.frames)
                load(index_ + 1);
            else
                playing_ = false;
        }
    }
}

// ---- the device table ----------------------------------------------------

Player& player() { return Player::instance(); }

int init(void** context)
{
    if (!context)
        return kUvcInvalidParam;
    *context = new Context;
    return 0;
}

void stop_stream(Handle* handle)
{
    if (!handle->stream.joinable())
        return;
    player().request_stop(*handle);
    if (handle->stream.get_id() == std::this_thread::get_id())
        handle->stream.detach();  // stopped from its own frame callback
    else
        handle->stream.join();
}

void close_handle(void* h)
{
    auto* handle = static_cast<Handle*>(h);
    if (!handle)
        return;
    stop_stream(handle);
    if (handle->context)
        handle->context->handles.erase(handle);
    delete handle;
}

void exit_context(void* c)
{
    auto* context = static_cast<Context*>(c);
    if (!context)
        return;
    while (!context->handles.empty())
        close_handle(*context->handles.begin());
    delete context;
}

int get_device_list(void* context, void*** list)
{
    if (!context || !list)
        return kUvcInvalidParam;
    ombrix_recording_info info{};
    const bool selected = player().info(&info);
    *list = static_cast<void**>(std::calloc(2, sizeof(void*)));
    if (!*list)
        return kUvcInvalidParam;
    if (selected)
        (*list)[0] = &g_device;
    return 0;
}

void free_device_list(void** list, int /*unref: the device is static*/) { std::free(list); }
void ref_device(void*) {}
void unref_device(void*) {}

int get_device_descriptor(void* device, dozazuva_device_desc* desc)
{
    if (device != &g_device || !desc)
        return kUvcInvalidParam;
    desc->vid = kVid;
    desc->pid = kPid;
    desc->product = strdup(kProduct);
    return 0;
}

void free_device_descriptor(dozazuva_device_desc* desc)
{
    if (!desc)
        return;
    std::free(desc->product);
    desc->product = nullptr;
}

int get_frame_descs(void* device, dozazuva_frame_desc* descs, int max)
{
    if (device != &g_device || max < 0 || (max > 0 && !descs))
        return kUvcInvalidParam;
    ombrix_recording_info info{};
    if (!player().info(&info))
        return kUvcNoDevice;
    int n = 0;
    for (int height : {info.height, 2 * info.height}) {
        if (n >= max)
            break;
        dozazuva_frame_desc& d = descs[n++];
        d = dozazuva_frame_desc{};
        std::memcpy(d.format_guid, kYuy2Guid, sizeof kYuy2Guid);
        d.width = uint32_t(info.width);
        d.height = uint32_t(height);
        d.max_frame_size = uint32_t(picture_bytes(info.width, height));
        d.intervals[0] = kInterval100ns;
    }
    return n;
}

int open_device(void* device, void** out)
{
    if (device != &g_device || !out)
        return kUvcInvalidParam;
    ombrix_recording_info info{};
    uint64_t generation = 0;
    if (!player().info(&info, &generation))
        return kUvcNoDevice;
    auto* handle = new Handle;
    handle->generation = generation;
    handle->commands = std::make_unique<PlaybackCommands>(info.tags, [](uint16_t* w) { player().words(w); });
    *out = handle;
    return 0;
}

void print_diag(void* handle, FILE* stream)
{
    ombrix_recording_info info{};
    if (handle && stream && player().info(&info))
        std::fprintf(stream, "playback of a recording: %d x %d, %d frames, %lld ms\n", info.width, info.height,
                     info.frames, static_cast<long long>(info.duration_ms));
}

int get_stream_ctrl(void* h, int format, int width, int height, int /*fps: the recording's own pace*/)
{
    auto* handle = static_cast<Handle*>(h);
    ombrix_recording_info info{};
    if (!handle)
        return kUvcInvalidParam;
    if (!player().alive(handle->generation) || !player().info(&info))
        return kUvcNoDevice;
    if ((format != DOZAZUVA_FORMAT_ANY && format != DOZAZUVA_FORMAT_YUYV) || width != info.width ||
        (height != info.height && height != 2 * info.height))
        return kUvcInvalidMode;
    handle->height = height;
    return 0;
}

int start_streaming(void* h, dozazuva_frame_fn on_frame, void* user)
{
    auto* handle = static_cast<Handle*>(h);
    if (!handle || !on_frame)
        return kUvcInvalidParam;
    if (!player().alive(handle->generation))
        return kUvcNoDevice;
    if (handle->height == 0)
        return kUvcInvalidMode;
    if (handle->stream.joinable())
        return kUvcBusy;
    handle->stop = false;
    handle->stream = std::thread([handle, on_frame, user] { player().stream(*handle, on_frame, user); });
    return 0;
}

void stop_streaming(void* h, int /*keep_interface*/)
{
    if (h)
        stop_stream(static_cast<Handle*>(h));
}

int control_transfer(void* h, uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                     uint8_t* data, uint16_t length, unsigned int /*timeout_ms: answered at once*/)
{
    auto* handle = static_cast<Handle*>(h);
    if (!handle)
        return kUvcInvalidParam;
    if (!player().alive(handle->generation))
        return kUsbNoDevice;
    return handle->commands->control_transfer(request_type, request, value, index, data, length);
}

const dozazuva_backend kTable = {
    DOZAZUVA_BACKEND_ABI,
    "ombrix recording playback",
    init,
    exit_context,
    get_device_list,
    free_device_list,
    ref_device,
    unref_device,
    get_device_descriptor,
    free_device_descriptor,
    get_frame_descs,
    open_device,
    print_diag,
    get_stream_ctrl,
    start_streaming,
    stop_streaming,
    close_handle,
    control_transfer,
};

}  // namespace

extern "C" {

const struct dozazuva_backend* ombrix_playback_backend(void) { return &kTable; }

int ombrix_playback_select(const char* path)
{
    const int result = player().select(path);
    if (result == 0)
        dozazuva_use_backend(&kTable);
    return result;
}

void ombrix_playback_deselect(void)
{
    dozazuva_use_backend(nullptr);
    player().deselect();
}

int ombrix_playback_set_playing(int playing) { return player().set_playing(playing != 0); }
int ombrix_playback_seek(int index) { return player().seek(index, false); }
int ombrix_playback_step(int frames) { return player().seek(frames, true); }

int ombrix_playback_state_get(ombrix_playback_state* out)
{
    return out ? player().state(out) : OMBRIX_REC_ERR_ARGUMENT;
}

int ombrix_playback_info_get(ombrix_recording_info* out)
{
    if (!out)
        return OMBRIX_REC_ERR_ARGUMENT;
    return player().info(out) ? 0 : OMBRIX_REC_ERR_STATE;
}

}  // extern "C"
