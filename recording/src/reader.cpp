// The recording reader: checks that a file is one of our recordings, indexes
// its whole frames (both lossless halves present and decodable) and decodes
// any of them back into the camera frame it was.
#include "recording_internal.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <map>
#include <new>
#include <vector>

using namespace ombrix::recording;

struct ombrix_recording {
    ~ombrix_recording();
    int open(const char* path);
    int check_streams();
    int index_frames();
    int read(int index, uint8_t* frame);
    int seek_to(int index);
    int decode(int stream, const AVPacket* packet, uint8_t* out);

    AVFormatContext* format = nullptr;
    AVCodecContext* decoders[kStreamCount] = {};
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    ombrix_recording_info info{};
    std::vector<int64_t> times;  // pts of each whole frame, ms
    int next = -1;               // frame the demuxer stands before, -1 unknown
};

ombrix_recording::~ombrix_recording()
{
    for (AVCodecContext*& decoder : decoders)
        avcodec_free_context(&decoder);
    av_packet_free(&packet);
    av_frame_free(&decoded);
    avformat_close_input(&format);
}

int ombrix_recording::check_streams()
{
    if (format->nb_streams != kStreamCount || !read_tags(format->metadata, info.tags) ||
        info.tags.format_version < 1 || info.tags.format_version > OMBRIX_RECORDING_FORMAT_VERSION)
        return OMBRIX_REC_ERR_FORMAT;
    const AVCodecParameters* picture = format->streams[kPictureStream]->codecpar;
    const AVCodecParameters* words = format->streams[kWordsStream]->codecpar;
    if (picture->codec_id != AV_CODEC_ID_FFV1 || words->codec_id != AV_CODEC_ID_FFV1 ||
        picture->width != words->width || picture->height != words->height || picture->width <= 0 ||
        picture->height <= 0 || picture->width % 2 || picture->width > 4096 || picture->height > 4096)
        return OMBRIX_REC_ERR_FORMAT;
    info.width = picture->width;
    info.height = picture->height;
    for (int stream : {kPictureStream, kWordsStream}) {
        const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_FFV1);
        if (!codec)
            return OMBRIX_REC_ERR_CODEC;
        decoders[stream] = avcodec_alloc_context3(codec);
        if (!decoders[stream] ||
            avcodec_parameters_to_context(decoders[stream], format->streams[stream]->codecpar) < 0)
            return OMBRIX_REC_ERR_MEMORY;
        decoders[stream]->thread_count = 1;  // one packet in, its frame out
        if (avcodec_open2(decoders[stream], codec, nullptr) < 0)
            return OMBRIX_REC_ERR_FORMAT;
    }
    return 0;
}

// A whole frame has both lossless halves with the same time.
int ombrix_recording::index_frames()
{
    std::map<int64_t, int> halves;  // pts -> bit 1 picture, bit 2 words
    while (av_read_frame(format, packet) >= 0) {
        const int stream = packet->stream_index;
        if ((stream == kPictureStream || stream == kWordsStream) && packet->pts != AV_NOPTS_VALUE &&
            !(packet->flags & AV_PKT_FLAG_CORRUPT))
            halves[packet->pts] |= stream == kPictureStream ? 1 : 2;
        av_packet_unref(packet);
    }
    for (const auto& [pts, found] : halves)
        if (found == 3)
            times.push_back(pts);
    if (times.empty())
        return OMBRIX_REC_ERR_FORMAT;
    info.frames = int(times.size());
    info.duration_ms = times.back() - times.front();
    return 0;
}

int ombrix_recording::open(const char* path)
{
    quiet_ffmpeg_log();
    FILE* probe = fopen(path, "rb");
    if (!probe)
        return OMBRIX_REC_ERR_OPEN;
    fclose(probe);
    if (!(packet = av_packet_alloc()) || !(decoded = av_frame_alloc()))
        return OMBRIX_REC_ERR_MEMORY;
    const AVInputFormat* matroska = av_find_input_format("matroska");
    if (avformat_open_input(&format, path, matroska, nullptr) < 0)
        return OMBRIX_REC_ERR_FORMAT;
    const int checked = check_streams();
    return checked < 0 ? checked : index_frames();
}

