// A process that never installed the vendor command transport: every
// command answers -13 and nothing reaches the device table.
#include "sim_fixture.h"

using namespace dztest;

namespace {

using NoTransportTest = SimCameraTest;

TEST_F(NoTransportTest, CommandsBeforeVdcmdInitReturnMinus13)
{
    camera_dev_t dev = camera_record();
    ASSERT_EQ(uvc_camera_open(&dev), 0);
    uint8_t header[16] = {0x14, 0x85}, buffer[8] = {};
    uint16_t gain = 0;
    for (int result : {short_cmd_read(header, 4, buffer), short_cmd_write(header, 4, buffer),
                       standard_cmd_read(header, 8, buffer), standard_cmd_write(header, 8, buffer),
                       long_cmd_read(header, 5, 0, 0, 2, buffer), long_cmd_write(header, 5, 0, 0, 0),
                       get_prop_tpd_params(TPD_PROP_GAIN_SEL, &gain), spi_erase_sector(0x1000, 20)})
        EXPECT_EQ(result, -13);
    EXPECT_TRUE(logged().empty());
}

}  // namespace
