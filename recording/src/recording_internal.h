// What the writer, the reader and the playback device share: the camera
// frame's layout, the container's tag names and the reader's frame index.
#ifndef OMBRIX_RECORDING_INTERNAL_H
#define OMBRIX_RECORDING_INTERNAL_H

#include "ombrix_recording.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct AVFrame;
struct AVDictionary;

namespace ombrix::recording {

// Stream order in the file.
enum StreamIndex { kViewStream = 0, kPictureStream = 1, kWordsStream = 2, kStreamCount = 3 };

// A camera frame: width x height YUYV, then width x height 16-bit words.
inline size_t picture_bytes(int width, int height) { return size_t(width) * size_t(height) * 2; }
inline size_t frame_bytes(int width, int height) { return 2 * picture_bytes(width, height); }

// YUYV <-> the planar 4:2:2 frame FFV1 keeps (Y full width, U and V half).
void yuyv_to_planar(const uint8_t* yuyv, int width, int height, AVFrame* planar);
void planar_to_yuyv(const AVFrame* planar, int width, int height, uint8_t* yuyv);
// Little-endian words <-> a gray16le frame.
void words_to_gray16(const uint8_t* words, int width, int height, AVFrame* gray);
void gray16_to_words(const AVFrame* gray, int width, int height, uint8_t* words);

// Container tags; numbers always in the C locale.
void write_tags(const ombrix_recording_tags& tags, AVDictionary** metadata);
// False when the format version tag is missing (not one of our recordings).
bool read_tags(const AVDictionary* metadata, ombrix_recording_tags& tags);

// FFmpeg's own messages off unless the program chose a level: damaged files
// and full disks come back as our error codes, the encoders' chatter is no
// news to a viewer's user.
void quiet_ffmpeg_log();

// Time of frame `index` after the first, ms (the reader's index; -1 outside).
int64_t frame_time_ms(const ombrix_recording* recording, int index);

}  // namespace ombrix::recording

#endif