int ombrix_recording::decode(int stream, const AVPacket* source, uint8_t* out)
{
    AVCodecContext* decoder = decoders[stream];
    if (avcodec_send_packet(decoder, source) < 0 || avcodec_receive_frame(decoder, decoded) < 0)
        return OMBRIX_REC_ERR_DECODE;
    const AVPixelFormat expected = stream == kPictureStream ? AV_PIX_FMT_YUV422P : AV_PIX_FMT_GRAY16LE;
    int result = 0;
    if (decoded->format != expected || decoded->width != info.width || decoded->height != info.height)
        result = OMBRIX_REC_ERR_DECODE;
    else if (stream == kPictureStream)
        planar_to_yuyv(decoded, info.width, info.height, out);
    else
        gray16_to_words(decoded, info.width, info.height, out + picture_bytes(info.width, info.height));
    av_frame_unref(decoded);
    return result;
}

int ombrix_recording::seek_to(int index)
{
    if (next == index)
        return 0;
    next = -1;
    // Every lossless frame is a key frame: any index entry of its stream will do.
    if (av_seek_frame(format, kPictureStream, times[index], AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return OMBRIX_REC_ERR_DECODE;
    for (AVCodecContext* decoder : decoders)
        if (decoder)
            avcodec_flush_buffers(decoder);
    return 0;
}

int ombrix_recording::read(int index, uint8_t* frame)
{
    if (seek_to(index) < 0)
        return OMBRIX_REC_ERR_DECODE;
    next = -1;
    const int64_t pts = times[index];
    int found = 0;
    while (found != 3 && av_read_frame(format, packet) >= 0) {
        const int stream = packet->stream_index;
        if ((stream == kPictureStream || stream == kWordsStream) && packet->pts == pts) {
            const int bit = stream == kPictureStream ? 1 : 2;
            if (!(found & bit) && decode(stream, packet, frame) < 0) {
                av_packet_unref(packet);
                return OMBRIX_REC_ERR_DECODE;
            }
            found |= bit;
        } else if (stream != kViewStream && packet->pts != AV_NOPTS_VALUE && packet->pts > pts) {
            av_packet_unref(packet);
            break;  // passed the frame without finding it whole
        }
        av_packet_unref(packet);
    }
    if (found != 3)
        return OMBRIX_REC_ERR_DECODE;
    next = index + 1;
    return 0;
}

namespace ombrix::recording {

int64_t frame_time_ms(const ombrix_recording* recording, int index)
{
    if (!recording || index < 0 || index >= int(recording->times.size()))
        return -1;
    return recording->times[index] - recording->times.front();
}

}  // namespace ombrix::recording

extern "C" {

int ombrix_recording_open(const char* path, ombrix_recording** out)
{
    if (!out)
        return OMBRIX_REC_ERR_ARGUMENT;
    *out = nullptr;
    if (!path || !*path)
        return OMBRIX_REC_ERR_ARGUMENT;
    auto* recording = new (std::nothrow) ombrix_recording;
    if (!recording)
        return OMBRIX_REC_ERR_MEMORY;
    const int result = recording->open(path);
    if (result < 0) {
        delete recording;
        return result;
    }
    *out = recording;
    return 0;
}

int ombrix_recording_info_get(const ombrix_recording* recording, ombrix_recording_info* out)
{
    if (!recording || !out)
        return OMBRIX_REC_ERR_ARGUMENT;
    *out = recording->info;
    return 0;
}

int ombrix_recording_read(ombrix_recording* recording, int index, uint8_t* frame, size_t bytes, int64_t* time_ms)
{
    if (!recording || !frame || index < 0 || index >= recording->info.frames)
        return OMBRIX_REC_ERR_ARGUMENT;
    if (bytes != frame_bytes(recording->info.width, recording->info.height))
        return OMBRIX_REC_ERR_FRAME_SIZE;
    const int result = recording->read(index, frame);
    if (result == 0 && time_ms)
        *time_ms = frame_time_ms(recording, index);
    return result;
}

void ombrix_recording_close(ombrix_recording* recording) { delete recording; }

}  // extern "C"
