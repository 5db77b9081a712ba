// A process that never installed the vendor command transport: every
// command answers -13 and nothing reaches the device table.
#include "sim_fixture.h"

using namespace dztest;

namespace {

class NoTransportTest : public SimCameraTest {};

TEST_F(NoTransportTest, CommandsBeforeVdcmdInitReturnMinus13)
{
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    uint8_t header[16] = {0x14, 0x85};
    uint8_t buffer[8] = {};
    EXPECT_EQ(short_cmd_read(header, 4, buffer), -13);
    EXPECT_EQ(short_cmd_write(header, 4, buffer), -13);
    EXPECT_EQ(standard_cmd_read(header, 8, buffer), -13);
    EXPECT_EQ(standard_cmd_write(header, 8, buffer), -13);
    EXPECT_EQ(long_cmd_read(header, 5, 0, 0, 2, buffer), -13);
    EXPECT_EQ(long_cmd_write(header, 5, 0, 0, 0), -13);
    uint16_t gain = 0;
    EXPECT_EQ(get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), -13);
    EXPECT_EQ(spi_erase_sector(0x1000, 20), -13);
    EXPECT_TRUE(logged().empty());
}

}  // namespace
