// The vendor command transport over real control transfers: what the
// device's endpoint 0 sees for a read and a write of the temperature-
// measurement properties, transfer for transfer.
#include "usb_fixture.h"

#include "../support/wire_transcript.h"

namespace usbtest {
namespace {

using VendorCommands = EmulatedUsbCamera;

TEST_F(VendorCommands, TemperaturePropertiesTravelAsStagedAndCommittingWritesWithStatusPolls)
{
    plug(0x5830);
    ViewerCamera viewer;
    ASSERT_EQ(viewer.open(6), 0);
    camera->clear_control_log();
    ASSERT_EQ(vdcmd_init(), 0);
    EXPECT_TRUE(camera->control_log().empty()) << "installing the transport sends nothing";

    uint16_t emissivity = 0;
    ASSERT_EQ(get_prop_tpd_params(TPD_PROP_EMS, &emissivity), 0);
    EXPECT_EQ(emissivity, 121);
    ASSERT_EQ(set_prop_tpd_params(TPD_PROP_DISTANCE, 200), 0);
    EXPECT_EQ(camera->module().property(ombrix::sim::PropertyTable::Tpd, TPD_PROP_DISTANCE), 200);

    // Long commands: header bytes 0 to 7 staged at 0x9D00, bytes 8 to 15
    // committing at 0x1D08, then the status polls (the module reads busy twice).
    wire::Script expected;
    expected.long_read({0x14, 0x85, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}, {0x00, 121});
    expected.long_command({0x14, 0xC5, 0x00, 0x00, 0, 0, 0x00, 200, 0, 0, 0, 0, 0, 0, 0, 0});

    const std::vector<ControlRecord> seen = camera->control_log();
    EXPECT_EQ(wire::transcript(seen, [](const ControlRecord& r) { return r.data; }), expected.transfers())
        << "nothing but the two commands reached endpoint 0";
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        const ControlRecord& r = seen[i];
        EXPECT_EQ(r.request, r.request_type == 0x41 ? 0x45 : 0x44);
        EXPECT_EQ(r.value, 0x78);
        EXPECT_EQ(r.length, r.data.size());
        EXPECT_EQ(r.status, int(r.length)) << "every transfer moved all its bytes";
    }
    viewer.disconnect();
}

}  // namespace
}  // namespace usbtest
