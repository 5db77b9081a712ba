// The vendor command transport on the wire: frame addresses, chunking, the
// status poll and argument checks.
#include "sim_fixture.h"

#include <functional>
#include <numeric>

using namespace dztest;

namespace {

std::vector<uint8_t> counting(size_t count, uint8_t first = 0)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t from, size_t count)
{
    return std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + from + count);
}

// The module answers done at the first status poll.
class TransportTest : public OpenCameraTest {
protected:
    void SetUp() override
    {
        OpenCameraTest::SetUp();
        ombrix_sim_set_busy_polls(0);
    }
};

// How the transport frames data, with every transfer and status poll; the
// command tests cover the headers of whole commands.
TEST_F(TransportTest, DataIsFramedAtExactAddresses)
{
    std::vector<uint8_t> d100 = counting(100), d300 = counting(300), d10 = counting(10, 1);
    struct Framed { const char* name; std::function<int()> send; std::vector<Wire> wire; };
    const Framed cases[] = {
        {"standard write of 100 stages and commits the tail",
         [&] { uint8_t h[8] = {0x01, 0xC2, 0x00, 0x00, 0x20, 0x00}; return standard_cmd_write(h, 100, d100.data()); },
         {out(0x9D00, {0x01, 0xC2, 0x00, 0x00, 0x20, 0x00, 0x00, 0x64}), out(0x9D08, slice(d100, 0, 64)),
          out(0x9D48, slice(d100, 64, 28)), out(0x1D64, slice(d100, 92, 8)), status()}},
        {"standard write of 300 is a 256 chunk then a 44 chunk",
         [&] { uint8_t h[8] = {0x01, 0xC2, 0x00, 0x00, 0x10, 0x00}; return standard_cmd_write(h, 300, d300.data()); },
         {out(0x9D00, {0x01, 0xC2, 0x00, 0x00, 0x10, 0x00, 0x01, 0x00}), out(0x9D08, slice(d300, 0, 64)),
          out(0x9D48, slice(d300, 64, 64)), out(0x9D88, slice(d300, 128, 64)), out(0x9DC8, slice(d300, 192, 56)),
          out(0x1E00, slice(d300, 248, 8)), status(),
          out(0x9D00, {0x01, 0xC2, 0x00, 0x00, 0x11, 0x00, 0x00, 0x2C}), out(0x9D08, slice(d300, 256, 36)),
          out(0x1D2C, slice(d300, 292, 8)), status()}},
        {"standard read polls before each chunk",
         [] { uint8_t h[8] = {0x01, 0x82, 0x00, 0x00, 0x10, 0x00}, r[300]; return standard_cmd_read(h, 300, r); },
         {out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x10, 0x00, 0x01, 0x00}), status(), in(0x1D08, 256),
          out(0x1D00, {0x01, 0x82, 0x00, 0x00, 0x11, 0x00, 0x00, 0x2C}), status(), in(0x1D08, 44)}},
        {"short read repeats the header per 63-byte piece",
         [] { uint8_t h[4] = {0x80, 100, 0x12, 0x34}, r[100]; return short_cmd_read(h, 100, r); },
         {out(0x1D00, {0x80, 100, 0x12, 0x34}), status(), in(0x1D04, 63), out(0x1D00, {0x80, 100, 0x12, 0x34}),
          status(), in(0x1D04, 37)}},
        {"short write without data is an 8-byte frame",
         [] { uint8_t h[4] = {0x81, 0, 0x12, 0x34}; return short_cmd_write(h, 0, nullptr); },
         {out(0x1D00, {0x81, 0, 0x12, 0x34, 0, 0, 0, 0}), status()}},
        {"short write of 10 stages then commits",
         [&] { uint8_t h[4] = {0x81, 10, 0x12, 0x34}; return short_cmd_write(h, 10, d10.data()); },
         {out(0x1D00, {0x81, 10, 0x12, 0x34}), status(), out(0x9D04, {1, 2, 3, 4, 5, 6}), out(0x1D0A, {7, 8, 9, 10}),
          status()}},
        {"staged writes are not polled",
         [&] { return i2c_usb_data_write(0x45, 0x78, 0x9D08, 4, d10.data()); }, {out(0x9D08, {1, 2, 3, 4})}},
    };
    for (const Framed& c : cases) {
        ombrix_sim_wire_clear();
        c.send();
        EXPECT_EQ(logged(), c.wire) << c.name;
    }
}

