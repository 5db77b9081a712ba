// Captures what the library prints while a call runs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <initializer_list>
#include <string>

#include "zovarerev.h"

enum { kLogAll = 0, kLogNone = 2 };

// Runs call at the given log level and returns what it printed; silent afterwards.
template <typename Call>
std::string CaptureLog(Call call, int level = kLogAll)
{
    irtemp_log_register(level);
    testing::internal::CaptureStdout();
    call();
    std::string printed = testing::internal::GetCapturedStdout();
    irtemp_log_register(kLogNone);
    return printed;
}

// One message of the given kind naming where it came from.
inline bool OneMessage(const std::string& printed, const std::string& kind)
{
    return std::regex_match(printed, std::regex("zovarerev " + kind + " \\[zovarerev/src/\\w+:[0-9]+/\\w+\\] [^\n]+\n"));
}

// Each call must return -1 and print one error message.
inline void ExpectRefused(std::initializer_list<std::function<int()>> calls)
{
    int index = 0;
    for (const auto& call : calls) {
        int status = 0;
        const std::string printed = CaptureLog([&] { status = call(); });
        EXPECT_EQ(status, -1) << "call " << index;
        EXPECT_TRUE(OneMessage(printed, "error")) << "call " << index << ": " << printed;
        ++index;
    }
}
