// Standard output captured around one library call (the printing sink writes there).
#ifndef VUZOVAREDERO_TEST_CAPTURE_H
#define VUZOVAREDERO_TEST_CAPTURE_H

#include <gtest/gtest.h>

#include "zizuruziza.h"

#include <string>
#include <utility>

inline image_res_t size(int width, int height)
{
    return image_res_t{(uint16_t)width, (uint16_t)height};
}

template <typename Call>
std::pair<int, std::string> printedBy(Call&& call)
{
    testing::internal::CaptureStdout();
    int status = call();
    return {status, testing::internal::GetCapturedStdout()};
}

// One error message naming where it came from.
inline bool oneError(const std::string& text)
{
    return testing::internal::RE::FullMatch(text, "vuzovaredero error \\[vuzovaredero/src/\\w+:[0-9]+/\\w+\\] [^\n]+\n");
}

#endif