// Refused: long reads over 248 bytes, commands without a header or buffer,
// register reads over 256 bytes and writes over 64.
TEST_F(TransportTest, RefusedCommandsAndTransfersSendNothing)
{
    uint8_t header[16] = {0x14, 0x85}, buffer[300];
    EXPECT_EQ(i2c_usb_data_read(0x44, 0x78, 0x1D08, 257, buffer), -1);
    EXPECT_EQ(i2c_usb_data_read(0x44, 0x78, 0x1D08, 0, buffer), -1);
    EXPECT_EQ(i2c_usb_data_read(0x44, 0x78, 0x1D08, 4, nullptr), -1);
    EXPECT_EQ(i2c_usb_data_write(0x45, 0x78, 0x9D08, 65, buffer), -1);
    EXPECT_EQ(long_cmd_read(header, 0, 0, 0, 249, buffer), -17);
    EXPECT_EQ(long_cmd_read(header, 0, 0, 0, -1, buffer), -17);
    EXPECT_EQ(short_cmd_read(nullptr, 4, buffer), -1);
    EXPECT_EQ(short_cmd_write(nullptr, 4, buffer), -1);
    EXPECT_EQ(standard_cmd_read(nullptr, 4, buffer), -1);
    EXPECT_EQ(standard_cmd_write(nullptr, 4, buffer), -1);
    EXPECT_EQ(long_cmd_read(nullptr, 0, 0, 0, 4, buffer), -1);
    EXPECT_EQ(long_cmd_write(nullptr, 0, 0, 0, 0), -1);
    EXPECT_EQ(standard_cmd_read(header, 4, nullptr), -1);
    EXPECT_TRUE(logged().empty());
    EXPECT_EQ(long_cmd_read(header, 0, 0, 0, 248, buffer), 0);
    EXPECT_EQ(logged().back(), in(0x1D10, 248));
    EXPECT_EQ(i2c_usb_data_read(0x44, 0x78, 0x1D08, 256, buffer), 0);
    EXPECT_EQ(i2c_usb_data_write(0x45, 0x78, 0x9D08, 64, buffer), 0);
}

struct PollCase {
    const char* name;
    unsigned busy_polls;  // status reads answered busy after the commit
    uint8_t busy;         // what they read
    bool stuck;           // busy for ever
    uint8_t error;        // the status the command ends with, or 0
    bool unplugged;
    int wait, result;     // vdcmd_set_polling_wait_time, i2c_usb_check_access_done
    size_t polls;
};

TEST_F(TransportTest, StatusPollEndsOnDoneOnAFailureOrWhenTheCountRunsOut)
{
    const PollCase cases[] = {
        {"pending keeps polling", 4, 0x02, false, 0, false, 2000, 0, 5},
        {"busy until the last allowed poll", 4, 0x01, false, 0, false, 5, 0, 5},
        {"stuck busy", 0, 0x01, true, 0, false, 5, -16, 5},
        {"failure status", 0, 0x01, false, 0x06, false, 5, -16, 1},
        {"failed status reads", 0, 0x01, false, 0, true, 3, -16, 3},
        {"count 0 allows 65536 polls", 300, 0x01, false, 0, false, 0x10000, 0, 301},
    };
    for (const PollCase& c : cases) {
        ombrix_sim_fault_clear();
        ombrix_sim_set_busy_polls(c.busy_polls);
        ombrix_sim_set_busy_status(c.busy);
        ombrix_sim_fault_stay_busy(c.stuck);
        if (c.error)
            ombrix_sim_fault_status_error(c.error, 1);
        uint8_t header[8] = {0x81, 0, 0x12, 0x34};  // a committing write makes the module busy
        ASSERT_EQ(uvc_control_cmd(0x41, 0x45, 0x78, 0x1D00, header, 8, 1000), 0);
        ombrix_sim_wire_clear();
        if (c.unplugged)
            ombrix_sim_fault_transfer_error(-4, -1);
        vdcmd_set_polling_wait_time(c.wait);
        EXPECT_EQ(i2c_usb_check_access_done(), c.result) << c.name;
        EXPECT_EQ(logged().size(), c.polls) << c.name;
    }
    ombrix_sim_fault_clear();
}

TEST_F(TransportTest, ShortTransfersAndAClosedCameraFailTheCommand)
{
    std::vector<uint8_t> buffer(300);
    ombrix_sim_fault_short_transfer(1);
    uint8_t header[8] = {0x05, 0x84, 0x05};
    EXPECT_EQ(standard_cmd_read(header, 8, buffer.data()), -15);
    EXPECT_EQ(logged().size(), 1u) << "nothing follows the cut header";

    // Only the USB transport installs; without an open device it fails.
    for (int type : {int(VDCMD_I2C), 0, 3})
        EXPECT_EQ(vdcmd_init_by_type(type), -14) << type;
    ASSERT_EQ(vdcmd_init_by_type(VDCMD_USB), 0);
    uvc_camera_close();
    EXPECT_EQ(standard_cmd_read(header, 8, buffer.data()), -15);
}

}  // namespace
