// The recording writer: three encoders into one Matroska file, one cluster
// per frame, so the file can be cut back to its last whole frame whenever a
// write fails.
#include "recording_internal.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <csignal>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

using namespace ombrix::recording;

namespace {

constexpr AVRational kMillisecond{1, 1000};

struct Track {
    AVStream* stream = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
};

// The largest file size limit makes write(2) raise SIGXFSZ, which by default
// ends the process and the whole recording with it; ignored, the write fails
// with EFBIG and the file is finished at its last whole frame.
void ignore_file_size_signal()
{
    struct sigaction current {};
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        signal(SIGXFSZ, SIG_IGN);
}

// Black in limited-range YUV 4:2:0, the view before its first picture.
void fill_black(AVFrame* frame)
{
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane ? (frame->height + 1) / 2 : frame->height;
        std::memset(frame->data[plane], plane ? 128 : 16, size_t(frame->linesize[plane]) * rows);
    }
}

int64_t now_ms()
{
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

struct ombrix_recorder {
    ~ombrix_recorder();
    int open(const char* file, const ombrix_recorder_params& params);
    int write(int64_t time_ms, const uint8_t* frame, const uint8_t* view, int view_width, int view_height);
    int close();

    int add_track(Track& track, const AVCodec* codec, int width, int height, AVPixelFormat format,
                  AVDictionary** options, const char* title);
    int encode(Track& track, AVFrame* frame);
    int convert_view(const uint8_t* view, int view_width, int view_height);
    int end_frame();
    int fail(int code);

    std::string path;
    int width = 0, height = 0;
    AVFormatContext* format = nullptr;
    Track tracks[kStreamCount];
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    int64_t first_ms = -1, last_pts = -1;
    int64_t whole_bytes = 0;  // file size after the last whole frame
    int frames = 0;
    int error = 0;
    bool header_written = false;
};

ombrix_recorder::~ombrix_recorder()
{
    for (Track& track : tracks) {
        avcodec_free_context(&track.codec);
        av_frame_free(&track.frame);
    }
    av_packet_free(&packet);
    sws_freeContext(scaler);
    if (format) {
        avio_closep(&format->pb);
        avformat_free_context(format);
    }
}

int ombrix_recorder::add_track(Track& track, const AVCodec* codec, int w, int h, AVPixelFormat pixels,
                               AVDictionary** options, const char* title)
{
    track.stream = avformat_new_stream(format, nullptr);
    track.codec = avcodec_alloc_context3(codec);
    track.frame = av_frame_alloc();
    if (!track.stream || !track.codec || !track.frame)
        return OMBRIX_REC_ERR_MEMORY;
    track.codec->width = w;
    track.codec->height = h;
    track.codec->pix_fmt = pixels;
    track.codec->time_base = kMillisecond;
    track.codec->thread_count = 1;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        track.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(track.codec, codec, options);
    av_dict_free(options);
    if (opened < 0)
        return OMBRIX_REC_ERR_CODEC;
    if (avcodec_parameters_from_context(track.stream->codecpar, track.codec) < 0)
        return OMBRIX_REC_ERR_MEMORY;
    track.stream->time_base = kMillisecond;
    av_dict_set(&track.stream->metadata, "title", title, 0);
    track.frame->width = w;
    track.frame->height = h;
    track.frame->format = pixels;
    return av_frame_get_buffer(track.frame, 0) < 0 ? OMBRIX_REC_ERR_MEMORY : 0;
}

int ombrix_recorder::open(const char* file, const ombrix_recorder_params& params)
{
    quiet_ffmpeg_log();
    path = file;
    width = params.width;
    height = params.height;
    if (avformat_alloc_output_context2(&format, nullptr, "matroska", file) < 0 || !(packet = av_packet_alloc()))
        return OMBRIX_REC_ERR_MEMORY;

    const AVCodec* ffv1 = avcodec_find_encoder(AV_CODEC_ID_FFV1);
    if (!ffv1)
        return OMBRIX_REC_ERR_CODEC;
    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    AVDictionary* options = nullptr;
    if (h264) {
        // The quickest preset: a 256 x 192 picture at this rate looks the same,
        // and recording must stay a small share of one core.
        av_dict_set(&options, "preset", "ultrafast", 0);
        av_dict_set(&options, "tune", "zerolatency", 0);  // no frame delay, no B-frames
        av_dict_set(&options, "crf", "23", 0);
    }
    // Even sizes: 4:2:0 halves both.
    int result = add_track(tracks[kViewStream], h264 ? h264 : ffv1, (params.view_width + 1) & ~1,
                           (params.view_height + 1) & ~1, AV_PIX_FMT_YUV420P, &options, "view");
    if (result == 0 && h264)
        tracks[kViewStream].codec->gop_size = 50;
    // Every lossless frame a key frame, so any frame can be read alone. One
    // slice, the small context model and tuned state tables compress the
    // module's noisy halves best (a minute of the simulated scene: 60 MB
    // against 65 MB with the encoder's defaults); no slice checksums, as a
    // damaged slice is concealed by the decoder either way.
    auto lossless_options = [] {
        AVDictionary* o = nullptr;
        av_dict_set(&o, "level", "3", 0);
        av_dict_set(&o, "coder", "range_tab", 0);
        av_dict_set(&o, "context", "0", 0);
        av_dict_set(&o, "slices", "1", 0);
        av_dict_set(&o, "slicecrc", "0", 0);
        av_dict_set(&o, "g", "1", 0);
        return o;
    };
    AVDictionary* picture_options = lossless_options();
    if (result == 0)
        result = add_track(tracks[kPictureStream], ffv1, width, height, AV_PIX_FMT_YUV422P, &picture_options,
                           "picture");
    AVDictionary* words_options = lossless_options();
    if (result == 0)
        result = add_track(tracks[kWordsStream], ffv1, width, height, AV_PIX_FMT_GRAY16LE, &words_options,
                           "temperature words (1/64 K)");
    av_dict_free(&picture_options);
    av_dict_free(&words_options);
    if (result < 0)
        return result;

    ombrix_recording_tags tags = params.tags;
    if (tags.start_time_ms <= 0)
        tags.start_time_ms = now_ms();
    write_tags(tags, &format->metadata);
    fill_black(tracks[kViewStream].frame);

    ignore_file_size_signal();
    if (avio_open(&format->pb, file, AVIO_FLAG_WRITE) < 0)
        return OMBRIX_REC_ERR_OPEN;
    if (avformat_write_header(format, nullptr) < 0)
        return OMBRIX_REC_ERR_WRITE;
    header_written = true;
    avio_flush(format->pb);
    if (format->pb->error)
        return OMBRIX_REC_ERR_WRITE;
    whole_bytes = avio_tell(format->pb);
    return 0;
}

int ombrix_recorder::convert_view(const uint8_t* view, int view_width, int view_height)
{
    AVFrame* out = tracks[kViewStream].frame;
    scaler = sws_getCachedContext(scaler, view_width, view_height, AV_PIX_FMT_RGB24, out->width, out->height,
                                  AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler)
        return OMBRIX_REC_ERR_MEMORY;
    const uint8_t* rows[1] = {view};
    const int stride[1] = {view_width * 3};
    sws_scale(scaler, rows, stride, 0, view_height, out->data, out->linesize);
    return 0;
}

// `frame` null drains the encoder.
int ombrix_recorder::encode(Track& track, AVFrame* frame)
{
    if (avcodec_send_frame(track.codec, frame) < 0)
        return OMBRIX_REC_ERR_CODEC;
    int result;
    while ((result = avcodec_receive_packet(track.codec, packet)) == 0) {
        packet->stream_index = track.stream->index;
        av_packet_rescale_ts(packet, track.codec->time_base, track.stream->time_base);
        if (av_write_frame(format, packet) < 0) {
            av_packet_unref(packet);
            return OMBRIX_REC_ERR_WRITE;
        }
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF ? 0 : OMBRIX_REC_ERR_CODEC;
}

// Closes the frame's cluster and pushes it to the file.
int ombrix_recorder::end_frame()
{
    if (av_write_frame(format, nullptr) < 0)
        return OMBRIX_REC_ERR_WRITE;
    avio_flush(format->pb);
    if (format->pb->error)
        return OMBRIX_REC_ERR_WRITE;
    whole_bytes = avio_tell(format->pb);
    ++frames;
    return 0;
}

int ombrix_recorder::fail(int code)
{
    if (!error)
        error = code;
    return code;
}

int ombrix_recorder::write(int64_t time_ms, const uint8_t* frame, const uint8_t* view, int view_width,
                           int view_height)
{
    if (error)
        return error;
    if (first_ms < 0)
        first_ms = time_ms;
    int64_t pts = time_ms - first_ms;
    if (pts <= last_pts)
        pts = last_pts + 1;
    if (view) {
        const int converted = convert_view(view, view_width, view_height);
        if (converted < 0)
            return converted;
    }
    for (Track& track : tracks)
        if (av_frame_make_writable(track.frame) < 0)
            return fail(OMBRIX_REC_ERR_MEMORY);
    yuyv_to_planar(frame, width, height, tracks[kPictureStream].frame);
    words_to_gray16(frame + picture_bytes(width, height), width, height, tracks[kWordsStream].frame);
    for (Track& track : tracks) {
        track.frame->pts = pts;
        const int encoded = encode(track, track.frame);
        if (encoded < 0)
            return fail(encoded);
    }
    const int ended = end_frame();
    if (ended < 0)
        return fail(ended);
    last_pts = pts;
    return 0;
}

int ombrix_recorder::close()
{
    if (!error) {
        for (Track& track : tracks)
            if (!error)
                error = encode(track, nullptr);
        if (!error && av_write_trailer(format) < 0)
            error = OMBRIX_REC_ERR_WRITE;
    }
    if (avio_closep(&format->pb) < 0 && !error)
        error = OMBRIX_REC_ERR_WRITE;
    // Whatever a failed write left behind the last whole frame goes; the
    // segment's size is still open there, so players read up to it.
    if (error && header_written && truncate(path.c_str(), whole_bytes) != 0)
        return error;
    return error;
}

extern "C" {

int ombrix_recorder_open(const char* path, const ombrix_recorder_params* params, ombrix_recorder** out)
{
    if (!out)
        return OMBRIX_REC_ERR_ARGUMENT;
    *out = nullptr;
    if (!path || !*path || !params || params->width <= 0 || params->height <= 0 || params->width % 2 ||
        params->width > 4096 || params->height > 4096 || params->view_width <= 0 || params->view_height <= 0 ||
        params->view_width > 8192 || params->view_height > 8192)
        return OMBRIX_REC_ERR_ARGUMENT;
    auto* recorder = new (std::nothrow) ombrix_recorder;
    if (!recorder)
        return OMBRIX_REC_ERR_MEMORY;
    const int result = recorder->open(path, *params);
    if (result < 0) {
        const bool created = recorder->format && recorder->format->pb;
        delete recorder;
        if (created)
            unlink(path);  // a file without a whole header holds nothing worth keeping
        return result;
    }
    *out = recorder;
    return 0;
}

int ombrix_recorder_write(ombrix_recorder* recorder, int64_t time_ms, const uint8_t* frame, size_t frame_bytes_,
                          const uint8_t* view, int view_width, int view_height)
{
    if (!recorder || !frame)
        return OMBRIX_REC_ERR_ARGUMENT;
    if (frame_bytes_ != frame_bytes(recorder->width, recorder->height))
        return OMBRIX_REC_ERR_FRAME_SIZE;
    if (view && (view_width <= 0 || view_height <= 0 || view_width > 8192 || view_height > 8192))
        return OMBRIX_REC_ERR_ARGUMENT;
    return recorder->write(time_ms, frame, view, view_width, view_height);
}

int ombrix_recorder_frames(const ombrix_recorder* recorder)
{
    return recorder ? recorder->frames : OMBRIX_REC_ERR_ARGUMENT;
}

int ombrix_recorder_close(ombrix_recorder* recorder)
{
    if (!recorder)
        return 0;
    const int result = recorder->close();
    delete recorder;
    return result;
}

}  // extern "C"
