/* Command level of the vendor command transport: short (4-byte header),
 * standard (8-byte header, data in 256-byte chunks) and long (16-byte
 * header, reply up to 248 bytes) commands, each whole under the transport
 * mutex. */
#include "dozazuva_internal.h"

#include <string.h>

#define PATH "dozazuva/src/vdcmd"

enum {
    HEADER_COMMIT = 0x1D00,
    SHORT_DATA_COMMIT = 0x1D04,
    STANDARD_DATA_COMMIT = 0x1D08, /* also long header bytes 8 to 15 */
    LONG_REPLY = 0x1D10,
    HEADER_STAGED = 0x9D00,
    SHORT_DATA_STAGED = 0x9D04,
    STANDARD_DATA_STAGED = 0x9D08,
    CHUNK_BYTES = 256,
    PIECE_BYTES = 64,
    COMMIT_TAIL_BYTES = 8,
    SHORT_PIECE_BYTES = 63,
    SHORT_COMMIT_TAIL_BYTES = 4,
    LONG_REPLY_MAX = 248
};

#define bad_parameter() (DZ_ERROR(PATH, "parameter error\n"), DOZAZUVA_ERR_PARAM)

/* ---- short commands ---- */

static int short_read_locked(const char* fn, const dozazuva_transport* t, const uint8_t* header, uint8_t length, uint8_t* out)
{
    uint8_t frame[4];
    memcpy(frame, header, sizeof frame);
    while (length > 0) {
        uint8_t n = length < SHORT_PIECE_BYTES ? length : SHORT_PIECE_BYTES;
        int result = t->write(t->write_request, t->write_value, HEADER_COMMIT, sizeof frame, frame);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "short command read:send write cmd failed\n");
            return result;
        }
        result = t->read(t->read_request, t->read_value, SHORT_DATA_COMMIT, n, out);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "short command read:read buffer failed!\n");
            return result;
        }
        out += n;
        length -= n;
    }
    return 0;
}

int short_cmd_read(uint8_t* header, uint8_t length, uint8_t* out)
{
    if (!header || (length > 0 && !out))
        return bad_parameter();
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = short_read_locked(__func__, &t, header, length, out);
    dozazuva_transport_unlock();
    return result;
}

/* Data beyond 4 bytes: the head staged in pieces, the 4-byte tail committed
 * at its own offset, as the standard write does. */
static int short_write_data(const char* fn, const dozazuva_transport* t, uint8_t length, uint8_t* data)
{
    int head = length > SHORT_COMMIT_TAIL_BYTES ? length - SHORT_COMMIT_TAIL_BYTES : 0;
    for (int o = 0; o < head; o += PIECE_BYTES) {
        int n = head - o < PIECE_BYTES ? head - o : PIECE_BYTES;
        int result =
            t->write(t->write_request, t->write_value, (uint16_t)(SHORT_DATA_STAGED + o), (uint16_t)n, data + o);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "short command write:write buffer failed\n");
            return result;
        }
    }
    int result = t->write(t->write_request, t->write_value, (uint16_t)(SHORT_DATA_COMMIT + head),
                          (uint16_t)(length - head), data + head);
    if (result < 0)
        DZ_ERROR_IN(PATH, fn, "short command write:send write cmd failed\n");
    return result;
}

static int short_write_locked(const char* fn, const dozazuva_transport* t, const uint8_t* header, uint8_t length, uint8_t* data)
{
    uint8_t frame[8] = {0};
    memcpy(frame, header, 4);
    if (length == 0 || !data) {
        int result = t->write(t->write_request, t->write_value, HEADER_COMMIT, sizeof frame, frame);
        if (result < 0)
            DZ_ERROR_IN(PATH, fn, "short command write:send write cmd failed\n");
        return result;
    }
    int result = t->write(t->write_request, t->write_value, HEADER_COMMIT, 4, frame);
    if (result < 0) {
        DZ_ERROR_IN(PATH, fn, "short command write:send write cmd failed\n");
        return result;
    }
    return short_write_data(fn, t, length, data);
}

int short_cmd_write(uint8_t* header, uint8_t length, uint8_t* data)
{
    if (!header)
        return bad_parameter();
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = short_write_locked(__func__, &t, header, length, data);
    dozazuva_transport_unlock();
    return result;
}

/* ---- standard commands ---- */

static int standard_read_locked(const char* fn, const dozazuva_transport* t, const uint8_t* header, uint16_t length, uint8_t* out)
{
    uint8_t frame[8];
    memcpy(frame, header, sizeof frame);
    uint32_t address = dz_get_be32(frame + 2);
    while (length > 0) {
        uint16_t n = length < CHUNK_BYTES ? length : CHUNK_BYTES;
        dz_put_be32(frame + 2, address);
        dz_put_be16(frame + 6, n);
        int result = t->write(t->write_request, t->write_value, HEADER_COMMIT, sizeof frame, frame);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "standard command read:send write cmd failed\n");
            return result;
        }
        result = t->read(t->read_request, t->read_value, STANDARD_DATA_COMMIT, n, out);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "standard command read:read buffer failed!\n");
            return result;
        }
        address += n;
        out += n;
        length -= n;
    }
    return 0;
}

