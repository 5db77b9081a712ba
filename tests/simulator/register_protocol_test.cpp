// The module's side of the register protocol: addresses, staged and committing
// writes, the status byte, and the three frame sizes.
#include <cstring>

#include "model_fixture.h"

namespace {

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
    return v;
}

}  // namespace

using SimulatorProtocol = ModelTest;

TEST_F(SimulatorProtocol, StagedWritesOnlyBufferTheBytes) {
    const auto h = host::Host::header(0x01, 0x0E);  // restore defaults, staged
    ASSERT_EQ(0, host.set_tpd(1, 77));
    ASSERT_EQ(0, host.write(0x9D00, h.data(), 8));
    EXPECT_EQ(0x00, status());  // nothing started, no busy phase
    EXPECT_EQ(77, module.property(ombrix::sim::PropertyTable::Tpd, 1));
    ASSERT_EQ(0, host.write(0x1D00, h.data(), 8));  // the same header committing acts
    EXPECT_EQ(0, module.property(ombrix::sim::PropertyTable::Tpd, 1));
}

TEST_F(SimulatorProtocol, AnythingButTheVendorRegistersStalls) {
    uint8_t b[8] = {};
    EXPECT_EQ(-9, raw(0xC1, 0x44, 0x78, 0x1C00, b, 1));   // below the window
    EXPECT_EQ(-9, raw(0xC1, 0x44, 0x78, 0x1E04, b, 8));   // runs past it
    EXPECT_EQ(-9, raw(0x41, 0x45, 0x78, 0x9E04, b, 5));   // a write one byte past it
    EXPECT_EQ(4, raw(0x41, 0x45, 0x78, 0x9E04, b, 4));    // the last bytes of it
    EXPECT_EQ(-9, raw(0xC1, 0x44, 0x78, 0x9D08, b, 1));   // reads have no staged side
    EXPECT_EQ(-9, raw(0x41, 0x45, 0x78, 0x0200, b, 1));   // the status is read-only
    EXPECT_EQ(-9, raw(0xC1, 0x44, 0x79, 0x0200, b, 1));   // wrong value
    EXPECT_EQ(-9, raw(0xC1, 0x45, 0x78, 0x0200, b, 1));   // write request, read direction
    EXPECT_EQ(-9, raw(0x80, 0x06, 0x0100, 0, b, 8));      // a standard request is not the module's
    EXPECT_EQ(-2, raw(0xC1, 0x44, 0x78, 0x0200, nullptr, 1));
    EXPECT_EQ(0x00, status());
}

// Writes of 300 (two chunks), 100 (staged pieces and a commit) and 5 bytes
// (committed at once) land whole and read back in 256-byte chunks.
TEST_F(SimulatorProtocol, StandardWritesAndReadsOfEverySizeLandWhole) {
    struct Case { uint32_t address; size_t bytes; };
    for (const Case& c : {Case{0x2000, 300}, Case{0x3000, 100}, Case{0x10, 5}}) {
        const auto data = pattern(c.bytes, uint8_t(c.bytes));
        ASSERT_EQ(0, host.standard_write(0x01, 0xC2, c.address, data.data(), uint16_t(c.bytes)));
        std::vector<uint8_t> back(c.bytes), flash(c.bytes);
        ASSERT_EQ(0, host.standard_read(0x01, 0x82, c.address, uint16_t(c.bytes), back.data()));
        ASSERT_TRUE(module.flash_read(c.address, flash.data(), uint32_t(c.bytes)));
        EXPECT_EQ(data, back) << c.bytes;
        EXPECT_EQ(data, flash) << c.bytes;
    }
}

