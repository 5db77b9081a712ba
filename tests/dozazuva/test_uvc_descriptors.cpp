// Reading frame descriptors from a video-streaming interface's
// class-specific descriptor bytes (the libuvc table's path to the frame
// records of a device that is not open).
#include "uvc_descriptors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void put_le(std::vector<uint8_t>& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> input_header()
{
    return {14, 0x24, 0x01, 1, 0, 0, 0x81, 0, 1, 0, 0, 0, 1, 0};
}

std::vector<uint8_t> uncompressed_format(const char fourcc[4], uint8_t frames)
{
    std::vector<uint8_t> d = {27, 0x24, 0x04, 1, frames};
    const uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    for (int i = 0; i < 4; ++i)
        d.push_back(static_cast<uint8_t>(fourcc[i]));
    d.insert(d.end(), tail, tail + 12);
    d.insert(d.end(), {16, 1, 0, 0, 0, 0});
    return d;
}

std::vector<uint8_t> frame(uint8_t subtype, uint16_t width, uint16_t height, std::vector<uint32_t> intervals)
{
    std::vector<uint8_t> d = {0, 0x24, subtype, 1, 0};
    put_le(d, width, 2);
    put_le(d, height, 2);
    put_le(d, 1000, 4);                      // min bit rate
    put_le(d, 2000, 4);                      // max bit rate
    put_le(d, width * height * 2u, 4);       // max frame buffer size
    put_le(d, intervals.empty() ? 0 : intervals[0], 4);
    d.push_back(static_cast<uint8_t>(intervals.size()));
    for (uint32_t interval : intervals)
        put_le(d, interval, 4);
    d[0] = static_cast<uint8_t>(d.size());
    return d;
}

std::vector<uint8_t> join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(UvcDescriptors, FramesOfEveryFormatInDescriptorOrder)
{
    std::vector<uint8_t> mjpeg_format = {11, 0x24, 0x06, 2, 1, 1, 1, 0, 0, 0, 0};
    std::vector<uint8_t> bytes = join({input_header(), uncompressed_format("YUY2", 2),
                                       frame(0x05, 256, 192, {400000}), frame(0x05, 256, 384, {400000, 1000000}),
                                       mjpeg_format, frame(0x07, 640, 480, {333333})});
    dozazuva_frame_desc descs[8] = {};
    ASSERT_EQ(dozazuva_parse_streaming_descs(bytes.data(), static_cast<int>(bytes.size()), descs, 8), 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(descs[0].format_guid), "YUY2");
    EXPECT_EQ(descs[0].width, 256u);
    EXPECT_EQ(descs[0].height, 192u);
    EXPECT_EQ(descs[1].height, 384u);
    EXPECT_EQ(descs[1].max_frame_size, 196608u);
    EXPECT_EQ(descs[1].intervals[0], 400000u);
    EXPECT_EQ(descs[1].intervals[1], 1000000u);
    EXPECT_EQ(descs[1].intervals[2], 0u);
    EXPECT_EQ(std::memcmp(descs[2].format_guid, "MJPG", 4), 0);
    EXPECT_EQ(descs[2].width, 640u);
    EXPECT_EQ(dozazuva_parse_streaming_descs(bytes.data(), static_cast<int>(bytes.size()), descs, 1), 1)
        << "no more than the room given";
}

int parse(const std::vector<uint8_t>& bytes, dozazuva_frame_desc* descs)
{
    return dozazuva_parse_streaming_descs(bytes.data(), static_cast<int>(bytes.size()), descs, 4);
}

TEST(UvcDescriptors, MalformedBytesEndTheWalkSafely)
{
    const std::vector<uint8_t> good = join({uncompressed_format("YUY2", 1), frame(0x05, 256, 192, {400000})});
    std::vector<uint8_t> lying = frame(0x05, 256, 384, {400000});
    lying[25] = 9;  // claims more intervals than its length holds
    struct Case { const char* name; std::vector<uint8_t> bytes; int frames; };
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

TEST(UvcDescriptors, ContinuousIntervalsGiveNoRates)
{
    std::vector<uint8_t> continuous = frame(0x05, 256, 192, {});
    for (uint32_t value : {333333, 1000000, 333333})  // minimum, maximum, step
        put_le(continuous, value, 4);
    continuous[0] = static_cast<uint8_t>(continuous.size());
    dozazuva_frame_desc descs[4] = {};
    ASSERT_EQ(parse(join({uncompressed_format("YUY2", 1), continuous}), descs), 1);
    EXPECT_EQ(descs[0].intervals[0], 0u);
}

}  // namespace
