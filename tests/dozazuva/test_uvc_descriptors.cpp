// Frame descriptors read from a video-streaming interface's class-specific
// bytes: the libuvc table's frame records of a device that is not open.
#include "uvc_descriptors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put_le(Bytes& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An uncompressed YUY2 format descriptor announcing `frames` frames.
Bytes yuy2_format(uint8_t frames)
{
    return {27, 0x24, 0x04, 1, frames, 'Y', 'U', 'Y', '2', 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
            0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71, 16, 1, 0, 0, 0, 0};
}

// A frame descriptor with discrete `intervals` (none: a continuous range follows).
Bytes frame(uint8_t subtype, uint16_t width, uint16_t height, std::vector<uint32_t> intervals)
{
    Bytes d = {0, 0x24, subtype, 1, 0};
    put_le(d, width, 2);
    put_le(d, height, 2);
    for (uint32_t value : {1000u, 2000u, width * height * 2u, intervals.empty() ? 0 : intervals[0]})
        put_le(d, value, 4);  // bit rates, frame buffer size, default interval
    d.push_back(static_cast<uint8_t>(intervals.size()));
    for (uint32_t interval : intervals)
        put_le(d, interval, 4);
    d[0] = static_cast<uint8_t>(d.size());
    return d;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

int parse(const Bytes& bytes, dozazuva_frame_desc* descs, int room = 4)
{
    return dozazuva_parse_streaming_descs(bytes.data(), static_cast<int>(bytes.size()), descs, room);
}

TEST(UvcDescriptors, FramesOfEveryFormatInDescriptorOrder)
{
    const Bytes input_header = {14, 0x24, 0x01, 1, 0, 0, 0x81, 0, 1, 0, 0, 0, 1, 0};
    const Bytes mjpeg_format = {11, 0x24, 0x06, 2, 1, 1, 1, 0, 0, 0, 0};
    const Bytes bytes = join({input_header, yuy2_format(2), frame(0x05, 256, 192, {400000}),
                              frame(0x05, 256, 384, {400000, 1000000}), mjpeg_format, frame(0x07, 640, 480, {333333})});
    dozazuva_frame_desc descs[4] = {};
    ASSERT_EQ(parse(bytes, descs), 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(descs[0].format_guid), "YUY2");
    EXPECT_EQ(descs[0].height, 192u);
    EXPECT_EQ(descs[1].height, 384u);
    EXPECT_EQ(descs[1].max_frame_size, 196608u);
    EXPECT_EQ(std::vector<uint32_t>(descs[1].intervals, descs[1].intervals + 3),
              (std::vector<uint32_t>{400000, 1000000, 0}));
    EXPECT_EQ(std::memcmp(descs[2].format_guid, "MJPG", 4), 0);
    EXPECT_EQ(descs[2].width, 640u);
    EXPECT_EQ(parse(bytes, descs, 1), 1) << "no more than the room given";

    Bytes continuous = frame(0x05, 256, 192, {});
    for (uint32_t value : {333333, 1000000, 333333})  // minimum, maximum, step
        put_le(continuous, value, 4);
    continuous[0] = static_cast<uint8_t>(continuous.size());
    ASSERT_EQ(parse(join({yuy2_format(1), continuous}), descs), 1);
    EXPECT_EQ(descs[0].intervals[0], 0u) << "continuous intervals give no rates";
}

TEST(UvcDescriptors, MalformedBytesEndTheWalkSafely)
{
    const Bytes good = join({yuy2_format(1), frame(0x05, 256, 192, {400000})});
    Bytes lying = frame(0x05, 256, 384, {400000});
    lying[25] = 2;  // claims one interval more than its length holds
    struct Case { const char* name; Bytes bytes; int frames; };
    const Case cases[] = {
        {"a frame with too many intervals", join({good, lying}), 1},
        {"a descriptor running past the end", join({good, {40, 0x24, 0x05}}), 1},
        {"a descriptor of length 0", join({good, {0, 0, 0, 0}}), 1},
        {"a frame before any format", frame(0x05, 256, 192, {400000}), 0},
        {"nothing", {}, 0},
    };
    dozazuva_frame_desc descs[4] = {};
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.bytes, descs), c.frames) << c.name;
}

}  // namespace
