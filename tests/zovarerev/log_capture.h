// Captures what the library prints while a call runs.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "zovarerev.h"

enum { kLogAll = 0, kLogErrors = 1, kLogNone = 2 };

// Runs call with the given log level and returns what it printed to standard
// output; the library is silent again afterwards.
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

// One whole message: "zovarerev <kind> [zovarerev/src/<file>:<line>/<function>] <text>\n".
inline std::string MessagePattern(const std::string& kind, const std::string& file, const std::string& function,
                                  const std::string& text)
{
    return "zovarerev " + kind + " \\[zovarerev/src/" + file + ":[0-9]+/" + function + "\\] " + text + "\n";
}

inline bool PrintedExactly(const std::string& printed, const std::string& kind, const std::string& file,
                           const std::string& function, const std::string& text)
{
    return std::regex_match(printed, std::regex(MessagePattern(kind, file, function, text)));
}

// Runs call, which must return -1 and print exactly the one error message.
template <typename Call>
void ExpectRefused(const std::string& file, const std::string& function, const std::string& text, Call call)
{
    int status = 0;
    const std::string printed = CaptureLog([&] { status = call(); });
    EXPECT_EQ(status, -1) << function << ": " << text;
    EXPECT_TRUE(PrintedExactly(printed, "error", file, function, text)) << printed;
}