// A 100-byte chunk whose staged pieces leave a hole before the committing piece.
TEST_F(SimulatorProtocol, AChunkWithAMissingPieceIsRefused) {
    struct Piece { uint16_t at, length; };
    struct Case { std::vector<Piece> staged; Piece commit; };
    const Case cases[] = {
        {{{0, 64}}, {92, 8}},            // the piece at 64 never comes
        {{{0, 64}, {72, 20}}, {64, 36}}, // a staged piece leaves 64..72 out
        {{{0, 64}, {72, 8}}, {72, 28}},  // ... and the commit follows the staged bytes' count
    };
    const auto data = pattern(100, 1);
    for (const Case& c : cases) {
        const auto h = host::Host::header(0x01, 0xC2, 0x4000, 100);
        ASSERT_EQ(0, host.write(0x9D00, h.data(), 8));
        for (const Piece& p : c.staged) ASSERT_EQ(0, host.write(0x9D08 + p.at, data.data() + p.at, p.length));
        EXPECT_EQ(host::kStatus, host.write(0x1D08 + c.commit.at, data.data() + c.commit.at, c.commit.length));
        EXPECT_EQ(0x06, host.last_status);
        uint8_t b = 0;
        ASSERT_TRUE(module.flash_read(0x4000, &b, 1));
        EXPECT_EQ(0xFF, b);
    }
}

TEST_F(SimulatorProtocol, LongRepliesOver248AndLongHeadersAtTheHeaderAddressAreRefused) {
    std::vector<uint8_t> out(248);
    EXPECT_EQ(0, host.long_read(0x11, 0x83, 0, 0, 0, 248, out.data()));
    auto h = host::Host::long_header(0x11, 0x83, 0, 0, 0, 249);
    ASSERT_EQ(0, host.write(0x9D00, h.data(), 8));
    EXPECT_EQ(host::kStatus, host.write(0x1D08, h.data() + 8, 8));
    h = host::Host::long_header(0x14, 0x85, 5, 0, 0, 2);
    EXPECT_EQ(host::kStatus, host.write(0x1D00, h.data(), 8));
}

// Short writes of the module's memory, read back: 3 bytes after the header,
// 10 bytes staged then committed at either tail address.
TEST_F(SimulatorProtocol, ShortFramesReachTheModuleMemory) {
    const auto data = pattern(10, 1);
    struct Case { uint8_t length; uint16_t tail; std::vector<uint8_t> expected; };
    const Case cases[] = {
        {3, 0x1D04, {data.begin(), data.begin() + 3}},
        {10, 0x1D00, data},
        {10, 0x1D0A, data},
    };
    uint16_t address = 0x40;
    for (const Case& c : cases) {
        const uint8_t header[4] = {0x81, c.length, 0x00, uint8_t(address)};
        ASSERT_EQ(0, host.write(0x1D00, header, 4));
        const size_t staged = c.length > 4 ? 6 : 0;
        if (staged) ASSERT_EQ(0, host.write(0x9D04, data.data(), staged));
        ASSERT_EQ(0, host.write(c.tail, data.data() + staged, uint16_t(c.length - staged)));
        const uint8_t read_header[4] = {0x80, c.length, 0x00, uint8_t(address)};
        ASSERT_EQ(0, host.write(0x1D00, read_header, 4));
        std::vector<uint8_t> back(c.length, 9);
        ASSERT_EQ(0, host.read(0x1D04, back.data(), c.length));
        EXPECT_EQ(c.expected, back) << std::hex << c.tail;
        address += 0x10;
    }
}

TEST_F(SimulatorProtocol, UnknownCommandsEndInTheFailureStatus) {
    EXPECT_EQ(host::kStatus, host.standard_action(0x07, 0x01));
    EXPECT_EQ(0x06, host.last_status);
    EXPECT_EQ(host::kStatus, host.long_write(0x12, 0x09, 0));
    uint8_t r[2];
    EXPECT_EQ(host::kStatus, host.standard_read(0x0D, 0xBF, 0, 2, r));
    EXPECT_EQ(0, host.standard_action(0x0D, 0xC1));  // and the next good one succeeds
}
