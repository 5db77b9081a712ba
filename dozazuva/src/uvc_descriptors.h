/* Reading the frame descriptors of a UVC device's first video-streaming
 * interface from its configuration descriptor (no device open needed). */
#ifndef DOZAZUVA_UVC_DESCRIPTORS_H
#define DOZAZUVA_UVC_DESCRIPTORS_H

#include "dozazuva_backend.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Walks the class-specific descriptors that follow a video-streaming
 * interface descriptor (`extra`, `length` bytes): format descriptors
 * (uncompressed, MJPEG, frame based) and, within each, its frame
 * descriptors, in order. Writes at most `max` records; returns how many.
 * Malformed descriptors end the walk; continuous frame intervals give an
 * empty interval list. */
int dozazuva_parse_streaming_descs(const unsigned char* extra, int length, dozazuva_frame_desc* descs, int max);

#ifdef __cplusplus
}
#endif

#endif
