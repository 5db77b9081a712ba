// The module's side of the register protocol: addresses, staged and committing
// writes, the status byte, and the three frame sizes.
#include <cstring>

#include "model_fixture.h"

using ombrix::sim::Module;

namespace {

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
    return v;
}

}  // namespace

using SimulatorProtocol = ModelTest;

TEST_F(SimulatorProtocol, StatusReadsBusyForTwoPollsAfterACommitThenDone) {
    EXPECT_EQ(0x00, status());  // a fresh module is idle
    const auto h = host::Host::header(0x0D, 0xC1);  // flat-field refresh
    ASSERT_EQ(8, raw(0x41, 0x45, 0x78, 0x1D00, const_cast<uint8_t*>(h.data()), 8));
    EXPECT_EQ(0x01, status());
    EXPECT_EQ(0x01, status());
    EXPECT_EQ(0x00, status());
    EXPECT_EQ(0x00, status());
}

TEST_F(SimulatorProtocol, BusyPollsAndBusyValueAreAdjustable) {
    module.set_busy_polls(0);
    ASSERT_EQ(0, host.standard_action(0x0D, 0xC1));
    EXPECT_EQ(1, host.polls);
    module.set_busy_polls(3);
    module.set_busy_status(0x02);  // "not yet done" keeps the host polling too
    ASSERT_EQ(0, host.standard_action(0x0D, 0xC1));
    EXPECT_EQ(4, host.polls);
}

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

TEST_F(SimulatorProtocol, StandardReadOf300BytesComesInTwoChunks) {
    const auto data = pattern(300, 3);
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x2000, data.data(), 300));  // spi_write
    module.wire_clear();
    std::vector<uint8_t> back(300);
    ASSERT_EQ(0, host.standard_read(0x01, 0x82, 0x2000, 300, back.data()));  // spi_read
    EXPECT_EQ(data, back);
    // header (0x2000, 256), polls, read 256; header (0x2100, 44), polls, read 44
    const auto first = record(0), second_header = record(5);
    EXPECT_EQ(0x1D00, first.index);
    EXPECT_EQ(host::Host::header(0x01, 0x82, 0x2000, 256), first.data);
    EXPECT_EQ(256, record(4).length);
    EXPECT_EQ(0x1D08, record(4).index);
    EXPECT_EQ(host::Host::header(0x01, 0x82, 0x2100, 44), second_header.data);
    EXPECT_EQ(44, record(9).result);
}

TEST_F(SimulatorProtocol, StandardWritesOf100And5BytesLandWhole) {
    const auto data = pattern(100, 9);
    module.wire_clear();
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x3000, data.data(), 100));
    const uint16_t indexes[4] = {0x9D00, 0x9D08, 0x9D48, 0x1D64}, lengths[4] = {8, 64, 28, 8};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(indexes[k], record(k).index) << k;
        EXPECT_EQ(lengths[k], record(k).length) << k;
    }
    module.wire_clear();
    ASSERT_EQ(0, host.standard_write(0x01, 0xC2, 0x10, data.data(), 5));  // straight to the data register
    EXPECT_EQ(0x1D08, record(1).index);
    EXPECT_EQ(5, record(1).length);
    std::vector<uint8_t> flash(100);
    ASSERT_TRUE(module.flash_read(0x3000, flash.data(), 100));
    EXPECT_EQ(data, flash);
    ASSERT_TRUE(module.flash_read(0x10, flash.data(), 5));
    EXPECT_EQ(0, std::memcmp(data.data(), flash.data(), 5));
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

TEST_F(SimulatorProtocol, ShortFramesReachTheModuleMemory) {
    // xdata_write of 3 bytes: header then data at 0x1D04, both committing.
    const uint8_t header_w[4] = {0x81, 3, 0x12, 0x34}, data[3] = {0xA1, 0xB2, 0xC3};
    ASSERT_EQ(0, host.write(0x1D00, header_w, 4));
    ASSERT_EQ(0, host.write(0x1D04, data, 3));
    const uint8_t header_r[4] = {0x80, 3, 0x12, 0x34};
    ASSERT_EQ(0, host.write(0x1D00, header_r, 4));
    uint8_t back[3] = {};
    ASSERT_EQ(0, host.read(0x1D04, back, 3));
    EXPECT_EQ(0, std::memcmp(data, back, 3));
}

