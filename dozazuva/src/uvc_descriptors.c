#include "uvc_descriptors.h"

#include <string.h>

enum {
    CS_INTERFACE = 0x24,
    VS_FORMAT_UNCOMPRESSED = 0x04,
    VS_FRAME_UNCOMPRESSED = 0x05,
    VS_FORMAT_MJPEG = 0x06,
    VS_FRAME_MJPEG = 0x07,
    VS_FORMAT_FRAME_BASED = 0x10,
    VS_FRAME_FRAME_BASED = 0x11,
    GUID_OFFSET = 5,
    GUID_BYTES = 16,
    FRAME_HEADER_BYTES = 26 /* bytes before the first frame interval */
};

static uint16_t le16(const unsigned char* bytes)
{
    return (uint16_t)(bytes[0] | bytes[1] << 8);
}

static uint32_t le32(const unsigned char* bytes)
{
    return (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

/* Fills one record from a frame descriptor of `length` bytes. Returns 0, or
 * -1 for a descriptor too short for what it claims. */
static int parse_frame(const unsigned char* d, int length, const uint8_t guid[GUID_BYTES], dozazuva_frame_desc* out)
{
    if (length < FRAME_HEADER_BYTES)
        return -1;
    int frame_based = d[2] == VS_FRAME_FRAME_BASED;
    int type_offset = frame_based ? 21 : 25;
    int count = d[type_offset];
    if (count > 0 && length < FRAME_HEADER_BYTES + 4 * count)
        return -1;
    memset(out, 0, sizeof *out);
    memcpy(out->format_guid, guid, GUID_BYTES);
    out->width = le16(d + 5);
    out->height = le16(d + 7);
    out->max_frame_size = frame_based ? 0 : le32(d + 17);
    const int capacity = (int)(sizeof out->intervals / sizeof out->intervals[0]);
    int kept = count < capacity ? count : capacity;
    for (int i = 0; i < kept; ++i)
        out->intervals[i] = le32(d + FRAME_HEADER_BYTES + 4 * i);
    return 0;
}

int dozazuva_parse_streaming_descs(const unsigned char* extra, int length, dozazuva_frame_desc* descs, int max)
{
    uint8_t guid[GUID_BYTES];
    int have_format = 0;
    int written = 0;
    for (int at = 0; at + 3 <= length && written < max;) {
        const unsigned char* d = extra + at;
        int size = d[0];
        if (size < 3 || at + size > length)
            break;
        if (d[1] == CS_INTERFACE) {
            switch (d[2]) {
            case VS_FORMAT_UNCOMPRESSED:
            case VS_FORMAT_FRAME_BASED:
                if (size < GUID_OFFSET + GUID_BYTES)
                    return written;
                memcpy(guid, d + GUID_OFFSET, GUID_BYTES);
                have_format = 1;
                break;
            case VS_FORMAT_MJPEG:
                memset(guid, 0, sizeof guid);
                memcpy(guid, "MJPG", 4);
                have_format = 1;
                break;
            case VS_FRAME_UNCOMPRESSED:
            case VS_FRAME_MJPEG:
            case VS_FRAME_FRAME_BASED:
                if (have_format) {
                    if (parse_frame(d, size, guid, &descs[written]) < 0)
                        return written;
                    ++written;
                }
                break;
            default:
                break;
            }
        }
        at += size;
    }
    return written;
}