int standard_cmd_read(uint8_t* header, uint16_t length, uint8_t* out)
{
    if (!header || (length > 0 && !out))
        return bad_parameter();
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = standard_read_locked(__func__, &t, header, length, out);
    dozazuva_transport_unlock();
    return result;
}

/* One chunk's data: 64-byte pieces staged; the last piece's final 8 bytes
 * (or all of it, when 8 or fewer) committed at the matching offset. */
static int standard_write_chunk(const char* fn, const dozazuva_transport* t, uint16_t n, uint8_t* data)
{
    uint16_t o = 0;
    while (n - o > PIECE_BYTES) {
        int result =
            t->write(t->write_request, t->write_value, (uint16_t)(STANDARD_DATA_STAGED + o), PIECE_BYTES, data + o);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "standard command write:write buffer failed\n");
            return result;
        }
        o += PIECE_BYTES;
    }
    uint16_t p = n - o;
    if (p > COMMIT_TAIL_BYTES) {
        int result = t->write(t->write_request, t->write_value, (uint16_t)(STANDARD_DATA_STAGED + o),
                              (uint16_t)(p - COMMIT_TAIL_BYTES), data + o);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "standard command write:write buffer failed\n");
            return result;
        }
        o += p - COMMIT_TAIL_BYTES;
        p = COMMIT_TAIL_BYTES;
    }
    int result = t->write(t->write_request, t->write_value, (uint16_t)(STANDARD_DATA_COMMIT + o), p, data + o);
    if (result < 0)
        DZ_ERROR_IN(PATH, fn, "standard command write:send write cmd failed\n");
    return result;
}

static int standard_write_locked(const char* fn, const dozazuva_transport* t, const uint8_t* header, uint16_t length,
                                 uint8_t* data)
{
    uint8_t frame[8];
    memcpy(frame, header, sizeof frame);
    if (length == 0 || !data) {
        int result = t->write(t->write_request, t->write_value, HEADER_COMMIT, sizeof frame, frame);
        if (result < 0)
            DZ_ERROR_IN(PATH, fn, "standard command write:send write cmd failed\n");
        return result;
    }
    uint32_t address = dz_get_be32(frame + 2);
    while (length > 0) {
        uint16_t n = length < CHUNK_BYTES ? length : CHUNK_BYTES;
        dz_put_be32(frame + 2, address);
        dz_put_be16(frame + 6, n);
        int result = t->write(t->write_request, t->write_value, HEADER_STAGED, sizeof frame, frame);
        if (result < 0) {
            DZ_ERROR_IN(PATH, fn, "standard command write:send write cmd failed\n");
            return result;
        }
        result = standard_write_chunk(fn, t, n, data);
        if (result < 0)
            return result;
        address += n;
        data += n;
        length -= n;
    }
    return 0;
}

int standard_cmd_write(uint8_t* header, uint16_t length, uint8_t* data)
{
    if (!header)
        return bad_parameter();
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = standard_write_locked(__func__, &t, header, length, data);
    dozazuva_transport_unlock();
    return result;
}

/* ---- long commands ---- */

static void fill_long_header(uint8_t frame[16], const uint8_t* header, uint16_t p1, uint32_t p2, uint32_t p3,
                             uint32_t length)
{
    memcpy(frame, header, 16);
    dz_put_be16(frame + 2, p1);
    dz_put_be32(frame + 4, p2);
    dz_put_be32(frame + 8, p3);
    if (length != 0)
        dz_put_be32(frame + 12, length);
}

int long_cmd_read(uint8_t* header, uint16_t p1, uint32_t p2, uint32_t p3, int length, uint8_t* out)
{
    if (length < 0 || length > LONG_REPLY_MAX) {
        DZ_ERROR(PATH, "data length out of the limitation\n");
        return DOZAZUVA_ERR_LONG_LENGTH;
    }
    if (!header || (length > 0 && !out))
        return bad_parameter();
    uint8_t frame[16];
    fill_long_header(frame, header, p1, p2, p3, (uint32_t)length);
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = t.write(t.write_request, t.write_value, HEADER_STAGED, 8, frame);
    if (result < 0) {
        DZ_ERROR(PATH, "long command read:write buffer failed!\n");
    } else if ((result = t.write(t.write_request, t.write_value, STANDARD_DATA_COMMIT, 8, frame + 8)) < 0) {
        DZ_ERROR(PATH, "long command read:send write cmd failed!\n");
    } else if (length > 0 &&
               (result = t.read(t.read_request, t.read_value, LONG_REPLY, (uint16_t)length, out)) < 0) {
        DZ_ERROR(PATH, "long command read:read buffer failed!\n");
    }
    dozazuva_transport_unlock();
    return result;
}

int long_cmd_write(uint8_t* header, uint16_t p1, uint32_t p2, uint32_t p3, uint32_t length)
{
    if (!header)
        return bad_parameter();
    uint8_t frame[16];
    fill_long_header(frame, header, p1, p2, p3, length);
    dozazuva_transport t;
    int result = dozazuva_transport_lock(&t);
    if (result < 0)
        return result;
    result = t.write(t.write_request, t.write_value, HEADER_STAGED, 8, frame);
    if (result >= 0)
        result = t.write(t.write_request, t.write_value, STANDARD_DATA_COMMIT, 8, frame + 8);
    if (result < 0)
        DZ_ERROR(PATH, "long command write failed!\n");
    dozazuva_transport_unlock();
    return result;
}