TEST_F(SimulatorProtocol, LongShortWritesAcceptEitherTailAddress) {
    const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const uint8_t header[4] = {0x81, 10, 0x00, 0x40};
    const uint8_t read_header[4] = {0x80, 10, 0x00, 0x40};
    uint8_t back[10];
    for (uint16_t tail : {uint16_t(0x1D00), uint16_t(0x1D0A)}) {
        ASSERT_EQ(0, host.write(0x1D00, header, 4));
        ASSERT_EQ(0, host.write(0x9D04, data, 6));
        ASSERT_EQ(0, host.write(tail, data + 6, 4)) << std::hex << tail;
        ASSERT_EQ(0, host.write(0x1D00, read_header, 4));
        ASSERT_EQ(0, host.read(0x1D04, back, 10));
        EXPECT_EQ(0, std::memcmp(data, back, 10)) << std::hex << tail;
        const uint8_t zero[10] = {};
        ASSERT_EQ(0, host.write(0x1D00, header, 4));  // wipe for the next round
        ASSERT_EQ(0, host.write(0x9D04, zero, 6));
        ASSERT_EQ(0, host.write(0x1D00, zero, 4));
    }
}

TEST_F(SimulatorProtocol, HeaderOnlyShortWriteWritesNothing) {
    const uint8_t frame[8] = {0x81, 4, 0x00, 0x10, 0, 0, 0, 0};
    EXPECT_EQ(0, host.write(0x1D00, frame, 8));
    const uint8_t read_header[4] = {0x80, 4, 0x00, 0x10};
    ASSERT_EQ(0, host.write(0x1D00, read_header, 4));
    uint8_t back[4] = {9, 9, 9, 9};
    ASSERT_EQ(0, host.read(0x1D04, back, 4));
    EXPECT_EQ(0u, back[0] | back[1] | back[2] | back[3]);
}

TEST_F(SimulatorProtocol, UnknownCommandsEndInTheFailureStatus) {
    EXPECT_EQ(host::kStatus, host.standard_action(0x07, 0x01));
    EXPECT_EQ(0x06, host.last_status);
    EXPECT_EQ(host::kStatus, host.long_write(0x12, 0x09, 0));
    uint8_t r[2];
    EXPECT_EQ(host::kStatus, host.standard_read(0x0D, 0xBF, 0, 2, r));
    EXPECT_EQ(0, host.standard_action(0x0D, 0xC1));  // and the next good one succeeds
}

TEST_F(SimulatorProtocol, WireLogRecordsBothDirections) {
    module.wire_clear();
    uint16_t v = 0;
    ASSERT_EQ(0, host.get_tpd(5, v));
    EXPECT_EQ(1, v);
    ASSERT_EQ(6u, module.wire_count());  // staged half, committing half, 3 polls, reply
    const auto staged = record(0), reply = record(5);
    EXPECT_EQ(0x41, staged.request_type);
    EXPECT_EQ(0x45, staged.request);
    EXPECT_EQ(0x78, staged.value);
    EXPECT_EQ(0x9D00, staged.index);
    EXPECT_EQ((std::vector<uint8_t>{0x14, 0x85, 0x00, 0x05, 0, 0, 0, 0}), staged.data);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 2}), record(1).data);
    EXPECT_EQ((std::vector<uint8_t>{1}), record(2).data);  // busy
    EXPECT_EQ((std::vector<uint8_t>{0}), record(4).data);  // done
    EXPECT_EQ(0xC1, reply.request_type);
    EXPECT_EQ(0x1D10, reply.index);
    EXPECT_EQ(2, reply.result);
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x01}), reply.data);
}
