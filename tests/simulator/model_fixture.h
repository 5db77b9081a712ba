#ifndef OMBRIX_TESTS_SIMULATOR_MODEL_FIXTURE_H
#define OMBRIX_TESTS_SIMULATOR_MODEL_FIXTURE_H

#include <gtest/gtest.h>

#include "host.h"
#include "ombrix_sim/module.h"

// A fresh module reached through a host that speaks the wire protocol.
class ModelTest : public ::testing::Test {
protected:
    ombrix::sim::Module module;
    host::Host host{[this](uint8_t rt, uint8_t rq, uint16_t v, uint16_t i, uint8_t* d, uint16_t n) {
        return module.control_transfer(rt, rq, v, i, d, n);
    }};

    int raw(uint8_t rt, uint8_t rq, uint16_t v, uint16_t i, uint8_t* d, uint16_t n) {
        return module.control_transfer(rt, rq, v, i, d, n);
    }
    uint8_t status() {
        uint8_t s = 0xEE;
        EXPECT_EQ(1, raw(0xC1, 0x44, 0x78, 0x0200, &s, 1));
        return s;
    }
    ombrix::sim::WireRecord record(size_t i) {
        ombrix::sim::WireRecord r;
        EXPECT_TRUE(module.wire_record(i, r));
        return r;
    }
};

#endif
