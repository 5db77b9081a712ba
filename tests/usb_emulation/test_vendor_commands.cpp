// The vendor command transport over real control transfers: what the
// device's endpoint 0 sees for a read and a write of the temperature-
// measurement properties, transfer for transfer.
#include "usb_fixture.h"

#include <cstdio>

namespace usbtest {
namespace {

struct Transfer {
    uint8_t request_type;
    uint16_t index;
    std::vector<uint8_t> data;  // OUT: sent; IN: answered
};

std::ostream& operator<<(std::ostream& out, const Transfer& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s @%04X:", t.request_type == 0x41 ? "OUT" : "IN", t.index);
    out << text;
    for (uint8_t byte : t.data) {
        std::snprintf(text, sizeof text, " %02X", byte);
        out << text;
    }
    return out;
}

bool operator==(const Transfer& a, const Transfer& b)
{
    return a.request_type == b.request_type && a.index == b.index && a.data == b.data;
}

// A long command: header bytes 0 to 7 staged at 0x9D00, bytes 8 to 15
// committing at 0x1D08, then the status byte polled at 0x0200 (the module
// reads busy twice).
void long_command(std::vector<Transfer>& wire, const std::vector<uint8_t>& header)
{
    wire.push_back({0x41, 0x9D00, {header.begin(), header.begin() + 8}});
    wire.push_back({0x41, 0x1D08, {header.begin() + 8, header.end()}});
    for (uint8_t status : {0x01, 0x01, 0x00})
        wire.push_back({0xC1, 0x0200, {status}});
}

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

    std::vector<Transfer> expected;
    long_command(expected, {0x14, 0x85, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    expected.push_back({0xC1, 0x1D10, {0x00, 121}});
    long_command(expected, {0x14, 0xC5, 0x00, 0x00, 0, 0, 0x00, 200, 0, 0, 0, 0, 0, 0, 0, 0});

    const std::vector<ControlRecord> seen = camera->control_log();
    ASSERT_EQ(seen.size(), expected.size()) << "nothing but the two commands reached endpoint 0";
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        const ControlRecord& r = seen[i];
        EXPECT_EQ(r.request, r.request_type == 0x41 ? 0x45 : 0x44);
        EXPECT_EQ(r.value, 0x78);
        EXPECT_EQ(r.length, r.data.size());
        EXPECT_EQ(r.status, int(r.length)) << "every transfer moved all its bytes";
        EXPECT_EQ((Transfer{r.request_type, r.index, r.data}), expected[i]);
    }
    viewer.disconnect();
}

}  // namespace
}  // namespace usbtest
