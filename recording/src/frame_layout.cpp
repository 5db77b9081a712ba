// The camera frame's two halves as the planes the lossless streams keep, and
// the container tags. Every conversion here is exact both ways.
#include "recording_internal.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <cstring>
#include <ctime>
#include <locale>
#include <sstream>

namespace ombrix::recording {

void yuyv_to_planar(const uint8_t* yuyv, int width, int height, AVFrame* planar)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = yuyv + size_t(y) * width * 2;
        uint8_t* luma = planar->data[0] + size_t(y) * planar->linesize[0];
        uint8_t* u = planar->data[1] + size_t(y) * planar->linesize[1];
        uint8_t* v = planar->data[2] + size_t(y) * planar->linesize[2];
        for (int x = 0; x < width / 2; ++x, in += 4) {
            luma[2 * x] = in[0];
            u[x] = in[1];
            luma[2 * x + 1] = in[2];
            v[x] = in[3];
        }
    }
}

void planar_to_yuyv(const AVFrame* planar, int width, int height, uint8_t* yuyv)
{
    for (int y = 0; y < height; ++y) {
        uint8_t* out = yuyv + size_t(y) * width * 2;
        const uint8_t* luma = planar->data[0] + size_t(y) * planar->linesize[0];
        const uint8_t* u = planar->data[1] + size_t(y) * planar->linesize[1];
        const uint8_t* v = planar->data[2] + size_t(y) * planar->linesize[2];
        for (int x = 0; x < width / 2; ++x, out += 4) {
            out[0] = luma[2 * x];
            out[1] = u[x];
            out[2] = luma[2 * x + 1];
            out[3] = v[x];
        }
    }
}

// gray16le rows hold the words in the frame's own byte order: plain copies.
void words_to_gray16(const uint8_t* words, int width, int height, AVFrame* gray)
{
    for (int y = 0; y < height; ++y)
        std::memcpy(gray->data[0] + size_t(y) * gray->linesize[0], words + size_t(y) * width * 2, size_t(width) * 2);
}

void gray16_to_words(const AVFrame* gray, int width, int height, uint8_t* words)
{
    for (int y = 0; y < height; ++y)
        std::memcpy(words + size_t(y) * width * 2, gray->data[0] + size_t(y) * gray->linesize[0], size_t(width) * 2);
}

namespace {

template <typename T>
std::string c_locale_text(T value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(6);
    out << value;
    return out.str();
}

template <typename T>
bool c_locale_value(const char* text, T& value)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    T parsed{};
    in >> parsed;
    if (in.fail())
        return false;
    value = parsed;
    return true;
}

// ISO 8601 UTC with milliseconds, the way Matroska's own date reads.
std::string iso_time(int64_t ms)
{
    const time_t seconds = time_t(ms / 1000);
    struct tm utc {};
    gmtime_r(&seconds, &utc);
    char text[40];
    const size_t n = strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    snprintf(text + n, sizeof text - n, ".%03dZ", int(ms % 1000));
    return text;
}

int64_t parse_iso_time(const char* text)
{
    struct tm utc {};
    int millis = 0;
    if (sscanf(text, "%d-%d-%dT%d:%d:%d.%dZ", &utc.tm_year, &utc.tm_mon, &utc.tm_mday, &utc.tm_hour, &utc.tm_min,
               &utc.tm_sec, &millis) < 6)
        return 0;
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    return int64_t(timegm(&utc)) * 1000 + millis;
}

void copy_text(char* out, size_t size, const AVDictionary* metadata, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
    snprintf(out, size, "%s", entry ? entry->value : "");
}

const char* value_of(const AVDictionary* metadata, const char* key)
{
    const AVDictionaryEntry* entry = av_dict_get(metadata, key, nullptr, 0);
    return entry ? entry->value : "";
}

}  // namespace

void write_tags(const ombrix_recording_tags& tags, AVDictionary** metadata)
{
    av_dict_set(metadata, "SERIAL", tags.serial, 0);
    av_dict_set(metadata, "FIRMWARE", tags.firmware, 0);
    av_dict_set(metadata, "EMISSIVITY", c_locale_text(tags.emissivity).c_str(), 0);
    av_dict_set(metadata, "DISTANCE", c_locale_text(tags.distance_m).c_str(), 0);
    av_dict_set(metadata, "RANGE_MODE", tags.range_mode, 0);
    av_dict_set(metadata, "UNIT", tags.unit, 0);
    av_dict_set(metadata, "PALETTE", tags.palette, 0);
    av_dict_set(metadata, "ROTATION", c_locale_text(tags.rotation).c_str(), 0);
    av_dict_set(metadata, "START_TIME", iso_time(tags.start_time_ms).c_str(), 0);
    av_dict_set(metadata, "OMBRIX_FORMAT_VERSION", c_locale_text(OMBRIX_RECORDING_FORMAT_VERSION).c_str(), 0);
}

bool read_tags(const AVDictionary* metadata, ombrix_recording_tags& tags)
{
    tags = ombrix_recording_tags{};
    if (!c_locale_value(value_of(metadata, "OMBRIX_FORMAT_VERSION"), tags.format_version))
        return false;
    copy_text(tags.serial, sizeof tags.serial, metadata, "SERIAL");
    copy_text(tags.firmware, sizeof tags.firmware, metadata, "FIRMWARE");
    copy_text(tags.palette, sizeof tags.palette, metadata, "PALETTE");
    copy_text(tags.unit, sizeof tags.unit, metadata, "UNIT");
    copy_text(tags.range_mode, sizeof tags.range_mode, metadata, "RANGE_MODE");
    c_locale_value(value_of(metadata, "EMISSIVITY"), tags.emissivity);
    c_locale_value(value_of(metadata, "DISTANCE"), tags.distance_m);
    c_locale_value(value_of(metadata, "ROTATION"), tags.rotation);
    tags.start_time_ms = parse_iso_time(value_of(metadata, "START_TIME"));
    return true;
}

void quiet_ffmpeg_log()
{
    if (av_log_get_level() == AV_LOG_INFO)
        av_log_set_level(AV_LOG_FATAL);
}

}  // namespace ombrix::recording

extern "C" const char* ombrix_recording_error_text(int code)
{
    switch (code) {
    case 0: return "no error";
    case OMBRIX_REC_ERR_ARGUMENT: return "bad argument";
    case OMBRIX_REC_ERR_OPEN: return "the file cannot be opened or created";
    case OMBRIX_REC_ERR_FORMAT: return "not an Ombrix recording, or a damaged one";
    case OMBRIX_REC_ERR_FRAME_SIZE: return "frame of another size than the recording's";
    case OMBRIX_REC_ERR_WRITE: return "writing failed (disk full?); the file ends at its last whole frame";
    case OMBRIX_REC_ERR_DECODE: return "a frame of the recording cannot be decoded";
    case OMBRIX_REC_ERR_CODEC: return "the FFmpeg libraries lack a needed codec";
    case OMBRIX_REC_ERR_MEMORY: return "out of memory";
    case OMBRIX_REC_ERR_STATE: return "no recording selected";
    default: return "unknown error";
    }
}
